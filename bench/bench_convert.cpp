// Overhead of trackmill-cli convert over a plain shell loop running the same
// "mpcdec | lame" lines on a batch of short files. The job adds a fixed 100 ms pause
// between files and notices a process's end within one 100 ms poll; anything beyond
// that per file is overhead of ours.
//
//   bench_convert [files=20] [seconds-per-file=1]
#include "system/Platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using trackmill::platform::ShellQuote;

namespace {

double TimeShell(const std::string &command)
{
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (rc != 0) std::fprintf(stderr, "command failed (%d): %s\n", rc, command.c_str());
    return std::chrono::duration<double>(t1 - t0).count();
}

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
        const auto s = static_cast<std::int16_t>(12000 * __builtin_sin(2 * 3.14159265 * 440 * i / rate));
        for (int c = 0; c < channels; ++c) put(static_cast<std::uint16_t>(s), 2);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 20;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 1.0;
    if (files <= 0 || seconds <= 0) {
        std::fprintf(stderr, "usage: bench_convert [files] [seconds-per-file]\n");
        return 2;
    }
    char pattern[] = "/tmp/trackmill-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path root = pattern;
    const fs::path src = root / "src", outShell = root / "out-shell", outCli = root / "out-cli";
    for (const auto &d : {src, outShell, outCli}) fs::create_directories(d);

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

    // The very lines the job writes, one after another in one shell.
    const std::string options = "--alt-preset cbr 128";
    std::string loop;
    for (const auto &e : fs::directory_iterator(src)) {
        const fs::path mp3 = outShell / e.path().filename().replace_extension(".mp3");
        loop += "mpcdec " + ShellQuote(e.path().string()) + " - | lame " + options + " - " +
                ShellQuote(mp3.string()) + "\n";
    }
    std::ofstream(root / "loop.sh") << loop;

    const std::string shellCmd = "cd " + ShellQuote(root.string()) + " && /bin/sh loop.sh >/dev/null 2>&1";
    const std::string cliCmd = "cd " + ShellQuote(root.string()) + " && " + ShellQuote(TRACKMILL_CLI) +
                               " convert --decoder-options '' --encoder-options " + ShellQuote(options) +
                               " --output-dir " + ShellQuote(outCli.string()) + " " + ShellQuote(src.string()) +
                               " >/dev/null 2>&1";

    TimeShell(shellCmd);  // warm the caches
    const double shell = TimeShell(shellCmd);
    const double cli = TimeShell(cliCmd);

    std::printf("files: %d of %.1f s audio\n", files, seconds);
    std::printf("shell loop:            %7.3f s  (%6.1f ms/file)\n", shell, 1000 * shell / files);
    std::printf("trackmill-cli convert: %7.3f s  (%6.1f ms/file)\n", cli, 1000 * cli / files);
    std::printf("overhead per file:     %7.1f ms  (accepted: the 100 ms pause + at most one 100 ms poll)\n",
                1000 * (cli - shell) / files);
    std::printf("ratio cli/shell:       %7.2f\n", cli / shell);

    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
