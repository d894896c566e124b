// Where every source of a job goes, decided for the whole queue before the first file
// starts: the output folder and the folder structure kept below it, the names numbered
// when two sources would write the same MP3, and what happens to a file already there.
#pragma once

#include "engine/OutputTarget.h"
#include "engine/PlanProgress.h"
#include "engine/WorkQueue.h"

#include <functional>
#include <string>
#include <vector>

namespace trackmill {

// UpdateTags: as Skip, but an MP3 made before its source last changed (retagged) gets the
// source's present tags, its audio untouched.
enum class TExistingPolicy { Skip, Overwrite, KeepBoth, UpdateTags };

// Where an MP3 goes below the output folder.
enum class TOutputLayout {
    Source,  // the source's path below the library folder (else below its dropped folder's parent)
    Tags,    // the name pattern filled from the source's tags (its own folders where they leave a folder empty)
    Flat,    // straight into the output folder
};

inline constexpr const char *kDefaultNamePattern = "%albumartist%/%album%/%track% %title%";

struct TPlanOptions {
    bool useOutputDir = false;
    std::string outputDir;     // kept ending in "/" (or empty: the working folder)
    TOutputLayout layout = TOutputLayout::Source;
    std::string libraryDir;    // kept ending in "/"; empty: none
    std::string namePattern = kDefaultNamePattern;
    TExistingPolicy existing = TExistingPolicy::Skip;
    // The MP3s get an ID3v2 tag and with it the mark of their source; without one the
    // plan can only go by names.
    bool markers = true;
    TOutputFormat format = TOutputFormat::Mp3;
};

// Into an output folder in a layout, the rest as designed.
inline TPlanOptions IntoFolder(std::string outputDir, TOutputLayout layout)
{
    TPlanOptions options;
    options.useOutputDir = true;
    options.outputDir = std::move(outputDir);
    options.layout = layout;
    return options;
}

struct TPlannedOutput {
    // UpdateTags: the MP3 at `output`, made before the source last changed, gets its tags anew.
    enum class Kind { Write, Renamed, Overwrite, Skipped, Refused, UpdateTags };
    Kind kind = Kind::Write;
    std::string output;  // also for Skipped and UpdateTags: the path that exists
    std::string reason;  // for Renamed, Skipped, Refused and UpdateTags
    // The text of the mark the MP3 carries of its source; empty: none. For UpdateTags always
    // there: it names the source the MP3 at `output` must still be of.
    std::string mark;
    bool outdated = false;  // Skipped: made before the source last changed
};

// Whether something (a file, a folder, a dangling link) stands at a path.
using TPathExists = std::function<bool(const std::string &path)>;
bool PathExists(const std::string &path);
// Why the user's thing at a path may not be replaced by an MP3 (not a regular file, or
// not writable by the user); empty when it may.
using TWhyNotReplaceable = std::function<std::string(const std::string &path)>;
std::string WhyNotReplaceable(const std::string &path);

class TMarkIndex;

// A path as it is spelled on disk where it (or a folder on the way) exists under another
// letter case; as given where nothing does.
using TSpelling = std::function<std::string(const std::string &path)>;

// The output path of one source before any collision is looked at (in the tags' layout
// the source's tags are read).
std::string PlainOutputPath(const TWorkItem &item, const TPlanOptions &options);
// "dir/name (n).mp3" for "dir/name.mp3".
std::string NumberedPath(const std::string &path, int n);

// One plan per item, in queue order. With `marks`, a source whose MP3 (by the mark it
// carries) is already there, wherever below the output folder it now is, is skipped as
// converted under every policy; one made before the source last changed is skipped under
// Skip and, under Overwrite, replaced only where it stands at the planned path (elsewhere
// the planned path is written); an MP3 made from another source is never handed to this
// one: the path is numbered. Under UpdateTags one made before the source last changed is
// planned for new tags wherever below the output folder it is. Otherwise the first
// source to plan a path gets it; a later one is numbered " (2)", " (3)" with the first
// number no other source plans and, unless the policy is Overwrite, nothing on disk
// holds. A path where something else exists already is skipped, overwritten or numbered
// as the policy says. A path longer than the system allows (a name over 255 bytes, a path
// over 4095), or one to be overwritten that may not be replaced, is refused with the reason.
// Paths that differ only in letter case are one path, as on any player's card: a later
// source is numbered, and a file under another case is the file at that path (`spelled`
// finds it; `exists` is asked of what it gives). `progress` counts the sources named; once
// stopped, the plan ends with none.
std::vector<TPlannedOutput> PlanOutputs(const std::vector<TWorkItem> &items, const TPlanOptions &options,
                                        const TPathExists &exists = PathExists,
                                        const TWhyNotReplaceable &whyNotReplaceable = WhyNotReplaceable,
                                        TMarkIndex *marks = nullptr, const TSpelling &spelled = {},
                                        TPlanProgress *progress = nullptr);

// The plan of a job: the marks below the output folder read first when MP3s carry them.
std::vector<TPlannedOutput> PlanJob(const std::vector<TWorkItem> &items, const TPlanOptions &options,
                                    TPlanProgress *progress = nullptr);

}  // namespace trackmill
