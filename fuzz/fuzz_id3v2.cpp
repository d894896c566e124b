// Loads arbitrary bytes (in memory) as a file with an ID3v2 tag and touches every
// property, and reads its text frames alone, which give the same fields; then writes a tag
// back, which must keep every byte after the tag.
#include "formats/ID3v2.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using trackmill::TID3v2;
    trackmill::TMemoryStream file(data, size);

    TID3v2 tag;
    tag.LoadFromStream(file);
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

    // Its text frames alone give the same fields.
    TID3v2 texts;
    texts.LoadFromStream(file, trackmill::TTagRead::Texts);
    if (texts.Title() != tag.Title() || texts.Artist() != tag.Artist() || texts.Album() != tag.Album() ||
        texts.Year() != tag.Year() || texts.Genre() != tag.Genre() || texts.Comment() != tag.Comment() ||
        texts.Composer() != tag.Composer() || texts.Track() != tag.Track() || texts.URL() != tag.URL())
        std::abort();

    // Writing the tag back must keep the bytes after the old tag.
    const std::size_t old = tag.Present() ? static_cast<std::size_t>(tag.TagSize()) : 0;
    if (tag.WriteToStream(file)) {
        TID3v2 back;
        if (!back.LoadFromStream(file) || !back.Present()) std::abort();
        const auto &now = file.Bytes();
        const auto tagSize = static_cast<std::size_t>(back.TagSize());
        if (now.size() - tagSize != size - old) std::abort();
        for (std::size_t i = 0; i < size - old; ++i)
            if (now[tagSize + i] != data[old + i]) std::abort();
    }
    return 0;
}
