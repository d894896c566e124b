// trackmill-cli convert against the same "mpcdec | lame" lines run by the shell: one
// file at a time (-j 1) against a plain loop, and two at once (-j 2) against xargs -P 2;
// then Opus, -j 2 against xargs -P 2 running "mpcdec | opusenc".
// Each pair of runs alternates the two, and the medians of the paired ratios are printed,
// so that a busy moment of the machine hits both sides alike.
//
//   bench_convert [files=10] [seconds-per-file=30] [pairs=3]
#include "system/Platform.h"

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using trackmill::platform::ShellQuote;

namespace {

void WriteSineWav(const fs::path &file, double seconds)
{
    const int rate = 44100, channels = 2;
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    const std::uint32_t data = frames * channels * 2;
    std::ofstream out(file, std::ios::binary);
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) out.put(static_cast<char>(v >> (8 * i)));
    };
    out << "RIFF";
    put(36 + data, 4);
    out << "WAVEfmt ";
    put(16, 4), put(1, 2), put(channels, 2), put(rate, 4), put(rate * channels * 2, 4), put(channels * 2, 2), put(16, 2);
    out << "data";
    put(data, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        // A tone that wanders, so the encoder has some work to do.
        const double f = 440 + 200 * std::sin(i * 0.00005);
        const auto s = static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * f * i / rate) + 3000 * std::sin(i * 0.7));
        for (int c = 0; c < channels; ++c) put(static_cast<std::uint16_t>(s), 2);
    }
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char **argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 30.0;
    const int pairs = argc > 3 ? std::atoi(argv[3]) : 3;
    if (files <= 0 || seconds <= 0 || pairs <= 0) {
        std::fprintf(stderr, "usage: bench_convert [files] [seconds-per-file] [pairs]\n");
        return 2;
    }
    char pattern[] = "/tmp/trackmill-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path root = pattern;
    const fs::path src = root / "src", outShell = root / "out-shell", outCli = root / "out-cli";
    fs::create_directories(src);

    WriteSineWav(root / "tone.wav", seconds);
    if (std::system(("mpcenc --silent " + ShellQuote((root / "tone.wav").string()) + " " +
                     ShellQuote((root / "tone.mpc").string()))
                        .c_str()) != 0) {
        std::fprintf(stderr, "mpcenc failed\n");
        return 1;
    }
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "track%03d.mpc", i);
        fs::copy_file(root / "tone.mpc", src / name);
    }

    // The lines a user would type: one per file.
    const std::string options = "--alt-preset cbr 128", opusOptions = "--bitrate 160";
    std::string lines, opusLines;
    for (const auto &e : fs::directory_iterator(src)) {
        const fs::path mp3 = outShell / e.path().filename().replace_extension(".mp3");
        const fs::path opus = outShell / e.path().filename().replace_extension(".opus");
        lines += "mpcdec " + ShellQuote(e.path().string()) + " - | lame " + options + " - " + ShellQuote(mp3.string()) + "\n";
        opusLines += "mpcdec " + ShellQuote(e.path().string()) + " - | opusenc " + opusOptions + " - " +
                     ShellQuote(opus.string()) + "\n";
    }
    std::ofstream(root / "lines.sh") << lines;
    std::ofstream(root / "opus-lines.sh") << opusLines;
    const std::string quiet = " >/dev/null 2>&1";
    const std::string fresh = "rm -rf " + ShellQuote(outShell.string()) + " " + ShellQuote(outCli.string()) + " && mkdir " +
                              ShellQuote(outShell.string()) + " && ";
    const std::string loop = fresh + "/bin/sh " + ShellQuote((root / "lines.sh").string()) + quiet;
    auto xargsOf = [&](const char *file) {
        return fresh + "tr '\\n' '\\0' <" + ShellQuote((root / file).string()) + " | xargs -0 -P 2 -n 1 /bin/sh -c" +
               quiet;
    };
    const std::string xargs = xargsOf("lines.sh"), opusXargs = xargsOf("opus-lines.sh");
    auto cli = [&](int jobs, const char *format = "mp3") {
        const std::string &line = std::string(format) == "opus" ? opusOptions : options;
        return fresh + ShellQuote(TRACKMILL_CLI) + " convert -j " + std::to_string(jobs) + " --format " + format +
               " --decoder-options '' --encoder-options " + ShellQuote(line) + " --flat --output-dir " +
               ShellQuote(outCli.string()) + " " + ShellQuote(src.string()) + quiet;
    };

    std::printf("files: %d of %.0f s audio, %d paired runs each\n", files, seconds, pairs);
    TimeShell(loop);  // warm the caches
    for (const auto &[name, shell, ours] : {std::tuple{"-j 1 / plain shell loop ", loop, cli(1)},
                                            std::tuple{"-j 2 / xargs -P 2        ", xargs, cli(2)},
                                            std::tuple{"Opus -j 2 / xargs -P 2   ", opusXargs, cli(2, "opus")}}) {
        std::vector<double> ratios, shellTimes, ourTimes;
        for (int i = 0; i < pairs; ++i) {
            const double a = TimeShell(shell), b = TimeShell(ours);
            shellTimes.push_back(a);
            ourTimes.push_back(b);
            ratios.push_back(b / a);
        }
        std::printf("%s shell %6.2f s, trackmill-cli %6.2f s, median ratio %.3f\n", name, Median(shellTimes),
                    Median(ourTimes), Median(ratios));
    }
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
