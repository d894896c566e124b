// The names in an open folder, read through a copy of its descriptor.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace trackmill::os {

// Without "." and ".."; the folder's own descriptor stays open and unmoved.
inline std::vector<std::string> NamesIn(int folder)
{
    std::vector<std::string> names;
    const int copy = ::dup(folder);
    if (copy < 0) return names;
    DIR *dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    while (const dirent *ent = ::readdir(dir))
        if (std::string name = ent->d_name; name != "." && name != "..") names.push_back(name);
    ::closedir(dir);
    return names;
}

}  // namespace trackmill::os
