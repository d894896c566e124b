#include "os/Path.h"

#include <algorithm>

namespace trackmill::os {

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::string Portable(std::string_view path)
{
    std::string out(path);
#ifdef _WIN32
    std::replace(out.begin(), out.end(), '\\', '/');
#endif
    return out;
}

std::string Native(std::string_view path)
{
    std::string out(path);
#ifdef _WIN32
    std::replace(out.begin(), out.end(), '/', '\\');
#endif
    return out;
}

#ifndef _WIN32
std::string PathKey(std::string_view path) { return std::string(path); }
#endif

bool IsInside(std::string_view path, std::string_view folder)
{
    return !folder.empty() && path.size() > folder.size() && PathKey(path.substr(0, folder.size())) == PathKey(folder);
}

std::size_t LastSeparator(std::string_view path)
{
    for (std::size_t i = path.size(); i-- > 0;)
        if (IsSeparator(path[i])) return i;
    return std::string_view::npos;
}

std::string FileName(std::string_view path)
{
    const std::size_t at = LastSeparator(path);
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

namespace {

// The length of the root at the path's start: "/" here; "C:\", "C:" or "\\server\share\" on Windows.
std::size_t RootLength(std::string_view path)
{
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t at = 2, parts = 0;
        while (at < path.size() && parts < 2) {
            if (IsSeparator(path[at])) ++parts;
            ++at;
        }
        return at;
    }
#endif
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::string FolderOf(std::string_view path)
{
    const std::size_t at = LastSeparator(path);
    if (at == std::string_view::npos) return ".";
    const std::size_t root = RootLength(path);
    if (at < root) return std::string(path.substr(0, root));
    return std::string(path.substr(0, at));
}

std::string WithSeparator(std::string_view folder)
{
    std::string out(folder);
    if (!out.empty() && !IsSeparator(out.back())) out += kSeparator;
    return out;
}

std::string WithoutSeparator(std::string_view folder)
{
    const std::size_t root = RootLength(folder);
    std::size_t end = folder.size();
    while (end > root && IsSeparator(folder[end - 1])) --end;
    return std::string(folder.substr(0, end));
}

std::string Join(std::string_view folder, std::string_view name)
{
    if (folder.empty()) return std::string(name);
    return WithSeparator(folder) + std::string(name);
}

namespace {

// Where the extension starts, or npos when the name has none.
std::size_t ExtensionAt(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t sep = LastSeparator(path);
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return std::string_view::npos;
    return dot;
}

}  // namespace

std::string ReplaceExtension(std::string_view path, std::string_view extension)
{
    const std::size_t dot = ExtensionAt(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot)) + std::string(extension);
}

std::string InsertBeforeExtension(std::string_view path, std::string_view suffix)
{
    const std::size_t dot = ExtensionAt(path);
    if (dot == std::string_view::npos) return std::string(path) + std::string(suffix);
    return std::string(path.substr(0, dot)) + std::string(suffix) + std::string(path.substr(dot));
}

}  // namespace trackmill::os
