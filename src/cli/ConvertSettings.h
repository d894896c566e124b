// The settings trackmill-cli convert works with: the window's stored values when its
// INI file exists, else the designed ones, then the command-line options on top.
#pragma once

#include "engine/TranscodeJob.h"

#include <optional>
#include <string>
#include <vector>

namespace trackmill {

// The designed values: decoder options "", encoder "--alt-preset cbr 128", output
// folder the home folder (switched off), all three tag switches on, APE to ID3v1.1.
TJobSettings DesignedSettings();

// Profile-file reading as the window does it: section and key without regard to case,
// blanks around the value and one pair of enclosing quotes removed, 2047 characters.
// Empty optional when the file, section or key is missing.
std::optional<std::string> ReadProfileString(const std::string &iniPath, const std::string &section,
                                             const std::string &key);

// Applies the stored values of section "Default" like the window's restore does:
// "True"/"False" in any case, anything else leaves a switch unchanged; an ID3 target
// that fits no entry selects none (-1, which converts to ID3v2.3).
void ApplyStoredSettings(TJobSettings &settings, const std::string &iniPath);

// The INI file the window uses, if one exists: beside the window's program (found
// beside this program, or in the build tree's layout), else the user's config folder.
std::optional<std::string> FindWindowIni(const std::string &cliProgramPath);

// An output folder text ends in "/" so that the file name can follow it directly.
std::string NormalizeFolderText(const std::string &folder);

struct TConvertOptions {
    TJobSettings settings;
    std::vector<std::string> paths;
    bool help = false;
};

// Parses the arguments after "convert" on top of the given settings. On a usage error
// returns false with *error set.
bool ParseConvertOptions(const std::vector<std::string> &args, TConvertOptions &options,
                         std::string *error);

extern const char kConvertUsage[];

}  // namespace trackmill
