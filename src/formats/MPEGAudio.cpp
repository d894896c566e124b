#include "formats/MPEGAudio.h"


#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace trackmill {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// How far past the ID3v2 tag the first frame may start (encoders that pad, junk).
constexpr std::int64_t kFirstFrameSearch = 64 * 1024;

struct Frame {
    std::uint32_t length = 0;
    std::uint32_t samples = 0;
    std::uint32_t sampleRate = 0;
    std::uint8_t version = 0;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    std::uint8_t layer = 0;    // 1, 2, 3
    std::uint8_t channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::uint16_t bitRate = 0;     // kbit/s
    bool mono = false;
    bool crc = false;
};

constexpr std::array<std::array<std::uint16_t, 15>, 5> kBitRates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2 layers II, III
}};

// False for anything that is not a complete, usable header (free format included).
bool ParseHeader(const std::uint8_t *h, Frame &f)
{
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
    const unsigned version = (h[1] >> 3) & 3, layerBits = (h[1] >> 1) & 3;
    const unsigned rateIndex = h[2] >> 4, srIndex = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
    if (version == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || srIndex == 3) return false;
    f.version = static_cast<std::uint8_t>(version);
    f.layer = static_cast<std::uint8_t>(4 - layerBits);
    f.crc = (h[1] & 1) == 0;
    f.channelMode = static_cast<std::uint8_t>(h[3] >> 6);
    f.mono = f.channelMode == 3;
    static constexpr std::uint32_t kRates[3] = {44100, 48000, 32000};
    f.sampleRate = kRates[srIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const bool mpeg1 = version == 3;
    const std::size_t table = mpeg1 ? f.layer - 1u : (f.layer == 1 ? 3u : 4u);
    f.bitRate = kBitRates[table][rateIndex];
    const std::uint32_t bitRate = f.bitRate * 1000u;
    if (f.layer == 1) {
        f.samples = 384;
        f.length = (12 * bitRate / f.sampleRate + padding) * 4;
    } else {
        f.samples = (f.layer == 3 && !mpeg1) ? 576 : 1152;
        f.length = (f.layer == 3 && !mpeg1 ? 72 : 144) * bitRate / f.sampleRate + padding;
    }
    return f.length >= 4;
}

bool SameStream(const Frame &a, const Frame &b)
{
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

std::int64_t Id3v2End(TStream &file)
{
    std::uint8_t h[10];
    if (!file.ReadAt(0, h, sizeof h) || std::memcmp(h, "ID3", 3) != 0) return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
    const std::int64_t size = (std::int64_t{h[6]} << 21) | (std::int64_t{h[7]} << 14) | (std::int64_t{h[8]} << 7) | h[9];
    return 10 + size + ((h[5] & 0x10) ? 10 : 0);
}

}  // namespace

bool TMp3FrameWalker::Advance(const std::string &path)
{
    TFileStream file;
    return file.Open(path) && Advance(file);
}

bool TMp3FrameWalker::FindFirstFrame(TStream &file, std::int64_t size)
{
    const std::int64_t from = Id3v2End(file);
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(kFirstFrameSearch) + 8);
    buf.resize(file.ReadSomeAt(from, buf.data(), buf.size()));
    for (std::size_t i = 0; i + 4 <= buf.size(); ++i) {
        Frame f;
        if (!ParseHeader(&buf[i], f)) continue;
        const std::int64_t at = from + static_cast<std::int64_t>(i);
        // A lone header could be chance: the next frame must follow, unless the file ends there.
        std::uint8_t next[4];
        Frame g;
        const std::int64_t nextAt = at + f.length;
        const bool confirmed = nextAt == size ||
                               (file.ReadAt(nextAt, next, sizeof next) && ParseHeader(next, g) && SameStream(f, g));
        if (!confirmed) {
            if (nextAt + 4 > size) return false;  // not written yet: look again later
            continue;
        }
        pos_ = at;
        sampleRate_ = f.sampleRate;
        version_ = f.version;
        layer_ = f.layer;
        return true;
    }
    if (size - from > kFirstFrameSearch) stopped_ = true;  // no MP3 audio here
    return false;
}

