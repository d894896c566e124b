// What differs between the platforms: the external programs, the command template, the
// script and how it is run, the start-up messages, shell quoting and program lookup.
// Everything else in the program is written against these names; the Windows build has
// its own values (the designed program names, captions and messages).
#pragma once

#include <QtGlobal>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill::platform {

#ifdef _WIN32
// The programs beside Trackmill.exe under their designed names (the decoder also under
// today's name), else on PATH.
inline constexpr const char *kDecoderProgram = "Mppdec.exe";
inline constexpr const char *kDecoderProgramAlternative = "mpcdec.exe";
inline constexpr const char *kEncoderProgram = "Lame.exe";
inline constexpr const char *kOpusEncoderProgram = "opusenc.exe";

inline constexpr const char *kCommandTemplate =
    "Mppdec.exe %OPTIONSDEC %INFILE - | LAME.exe %OPTIONSENC - %OUTFILE";
inline constexpr const char *kOpusCommandTemplate = "Mppdec.exe %OPTIONSDEC %INFILE - | opusenc.exe %OPTIONSENC - %OUTFILE";

// No command processor reads this: the pipe helper (kShell) starts the first line's
// program with the source (the fifth line) as its standard input and its standard output
// piped into the second's standard input, sends the decoder's error output to the third
// line's file and its exit status to the fourth's, and ends with the encoder's status.
// Each line is a Windows command line, read by the rules of CommandLineToArgvW, so no
// character of a path is taken for code; and no program is given a name it would have
// to read in the ANSI code page (the output is a plain name in the working folder).
inline constexpr const char *kScriptTemplate =
    "%DECODER %OPTIONSDEC - -\n%ENCODER %OPTIONSENC - %OUTFILE\n%DECODERLOG\n%STATUSFILE\n%INFILE";
// The pipe helper, beside our own executable.
inline constexpr const char *kShell = "trackmill-pipe.exe";

// Where the programs are looked for, and every name the decoder is taken under.
inline constexpr const char *kEncoderMissingMessage = QT_TRANSLATE_NOOP(
    "trackmill::TForm1", "LAME.EXE not found. Place the file in the same directory as Trackmill.exe or in a folder on the PATH");
inline constexpr const char *kDecoderMissingMessage =
    QT_TRANSLATE_NOOP("trackmill::TForm1", "MPPDEC.EXE not found, nor MPCDEC.EXE. Place either file in the same directory "
                                           "as Trackmill.exe or in a folder on the PATH");
inline constexpr const char *kOpusEncoderMissingMessage = QT_TRANSLATE_NOOP(
    "trackmill::TForm1", "OPUSENC.EXE not found. Place the file in the same directory as Trackmill.exe or in a folder on the PATH");

// The designed decoder options belong to an old decoder: today's has none of them.
inline constexpr const char *kDefaultDecoderOptions = "";
inline constexpr const char *kDefaultEncoderOptions = "--alt-preset cbr 128";

inline constexpr const char *kEncoderOptionsCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "Encoder options (LAME)");
inline constexpr const char *kFilesCaption =
    QT_TRANSLATE_NOOP("trackmill::TForm1", "Files to transcode (drop MPC, MPP, MP+ files, drives or folders from Explorer)");
#else
// The external programs, as looked up by ProgramExists / FindProgram.
inline constexpr const char *kDecoderProgram = "mpcdec";
inline constexpr const char *kDecoderProgramAlternative = "";
inline constexpr const char *kEncoderProgram = "lame";
inline constexpr const char *kOpusEncoderProgram = "opusenc";

inline constexpr const char *kCommandTemplate =
    "mpcdec %OPTIONSDEC %INFILE - | lame %OPTIONSENC - %OUTFILE";
inline constexpr const char *kOpusCommandTemplate = "mpcdec %OPTIONSDEC %INFILE - | opusenc %OPTIONSENC - %OUTFILE";

