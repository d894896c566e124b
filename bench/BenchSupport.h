// What the benchmarks share: timing a shell command as a whole process, a library of
// sources whose APE tags carry large covers, and the bytes a process has read.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Seconds the command took; a command that fails is named on standard error.
inline double TimeShell(const std::string &command)
{
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (rc != 0) std::fprintf(stderr, "command failed (%d): %s\n", rc, command.c_str());
    return std::chrono::duration<double>(t1 - t0).count();
}

// A version 7 Musepack header, then an APE tag whose cover item of `coverBytes` stands
// between its texts (keys in order, as many taggers write them). The cover is a hole in
// the file: 20,000 of them take little room, and reading one still costs its bytes.
inline bool WriteCoveredSource(const std::string &path, int i, std::size_t coverBytes)
{
    std::string head = "MP+";
    head += char(0x07);
    head.resize(256, '\0');
    auto put32 = [](std::string &out, std::uint32_t v) {
        for (int b = 0; b < 4; ++b) out += char(v >> (8 * b));
    };
    auto item = [&](std::string &out, const std::string &key, std::size_t size, std::uint32_t flags) {
        put32(out, std::uint32_t(size));
        put32(out, flags);
        out += key;
        out += '\0';
    };
    std::string before, after;
    for (const auto &[key, value] : std::vector<std::pair<std::string, std::string>>{
             {"Album", "Album " + std::to_string(i / 20)}, {"Artist", "Artist " + std::to_string(i / 200)}}) {
        item(before, key, value.size(), 0);
        before += value;
    }
    item(before, "Cover Art (Front)", coverBytes, 2);
    for (const auto &[key, value] : std::vector<std::pair<std::string, std::string>>{
             {"Title", "Song " + std::to_string(i)}, {"Track", std::to_string(i % 20 + 1)}, {"Year", "2001"}}) {
        item(after, key, value.size(), 0);
        after += value;
    }
    std::string footer = "APETAGEX";
    put32(footer, 2000);
    put32(footer, std::uint32_t(before.size() + coverBytes + after.size() + 32));
    put32(footer, 6);
    put32(footer, 0x80000000u);
    footer.resize(32, '\0');
    std::ofstream out(path, std::ios::binary);
    out << head << before;
    out.seekp(std::streamoff(head.size() + before.size() + coverBytes));
    out << after << footer;
    return bool(out);
}

// Bytes this process has read through read() and pread() so far (Linux).
inline std::uint64_t BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}
