// What each platform's private folder holds, by name: both sides make and clean up the same.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace trackmill::os::privatefolder {

inline constexpr const char *kPrefix = "trackmill-";
inline constexpr const char *kOwnerFile = "owner";
inline constexpr const char *kTemporariesFile = "temporaries";
// What the temporaries noted there are called: files, or folders holding them.
inline constexpr const char *kTemporaryPrefix = ".tm-";

// "owner", "temporaries", and each file's script, decoder status and decoder output:
// "<number>.sh", "<number>.status", "<number>.decoder"; and the silence the option lines
// are tried on, "<number>.mpc".
inline bool IsOurFileName(const std::string &name)
{
    if (name == kOwnerFile || name == kTemporariesFile) return true;
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot == std::string::npos || name.find_first_not_of("0123456789") != dot) return false;
    const std::string ext = name.substr(dot);
    return ext == ".sh" || ext == ".status" || ext == ".decoder" || ext == ".mpc";
}

// The lines of a text that are not empty.
inline std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace trackmill::os::privatefolder
