#include "engine/OutputPlan.h"

#include "system/os/Files.h"
#include "system/os/Path.h"

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
    if (info.kind != os::TKind::File) return "cannot replace " + path + ": not a file";
    if (const int err = os::CheckWritable(path); err != 0) return "cannot replace " + path + ": " + os::ErrorText(err);
    return {};
}

std::string PlainOutputPath(const TWorkItem &item, const TPlanOptions &options)
{
    if (!options.useOutputDir) return os::ReplaceExtension(item.source, ".mp3");
    std::string below = os::FileName(item.source);
    if (options.layout != TOutputLayout::Flat && !item.base.empty()) {
        const std::string base = os::WithSeparator(item.base);
        if (item.source.size() > base.size() && item.source.compare(0, base.size(), base) == 0)
            below = item.source.substr(base.size());
    }
    return os::ReplaceExtension(options.outputDir + below, ".mp3");
}

std::string NumberedPath(const std::string &path, int n)
{
    return os::InsertBeforeExtension(path, " (" + std::to_string(n) + ")");
}

std::vector<TPlannedOutput> PlanOutputs(const std::vector<TWorkItem> &items, const TPlanOptions &options,
                                        const TPathExists &exists, const TWhyNotReplaceable &whyNotReplaceable)
{
    using Kind = TPlannedOutput::Kind;
    std::vector<TPlannedOutput> plans;
    plans.reserve(items.size());
    // Every path a source of this job has claimed, skipped ones included, so that running
    // the same job again skips each file instead of shifting the numbers.
    std::unordered_set<std::string> claimed;
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

    for (const TWorkItem &item : items) {
        TPlannedOutput plan;
        const std::string plain = PlainOutputPath(item, options);
        std::string path = plain;
        int &n = lastNumber.try_emplace(plain, 1).first->second;
        bool there = false;  // something stands at `path` on disk; looked at once
        if (claimed.count(path)) {
            do path = NumberedPath(plain, ++n);
            while (claimed.count(path) || (options.existing == TExistingPolicy::KeepBoth && exists(path)));
            plan.kind = Kind::Renamed;
            plan.reason = "renamed: another source also makes " + plain;
            there = options.existing != TExistingPolicy::KeepBoth && exists(path);
        } else if (exists(path)) {
            there = true;
            if (options.existing == TExistingPolicy::KeepBoth) {
                do path = NumberedPath(plain, ++n);
                while (claimed.count(path) || exists(path));
                plan.kind = Kind::Renamed;
                plan.reason = "renamed: " + plain + " exists";
                there = false;
            }
        }
        if (there && options.existing == TExistingPolicy::Skip) {
            plan.kind = Kind::Skipped;
            plan.reason = "exists: " + path;
        } else if (there && options.existing == TExistingPolicy::Overwrite) {
            if (plan.kind == Kind::Renamed) {
                plan.reason += "; replaces " + path;
            } else {
                plan.kind = Kind::Overwrite;
                plan.reason = "replaces " + path;
            }
        }
        claimed.insert(path);
        const TWorkItem *source = there ? sourceAt(path) : nullptr;
        if (TooLong(path)) {
            plan.kind = Kind::Refused;
            plan.reason = "the output path is longer than the system allows";
        } else if (source) {
            plan.kind = Kind::Refused;
            plan.reason = source == &item ? "the output " + path + " is this source itself"
                                          : "the output " + path + " is the source " + source->source;
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

}  // namespace trackmill
