// Loads arbitrary bytes as a file with an ID3v2 tag and touches every property; then
// writes a tag back into a copy, which must keep every byte after the tag.
#include "formats/ID3v2.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string &TempName()
{
    static const std::string name = "/tmp/fuzz_id3v2_" + std::to_string(::getpid()) + ".mp3";
    return name;
}

void WriteFile(const std::string &path, const std::uint8_t *data, std::size_t size)
{
    std::remove(path.c_str());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
}

std::vector<std::uint8_t> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using trackmill::TID3v2;
    const std::string &path = TempName();
    WriteFile(path, data, size);

    TID3v2 tag;
    tag.LoadFromFile(path);
    std::size_t sum = tag.Present() + tag.TagVersion() + static_cast<std::size_t>(tag.TagSize()) + tag.Track();
    for (const std::string *s : {&tag.Title(), &tag.Artist(), &tag.Album(), &tag.Year(), &tag.Genre(),
                                 &tag.Comment(), &tag.Composer(), &tag.Encoder(), &tag.Copyright(),
                                 &tag.Language(), &tag.URL()})
        for (char c : *s) sum += static_cast<unsigned char>(c);
    for (const trackmill::TID3v2Frame &f : tag.Frames()) {
        // Every frame is one that a 2.3 tag can hold.
        if (f.id.size() != 4 || f.data.empty()) std::abort();
        if ((f.flags & ~0x0080u) != 0) std::abort();
    }
    if (sum == 0xFFFFFFFFu) std::abort();  // keeps the reads from being optimised away

    // Writing the tag back must keep the bytes after the old tag.
    const std::size_t old = tag.Present() ? static_cast<std::size_t>(tag.TagSize()) : 0;
    if (tag.WriteToFile(path)) {
        TID3v2 back;
        if (!back.LoadFromFile(path) || !back.Present()) std::abort();
        const auto now = ReadFile(path);
        const auto tagSize = static_cast<std::size_t>(back.TagSize());
        if (now.size() - tagSize != size - old) std::abort();
        for (std::size_t i = 0; i < size - old; ++i)
            if (now[tagSize + i] != data[old + i]) std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
