#include "engine/FolderArt.h"

#include "engine/Conversion.h"
#include "formats/TextUtil.h"
#include "os/Files.h"
#include "os/Path.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <vector>

namespace trackmill {

namespace {

constexpr std::array<std::string_view, 4> kStems{"folder", "cover", "front", "album"};
constexpr std::array<std::string_view, 3> kExtensions{".jpg", ".jpeg", ".png"};
// Two images (one per folder of two albums converting side by side) stay cached.
constexpr std::size_t kCacheBytes = 2 * kFolderArtEmbedLimit;
constexpr std::size_t kCacheEntries = 8;
constexpr std::size_t kChunk = 64 * 1024;
// Beyond this many numbered copies something is wrong with the folder; leave it be.
constexpr int kMaxNumber = 1000;
// No cover is this large: a file that is must be something else.
constexpr std::uint64_t kCopyLimit = 64 * 1024 * 1024;

// The folder's own file, opened as itself: a link may lead to anyone's private file.
bool OpenOwn(os::TFile &file, const std::string &path)
{
    return file.Open(path, os::TFile::Mode::Read, os::TFollow::NotLinks);
}

// Whether the file begins as a JPEG or PNG image does.
bool BeginsAsImage(os::TFile &file)
{
    char head[8] = {};
    const std::size_t got = file.ReadSomeAt(0, head, sizeof head);
    return !ImageMime(std::string_view(head, got)).empty();
}

// Its place in the order of preference, or -1 when the name is none of ours.
int RankOf(std::string_view name)
{
    std::string lower(name);
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (std::size_t s = 0; s < kStems.size(); ++s)
        for (std::size_t e = 0; e < kExtensions.size(); ++e)
            if (lower.size() == kStems[s].size() + kExtensions[e].size() && lower.starts_with(kStems[s]) &&
                lower.ends_with(kExtensions[e]))
                return int(s * kExtensions.size() + e);
    return -1;
}

// Whether `b` holds what `a` holds: the same file, or a regular file (not a link) of the same bytes.
bool SameContent(const std::string &a, const std::string &b)
{
    os::TFileId idA, idB;
    if (os::IdOf(a, idA) && os::IdOf(b, idB) && idA == idB) return true;
    if (os::Stat(b, os::TFollow::NotLinks).kind != os::TKind::File) return false;
    os::TFile fileA, fileB;
    if (!fileA.Open(a) || !fileB.Open(b) || fileA.Size() != fileB.Size()) return false;
    std::vector<char> bufA(kChunk), bufB(kChunk);
    for (std::int64_t at = 0;;) {
        const std::size_t gotA = fileA.ReadSomeAt(at, bufA.data(), kChunk);
        const std::size_t gotB = fileB.ReadSomeAt(at, bufB.data(), kChunk);
        if (gotA != gotB || !std::equal(bufA.begin(), bufA.begin() + std::ptrdiff_t(gotA), bufB.begin())) return false;
        if (gotA == 0) return fileA.Error() == 0 && fileB.Error() == 0;
        at += std::int64_t(gotA);
    }
}

// The image's bytes and type when it may be embedded.
void ReadForEmbedding(const std::string &path, std::string &bytes, std::string &mime)
{
    os::TFile file;
    if (!OpenOwn(file, path)) return;
    const std::int64_t size = file.Size();
    if (size <= 0 || std::uint64_t(size) > kFolderArtEmbedLimit) return;
    std::string data(static_cast<std::size_t>(size), '\0');
    if (!file.ReadAt(0, data.data(), data.size())) return;
    mime = ImageMime(data);
    if (!mime.empty()) bytes = std::move(data);
}

// Copies the image to a temporary name beside the target, then gives it the target's name
// where nothing is. 0, or the errno value with *why.
int CopyTo(const std::string &image, const TArtCopyPlan &plan, const TFolderArt::NoteTemporary &noteTemporary,
           std::string &why)
{
    os::TFile in;
    if (!OpenOwn(in, image)) {
        why = "cannot read it: " + os::ErrorText(in.Error());
        return in.Error() ? in.Error() : EIO;
    }
    if (!BeginsAsImage(in)) {
        why = "it is not a JPEG or PNG image";
        return EINVAL;
    }
    if (const std::int64_t size = in.Size(); size < 0 || std::uint64_t(size) > kCopyLimit) {
        why = "it exceeds the " + SizeText(kCopyLimit) + " limit for an image";
        return EFBIG;
    }
    const std::string folder = os::FolderOf(plan.target);
    os::TFile out;
    std::string temp;
    // The user's usual rights, but a picture others may not read is copied for the user alone.
    const auto access = os::Stat(image, os::TFollow::NotLinks).othersMayNotRead ? os::TFile::Access::Private
                                                                                 : os::TFile::Access::Usual;
    if (!out.CreateUnique(folder, kTemporaryPrefix, "", &temp, access)) {
        why = "cannot write in " + os::Native(folder) + ": " + os::ErrorText(out.Error());
        return out.Error() ? out.Error() : EIO;
    }
    if (noteTemporary) noteTemporary(temp);
    auto fail = [&](int err, const std::string &what) {
        out.Close();
        os::RemoveFile(temp);
        why = what + os::ErrorText(err);
        return err ? err : EIO;
    };
    std::vector<char> buf(kChunk);
    for (std::int64_t at = 0;;) {
        const std::size_t got = in.ReadSomeAt(at, buf.data(), kChunk);
        if (got == 0) {
            if (in.Error() != 0) return fail(in.Error(), "cannot read it: ");
            break;
        }
        if (std::uint64_t(at) + got > kCopyLimit) return fail(EFBIG, "it grew while it was copied: ");
        if (!out.WriteAt(at, buf.data(), got)) return fail(out.Error(), "cannot write " + temp + ": ");
        at += std::int64_t(got);
    }
    if (const int err = out.Close(); err != 0) return fail(err, "cannot write " + temp + ": ");
    const int err = os::RenameNoReplace(temp, plan.target);
    if (err != 0) {
        os::RemoveFile(temp);
        why = "cannot rename it to " + os::Native(plan.target) + ": " + os::ErrorText(err);
    }
    return err;
}

}  // namespace

std::string FindFolderImage(const std::string &folder)
{
    os::TFolderReader reader(folder);
    int bestRank = INT_MAX;
    std::string best;
    for (os::TFolderEntry entry; reader.Next(entry);) {
        const int rank = RankOf(entry.name);
        if (rank < 0 || rank > bestRank || (rank == bestRank && entry.name >= best)) continue;
        // Only a regular file of the folder's own that is an image: a folder, pipe or
        // device is none (and a pipe would block a read), and a link may lead anywhere.
        const std::string path = os::Join(folder, entry.name);
        if (os::Stat(path, os::TFollow::NotLinks).kind != os::TKind::File) continue;
        os::TFile file;
        if (!OpenOwn(file, path) || !BeginsAsImage(file)) continue;
        bestRank = rank;
        best = entry.name;
    }
    return best;
}

std::string ImageMime(std::string_view head)
{
    if (head.starts_with("\xFF\xD8\xFF")) return "image/jpeg";
    if (head.starts_with("\x89PNG\r\n\x1A\n")) return "image/png";
    return {};
}

TArtCopyPlan PlanArtCopy(const std::string &image, const std::string &outputFolder, TExistingPolicy policy)
{
    using Action = TArtCopyPlan::Action;
    const std::string target = os::Join(outputFolder, os::FileName(image));
    if (!os::Exists(target)) return {Action::Write, target, {}};
    if (SameContent(image, target)) return {};
    // An image there is never replaced, whatever the policy: it may be a source folder's
    // own, or one the user put there.
    switch (policy) {
    case TExistingPolicy::Skip:
    case TExistingPolicy::Overwrite:
    case TExistingPolicy::UpdateTags: return {};
    case TExistingPolicy::KeepBoth:
        for (int n = 2; n <= kMaxNumber; ++n) {
            const std::string numbered = NumberedPath(target, n);
            if (!os::Exists(numbered)) return {Action::Write, numbered, {}};
            if (SameContent(image, numbered)) return {};
        }
        return {Action::None, {}, "no free name beside " + os::Native(target)};
    }
    return {};
}

const std::string &TFolderArt::ImageName(const std::string &folder)
{
    const auto found = names_.find(folder);
    if (found != names_.end()) return found->second;
    return names_.emplace(folder, FindFolderImage(folder)).first->second;
}

void TFolderArt::AddTo(const std::string &sourceFolder, TTagAdditions &additions)
{
    auto give = [&](const Cached &c) {
        additions.folderArt = c.bytes;
        additions.folderArtMime = c.mime;
    };
    for (const Cached &c : cache_)
        if (c.folder == sourceFolder) return give(c);
    Cached entry{sourceFolder, {}, {}};
    if (const std::string &name = ImageName(sourceFolder); !name.empty())
        ReadForEmbedding(os::Join(sourceFolder, name), entry.bytes, entry.mime);
    give(entry);
    while (!cache_.empty() && (cache_.size() >= kCacheEntries || cachedBytes_ + entry.bytes.size() > kCacheBytes)) {
        cachedBytes_ -= cache_.front().bytes.size();
        cache_.pop_front();
    }
    cachedBytes_ += entry.bytes.size();
    cache_.push_back(std::move(entry));
}

std::string TFolderArt::CopyOnce(const std::string &sourceFolder, const std::string &outputFolder,
                                 TExistingPolicy policy, const NoteTemporary &noteTemporary)
{
    if (!copied_.emplace(sourceFolder, outputFolder).second) return {};
    const std::string &name = ImageName(sourceFolder);
    if (name.empty()) return {};
    const std::string image = os::Join(sourceFolder, name);
    std::string why;
    // A file that appears under the chosen name meanwhile is someone's: plan again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        why.clear();
        const TArtCopyPlan plan = PlanArtCopy(image, outputFolder, policy);
        if (plan.action == TArtCopyPlan::Action::None) {
            why = plan.reason;
            break;
        }
        if (CopyTo(image, plan, noteTemporary, why) != EEXIST) break;
    }
    return why.empty() ? std::string() : "the folder image " + name + " was not copied: " + why;
}

void TFolderArt::Reset()
{
    names_.clear();
    copied_.clear();
    cache_.clear();
    cachedBytes_ = 0;
}

}  // namespace trackmill
