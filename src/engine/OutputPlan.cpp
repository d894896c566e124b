#include "engine/OutputPlan.h"

#include "engine/Command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <unordered_map>
#include <unordered_set>

namespace trackmill {

namespace {

constexpr std::size_t kNameMax = 255;
constexpr std::size_t kPathMax = 4095;

bool TooLong(const std::string &path)
{
    if (path.size() > kPathMax) return true;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash - start > kNameMax) return true;
        start = slash + 1;
    }
    return false;
}

}  // namespace

bool PathExists(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string WhyNotReplaceable(const std::string &path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {};
    // Replacing needs only the folder's permission; the user's right to the file itself is
    // what counts here.
    if (!S_ISREG(st.st_mode)) return "cannot replace " + path + ": not a file";
    if (::access(path.c_str(), W_OK) != 0) return "cannot replace " + path + ": " + std::strerror(errno);
    return {};
}

std::string PlainOutputPath(const TWorkItem &item, const TPlanOptions &options)
{
    if (!options.useOutputDir) return ChangeExtensionToMp3(item.source);
    std::string below = FileNamePart(item.source);
    if (options.keepFolders && !item.base.empty()) {
        std::string base = item.base;
        if (base.back() != '/') base += '/';
        if (item.source.size() > base.size() && item.source.compare(0, base.size(), base) == 0)
            below = item.source.substr(base.size());
    }
    return ChangeExtensionToMp3(options.outputDir + below);
}

std::string NumberedPath(const std::string &path, int n)
{
    const std::string suffix = " (" + std::to_string(n) + ")";
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
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
        if (TooLong(path)) {
            plan.kind = Kind::Refused;
            plan.reason = "the output path is longer than the system allows";
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
