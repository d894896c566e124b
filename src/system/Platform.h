// What differs between the platforms: the external programs, the command template, the
// script and how it is run, the start-up messages, shell quoting and program lookup.
// Everything else in the program is written against these names; a Windows build
// supplies its own values here (Mppdec.exe, go.bat with CR LF, the original messages).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill::platform {

// The external programs, as looked up by ProgramExists / FindProgram.
inline constexpr const char *kDecoderProgram = "mpcdec";
inline constexpr const char *kEncoderProgram = "lame";

inline constexpr const char *kCommandTemplate =
    "mpcdec %OPTIONSDEC %INFILE - | lame %OPTIONSENC - %OUTFILE";

// The one-line script written into the current working folder for every file.
inline constexpr const char *kScriptName = "go.sh";
inline constexpr const char *kLineEnd = "\n";
// How the runner starts the script (program and full command line).
inline constexpr const char *kScriptApplicationName = "/bin/sh";
inline constexpr const char *kScriptCommandLine = "/bin/sh go.sh";

// Start-up messages, shown in this order when a program is missing.
inline constexpr const char *kEncoderMissingMessage =
    "LAME not found. Place the program in the same directory as trackmill or install it on the PATH";
inline constexpr const char *kDecoderMissingMessage =
    "MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH";

// Designed option values: mpcdec has no options matching the Windows decoder's.
inline constexpr const char *kDefaultDecoderOptions = "";
inline constexpr const char *kDefaultEncoderOptions = "--alt-preset cbr 128";

// The user's home folder followed by "/" (designed output folder).
std::string DefaultOutputFolder();

// Quotes one path (or any text) for /bin/sh so that no character is interpreted:
// single quotes around it, a "'" inside written as '\''. Bytes pass through unchanged.
std::string ShellQuote(const std::string &text);

// Splits a command line into words by the shell's quoting rules (blanks separate words;
// '...', "..." and backslash quote) without any expansion. Empty optional when a quote is
// left open.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view commandLine);

// Full path of an executable program: a name containing "/" is taken relative to the
// working folder; a bare name is looked up in the working folder first (the current
// folder when empty), then on PATH. Empty when not found.
std::string FindProgram(const std::string &name, const std::string &workingDir = {});
bool ProgramExists(const std::string &name, const std::string &workingDir = {});

// The PATH value a child gets: the working folder in front of the inherited PATH, so
// a program placed there wins. A folder whose name holds ":" cannot stand in PATH and
// is left out.
std::string ChildPath(const std::string &workingDir, const char *inheritedPath);

}  // namespace trackmill::platform
