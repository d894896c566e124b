// What users of this platform expect of our names and places, where Linux and Windows
// differ: the window's program file, the folder of our settings, the folders the system's
// packages own, when messages stay untranslated, how a typed path becomes a full one.
#pragma once

#include <string>

namespace trackmill::os {

#ifdef _WIN32
inline constexpr const char *kWindowProgram = "Trackmill.exe";
inline constexpr const char *kSettingsFolder = "Trackmill";  // under the user's configuration folder
#else
inline constexpr const char *kWindowProgram = "trackmill";
inline constexpr const char *kSettingsFolder = "trackmill";
#endif

// A folder the system installs programs into (given canonical): no settings are kept
// beside a program there, even where it is writable.
bool IsSystemProgramFolder(const std::string &folder);

// The user asked for the untranslated texts: LC_ALL, LC_MESSAGES or LANG (the first one
// set) is "C", "POSIX" or "C.<charset>". Windows has no such setting.
bool UntranslatedMessagesWanted();

// A path as typed, made full from the working folder and normal: ".", ".." and repeated
// separators resolved, no separator at the end but for a root. In the program's spelling:
// its bytes kept on Linux (a name need not be UTF-8), UTF-8 with "/" on Windows. The path
// as given when the working folder cannot be read.
std::string AbsolutePath(const std::string &path);

}  // namespace trackmill::os
