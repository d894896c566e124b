// trackmill-cli's resident size over a job of many queued files: 10,000 sources (links to
// one short Musepack file) converted by stand-in programs beside a copy of the tool, the
// decoder doing nothing and the encoder copying a prepared MP3 of the same length.
//
//   bench_convert_memory [files=10000]
#include "system/Platform.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using trackmill::platform::ShellQuote;

int main(int argc, char **argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    char pattern[] = "/tmp/trackmill-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path root = pattern, bin = root / "bin", src = root / "src", out = root / "out";
    for (const auto &d : {bin, src}) fs::create_directories(d);
    const std::string make = "cd " + ShellQuote(root.string()) +
                             " && sox -n -r 44100 -c 2 -b 16 tone.wav synth 0.2 sine 440 2>/dev/null ||"
                             " python3 -c \"import wave;w=wave.open('tone.wav','wb');w.setnchannels(2);w.setsampwidth(2);"
                             "w.setframerate(44100);w.writeframes(bytes(35280))\"; mpcenc --silent tone.wav tone.mpc &&"
                             " lame --quiet tone.wav tone.mp3";
    if (std::system(make.c_str()) != 0) return 1;
    for (int i = 0; i < files; ++i) fs::create_hard_link(root / "tone.mpc", src / ("t" + std::to_string(i) + ".mpc"));
    fs::copy_file(TRACKMILL_CLI, bin / "trackmill-cli");
    std::ofstream(bin / "mpcdec") << "#!/bin/sh\nexit 0\n";
    std::ofstream(bin / "lame") << "#!/bin/sh\nfor a; do last=$a; done\ncat " << ShellQuote((root / "tone.mp3").string())
                                << " >\"$last\"\n";
    for (const char *p : {"mpcdec", "lame"}) fs::permissions(bin / p, fs::perms::owner_all);

    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        const std::string cli = (bin / "trackmill-cli").string(), dir = src.string(), outDir = out.string();
        ::execl(cli.c_str(), cli.c_str(), "convert", "--no-ape", "--output-dir", outDir.c_str(), dir.c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::size_t converted = 0;
    for (const auto &e : fs::recursive_directory_iterator(out)) converted += e.path().extension() == ".mp3";
    std::printf("%d queued files: %zu converted in %.1f s, exit status %d, peak resident size %.1f MB (goal: under 50)\n",
                files, converted, seconds, WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss / 1024.0);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
