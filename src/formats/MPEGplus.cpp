#include "formats/MPEGplus.h"

#include "formats/ByteUtil.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace trackmill {

namespace {

constexpr std::array<const char *, 3> kChannelModeNames{"Unknown", "Stereo", "Joint Stereo"};
constexpr std::array<const char *, TMPEGplus::kProfileCount> kProfileNames{
    "Unknown",   "Thumb",     "Radio",     "Standard",  "Xtreme",     "Insane",    "Braindead",
    "Telephone", "Quality 0", "Quality 1", "Quality 9", "Quality 10", "Experimental"};
// The old encoder's profile table by the high four bits of version 7's byte 10 (its
// quality + 5): index into the names above.
constexpr std::array<std::uint8_t, 16> kVersion7Profiles{0, 12, 0, 0, 0, 8, 9, 7, 1, 2, 3, 4, 5, 6, 10, 11};

constexpr std::uint32_t kAssumedSampleRate = 44100;
constexpr std::uint32_t kSamplesPerFrame = 1152;
constexpr std::array<std::uint32_t, 8> kSv8SampleRates{44100, 48000, 37800, 32000, 0, 0, 0, 0};
constexpr std::array<std::uint32_t, 4> kSv7SampleRates{44100, 48000, 37800, 32000};

// A packet stream made of tiny packets must not turn a header read into a file scan.
constexpr int kMaxPackets = 1024;
// Longer size fields than this do not occur in real streams and would overflow.
constexpr int kMaxVarintBytes = 8;
// The "SH" fields fit well within this; anything beyond is not needed.
constexpr std::size_t kMaxPayloadRead = 64;

// Version 7 ReplayGain lies in the bytes after the 12 that every version reads, and the
// last frame's sample count after it.
constexpr std::size_t kFixedHeaderRead = 32;
constexpr std::size_t kVersion7GainEnd = 20;
constexpr std::size_t kVersion7GaplessAt = 20;
// What a version 7 decoder's synthesis filter holds back when the stream does not say
// how long its last frame is.
constexpr std::uint64_t kVersion7SynthesisDelay = 481;
// The loudness reference of version 8 gains, in dB.
constexpr double kGainReference = 64.82;
constexpr double kSampleFullScale = 32768.0;

std::optional<double> IfSet(bool set, double value)
{
    return set ? std::optional<double>(value) : std::nullopt;
}

std::optional<double> Sv8Gain(std::uint16_t raw)
{
    return IfSet(raw != 0, kGainReference - static_cast<std::int16_t>(raw) / 256.0);
}

std::optional<double> Sv8Peak(std::uint16_t raw)
{
    return IfSet(raw != 0, std::pow(10.0, raw / 256.0 / 20.0) / kSampleFullScale);
}

// Reads a variable-length number from data[pos..end); advances pos. False when it runs off
// the end or is longer than kMaxVarintBytes.
bool ReadVarint(const std::uint8_t *data, std::size_t end, std::size_t &pos, std::uint64_t &value)
{
    value = 0;
    for (int i = 0; i < kMaxVarintBytes; ++i) {
        if (pos >= end) return false;
        const std::uint8_t b = data[pos++];
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

bool IsCapital(std::uint8_t c) { return c >= 'A' && c <= 'Z'; }

// Reads a stream front to back in blocks, so that a walk over many small steps costs few reads.
class TBlockReader {
public:
    explicit TBlockReader(TStream &file) : file_(file) {}
    // The bytes at `offset` (fewer at the end of the file).
    std::size_t Read(std::int64_t offset, std::uint8_t *out, std::size_t n)
    {
        if (offset < start_ || offset + std::int64_t(n) > start_ + std::int64_t(got_)) {
            start_ = offset;
            got_ = file_.ReadSomeAt(offset, block_.data(), block_.size());
        }
        const std::size_t have = std::size_t(std::max<std::int64_t>(0, start_ + std::int64_t(got_) - offset));
        const std::size_t take = std::min(n, have);
        std::memcpy(out, block_.data() + (offset - start_), take);
        return take;
    }

private:
    TStream &file_;
    std::array<std::uint8_t, 65536> block_{};
    std::int64_t start_ = 0;
    std::size_t got_ = 0;
};

constexpr std::int64_t kVersion7FirstFrameBit = 200;
constexpr int kVersion7LengthBits = 20;

std::uint16_t ToKbps(double value)
{
    if (!(value > 0)) return 0;  // also NaN
    const double rounded = std::nearbyint(value);  // default mode: halves to even
    if (rounded >= std::numeric_limits<std::uint16_t>::max()) return std::numeric_limits<std::uint16_t>::max();
    return static_cast<std::uint16_t>(rounded);
}

}  // namespace

TMPEGplus::TMPEGplus() { Clear(); }

void TMPEGplus::Clear()
{
    valid_ = false;
    channelModeIndex_ = 0;
    fileSize_ = 0;
    frameCount_ = 0;
    storedBitRate_ = 0;
    streamVersion_ = 0;
    profileIndex_ = 0;
    sampleRate_ = 0;
    sampleCount_ = 0;
    channels_ = 0;
    minorVersion_ = 0;
    blockPower_ = 0;
    endsEarlyAt_.reset();
    replayGain_ = {};
    id3v1_.Clear();
    id3v2_.Clear();
    ape_.Clear();
}

std::string TMPEGplus::ChannelModeNameOf(std::uint8_t index)
{
    return index < kChannelModeNames.size() ? kChannelModeNames[index] : kChannelModeNames[0];
}

std::string TMPEGplus::ProfileNameOf(std::uint8_t index)
{
    return index < kProfileNames.size() ? kProfileNames[index] : kProfileNames[0];
}

std::uint8_t TMPEGplus::Version7ProfileIndex(std::uint8_t byte10) { return kVersion7Profiles[byte10 >> 4]; }

std::uint8_t TMPEGplus::Version8ProfileIndex(std::uint8_t byte)
{
    switch (byte & 0xFE) {
    case 0x80: return 1;
    case 0x90: return 2;
    case 0xA0: return 3;
    case 0xB0: return 4;
    case 0xC0: return 5;
    case 0xD0: return 6;
    default: return 0;
    }
}

std::string TMPEGplus::ChannelModeName() const { return ChannelModeNameOf(channelModeIndex_); }
std::string TMPEGplus::ProfileName() const { return ProfileNameOf(profileIndex_); }

std::string TMPEGplus::StreamVersionText() const
{
    std::string text = std::to_string(streamVersion_);
    if (minorVersion_ != 0) text += "." + std::to_string(minorVersion_);
    return text;
}

bool TMPEGplus::LoadFromFile(const std::string &fileName)
{
    Clear();
    TFileStream file;
    return file.Open(fileName) && Load(file, true);
}

bool TMPEGplus::LoadHeaderFromFile(const std::string &fileName)
{
    Clear();
    TFileStream file;
    return file.Open(fileName) && Load(file, false);
}

bool TMPEGplus::LoadFromStream(TStream &stream) { return Load(stream, true); }

bool TMPEGplus::LoadHeaderFromStream(TStream &stream) { return Load(stream, false); }

bool TMPEGplus::Load(TStream &file, bool withTags)
{
    Clear();
    std::int64_t start = 0;
    if (withTags ? id3v2_.LoadFromStream(file) : id3v2_.LoadHeaderFromStream(file)) start = id3v2_.TagSize();
    if (start < 0) start = 0;

    const std::int64_t size = file.Size();
    std::uint8_t b[kFixedHeaderRead] = {};
    const std::size_t got = size < 0 ? 0 : file.ReadSomeAt(start, b, sizeof b);
    if (got < 12) return false;
    if (size == 0) return true;

    if (std::memcmp(b, "MP+", 3) == 0 && (b[3] & 0x0F) == 7) {
        // The high four bits are the minor version: 7.1 wherever the encoder's profile
        // used noise substitution.
        streamVersion_ = 7;
        minorVersion_ = b[3] >> 4;
    } else if (std::memcmp(b, "MPCK", 4) == 0) {
        ReadPacketStream(file, start, size);
    } else {
        switch ((b[1] & 0x1F) >> 1) {
        case 3: streamVersion_ = 4; break;
        case 7: streamVersion_ = 5; break;
        case 11: streamVersion_ = 6; break;
        default: break;
        }
    }
    if (streamVersion_ >= 4 && streamVersion_ <= 7) ReadFixedHeader(b, got);
    if (streamVersion_ == 0) return true;

    valid_ = true;
    fileSize_ = size;
    if (!withTags) return true;
    id3v1_.LoadFromStream(file);
    ape_.LoadFromStream(file);
    return true;
}

void TMPEGplus::ReadFixedHeader(const std::uint8_t *b, std::size_t size)
{
    const std::uint32_t w0 = Le32(b);
    const std::uint32_t w1 = Le32(b + 4);
    sampleRate_ = kAssumedSampleRate;
    channels_ = 2;  // the encoders of these versions code two channels always
    const std::uint32_t frames = streamVersion_ == 4 ? (w1 >> 16) : w1;
    if (streamVersion_ == 7) {
        sampleRate_ = kSv7SampleRates[(Le32(b + 8) >> 16) & 3];
        channelModeIndex_ = (b[11] & 0x40) ? 2 : 1;
        profileIndex_ = Version7ProfileIndex(b[10]);
        // Bit 31: the stream is true gapless, bits 20 to 30 then say how many samples
        // its last frame holds; else the decoder gives all frames less its delay.
        const std::uint32_t gapless = Le32(b + kVersion7GaplessAt);
        const std::uint64_t whole = std::uint64_t{frames} * kSamplesPerFrame;
        if (gapless & 0x80000000u)
            sampleCount_ = frames == 0 ? 0 : whole - kSamplesPerFrame + ((gapless >> 20) & 0x7FF);
        else
            sampleCount_ = whole > kVersion7SynthesisDelay ? whole - kVersion7SynthesisDelay : 0;
        if (size >= kVersion7GainEnd) {
            const std::uint16_t trackPeak = Le16(b + 12), albumPeak = Le16(b + 16);
            const auto trackGain = static_cast<std::int16_t>(Le16(b + 14));
            const auto albumGain = static_cast<std::int16_t>(Le16(b + 18));
            replayGain_.trackPeak = IfSet(trackPeak != 0, trackPeak / kSampleFullScale);
            replayGain_.trackGain = IfSet(trackGain != 0, trackGain / 100.0);
            replayGain_.albumPeak = IfSet(albumPeak != 0, albumPeak / kSampleFullScale);
            replayGain_.albumGain = IfSet(albumGain != 0, albumGain / 100.0);
        }
    } else {
        channelModeIndex_ = (b[2] & 0x7F) == 0 ? 1 : 2;
    }
    // Frame counts past the signed range are nonsense; keep them from turning negative.
    frameCount_ = static_cast<std::int32_t>(
        std::min<std::uint32_t>(frames, std::numeric_limits<std::int32_t>::max()));
    if (streamVersion_ == 4 || streamVersion_ == 5) storedBitRate_ = static_cast<std::uint16_t>(w0 >> 23);
}

void TMPEGplus::ReadPacketStream(TStream &file, std::int64_t start, std::int64_t size)
{
    std::int64_t pos = start + 4;
    bool seenSH = false;
    bool seenEI = false;
    bool seenRG = false;
    for (int n = 0; n < kMaxPackets && !(seenSH && seenEI && seenRG); ++n) {
        std::uint8_t head[2 + kMaxVarintBytes];
        const std::size_t got = file.ReadSomeAt(pos, head, sizeof head);
        if (got < 3 || !IsCapital(head[0]) || !IsCapital(head[1])) break;
        std::size_t used = 2;
        std::uint64_t packetSize = 0;
        if (!ReadVarint(head, got, used, packetSize) || packetSize < used) break;
        if (packetSize > static_cast<std::uint64_t>(size - pos)) break;  // runs past the end

        const char key[3] = {char(head[0]), char(head[1]), 0};
        if (std::strcmp(key, "AP") == 0 || std::strcmp(key, "SE") == 0) break;
        const bool isSH = std::strcmp(key, "SH") == 0;
        const bool isEI = std::strcmp(key, "EI") == 0;
        const bool isRG = std::strcmp(key, "RG") == 0;
        if ((isSH && !seenSH) || (isEI && !seenEI) || (isRG && !seenRG)) {
            std::uint8_t payload[kMaxPayloadRead];
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(packetSize - used, sizeof payload));
            if (!file.ReadAt(pos + static_cast<std::int64_t>(used), payload, want)) break;
            if (isSH) {
                // CRC (4), version (1), sample count, silence, rate/bands, channels/flags.
                std::size_t p = 5;
                std::uint64_t samples = 0;
                std::uint64_t silence = 0;
                if (want < p || !ReadVarint(payload, want, p, samples) ||
                    !ReadVarint(payload, want, p, silence) || p + 2 > want)
                    break;
                const std::uint8_t rateByte = payload[p];
                const std::uint8_t chanByte = payload[p + 1];
                seenSH = true;
                streamVersion_ = 8;
                // A decoder leaves out the silence the encoder put before the audio.
                sampleCount_ = samples - std::min(silence, samples);
                sampleRate_ = kSv8SampleRates[rateByte >> 5];
                const unsigned channels = (chanByte >> 4) + 1u;
                channels_ = static_cast<std::uint8_t>(channels);
                channelModeIndex_ = channels == 2 ? ((chanByte & 0x08) ? 2 : 1) : 0;
                blockPower_ = chanByte & 0x07;
                const std::uint64_t frames = samples / kSamplesPerFrame + (samples % kSamplesPerFrame != 0);
                frameCount_ = static_cast<std::int32_t>(
                    std::min<std::uint64_t>(frames, std::numeric_limits<std::int32_t>::max()));
            } else if (isRG) {
                seenRG = true;
                if (want >= 9 && payload[0] == 1) {
                    replayGain_.trackGain = Sv8Gain(Be16(payload + 1));
                    replayGain_.trackPeak = Sv8Peak(Be16(payload + 3));
                    replayGain_.albumGain = Sv8Gain(Be16(payload + 5));
                    replayGain_.albumPeak = Sv8Peak(Be16(payload + 7));
                }
            } else {
                if (want < 1) break;
                seenEI = true;
                profileIndex_ = Version8ProfileIndex(payload[0]);
            }
        }
        pos += static_cast<std::int64_t>(packetSize);
    }
    // Encoder information seen without a stream header does not make a stream.
    if (!seenSH) {
        profileIndex_ = 0;
        replayGain_ = {};
    }
}

void TMPEGplus::CheckStreamEnd(TStream &file)
{
    endsEarlyAt_.reset();
    if (!valid_ || sampleRate_ == 0) return;
    const std::int64_t start = std::max<std::int64_t>(0, id3v2_.TagSize());
    const std::int64_t size = file.Size();
    if (size <= start) return;
    TBlockReader reader(file);
    if (streamVersion_ == 7) {
        const std::int64_t bits = (size - start) * 8;
        std::int64_t pos = kVersion7FirstFrameBit;
        for (std::int32_t frame = 0; frame < frameCount_; ++frame) {
            std::uint8_t b[8] = {};
            const std::int64_t word = pos / 32;
            if (pos + kVersion7LengthBits <= bits) reader.Read(start + word * 4, b, sizeof b);
            const std::uint64_t pair = (std::uint64_t(Le32(b)) << 32) | Le32(b + 4);
            const std::uint64_t length = (pair >> (64 - kVersion7LengthBits - pos % 32)) & 0xFFFFF;
            pos += kVersion7LengthBits + std::int64_t(length);
            if (pos > bits) {
                endsEarlyAt_ = static_cast<double>(frame) * kSamplesPerFrame / sampleRate_;
                return;
            }
        }
        return;
    }
    if (streamVersion_ != 8) return;
    const std::uint64_t samplesPerPacket = std::uint64_t(kSamplesPerFrame) << (2 * blockPower_);
    std::uint64_t samples = 0;
    std::int64_t pos = start + 4;
    bool cut = false;
    while (true) {
        std::uint8_t head[2 + kMaxVarintBytes];
        const std::size_t got = reader.Read(pos, head, sizeof head);
        if (got == 0) {
            cut = true;  // the packets stop without a stream end
            break;
        }
        if (!IsCapital(head[0]) || (got > 1 && !IsCapital(head[1]))) return;
        std::size_t used = 2;
        std::uint64_t packetSize = 0;
        if (!ReadVarint(head, got, used, packetSize)) {
            if (got == sizeof head) return;
            cut = true;  // a packet header broken off by the end of the file
            break;
        }
        if (packetSize < used) return;
        if (head[0] == 'S' && head[1] == 'E') return;
        if (packetSize > static_cast<std::uint64_t>(size - pos)) {
            cut = true;
            break;
        }
        if (head[0] == 'A' && head[1] == 'P') samples += samplesPerPacket;
        pos += static_cast<std::int64_t>(packetSize);
    }
    if (cut && samples < sampleCount_) endsEarlyAt_ = static_cast<double>(samples) / sampleRate_;
}

std::optional<std::uint64_t> TMPEGplus::SampleCount() const
{
    if (streamVersion_ < 7 || sampleRate_ == 0) return std::nullopt;
    return sampleCount_;
}

double TMPEGplus::Duration() const
{
    if (const auto samples = SampleCount()) return static_cast<double>(*samples) / sampleRate_;
    if (streamVersion_ == 8) return 0.0;
    return static_cast<double>(frameCount_) * kSamplesPerFrame / kAssumedSampleRate;
}

std::int64_t TMPEGplus::AudioSize() const
{
    std::int64_t audio = fileSize_ - id3v2_.TagSize() - ape_.TagSize();
    if (id3v1_.Present()) audio -= 128;
    return audio;
}

std::uint16_t TMPEGplus::BitRate() const
{
    if (storedBitRate_ != 0) return storedBitRate_;
    const double seconds = Duration();
    if (seconds <= 0) return 0;
    return ToKbps(static_cast<double>(AudioSize()) * 8.0 / seconds / 1000.0);
}

}  // namespace trackmill
