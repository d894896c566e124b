// The window's stored settings as both front ends read them, by the keys and values of
// SettingsSchema.h, with the window's rules (a switch is "True" or "False" in any letter case
// and anything else leaves it as it was; a number that is not one reads as 0).
#pragma once

#include "config/ProfileFile.h"
#include "config/SettingsSchema.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace trackmill::config {

// A whole number from 1 on, capped at kMaxJobs; anything else is no value.
std::optional<int> ParseJobs(std::string_view text);

// A text as the window keeps it: without blanks or control characters at its ends.
std::string_view WindowText(std::string_view text);

const char *StoredBool(bool value);  // "True" / "False"
std::optional<bool> ParseStoredBool(std::string_view text);
// The window's number rule: a decimal 32-bit integer, else 0.
int ParseStoredInteger(std::string_view text);
// "left,top,width,height" with a width and height above 0.
std::optional<std::array<int, 4>> ParseStoredRect(std::string_view text);

// A library folder as typed or stored, absolute and normal: "~" is the home folder, ".",
// ".." and repeated separators are resolved, no separator at the end (but for the root);
// a relative one counts from the working folder. Empty stays empty. A name's bytes are
// kept on Linux (they need not be UTF-8).
std::string NormalLibraryFolder(const std::string &folder);

// What a settings file holds; a key that is missing stays empty.
struct TStoredSettings {
    std::optional<bool> convertApe, copyId3v1, copyId3v2, shutdown, useOutputDir;
    std::optional<std::string> decoderOptions, encoderOptions, outputDir;
    std::optional<int> apeTarget;  // the combo box's index: 0, 1, or -1 for none
    std::optional<int> jobs;
    std::optional<TExistingPolicy> existing;
    // From "OutputLayout", else from the older "KeepFolders" (True: Source, False: Flat).
    std::optional<TOutputLayout> layout;
    // The library folder as NormalLibraryFolder makes it; an empty pattern is no value.
    std::optional<std::string> libraryFolder, namePattern;
    std::optional<bool> copyFolderArt, embedFolderArt;
    std::optional<bool> showConsole;
    std::optional<std::array<int, 4>> consolePos;
    std::optional<TOutputFormat> format;
    std::optional<std::string> opusOptions;
};
TStoredSettings ReadStoredSettings(const TIniFile &ini);

// What the window stores after its placement, in the file's order.
struct TSettingValues {
    bool convertApe = kConvertApe.defaultValue;
    bool copyId3v1 = kCopyId3v1.defaultValue;
    bool copyId3v2 = kCopyId3v2.defaultValue;
    std::string decoderOptions, encoderOptions;
    bool shutdown = kShutdown.defaultValue;
    bool useOutputDir = kUseOutputDir.defaultValue;
    std::string outputDir;
    int apeTarget = kApeTarget.defaultValue;  // -1: none
    int jobs = 1;
    TExistingPolicy existing = kExistingFiles.defaultValue;
    TOutputLayout layout = kOutputLayout.defaultValue;
    std::string libraryFolder;
    std::string namePattern = kNamePattern.defaultValue;
    bool copyFolderArt = kCopyFolderArt.defaultValue;
    bool embedFolderArt = kEmbedFolderArt.defaultValue;
    bool showConsole = kShowConsole.defaultValue;
    std::optional<std::array<int, 4>> consolePos;  // none: beside the window
    TOutputFormat format = kOutputFormat.defaultValue;
    std::string opusOptions;
};
// Writes every key of the schema. The designed texts are stored as the window always stored
// them: without blanks or control characters at their ends, and one in quotes in one more
// pair (see ProtectQuotes). Throws EIniFileException.
void WriteStoredSettings(TIniFile &ini, const TSettingValues &values);

}  // namespace trackmill::config
