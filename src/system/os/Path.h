// Paths as the platform writes them: the separators it knows ("/" here, "/" and "\" on
// Windows), and the few ways the program splits and joins them. Paths are UTF-8 text (raw
// bytes where the platform allows names that are not), never interpreted otherwise.
#pragma once

#include <string>
#include <string_view>

namespace trackmill::os {

// The separator this platform writes between a folder and a name.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

bool IsSeparator(char c);
// Index of the last separator, or npos.
std::size_t LastSeparator(std::string_view path);

// Everything after the last separator.
std::string FileName(std::string_view path);
// Everything before the last separator: "/a/b" -> "/a", "/a" -> "/", "a" -> ".".
std::string FolderOf(std::string_view path);
// The folder followed by the name, with one separator between them.
std::string Join(std::string_view folder, std::string_view name);
// The text ending in a separator (an empty text stays empty).
std::string WithSeparator(std::string_view folder);
// "/a/b/" -> "/a/b"; a root stays as it is.
std::string WithoutSeparator(std::string_view folder);

// The extension is the text from the last "." after the last separator; it becomes
// `extension` (with its dot). A name without one gets it appended.
std::string ReplaceExtension(std::string_view path, std::string_view extension);
// "dir/name (n).mp3" for "dir/name.mp3": the suffix goes before the extension.
std::string InsertBeforeExtension(std::string_view path, std::string_view suffix);

}  // namespace trackmill::os
