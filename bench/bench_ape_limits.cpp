// Reads hostile and huge APE tags the way trackmill-cli info and a drop on the window do
// (through TMPEGplus) and prints the time each load takes. Goal: a crafted footer costs
// under 0.1 s; the largest tag that is read is timed for comparison.
//
//   build-dir/bench/bench_ape_limits
//
// 1. an 8 KiB file whose footer claims a 2 GiB tag of 2^31-1 items;
// 2. an 8 KiB file whose footer claims the whole file as a tag of 2^31-1 items;
// 3. a 16 MiB tag of 65,536 items (the most that is read).

#include "formats/MPEGplus.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put32(Bytes &b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A version 7 stream header, so that TMPEGplus goes on to read the tags.
Bytes Sv7Header()
{
    Bytes b{'M', 'P', '+', 7};
    Put32(b, 1000);
    b.resize(32, 0);
    return b;
}

void Footer(Bytes &b, std::uint32_t size, std::uint32_t count)
{
    for (char c : std::string("APETAGEX")) b.push_back(static_cast<std::uint8_t>(c));
    Put32(b, 2000);
    Put32(b, size);
    Put32(b, count);
    Put32(b, 0x80000000u);
    b.resize(b.size() + 8, 0);
}

void Write(const fs::path &p, const Bytes &b)
{
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char *>(b.data()), std::streamsize(b.size()));
}

double SecondsPerLoad(const fs::path &file, int loads, std::size_t &items)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < loads; ++i) {
        trackmill::TMPEGplus mpc;
        mpc.LoadFromFile(file.string());
        items = mpc.ApeTag().Items().size();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / loads;
}

}  // namespace

int main()
{
    const fs::path dir = fs::temp_directory_path() / ("tm-bench-ape-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    Bytes claims2GiB = Sv7Header();
    claims2GiB.resize(8192 - 32, 0);
    Bytes claimsFile = claims2GiB;
    Footer(claims2GiB, 0x7FFFFFFFu, 0x7FFFFFFFu);
    Footer(claimsFile, 8192 - 32 - 32, 0x7FFFFFFFu);
    Write(dir / "claims-2gib.mpc", claims2GiB);
    Write(dir / "claims-file.mpc", claimsFile);

    Bytes huge = Sv7Header();
    const std::size_t itemsAt = huge.size();
    for (int i = 0; i < 65536; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "K%05d", i);
        Put32(huge, 241);
        Put32(huge, 0);
        huge.insert(huge.end(), key, key + 7);
        huge.resize(huge.size() + 241, 'v');
    }
    Footer(huge, static_cast<std::uint32_t>(huge.size() - itemsAt + 32), 65536);
    Write(dir / "huge.mpc", huge);

    bool ok = true;
    const struct {
        const char *name;
        const char *file;
        int loads;
        bool goal;
    } cases[] = {{"footer claiming 2 GiB, 2^31-1 items", "claims-2gib.mpc", 1000, true},
                 {"footer claiming the file, 2^31-1 items", "claims-file.mpc", 1000, true},
                 {"16 MiB tag of 65,536 items", "huge.mpc", 5, false}};
    for (const auto &c : cases) {
        std::size_t items = 0;
        const double s = SecondsPerLoad(dir / c.file, c.loads, items);
        std::printf("%-40s %10.6f s a load, %zu items read\n", c.name, s, items);
        ok = ok && (!c.goal || s < 0.1);
    }
    if (!std::getenv("KEEP")) fs::remove_all(dir);
    std::printf("%s\n", ok ? "goal met: crafted footers load in under 0.1 s" : "GOAL MISSED: a crafted footer took 0.1 s or more");
    return ok ? 0 : 1;
}
