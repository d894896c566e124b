// Walks arbitrary bytes as an MP3, whole and as a file that grows in steps, the way the
// job follows the encoder's output: no crash, no hang, no read past the data.
#include "formats/MPEGAudio.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    trackmill::TMemoryStream whole(data, size);
    trackmill::TMp3FrameWalker all;
    all.Advance(whole);
    trackmill::TMp3FrameWalker walker;
    trackmill::TMemoryStream growing;
    const std::size_t step = size / 3 + 1;
    for (std::size_t n = 0; n < size; n += step) {
        growing = trackmill::TMemoryStream(data, n);
        walker.Advance(growing);
    }
    walker.Advance(whole);
    return (all.Seconds() + walker.Seconds()) < 0 ? 1 : 0;  // keeps both readings from being optimised away
}
