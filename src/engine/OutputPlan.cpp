#include "engine/OutputPlan.h"

#include "engine/Library.h"

#include "os/Files.h"
#include "os/Path.h"
#include "formats/TextUtil.h"

#include <unordered_map>
#include <unordered_set>

namespace trackmill {

namespace {

constexpr std::size_t kNameMax = 255;
constexpr std::size_t kPathMax = 4095;

bool TooLong(const std::string &path)
{
    if (path.size() > kPathMax) return true;
    std::size_t length = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (os::IsSeparator(path[i])) length = 0;
        else if (++length > kNameMax) return true;
    }
    return false;
}

// Looks paths up as a file system blind to letter case would, reading each folder once.
class TCaseBlindLookup {
public:
    std::string Spelled(const std::string &path)
    {
        const std::string trimmed = os::WithoutSeparator(path);
        if (os::LastSeparator(trimmed) == std::string::npos) return path;
        const std::string folder = os::FolderOf(trimmed);
        if (folder == trimmed) return path;  // a root
        const std::string name = os::FileName(trimmed);
        const std::string at = SpelledFolder(folder);
        const TNames &names = Names(at);
        // The name as given where it is there: a disk that keeps case may hold both.
        const auto found = names.exact.count(name) ? names.folded.end() : names.folded.find(FoldCase(name));
        const std::string out = os::Join(at, found == names.folded.end() ? name : found->second);
        return trimmed.size() == path.size() ? out : os::WithSeparator(out);
    }

private:
    std::string SpelledFolder(const std::string &folder)
    {
        const auto known = folders_.find(folder);
        if (known != folders_.end()) return known->second;
        std::string spelled = os::Exists(folder) ? folder : Spelled(folder);
        return folders_.emplace(folder, std::move(spelled)).first->second;
    }

    struct TNames {
        std::unordered_set<std::string> exact;
        std::unordered_map<std::string, std::string> folded;  // the first spelling of each
    };

    const TNames &Names(const std::string &folder)
    {
        const auto known = names_.find(folder);
        if (known != names_.end()) return known->second;
        TNames names;
        os::TFolderReader reader(folder);
        os::TFolderEntry entry;
        while (reader.IsOpen() && reader.Next(entry)) {
            names.folded.try_emplace(FoldCase(entry.name), entry.name);
            names.exact.insert(entry.name);
        }
        return names_.emplace(folder, std::move(names)).first->second;
    }

    std::unordered_map<std::string, std::string> folders_;
    std::unordered_map<std::string, TNames> names_;
};

}  // namespace

bool PathExists(const std::string &path)
{
    return os::Exists(path);
}

std::string WhyNotReplaceable(const std::string &path)
{
    const os::TFileInfo info = os::Stat(path, os::TFollow::NotLinks);
    if (!info.Exists()) return {};
    // Replacing needs only the folder's permission; the user's right to the file itself is
    // what counts here.
    if (info.kind != os::TKind::File) return "cannot replace " + os::Native(path) + ": not a file";
    if (const int err = os::CheckWritable(path); err != 0) return "cannot replace " + os::Native(path) + ": " + os::ErrorText(err);
    return {};
}

std::string PlainOutputPath(const TWorkItem &item, const TPlanOptions &options)
{
    const std::string ext(OutputTarget(options.format).Extension());
    if (!options.useOutputDir) return os::ReplaceExtension(item.source, ext);
    switch (options.layout) {
    case TOutputLayout::Flat: break;
    case TOutputLayout::Source:
        return os::ReplaceExtension(options.outputDir + LibraryRelativePath(item, options.libraryDir), ext);
    case TOutputLayout::Tags: {
        const auto named =
            ExpandNamePattern(options.namePattern, ReadPatternFields(item.source), os::FileName(item.source), ext);
        if (named) return options.outputDir + *named + ext;
        // Tags that leave a folder empty: where the sources' folders would put it.
        return os::ReplaceExtension(options.outputDir + LibraryRelativePath(item, options.libraryDir), ext);
    }
    }
    return os::ReplaceExtension(options.outputDir + os::FileName(item.source), ext);
}

std::string NumberedPath(const std::string &path, int n)
{
    return os::InsertBeforeExtension(path, " (" + std::to_string(n) + ")");
}

