#include "os/Conventions.h"

#include "os/Path.h"
#include "os/windows/Wide.h"

#include <windows.h>

#include <vector>

namespace trackmill::os {

bool IsSystemProgramFolder(const std::string &) { return false; }

bool UntranslatedMessagesWanted() { return false; }

std::string AbsolutePath(const std::string &path)
{
    if (path.empty()) return path;
    const std::wstring wide = Wide(path);
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), needed, buffer.data(), nullptr);
    if (n == 0 || n >= needed) return path;
    // "C:\\Music\\" -> "C:/Music"; "C:\\" stays a root.
    std::string out = Portable(Narrow(buffer.data(), n));
    while (out.size() > 3 && out.back() == '/') out.pop_back();
    return out;
}

}  // namespace trackmill::os
