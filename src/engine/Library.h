// A library converted once: where a source's MP3 goes does not depend on how the source
// was added, and every MP3 we write carries a mark of the source it was made from, so a
// later job can tell which source made an MP3 it finds below the output folder.
#pragma once

#include "engine/OutputTarget.h"
#include "engine/PlanProgress.h"
#include "engine/WorkQueue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace trackmill {

// Which source an MP3 was made from: its path relative to the library folder (or, outside
// it, to the dropped folder's parent), its size and its modification time.
struct TSourceMark {
    std::string path;  // raw bytes
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const TSourceMark &) const = default;
};

// "size=12345; modified=1700000000; path=Artist/Album/01 Song.mpc": the path last so that it
// may hold anything; "%" and bytes that are not UTF-8 written as "%XX", so the text is valid
// UTF-8 and gives back the same bytes.
std::string MarkText(const TSourceMark &mark);
std::optional<TSourceMark> ParseMark(std::string_view text);

// The source's path below the output folder in the layout of the sources' folders: below
// the library folder when it lies there, else below the folder it was collected from's
// parent, else only its name.
std::string LibraryRelativePath(const TWorkItem &item, const std::string &libraryDir);

// The mark an output carries, read from its tags alone (the audio is never read); nothing
// when it has none or cannot be read.
std::optional<TSourceMark> ReadMark(const std::string &path, const TOutputTarget &target = OutputTarget(TOutputFormat::Mp3));

// A source as the plan looks for its MP3s.
struct TSourceLookup {
    std::string source;   // its full path
    TSourceMark mark;     // its path as its MP3 would name it, its size and time now
    bool inLibrary = false;  // below the library folder, where a path names one source
};

// Whether an MP3's mark names this source. Same: its path is the source's (or, outside the
// library folder, the end of it, whole names only: an album converted, then its parent
// folder) and its size and time agree, or the source was renamed (size and time agree and
// nothing is left at the path the mark names). Earlier: the path is the source's own but
// the source changed since (retagged, or copied to a disk that keeps times coarser); below
// the library folder a path names one source, outside it only where the MP3 stands at the
// source's planned path (`atPlannedPath`) and the path holds a folder: "01.mpc" alone, or
// another album's, would say nothing.
enum class TMarkMatch { None, Same, Earlier };
TMarkMatch MatchMark(const TSourceMark &mark, const TSourceLookup &source, bool atPlannedPath = false);

// The marks of one format's outputs: those found below a folder, and any other path asked
// about, each read once. An MP3 and an Opus file of one source are two outputs: neither is
// taken for the other.
class TMarkIndex {
public:
    explicit TMarkIndex(TOutputFormat format = TOutputFormat::Mp3) : target_(&OutputTarget(format)) {}
    // Reads the marks of the files of the format below the folder: not through links, not into
    // hidden folders, each folder once, and no more than a library's worth of entries
    // (what is left is looked at path by path). `progress` counts the files read; once
    // stopped, the scan ends.
    void Scan(const std::string &folder, TPlanProgress *progress = nullptr);
    // An MP3 made from this source (MatchMark): found by Scan, one of this very source
    // first, then one at `preferred`, else the first by name; `earlier` says whether it
    // was made before the source changed.
    const std::string *Find(const TSourceLookup &source, const std::string &preferred, bool *earlier) const;
    // The mark of the MP3 at a path.
    const std::optional<TSourceMark> &MarkAt(const std::string &path);
    // Scan looked at the path's folder and found no MP3 there.
    bool KnownAbsent(const std::string &path) const;

private:
    struct Found {
        TSourceMark mark;
        std::string mp3;
    };
    const TOutputTarget *target_;
    std::vector<Found> found_;
    // Into found_: by the source's path, and by its size and time.
    std::unordered_multimap<std::string, std::size_t> byMarkPath_;
    std::unordered_multimap<std::string, std::size_t> byIdentity_;
    std::unordered_map<std::string, std::optional<TSourceMark>> byPath_;
    std::unordered_set<std::string> walked_;  // folders read whole, ending in "/"
};

// The fields a name pattern can use, from a source's tags (APE first, then ID3v2, then ID3v1).
struct TPatternFields {
    std::string artist, albumArtist, album, title, track, year, disc, genre;
};
// Read from a file's tags alone (nothing of its stream is looked at).
TPatternFields ReadPatternFields(const std::string &path);

// The pattern's path for a source (without ".mp3"): "%albumartist%" falls back to the
// artist, a missing title to the source's name, a missing track to nothing; text in square
// brackets is left out, with its fields, when any of them is empty ("[%year% - ]%album%";
// "[[" and "]]" are the brackets themselves, and brackets do not nest). In each value
// / \ : * ? " < > | and control characters become "_", dots and blanks at the end of a name
// go, and each name is cut at 255 bytes by whole characters (the file's leaving room for a
// number and `extension`), so that the names also work on players with FAT file systems; a
// name Windows reserves ("CON", "COM1") gets "_".
// A folder whose fields outside brackets are all empty makes no path: nothing, and the
// source keeps its own folders. A file name whose fields are all empty is the source's
// own name; a folder of the pattern's own text only, or of brackets left out, is no folder.
std::optional<std::string> ExpandNamePattern(const std::string &pattern, const TPatternFields &fields,
                                             const std::string &sourceName, std::string_view extension = ".mp3");

}  // namespace trackmill
