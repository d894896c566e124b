#include "os/Conventions.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace trackmill::os {

bool IsSystemProgramFolder(const std::string &folder)
{
    for (std::string_view system : {"/usr/bin", "/usr/sbin", "/usr/games", "/usr/libexec", "/usr/local/bin",
                                    "/usr/local/sbin", "/usr/local/games", "/bin", "/sbin"})
        if (folder == system) return true;
    return false;
}

bool UntranslatedMessagesWanted()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (!value || !*value) continue;
        const std::string_view v(value);
        return v == "C" || v == "POSIX" || v.starts_with("C.");
    }
    return false;
}

std::string AbsolutePath(const std::string &path)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    if (ec) return path;
    std::string out = full.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

}  // namespace trackmill::os
