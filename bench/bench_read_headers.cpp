// Reads the stream header and all three tags of 10,000 generated files through
// TMPEGplus and prints files per second, plus the read calls and bytes each file cost
// (from /proc/self/io), which must stay a few small reads, never the whole file.
//
//   build-dir/bench/bench_read_headers [FILES] [--keep]
//
// The files are copies of a few mpcenc files (when mpcenc is installed; else built
// headers) with varied ID3v2 / ID3v1 tags, and one in ten is plain bytes.

#include "formats/MPEGplus.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put(Bytes &b, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes ReadAll(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path &p, const Bytes &b)
{
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char *>(b.data()), std::streamsize(b.size()));
}

void WriteWav(const fs::path &p, double seconds, double freq)
{
    const auto frames = static_cast<std::uint32_t>(seconds * 44100);
    Bytes b;
    for (char c : std::string("RIFF")) b.push_back(std::uint8_t(c));
    Put(b, 36 + frames * 4, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(std::uint8_t(c));
    Put(b, 16, 4); Put(b, 1, 2); Put(b, 2, 2); Put(b, 44100, 4); Put(b, 44100 * 4, 4); Put(b, 4, 2); Put(b, 16, 2);
    for (char c : std::string("data")) b.push_back(std::uint8_t(c));
    Put(b, frames * 4, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto s = static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * freq * i / 44100));
        Put(b, std::uint16_t(s), 2);
        Put(b, std::uint16_t(s), 2);
    }
    WriteAll(p, b);
}

// A few real streams from mpcenc, or built headers when it is missing.
std::vector<Bytes> Streams(const fs::path &dir)
{
    std::vector<Bytes> out;
    const char *profiles[] = {"--radio", "--standard", "--insane"};
    for (int i = 0; i < 3; ++i) {
        const fs::path wav = dir / ("s" + std::to_string(i) + ".wav");
        const fs::path mpc = dir / ("s" + std::to_string(i) + ".mpc");
        WriteWav(wav, 2.0 + i, 220.0 * (i + 1));
        const std::string cmd = std::string("mpcenc --silent --overwrite ") + profiles[i] + " --artist 'Bench " +
                                std::to_string(i) + "' '" + wav.string() + "' '" + mpc.string() + "' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0 && fs::exists(mpc)) out.push_back(ReadAll(mpc));
        fs::remove(wav);
        fs::remove(mpc);
    }
    if (out.empty()) {
        std::fputs("mpcenc not found: using built version 7 headers\n", stderr);
        for (std::uint32_t frames : {500u, 1000u, 2000u}) {
            Bytes b{'M', 'P', '+', 7};
            Put(b, frames, 4);
            Put(b, 0x0A00'0000u | 0x4000'0000u, 4);
            b.resize(frames * 20, 0x5A);
            out.push_back(b);
        }
    }
    return out;
}

Bytes Id3v2(const std::string &title, std::uint32_t padding)
{
    Bytes frame{'T', 'I', 'T', '2'};
    const std::uint32_t len = std::uint32_t(title.size()) + 1;
    for (int s = 24; s >= 0; s -= 8) frame.push_back(std::uint8_t(len >> s));
    frame.insert(frame.end(), {0, 0, 0});
    frame.insert(frame.end(), title.begin(), title.end());
    const std::uint32_t body = std::uint32_t(frame.size()) + padding;
    Bytes b{'I', 'D', '3', 3, 0, 0, std::uint8_t(body >> 21 & 0x7F), std::uint8_t(body >> 14 & 0x7F),
            std::uint8_t(body >> 7 & 0x7F), std::uint8_t(body & 0x7F)};
    b.insert(b.end(), frame.begin(), frame.end());
    b.resize(b.size() + padding, 0);
    return b;
}

Bytes Id3v1(const std::string &title, std::uint8_t track)
{
    Bytes b(128, 0);
    std::memcpy(b.data(), "TAG", 3);
    std::memcpy(b.data() + 3, title.data(), std::min<std::size_t>(title.size(), 30));
    b[126] = track;
    b[127] = 12;
    return b;
}

struct IoCounters {
    long long rchar = 0, syscr = 0;
};

IoCounters ReadIo()
{
    IoCounters c;
    std::ifstream in("/proc/self/io");
    std::string key;
    long long value = 0;
    while (in >> key >> value) {
        if (key == "rchar:") c.rchar = value;
        if (key == "syscr:") c.syscr = value;
    }
    return c;
}

}  // namespace

int main(int argc, char **argv)
{
    int count = 10000;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) keep = true;
        else count = std::max(1, std::atoi(argv[i]));
    }
    const fs::path root = fs::temp_directory_path() / ("bench_read_headers_" + std::to_string(::getpid()));
    fs::create_directories(root);

    const std::vector<Bytes> streams = Streams(root);
    std::mt19937 rng(42);
    std::vector<std::string> files;
    long long totalBytes = 0;
    for (int i = 0; i < count; ++i) {
        Bytes b;
        if (i % 10 == 9) {
            b.resize(2000 + rng() % 20000);
            for (auto &x : b) x = std::uint8_t(rng());
        } else {
            const Bytes &s = streams[std::size_t(i) % streams.size()];
            if (i % 3 == 0) b = Id3v2("Track " + std::to_string(i), 256 + (rng() % 4) * 512);
            b.insert(b.end(), s.begin(), s.end());
            if (i % 2 == 0) {
                const Bytes v1 = Id3v1("Title " + std::to_string(i), std::uint8_t(i % 30 + 1));
                b.insert(b.end(), v1.begin(), v1.end());
            }
        }
        const fs::path p = root / ("f" + std::to_string(i) + (i % 10 == 9 ? ".bin" : ".mpc"));
        WriteAll(p, b);
        totalBytes += static_cast<long long>(b.size());
        files.push_back(p.string());
    }

    // Warm the page cache once so that the timed pass measures the reader, not the disk.
    for (const auto &f : files) {
        trackmill::TMPEGplus mpc;
        mpc.LoadFromFile(f);
    }
    const IoCounters before = ReadIo();
    const auto start = std::chrono::steady_clock::now();
    long long valid = 0, tags = 0, checksum = 0;
    for (const auto &f : files) {
        trackmill::TMPEGplus mpc;
        mpc.LoadFromFile(f);
        valid += mpc.Valid();
        tags += mpc.ID3v1Tag().Present() + mpc.ID3v2Tag().Present() + mpc.ApeTag().Present();
        checksum += mpc.BitRate() + mpc.FrameCount() + static_cast<long long>(mpc.Duration());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const IoCounters after = ReadIo();

    std::printf("files: %d (%lld valid, %lld tags found), average size %.0f bytes\n", count, valid, tags,
                double(totalBytes) / count);
    std::printf("read headers and tags: %.0f files/s (%.3f s, checksum %lld)\n", count / seconds, seconds, checksum);
    if (after.syscr > 0) {
        std::printf("per file: %.1f read calls, %.0f bytes read\n", double(after.syscr - before.syscr) / count,
                    double(after.rchar - before.rchar) / count);
    }
    if (!keep) fs::remove_all(root);
    else std::printf("kept: %s\n", root.c_str());
    return 0;
}
