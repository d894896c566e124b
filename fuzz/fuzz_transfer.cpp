// Uses arbitrary bytes as a Musepack source and carries its tags into a small MP3 with
// each APE target: the bytes after the new tags must be the MP3's own, unchanged.
#include "engine/TagTransfer.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void WriteFile(const std::string &path, const Bytes &bytes)
{
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string source = "/tmp/fuzz_transfer_" + std::to_string(::getpid()) + ".mpc";
    static const std::string mp3 = "/tmp/fuzz_transfer_" + std::to_string(::getpid()) + ".mp3";
    static const Bytes audio = [] {
        Bytes a{0xFF, 0xFB, 0x90, 0x44};
        a.resize(400, 0x5A);
        return a;
    }();
    WriteFile(source, Bytes(data, data + size));
    for (int target : {0, 1}) {
        WriteFile(mp3, audio);
        trackmill::TransferTags(source, mp3, {true, true, true, target});
        const Bytes out = ReadFile(mp3);
        // The MP3 may have gained an ID3v2 tag in front and an ID3v1 tag behind, nothing else.
        std::size_t front = 0;
        if (out.size() >= 10 && out[0] == 'I' && out[1] == 'D' && out[2] == '3')
            front = 10 + (std::size_t{out[6]} << 21 | std::size_t{out[7]} << 14 | std::size_t{out[8]} << 7 | out[9]);
        if (front > out.size() || out.size() - front < audio.size()) std::abort();
        for (std::size_t i = 0; i < audio.size(); ++i)
            if (out[front + i] != audio[i]) std::abort();
    }
    std::remove(source.c_str());
    std::remove(mp3.c_str());
    return 0;
}
