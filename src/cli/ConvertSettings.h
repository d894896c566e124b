// The settings trackmill-cli convert works with: the window's stored values when its
// settings file exists (read through the settings core, with the window's rules), else
// the designed ones, then the command-line options on top.
#pragma once

#include "config/StoredSettings.h"
#include "engine/TranscodeJob.h"

#include <string>
#include <vector>

namespace trackmill {

// The defaults of the settings schema, the platform's programs' options and folders, and
// no shutdown.
TJobSettings DesignedSettings();

// Applies what the settings file holds over the settings; a key that is missing or holds
// no valid value leaves its setting as it was.
void ApplyStoredSettings(TJobSettings &settings, const config::TStoredSettings &stored);

// An output folder text ends in "/" so that the file name can follow it directly.
std::string NormalizeFolderText(const std::string &folder);
// The same for the library folder, where empty stays empty: no library folder.
std::string LibraryFolderText(const std::string &folder);

struct TConvertOptions {
    TJobSettings settings;
    std::vector<std::string> paths;
    bool help = false;
    bool dryRun = false;
    bool json = false;
    bool verbose = false;  // the programs' output too, and every file in the summary
    std::vector<std::string> notes;  // for standard error, e.g. a capped --jobs
};

// Parses the arguments after "convert" on top of the given settings. On a usage error
// returns false with *error set, and for an unknown option *guess the one it most likely
// misspells (or "").
bool ParseConvertOptions(const std::vector<std::string> &args, TConvertOptions &options, std::string *error,
                         std::string *guess = nullptr);

extern const char kConvertUsage[];

}  // namespace trackmill