std::vector<TPlannedOutput> PlanOutputs(const std::vector<TWorkItem> &items, const TPlanOptions &options,
                                        const TPathExists &exists, const TWhyNotReplaceable &whyNotReplaceable,
                                        TMarkIndex *marks, const TSpelling &spelled, TPlanProgress *progress)
{
    auto stopped = [progress] { return progress && progress->Stopped(); };
    auto spell = [&](std::string path) { return spelled ? spelled(path) : path; };
    using Kind = TPlannedOutput::Kind;
    std::vector<TPlannedOutput> plans;
    plans.reserve(items.size());
    // Every path a source of this job has claimed, skipped ones included, so that running
    // the same job again skips each file instead of shifting the numbers.
    class TClaims {
    public:
        bool insert(const std::string &path) { return set_.insert(FoldCase(path)).second; }
        std::size_t count(const std::string &path) const { return set_.count(FoldCase(path)); }
        void reserve(std::size_t n) { set_.reserve(n); }

    private:
        std::unordered_set<std::string> set_;
    } claimed;
    claimed.reserve(items.size() * 2);
    // Where numbering goes on for each plain path, so that many sources of one name plan
    // in linear time.
    std::unordered_map<std::string, int> lastNumber;
    // Which file each source is (links followed), looked at once an output exists: an
    // output that is a source of the job must never be skipped for, or replaced by, an MP3.
    std::unordered_map<os::TFileId, std::size_t, os::TFileIdHash> sourceIds;
    bool sourcesLooked = false;
    auto sourceAt = [&](const std::string &path) -> const TWorkItem * {
        if (!sourcesLooked) {
            sourcesLooked = true;
            os::TFileId id;
            for (std::size_t i = 0; i < items.size(); ++i)
                if (os::IdOf(items[i].source, id)) sourceIds.try_emplace(id, i);
        }
        os::TFileId id;
        if (!os::IdOf(path, id)) return nullptr;
        const auto found = sourceIds.find(id);
        return found == sourceIds.end() ? nullptr : &items[found->second];
    };

    // Each source as its MP3s would name it, and the MP3 below the output folder already
    // made from it: those paths are taken before any other source plans, so none is handed
    // to another.
    std::vector<std::optional<TSourceLookup>> lookups(items.size());
    std::vector<const std::string *> madeBefore(items.size(), nullptr);
    std::vector<bool> earlier(items.size(), false);
    std::vector<std::string> plains(items.size());
    const std::string library = os::WithSeparator(options.libraryDir);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (stopped()) return {};
        plains[i] = spell(PlainOutputPath(items[i], options));
        if (progress) ++progress->sources;
        if (!marks) continue;
        const os::TFileInfo info = os::Stat(items[i].source);
        if (info.kind != os::TKind::File) continue;
        TSourceLookup &lookup = lookups[i].emplace();
        lookup.source = items[i].source;
        lookup.mark = {LibraryRelativePath(items[i], options.libraryDir), info.size, info.modified};
        lookup.inLibrary = os::IsInside(items[i].source, library);
        bool older = false;
        madeBefore[i] = marks->Find(lookup, plains[i], &older);
        if (!madeBefore[i] && !marks->KnownAbsent(plains[i])) {
            const std::optional<TSourceMark> &there = marks->MarkAt(plains[i]);
            if (const TMarkMatch match = there ? MatchMark(*there, lookup, true) : TMarkMatch::None;
                match != TMarkMatch::None) {
                madeBefore[i] = &plains[i];
                older = match == TMarkMatch::Earlier;
            }
        }
        earlier[i] = older;
        // The source's own MP3 is converted already, whatever the policy. One made before it
        // changed is left under Skip, and replaced under Overwrite only where it stands at
        // the planned path below the library folder: a mark is easily forged, an MP3
        // elsewhere may be anyone's, and outside the library another album's may bear the
        // same path.
        const bool own = madeBefore[i] &&
                         (!older || options.existing == TExistingPolicy::Skip ||
                          options.existing == TExistingPolicy::UpdateTags ||
                          (options.existing == TExistingPolicy::Overwrite && lookup.inLibrary &&
                           FoldCase(*madeBefore[i]) == FoldCase(plains[i])));
        // Two sources alike in name, size and time (copies) are not both the same MP3's.
        if (!own || !claimed.insert(*madeBefore[i])) madeBefore[i] = nullptr;
    }
    // Something at the path carries the mark of a source other than this one.
    auto another = [&](const std::string &path, std::size_t i) {
        if (!marks) return false;
        const std::optional<TSourceMark> &mark = marks->MarkAt(path);
        if (!mark) return false;
        const TMarkMatch match = lookups[i] ? MatchMark(*mark, *lookups[i], true) : TMarkMatch::None;
        // Outside the library an earlier version is only presumed: it is left, never replaced.
        return match == TMarkMatch::None || (match == TMarkMatch::Earlier && !lookups[i]->inLibrary &&
                                             options.existing != TExistingPolicy::Skip &&
                                             options.existing != TExistingPolicy::UpdateTags);
    };

    for (std::size_t i = 0; i < items.size(); ++i) {
        if (stopped()) return {};
        const TWorkItem &item = items[i];
        TPlannedOutput plan;
        if (lookups[i] && options.markers) plan.mark = MarkText(lookups[i]->mark);
        const std::string &plain = plains[i];
        if (madeBefore[i]) {
            plan.output = *madeBefore[i];
            const TWorkItem *source = sourceAt(plan.output);
            if (!earlier[i] || options.existing == TExistingPolicy::Skip) {
                plan.kind = Kind::Skipped;
                plan.outdated = earlier[i];
                plan.reason = (earlier[i] ? "already converted, before the source last changed: " : "already converted: ") +
                              plan.output;
            } else if (source) {
                plan.kind = Kind::Refused;
                plan.reason = "the output " + os::Native(plan.output) + " is the source " + os::Native(source->source);
            } else if (TooLong(plan.output)) {
                plan.kind = Kind::Refused;
                plan.reason = "the output path is longer than the system allows";
            } else if (std::string why = whyNotReplaceable(plan.output); !why.empty()) {
                plan.kind = Kind::Refused;
                plan.reason = std::move(why);
            } else if (options.existing == TExistingPolicy::UpdateTags) {
                plan.kind = Kind::UpdateTags;
                plan.reason = "converted before the source last changed: its tags are updated";
                plan.mark = MarkText(lookups[i]->mark);
            } else {
                plan.kind = Kind::Overwrite;
                plan.reason = "replaces " + os::Native(plan.output) + ", converted before";
            }
            plans.push_back(std::move(plan));
            continue;
        }
        std::string path = plain;
        int &n = lastNumber.try_emplace(FoldCase(plain), 1).first->second;
        bool there = false;  // something stands at `path` on disk; looked at once
        const bool exist = !claimed.count(path) && exists(path);
        const bool foreign = exist && another(path, i);
        if (claimed.count(path) || foreign) {
            // Numbered past what other sources claim or made, and past anything at all when
            // nothing may be replaced.
            auto taken = [&](const std::string &p) {
                if (claimed.count(p)) return true;
                if (!exists(p)) return false;
                return options.existing == TExistingPolicy::KeepBoth || another(p, i);
            };
            do path = spell(NumberedPath(plain, ++n));
            while (taken(path));
            plan.kind = Kind::Renamed;
            plan.reason = foreign ? "renamed: " + plain + " was made from another source"
                                  : "renamed: another source also makes " + plain;
            there = options.existing != TExistingPolicy::KeepBoth && exists(path);
        } else if (exist) {
            there = true;
            if (options.existing == TExistingPolicy::KeepBoth) {
                do path = spell(NumberedPath(plain, ++n));
                while (claimed.count(path) || exists(path));
                plan.kind = Kind::Renamed;
                plan.reason = "renamed: " + plain + " exists";
                there = false;
            }
        }
        // Update tags touches only MP3s converted before: anything else there is skipped.
        if (there && (options.existing == TExistingPolicy::Skip || options.existing == TExistingPolicy::UpdateTags)) {
            plan.kind = Kind::Skipped;
            plan.reason = "exists: " + os::Native(path);
        } else if (there && options.existing == TExistingPolicy::Overwrite) {
            if (plan.kind == Kind::Renamed) {
                plan.reason += "; replaces " + os::Native(path);
            } else {
                plan.kind = Kind::Overwrite;
                plan.reason = "replaces " + os::Native(path);
            }
        }
        claimed.insert(path);
        const TWorkItem *source = there ? sourceAt(path) : nullptr;
        if (TooLong(path)) {
            plan.kind = Kind::Refused;
            plan.reason = "the output path is longer than the system allows";
        } else if (source) {
            plan.kind = Kind::Refused;
            plan.reason = source == &item ? "the output " + os::Native(path) + " is this source itself"
                                          : "the output " + os::Native(path) + " is the source " + os::Native(source->source);
        } else if (there && options.existing == TExistingPolicy::Overwrite) {
            if (std::string why = whyNotReplaceable(path); !why.empty()) {
                plan.kind = Kind::Refused;
                plan.reason = std::move(why);
            }
        }
        plan.output = std::move(path);
        plans.push_back(std::move(plan));
    }
    return plans;
}

std::vector<TPlannedOutput> PlanJob(const std::vector<TWorkItem> &items, const TPlanOptions &options,
                                    TPlanProgress *progress)
{
    // Read even when this job writes no marks: the MP3s of other jobs still carry theirs.
    TMarkIndex marks(options.format);
    if (options.useOutputDir && !options.outputDir.empty() && !items.empty()) marks.Scan(options.outputDir, progress);
    TCaseBlindLookup lookup;
    return PlanOutputs(items, options, PathExists, WhyNotReplaceable, &marks,
                       [&lookup](const std::string &path) { return lookup.Spelled(path); }, progress);
}

}  // namespace trackmill
