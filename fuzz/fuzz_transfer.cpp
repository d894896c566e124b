// Uses arbitrary bytes (in memory) as a Musepack source and carries its tags into a small
// MP3 with each APE target: the bytes after the new tags must be the MP3's own, unchanged.
#include "engine/TagTransfer.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using Bytes = std::vector<std::uint8_t>;
    static const Bytes audio = [] {
        Bytes a{0xFF, 0xFB, 0x90, 0x44};
        a.resize(400, 0x5A);
        return a;
    }();
    trackmill::TMemoryStream file(data, size);
    trackmill::TMPEGplus source;
    source.LoadFromStream(file);
    for (int target : {0, 1}) {
        trackmill::TMemoryStream mp3(audio);
        trackmill::TransferTags(source, mp3, {true, true, true, target});
        const Bytes &out = mp3.Bytes();
        // The MP3 may have gained an ID3v2 tag in front and an ID3v1 tag behind, nothing else.
        std::size_t front = 0;
        if (out.size() >= 10 && out[0] == 'I' && out[1] == 'D' && out[2] == '3')
            front = 10 + (std::size_t{out[6]} << 21 | std::size_t{out[7]} << 14 | std::size_t{out[8]} << 7 | out[9]);
        if (front > out.size() || out.size() - front < audio.size()) std::abort();
        for (std::size_t i = 0; i < audio.size(); ++i)
            if (out[front + i] != audio[i]) std::abort();
    }
    return 0;
}
