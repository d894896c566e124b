// Planning the outputs of a large queue: 10,000 sources of a library whose albums all
// name their files alike, flat into one folder (every name collides) and with the folder
// structure kept, each looked up on a real (empty) output folder; then 10,000 real source
// files named from their tags; then the same library again into an output folder that
// holds its 10,000 marked MP3s already, every source recognised as converted; last, 20,000
// sources whose APE tags carry a cover of 1 MiB, named from their tags (the goal: under 1 s
// warm, under 64 KiB read per source).
//
//   bench_plan [entries=10000] [covered=20000]
#include "BenchSupport.h"

#include "engine/Library.h"
#include "engine/OutputPlan.h"
#include "engine/TagTransfer.h"
#include "formats/APEtag.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace trackmill;

namespace {

double Since(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Write(const fs::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A Musepack stream header of a few frames followed by an ID3v1.1 tag.
std::string TaggedSource(int i)
{
    std::string bytes = "MP+";
    bytes += char(0x07);
    bytes.resize(256, '\0');
    std::string tag(128, '\0');
    auto put = [&](std::size_t at, const std::string &text) { tag.replace(at, text.size(), text); };
    put(0, "TAG");
    put(3, "Track " + std::to_string(i % 20 + 1));
    put(33, "Artist " + std::to_string(i / 200));
    put(63, "Album " + std::to_string(i / 20));
    tag[126] = char(i % 20 + 1);
    tag[127] = char(255);
    return bytes + tag;
}

}  // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int covered = argc > 2 ? std::atoi(argv[2]) : 20000;
    std::vector<TWorkItem> items;
    for (int i = 0; i < count; ++i) {
        TWorkItem item;
        item.source = "/library/Album " + std::to_string(i / 20) + "/" + std::to_string(i % 20 + 1) + " Track.mpc";
        item.base = "/library";
        items.push_back(std::move(item));
    }
    const fs::path scratch = fs::temp_directory_path() / ("trackmill-bench-plan-" + std::to_string(::getpid()));
    const std::string out = (scratch / "none/").string();
    for (bool keep : {false, true}) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto plan = PlanOutputs(items, IntoFolder(out, keep ? TOutputLayout::Source : TOutputLayout::Flat));
        const double seconds = Since(t0);
        std::set<std::string> distinct;
        for (const auto &p : plan) distinct.insert(p.output);
        std::printf("%d entries, %s: planned in %.3f s, %zu distinct outputs%s\n", count,
                    keep ? "folder structure kept" : "flat", seconds, distinct.size(),
                    distinct.size() == items.size() ? "" : "  <-- an output was planned twice");
    }

    // Real files, each read for its tags.
    const fs::path library = scratch / "library";
    items.clear();
    for (int i = 0; i < count; ++i) {
        const fs::path folder = library / ("Album " + std::to_string(i / 20));
        if (i % 20 == 0) fs::create_directories(folder);
        TWorkItem item;
        item.source = (folder / (std::to_string(i % 20 + 1) + " Track.mpc")).string();
        item.base = scratch.string();
        Write(item.source, TaggedSource(i));
        items.push_back(std::move(item));
    }
    TPlanOptions tags = IntoFolder((scratch / "out/").string(), TOutputLayout::Tags);
    auto t0 = std::chrono::steady_clock::now();
    auto plan = PlanJob(items, tags);
    std::printf("%d sources named from their tags (%s): planned in %.3f s, first %s\n", count,
                tags.namePattern.c_str(), Since(t0), plan.empty() ? "-" : plan.front().output.c_str());

    // Their MP3s already there, each with its mark: all must be recognised.
    TPlanOptions source = IntoFolder((scratch / "out/").string(), TOutputLayout::Source);
    source.libraryDir = (library.string() + "/");
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string mp3 = PlainOutputPath(items[i], source);
        if (i % 20 == 0) fs::create_directories(fs::path(mp3).parent_path());
        Write(mp3, std::string(417, '\xff'));
    }
    // The marks carry what the plan will see of each source.
    plan = PlanJob(items, source);
    for (std::size_t i = 0; i < items.size(); ++i) {
        TID3v2 tag;
        tag.SetFrames({id3v2::MakeUserText(kMarkerDescription, plan[i].mark), id3v2::MakeText("TIT2", "x")});
        tag.WriteToFile(plan[i].output);
    }
    t0 = std::chrono::steady_clock::now();
    plan = PlanJob(items, source);
    const double seconds = Since(t0);
    std::size_t recognised = 0;
    for (const auto &p : plan) recognised += p.kind == TPlannedOutput::Kind::Skipped;
    std::printf("%d sources against an output folder of %d marked MP3s: %zu recognised as converted in %.3f s%s\n",
                count, count, recognised, seconds, recognised == items.size() ? "" : "  <-- some were not");

    // Sources with a large cover between the texts of their APE tags, named from the tags:
    // the plan reads their texts alone.
    constexpr std::size_t kCover = 1024 * 1024;
    items.clear();
    for (int i = 0; i < covered; ++i) {
        const fs::path folder = scratch / "covered" / ("Album " + std::to_string(i / 20));
        if (i % 20 == 0) fs::create_directories(folder);
        TWorkItem item;
        item.source = (folder / (std::to_string(i % 20 + 1) + " Track.mpc")).string();
        item.base = scratch.string();
        if (!WriteCoveredSource(item.source, i, kCover)) {
            std::fprintf(stderr, "cannot write %s\n", item.source.c_str());
            return 1;
        }
        items.push_back(std::move(item));
    }
    const TPlanOptions named = IntoFolder((scratch / "covered-out/").string(), TOutputLayout::Tags);
    PlanJob(items, named);  // warm: what it reads is in the page cache now
    std::uint64_t read = BytesReadSoFar();
    t0 = std::chrono::steady_clock::now();
    plan = PlanJob(items, named);
    const double planned = Since(t0);
    const double perSource = covered > 0 ? double(BytesReadSoFar() - read) / covered : 0;
    std::printf("%d sources with a 1 MiB cover in their APE tags, named from their tags: planned in %.3f s warm, "
                "%.1f KiB read per source, first %s%s\n",
                covered, planned, perSource / 1024, plan.empty() ? "-" : plan.front().output.c_str(),
                planned < 1.0 && perSource < 64 * 1024 ? "" : "  <-- over 1 s or 64 KiB");
    // What converting reads of the same tags, pictures and all (a few of them: each costs its
    // cover in the page cache).
    const int whole = std::min(covered, 1000);
    read = BytesReadSoFar();
    t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < whole; ++i) {
        TAPEtag tag;
        tag.LoadFromFile(items[std::size_t(i)].source);
    }
    std::printf("  the tags of %d of them read whole, covers included: %.3f s, %.1f KiB read per source\n", whole,
                Since(t0), whole > 0 ? double(BytesReadSoFar() - read) / whole / 1024 : 0.0);
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return 0;
}
