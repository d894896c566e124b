// Paths as the platform writes them: the separators it knows ("/" here, "/" and "\" on
// Windows), and the few ways the program splits and joins them. Paths are UTF-8 text (raw
// bytes where the platform allows names that are not), never interpreted otherwise.
#pragma once

#include <string>
#include <string_view>

namespace trackmill::os {

// The separator the program writes between a folder and a name: "/" on Windows too,
// where the system takes it as well, so that every path inside the program is spelled
// one way and compares as text ("\\" comes only from what the user or the system gives,
// and Portable turns it into "/").
inline constexpr char kSeparator = '/';

bool IsSeparator(char c);
// The path with the program's separator: "C:\\Music\\a.mpc" -> "C:/Music/a.mpc" on
// Windows; unchanged elsewhere, where "\\" is a character of a name.
std::string Portable(std::string_view path);
// The path as the user's system writes it, for what a person reads: "\\" on Windows.
std::string Native(std::string_view path);
// What two paths of one file have in common: the path itself where names differ in
// case (a Linux folder can hold "Song.mpc" and "song.mpc"), upper-cased on Windows, where
// they do not. For comparing, never for opening.
std::string PathKey(std::string_view path);
// Whether `path` lies inside `folder` (ending in a separator), compared as PathKey does.
bool IsInside(std::string_view path, std::string_view folder);

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
