// Walks arbitrary bytes as an MP3, whole and as a file that grows in steps, the way the
// job follows the encoder's output: no crash, no hang, no read past the data.
#include "formats/MPEGAudio.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string path = "/tmp/fuzz_mpegaudio_" + std::to_string(::getpid()) + ".mp3";
    auto write = [&](std::size_t n) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(n));
    };
    write(size);
    const double whole = trackmill::Mp3Duration(path);
    trackmill::TMp3FrameWalker walker;
    const std::size_t step = size / 3 + 1;
    for (std::size_t n = 0; n < size; n += step) {
        write(n);
        walker.Advance(path);
    }
    write(size);
    walker.Advance(path);
    return (whole + walker.Seconds()) < 0 ? 1 : 0;  // keeps both readings from being optimised away
}