// What each file's private script runs: the same line with the programs by their full
// paths, the decoder's exit status kept (the shell has no pipefail), and its error output
// kept in a file of its own, so that a failure can quote the decoder alone (the job shows
// that file's lines as they come).
inline constexpr const char *kScriptTemplate =
    "{ %DECODER %OPTIONSDEC %INFILE - 2>%DECODERLOG; echo $? >%STATUSFILE; } | %ENCODER %OPTIONSENC - %OUTFILE";
// The shell that runs the script.
inline constexpr const char *kShell = "/bin/sh";

// Start-up messages, shown in this order when a program is missing.
inline constexpr const char *kEncoderMissingMessage =
    QT_TRANSLATE_NOOP("trackmill::TForm1", "LAME not found. Place the program in the same directory as trackmill or install it on the PATH");
inline constexpr const char *kDecoderMissingMessage =
    QT_TRANSLATE_NOOP("trackmill::TForm1", "MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH");
inline constexpr const char *kOpusEncoderMissingMessage = QT_TRANSLATE_NOOP(
    "trackmill::TForm1", "OPUSENC not found. Place the program in the same directory as trackmill or install it on the PATH (Debian: opus-tools)");

// Designed option values: mpcdec has no options matching the Windows decoder's.
inline constexpr const char *kDefaultDecoderOptions = "";
inline constexpr const char *kDefaultEncoderOptions = "--alt-preset cbr 128";

// The window's captions that name the programs and where files come from.
inline constexpr const char *kEncoderOptionsCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "Encoder options (lame)");
inline constexpr const char *kFilesCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "Files to transcode (drop MPC, MPP, MP+ files or folders from the file manager)");
#endif

inline constexpr const char *kDefaultOpusOptions = "--bitrate 160";
inline constexpr const char *kOpusOptionsCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "Encoder options (opusenc)");

// %1: the decoder as DecoderName gives it.
inline constexpr const char *kDecoderOptionsCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "Decoder options (%1)");

// The user's home folder followed by "/" (designed output folder); "C:\\" on Windows.
std::string DefaultOutputFolder();
// The user's music folder when it exists, else the home folder, followed by "/".
std::string DefaultLibraryFolder();

// Quotes one path (or any text) for /bin/sh so that no character is interpreted:
// single quotes around it, a "'" inside written as '\''. Bytes pass through unchanged.
// On Windows: double quotes, by the rules CommandLineToArgvW reads them with.
std::string ShellQuote(const std::string &text);

// Splits a command line into words by the shell's quoting rules (blanks separate words;
// '...', "..." and backslash quote) without any expansion. Empty optional when a quote is
// left open. On Windows by CommandLineToArgvW's rules (a quote left open is refused too).
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view commandLine);

// Full path of an executable found in the absolute folders of PATH, in order; relative
// entries ("." or an empty one) are skipped, so the working folder never supplies a
// program. Empty when not found.
std::string FindOnPath(const std::string &name);
// An external program of ours: beside our own executable (besideFolder), else on PATH.
std::string FindProgram(const std::string &name, const std::string &besideFolder);
// The decoder under its designed name, else under today's (on Windows); empty when neither.
std::string FindDecoder(const std::string &besideFolder);
// The decoder's name as a caption gives it: the found program's ("mpcdec" for
// mpcdec.exe), else the designed one.
std::string DecoderName(const std::string &besideFolder);
// A command's program: a name with "/" is taken as it stands (relative to the working
// folder); a bare name comes from PATH as above.
std::string FindCommand(const std::string &name, const std::string &workingDir = {});

// Text a program printed, as UTF-8: on Windows, what is not UTF-8 is read in the ANSI code
// page, where programs as people find them print names; elsewhere it stands as it is.
std::string ProgramText(const std::string &printed);

// The decoder's usage summary, as it prints it when run without arguments, or a fixed
// text when it is missing or says nothing. Empty when it is there but did not end in
// time (a first start can be slow): worth asking again later.
std::string DecoderUsage(const std::string &besideFolder);

}  // namespace trackmill::platform
