// Reads arbitrary bytes as a whole ID3v2 tag image in memory (no file in between, so it
// runs fast) and decodes every frame it gives the way the transfer and trackmill-cli do.
#include "formats/ID3v2Read.h"
#include "formats/TextCodec.h"

#include <cstdint>
#include <cstdlib>

using namespace trackmill;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Let the fuzzer reach each version and flag without guessing the header.
    std::vector<std::uint8_t> tag{'I', 'D', '3', 2, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    if (size >= 2) {
        tag[3] = static_cast<std::uint8_t>(2 + data[0] % 3);
        tag[5] = data[1];
        tag.insert(tag.end(), data + 2, data + size);
    }
    std::vector<TID3v2Frame> frames = id3v2::ReadFrames(tag.data(), tag.size());
    std::size_t sum = 0;
    for (const TID3v2Frame &f : frames) {
        if (f.id.size() != 4 || f.data.empty()) std::abort();
        if (f.IsText())
            for (const std::string &v : id3v2::TextValues(f))
                if (ValidUtf8Prefix(v) != v.size()) std::abort();
        if (const auto d = id3v2::ReadDescribed(f)) sum += d->text.size() + d->description.size();
        if (f.id == "APIC")
            if (const auto p = id3v2::ReadPicture(f)) sum += p->bytes.size() + p->type;
    }
    id3v2::DropDuplicates(frames);
    if (sum == 0xFFFFFFFFu) std::abort();
    return 0;
}
