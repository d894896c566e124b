// Loads each input as a file with the ID3v1 reader and touches every property; then
// writes the tag back and strips it, checking the bytes in front are never changed.
#include "formats/ID3v1.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string TempPath()
{
    static const std::string path = "/tmp/fuzz_id3v1_" + std::to_string(getpid()) + ".bin";
    return path;
}

std::string Slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string path = TempPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    trackmill::TID3v1 tag;
    if (tag.LoadFromFile(path)) {
        volatile std::size_t sink = tag.Title().size() + tag.Artist().size() + tag.Album().size() +
                                    tag.Year().size() + tag.Comment().size() + tag.Track() +
                                    tag.TagVersion() + tag.Present() +
                                    trackmill::GenreName(tag.GenreIndex()).size();
        (void)sink;

        // Whatever was read writes back without touching the bytes before the tag.
        const std::size_t body = tag.Present() ? size - trackmill::TID3v1::kTagSize : size;
        if (!tag.WriteToFile(path)) std::abort();
        trackmill::TID3v1 again;
        if (!again.LoadFromFile(path) || !again.Present() || again.Title() != tag.Title())
            std::abort();
        if (!tag.StripFromFile(path)) std::abort();
        const std::string left = Slurp(path);
        if (left.size() != body || left.compare(0, body, reinterpret_cast<const char *>(data), body) != 0)
            std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
