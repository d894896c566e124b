// Loads each input with the ID3v1 reader (in memory) and touches every property; then
// writes the tag back and strips it, checking the bytes in front are never changed.
#include "formats/ID3v1.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    trackmill::TMemoryStream file(data, size);
    trackmill::TID3v1 tag;
    if (tag.LoadFromStream(file)) {
        volatile std::size_t sink = tag.Title().size() + tag.Artist().size() + tag.Album().size() +
                                    tag.Year().size() + tag.Comment().size() + tag.Track() +
                                    tag.TagVersion() + tag.Present() +
                                    trackmill::GenreName(tag.GenreIndex()).size();
        (void)sink;

        // Whatever was read writes back without touching the bytes before the tag.
        const std::size_t body = tag.Present() ? size - trackmill::TID3v1::kTagSize : size;
        if (!tag.WriteToStream(file)) std::abort();
        trackmill::TID3v1 again;
        if (!again.LoadFromStream(file) || !again.Present() || again.Title() != tag.Title())
            std::abort();
        if (!tag.StripFromStream(file)) std::abort();
        const auto &left = file.Bytes();
        if (left.size() != body || !std::equal(left.begin(), left.end(), data)) std::abort();
    }
    return 0;
}
