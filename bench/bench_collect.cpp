// Drops generated folder trees of 10,000 and 20,000 files (half of them Musepack) through
// the collection logic and prints files per second; the time should grow linearly.
//
//   build-dir/bench/bench_collect [--keep]

#include "collect/TranscodeList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using trackmill::TTranscodeList;

namespace {

constexpr int kFilesPerFolder = 100;

// folders of 100 files each, two levels deep; even files are Musepack, odd ones MP3s
// (they match the scanner's mask, so they reach the extension test).
void MakeTree(const fs::path &root, int files)
{
    const char mpc[16] = {'M', 'P', 'C', 'K', 'S', 'H', 0x10};
    const char mp3[16] = {'I', 'D', '3', 3};
    for (int i = 0; i < files; ++i) {
        const int folder = i / kFilesPerFolder;
        const fs::path dir = root / ("group " + std::to_string(folder / 10)) / ("Album " + std::to_string(folder));
        if (i % kFilesPerFolder == 0) fs::create_directories(dir);
        const bool isMpc = i % 2 == 0;
        char name[64];
        std::snprintf(name, sizeof name, "%03d Track.%s", i % kFilesPerFolder, isMpc ? "mpc" : "mp3");
        std::ofstream(dir / name, std::ios::binary).write(isMpc ? mpc : mp3, 16);
    }
}

bool HeaderTest(const QString &path)
{
    std::FILE *f = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!f) return false;
    char head[4] = {};
    const bool ok = std::fread(head, 1, 4, f) == 4 && std::equal(head, head + 4, "MPCK");
    std::fclose(f);
    return ok;
}

struct Result {
    double seconds = 0;
    int added = 0;
};

Result DropOnce(const fs::path &root, bool twice)
{
    TTranscodeList list(HeaderTest);
    int pumps = 0;
    list.SetProcessMessages([&] { ++pumps; });
    const QStringList names{QFile::decodeName(root.c_str())};
    QElapsedTimer timer;
    timer.start();
    list.HandleDrop(names);
    if (twice) list.HandleDrop(names);  // every name is a duplicate the second time
    Result r;
    r.seconds = double(timer.nsecsElapsed()) / 1e9;
    r.added = list.Count();
    return r;
}

Result Best(const fs::path &root, bool twice)
{
    Result best;
    best.seconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        const Result r = DropOnce(root, twice);
        if (r.seconds < best.seconds) best = r;
    }
    return best;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool keep = argc > 1 && std::string(argv[1]) == "--keep";
    std::string pattern = (fs::temp_directory_path() / "trackmill-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const fs::path base = pattern;

    const int sizes[] = {10000, 20000};
    double secondsFor[2] = {};
    double dupSecondsFor[2] = {};
    std::printf("%-8s %-10s %-10s %-12s %-14s\n", "files", "added", "seconds", "files/s", "2nd drop s");
    for (int k = 0; k < 2; ++k) {
        const fs::path root = base / ("tree" + std::to_string(sizes[k]));
        MakeTree(root, sizes[k]);
        DropOnce(root, false);  // warm the page cache
        const Result once = Best(root, false);
        const Result both = Best(root, true);
        secondsFor[k] = once.seconds;
        dupSecondsFor[k] = both.seconds - once.seconds;
        std::printf("%-8d %-10d %-10.3f %-12.0f %-14.3f\n", sizes[k], once.added, once.seconds,
                    sizes[k] / once.seconds, dupSecondsFor[k]);
    }
    std::printf("time ratio 20000/10000: %.2f (linear: 2.00)\n", secondsFor[1] / secondsFor[0]);
    std::printf("second-drop ratio 20000/10000: %.2f (linear: 2.00)\n", dupSecondsFor[1] / dupSecondsFor[0]);

    if (!keep) {
        std::error_code ec;
        fs::remove_all(base, ec);
    } else {
        std::printf("trees kept in %s\n", base.c_str());
    }
    return 0;
}
