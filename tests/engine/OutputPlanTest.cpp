// The output plan alone, on generated queues: where each source goes, how collisions and
// files already there are settled, and that no two sources ever plan the same path.
#include "engine/OutputPlan.h"
#include "os/Path.h"

#include <gtest/gtest.h>

#include <set>

namespace trackmill {
namespace {

using Kind = TPlannedOutput::Kind;

std::vector<TWorkItem> Items(const std::vector<std::pair<std::string, std::string>> &sourcesAndBases)
{
    std::vector<TWorkItem> items;
    for (const auto &[source, base] : sourcesAndBases) {
        TWorkItem i;
        i.source = source;
        i.base = base;
        items.push_back(i);
    }
    return items;
}

TEST(OutputPlan, FoldersCollisionsAndTheExistingFilesPolicy)
{
    const auto items = Items({{"/m/Artist/Album/01.mpc", "/m"},
                              {"/m/Artist/Album/01.mp+", "/m"},
                              {"/m/Other/Album/01.mpc", "/m"},
                              {"/single/01.mpc", ""}});
    TPlanOptions beside;
    auto plan = PlanOutputs(items, beside, [](const std::string &) { return false; });
    EXPECT_EQ(plan[0].output, "/m/Artist/Album/01.mp3");
    EXPECT_EQ(plan[1].output, "/m/Artist/Album/01 (2).mp3");
    EXPECT_EQ(plan[1].kind, Kind::Renamed);
    EXPECT_EQ(plan[2].output, "/m/Other/Album/01.mp3");

    TPlanOptions out = IntoFolder("/out/", TOutputLayout::Source);
    plan = PlanOutputs(items, out, [](const std::string &) { return false; });
    EXPECT_EQ(plan[0].output, "/out/Artist/Album/01.mp3");
    EXPECT_EQ(plan[2].output, "/out/Other/Album/01.mp3");
    EXPECT_EQ(plan[3].output, "/out/01.mp3");  // a file given on its own goes straight in
    out.layout = TOutputLayout::Flat;
    plan = PlanOutputs(items, out, [](const std::string &) { return false; });
    EXPECT_EQ(plan[0].output, "/out/01.mp3");
    EXPECT_EQ(plan[1].output, "/out/01 (2).mp3");
    EXPECT_EQ(plan[2].output, "/out/01 (3).mp3");
    EXPECT_EQ(plan[3].output, "/out/01 (4).mp3");

    // Files already there: "/out/01.mp3" and "/out/01 (2).mp3".
    const std::set<std::string> disk = {"/out/01.mp3", "/out/01 (2).mp3"};
    auto exists = [&](const std::string &p) { return disk.count(p) > 0; };
    plan = PlanOutputs(items, out, exists);
    EXPECT_EQ(plan[0].kind, Kind::Skipped);
    EXPECT_EQ(plan[0].reason, "exists: " + os::Native("/out/01.mp3"));  // as the system writes it
    EXPECT_EQ(plan[1].kind, Kind::Skipped);  // its number is taken on disk too: running again skips
    EXPECT_EQ(plan[2].output, "/out/01 (3).mp3");
    EXPECT_EQ(plan[2].kind, Kind::Renamed);
    // Update tags is for MP3s converted before; a file without a mark is skipped as under Skip.
    out.existing = TExistingPolicy::UpdateTags;
    const auto updating = PlanOutputs(items, out, exists);
    for (std::size_t i = 0; i < plan.size(); ++i)
        EXPECT_TRUE(updating[i].kind == plan[i].kind && updating[i].output == plan[i].output) << i;
    out.existing = TExistingPolicy::KeepBoth;
    plan = PlanOutputs(items, out, exists);
    EXPECT_EQ(plan[0].output, "/out/01 (3).mp3");
    EXPECT_EQ(plan[1].output, "/out/01 (4).mp3");
    out.existing = TExistingPolicy::Overwrite;
    plan = PlanOutputs(items, out, exists);
    EXPECT_EQ(plan[0].kind, Kind::Overwrite);
    EXPECT_EQ(plan[0].output, "/out/01.mp3");
    EXPECT_EQ(plan[1].output, "/out/01 (2).mp3");

    // A name at the limit is written; numbered, it would pass the limit, so it is refused
    // rather than written anywhere else.
    const std::string name = std::string(251, 'x') + ".mpc";
    plan = PlanOutputs(Items({{"/a/" + name, ""}, {"/b/" + name, ""}}), IntoFolder("/out/", TOutputLayout::Flat),
                       [](const std::string &) { return false; });
    EXPECT_EQ(plan[0].kind, Kind::Write);
    EXPECT_EQ(plan[1].kind, Kind::Refused);
    EXPECT_EQ(plan[1].reason, "the output path is longer than the system allows");
}

TEST(OutputPlan, TenThousandEntriesWithRepeatedNamesPlanNoPathTwice)
{
    // 500 albums of 20 tracks, all named alike, flat into one folder and kept apart.
    std::vector<std::pair<std::string, std::string>> entries;
    for (int album = 0; album < 500; ++album)
        for (int track = 1; track <= 20; ++track)
            entries.push_back({"/lib/Album " + std::to_string(album % 25) + "/" + std::to_string(album) + "/" +
                                   std::to_string(track) + " Track.mpc",
                               "/lib"});
    const auto items = Items(entries);
    for (bool keep : {true, false}) {
        const auto plan = PlanOutputs(items, IntoFolder("/out/", keep ? TOutputLayout::Source : TOutputLayout::Flat),
                                      [](const std::string &) { return false; });
        std::set<std::string> seen;
        for (const auto &p : plan) EXPECT_TRUE(seen.insert(p.output).second) << p.output;
        EXPECT_EQ(seen.size(), items.size());
    }
}

}  // namespace
}  // namespace trackmill
