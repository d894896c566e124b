// The queue of work items a job converts: one item per source file, with where it was
// collected from, the output planned for it, how it ended and why. The window's list and
// trackmill-cli's lines are views of it; observers hear of every change.
#pragma once

#include "engine/TagTransfer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace trackmill {

// TagsUpdated: an MP3 made before its source last changed was given the source's present tags.
enum class TItemState { Waiting, Running, Converted, Skipped, Failed, Cancelled, TagsUpdated };

// "waiting", "converting", "converted", "skipped", "failed", "cancelled", "updated".
const char *ItemStateName(TItemState state);

struct TWorkItem {
    std::uint64_t id = 0;    // unique within the queue, stable while the item lives
    std::string source;      // full path, raw bytes
    // The folder whose structure the output keeps: the parent of the folder the file was
    // found in when a folder was dropped or named; empty for a file given on its own.
    std::string base;
    std::string output;      // planned output path; empty until a job plans it
    std::string mark;        // the mark of its source the MP3 carries; planned with the output
    TItemState state = TItemState::Waiting;
    std::string reason;      // why it failed, was skipped or renamed; empty otherwise
    int number = 0;          // 1-based position in the current job, for "[3/12]"
    int percent = 0;         // progress while running
    TTransferResult tags;    // what the tag transfer wrote
};

// A path offered that did not get into the queue, and why.
struct TLeftOutPath {
    std::string path;  // raw bytes
    std::string reason;
    bool operator==(const TLeftOutPath &) const = default;
};

class TWorkQueue {
public:
    struct Observer {
        std::function<void(int index, const TWorkItem &)> added;
        std::function<void(int index)> removed;
        std::function<void(int index, const TWorkItem &)> changed;  // state, reason, progress
        std::function<void()> cleared;
    };

    int Count() const { return int(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    const TWorkItem &At(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    const std::vector<TWorkItem> &Items() const { return items_; }
    // Index of the item with this id, or -1.
    int IndexOf(std::uint64_t id) const;
    // Whether a source of exactly these bytes is queued (a folder may hold both
    // "Song.mpc" and "song.mpc": they are two files).
    bool Contains(const std::string &source) const;

    // Appends a source unless it is queued already; false when it was.
    bool Add(const std::string &source, const std::string &base = {});
    void Remove(int index);
    void Clear();
    // Changes an item in place and tells the observer.
    void Update(int index, const std::function<void(TWorkItem &)> &change);

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // What the last collection did not take. Refused: music that cannot be converted (an
    // unusable name, a pipe or a broken link where a file was); ignored: not Musepack at all.
    const std::vector<TLeftOutPath> &Refused() const { return refused_; }
    const std::vector<TLeftOutPath> &Ignored() const { return ignored_; }
    void NoteRefused(std::string path, std::string reason) { refused_.push_back({std::move(path), std::move(reason)}); }
    void NoteIgnored(std::string path, std::string reason) { ignored_.push_back({std::move(path), std::move(reason)}); }
    void ForgetLeftOut()
    {
        refused_.clear();
        ignored_.clear();
    }

private:
    std::vector<TWorkItem> items_;
    std::unordered_set<std::string> sources_;  // each one's PathKey: one file, one entry
    std::uint64_t nextId_ = 1;
    Observer observer_;
    std::vector<TLeftOutPath> refused_;
    std::vector<TLeftOutPath> ignored_;
};

}  // namespace trackmill
