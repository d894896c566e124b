// A source folder's cover image ("folder.jpg" and its kin): looked for once per folder in
// a job, embedded as the front cover into MP3s whose sources bring no picture, and copied
// once beside the MP3s of each album folder. Only a regular file that is no link and begins
// as a JPEG or PNG image is read; nothing is written but new files under names no one
// holds: an image there is never replaced, whatever the existing-files policy.
#pragma once

#include "engine/OutputPlan.h"
#include "engine/TagTransfer.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace trackmill {

// An image larger than this is copied but not embedded: every MP3 of the album would carry it.
inline constexpr std::uint64_t kFolderArtEmbedLimit = 2 * 1024 * 1024;

// The name of the folder's cover image, or empty: the first of "folder", "cover", "front",
// "album", each with ".jpg", ".jpeg", ".png", in any letter case; of names that differ only
// in case, the first in byte order. Only a regular file (not a link) that begins as a JPEG
// or PNG image counts.
std::string FindFolderImage(const std::string &folder);

// "image/jpeg" or "image/png" by the first bytes of a file; empty for anything else.
std::string ImageMime(std::string_view head);

// What copying an image into a folder would do.
struct TArtCopyPlan {
    enum class Action { None, Write };
    Action action = Action::None;
    std::string target;  // for Write
    std::string reason;  // for None: why it cannot be copied (empty when nothing needs doing)
};
// Nothing when the same image is there already (or, under KeepBoth, under a numbered
// name), or a different one is there under Skip or Overwrite; else where it goes.
TArtCopyPlan PlanArtCopy(const std::string &image, const std::string &outputFolder, TExistingPolicy policy);

// The folder art of one job: the folders' listings and a few images cached, the album
// folders already given their copy.
class TFolderArt {
public:
    // Called with each temporary file made beside an output, before it is written.
    using NoteTemporary = std::function<void(const std::string &path)>;

    // Puts the folder's image into `additions` when it has one that may be embedded.
    void AddTo(const std::string &sourceFolder, TTagAdditions &additions);
    // Copies the source folder's image into the output folder, once per pair in a job.
    // Empty, or what went wrong, as a note for the file's reason.
    std::string CopyOnce(const std::string &sourceFolder, const std::string &outputFolder, TExistingPolicy policy,
                         const NoteTemporary &noteTemporary = {});
    // The next job looks again.
    void Reset();

private:
    const std::string &ImageName(const std::string &folder);

    struct Cached {
        std::string folder;
        std::string bytes;  // empty: nothing to embed
        std::string mime;
    };
    std::map<std::string, std::string> names_;  // folder -> image name ("" none)
    std::set<std::pair<std::string, std::string>> copied_;
    std::deque<Cached> cache_;  // newest last
    std::size_t cachedBytes_ = 0;
};

}  // namespace trackmill