bool TMp3FrameWalker::ReadMetadataFrame(const std::uint8_t *frame, std::size_t length)
{
    Frame f;
    ParseHeader(frame, f);
    if (length >= 40 && std::memcmp(frame + 36, "VBRI", 4) == 0) return true;
    const std::size_t sideInfo = f.version == 3 ? (f.mono ? 17 : 32) : (f.mono ? 9 : 17);
    const std::size_t xing = 4 + (f.crc ? 2 : 0) + sideInfo;
    if (xing + 8 > length) return false;
    const std::uint8_t *x = frame + xing;
    if (std::memcmp(x, "Xing", 4) != 0 && std::memcmp(x, "Info", 4) != 0) return false;
    const std::uint8_t flags = x[7];
    const std::size_t lame = xing + 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) +
                             ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
    if (lame + 24 <= length && std::memcmp(frame + lame, "LAME", 4) == 0) {
        const std::uint8_t *d = frame + lame + 21;
        trim_ = ((std::int64_t{d[0]} << 4) | (d[1] >> 4)) + (((std::int64_t{d[1]} & 0x0F) << 8) | d[2]);
        trimKnown_ = true;
    }
    return true;
}

bool TMp3FrameWalker::Advance(TStream &file)
{
    const std::int64_t size = file.Size();
    if (size < 0) return false;
    if (stopped_) return true;
    if (pos_ < 0 && !FindFirstFrame(file, size)) return true;

    std::vector<std::uint8_t> chunk(kChunk);
    while (!stopped_ && pos_ + 4 <= size) {
        const std::size_t got = file.ReadSomeAt(pos_, chunk.data(), chunk.size());
        std::size_t at = 0;
        while (at + 4 <= got) {
            Frame f;
            if (!ParseHeader(&chunk[at], f) || f.version != version_ || f.layer != layer_ ||
                f.sampleRate != sampleRate_) {
                stopped_ = true;
                break;
            }
            if (at + f.length > got) break;  // read again from this frame on, or wait for it
            const bool isMetadata = !firstSeen_ && ReadMetadataFrame(&chunk[at], f.length);
            firstSeen_ = true;
            if (!isMetadata) {
                if (frames_ == 0) {
                    channelMode_ = f.channelMode;
                    firstBitRate_ = f.bitRate;
                }
                variable_ = variable_ || f.bitRate != firstBitRate_;
                ++frames_;
                samples_ += f.samples;
                audioBytes_ += f.length;
            }
            at += f.length;
        }
        if (at == 0) break;  // the frame at pos_ is not complete yet
        pos_ += static_cast<std::int64_t>(at);
        if (got < chunk.size()) break;
    }
    return true;
}

double TMp3FrameWalker::Seconds() const
{
    if (sampleRate_ == 0) return 0;
    const std::int64_t samples = samples_ > trim_ ? samples_ - trim_ : samples_;
    return static_cast<double>(samples) / sampleRate_;
}

std::optional<std::int64_t> TMp3FrameWalker::ExactSamples() const
{
    if (!trimKnown_ || samples_ < trim_) return std::nullopt;
    return samples_ - trim_;
}

int TMp3FrameWalker::AverageBitRate() const
{
    if (samples_ == 0 || sampleRate_ == 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(audioBytes_) * 8 * sampleRate_ / samples_ / 1000));
}

TMp3Facts ReadMp3Facts(const std::string &path)
{
    static constexpr const char *kVersions[4] = {"MPEG-2.5", "", "MPEG-2", "MPEG-1"};
    static constexpr const char *kLayers[4] = {"", "Layer I", "Layer II", "Layer III"};
    static constexpr const char *kModes[4] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono"};
    TMp3FrameWalker walker;
    TMp3Facts facts;
    // Two frames in a row, each found where the one before says: not a chance pattern.
    TFileStream file;
    if (!file.Open(path) || !walker.Advance(file) || walker.Frames() < 2) return facts;
    facts.found = true;
    facts.fileSize = file.Size();
    facts.version = kVersions[walker.Version()];
    facts.layer = kLayers[walker.Layer()];
    facts.channelMode = kModes[walker.ChannelMode()];
    facts.seconds = walker.Seconds();
    facts.bitRate = walker.AverageBitRate();
    facts.variableBitRate = walker.VariableBitRate();
    facts.sampleRate = walker.SampleRate();
    facts.frames = walker.Frames();
    return facts;
}

double Mp3Duration(const std::string &path)
{
    TMp3FrameWalker walker;
    return walker.Advance(path) ? walker.Seconds() : 0.0;
}

}  // namespace trackmill
