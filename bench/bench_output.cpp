// How long trackmill-cli takes to read a command's output that has no line breaks: a
// stand-in decoder prints N MB of one line before its audio. The time of a run without the
// extra output is taken off, so what is printed is the output's own cost; it grows
// linearly with N when reading is linear.
//
//   bench_output [megabytes...=40 200]
#include "BenchSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Executable(const fs::path &file, const std::string &text)
{
    std::ofstream(file) << text;
    fs::permissions(file, fs::perms::owner_all);
}

}  // namespace

int main(int argc, char **argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {40, 200};

    const fs::path root = fs::temp_directory_path() / ("bench-output-" + std::to_string(::getpid()));
    const fs::path bin = root / "bin";
    fs::create_directories(bin);
    fs::create_directories(root / "home");
    fs::copy_file(TRACKMILL_CLI, bin / "trackmill-cli");
    Executable(bin / "trackmill", "#!/bin/sh\nexit 0\n");
    // One second of silence as the decoder's audio: the real lame encodes it.
    {
        std::ofstream wav(root / "audio.wav", std::ios::binary);
        const std::uint32_t data = 44100 * 4;
        auto put = [&](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) wav.put(static_cast<char>(v >> (8 * i)));
        };
        wav << "RIFF";
        put(36 + data, 4);
        wav << "WAVEfmt ";
        put(16, 4), put(1, 2), put(2, 2), put(44100, 4), put(44100 * 4, 4), put(4, 2), put(16, 2);
        wav << "data";
        put(data, 4);
        for (std::uint32_t i = 0; i < data; ++i) wav.put(0);
    }
    // A Musepack name the tool accepts: the smallest header it takes for version 7.
    {
        std::ofstream mpc(root / "a.mpc", std::ios::binary);
        const unsigned char header[24] = {'M', 'P', '+', 0x07, 0, 0, 0, 0, 0, 0, 0, 0};
        mpc.write(reinterpret_cast<const char *>(header), sizeof header);
    }
    const std::string env = "HOME='" + (root / "home").string() + "' XDG_CONFIG_HOME='" + (root / "home").string() + "' ";
    auto run = [&](int megabytes) {
        Executable(bin / "mpcdec", "#!/bin/sh\nhead -c " + std::to_string(megabytes) + "000000 /dev/zero | tr '\\000' x >&2\n"
                                   "cat '" + (root / "audio.wav").string() + "'\n");
        fs::remove(root / "a.mp3");
        return TimeShell(env + "'" + (bin / "trackmill-cli").string() + "' convert -j 1 '" + (root / "a.mpc").string() +
                         "' >/dev/null 2>&1");
    };
    const double base = run(0);
    for (int megabytes : sizes) {
        const double t = run(megabytes) - base;
        std::printf("%d MB of output without a line break: %.2f s (%.3f s per 100 MB)\n", megabytes, t,
                    megabytes ? t * 100 / megabytes : 0.0);
    }
    fs::remove_all(root);
    return 0;
}
