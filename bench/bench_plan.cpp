// Planning the outputs of a large queue: 10,000 sources of a library whose albums all
// name their files alike, flat into one folder (every name collides) and with the folder
// structure kept; each looked up on a real (empty) output folder.
//
//   bench_plan [entries=10000]
#include "engine/OutputPlan.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

int main(int argc, char **argv)
{
    using namespace trackmill;
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::vector<TWorkItem> items;
    for (int i = 0; i < count; ++i) {
        TWorkItem item;
        item.source = "/library/Album " + std::to_string(i / 20) + "/" + std::to_string(i % 20 + 1) + " Track.mpc";
        item.base = "/library";
        items.push_back(std::move(item));
    }
    const std::string out = (std::filesystem::temp_directory_path() / "trackmill-bench-plan-none/").string();
    for (bool keep : {false, true}) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto plan = PlanOutputs(items, IntoFolder(out, keep ? TOutputLayout::Source : TOutputLayout::Flat));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::set<std::string> distinct;
        for (const auto &p : plan) distinct.insert(p.output);
        std::printf("%d entries, %s: planned in %.3f s, %zu distinct outputs%s\n", count,
                    keep ? "folder structure kept" : "flat", seconds, distinct.size(),
                    distinct.size() == items.size() ? "" : "  <-- an output was planned twice");
    }
    return 0;
}
