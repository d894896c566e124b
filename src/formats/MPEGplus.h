// Musepack stream header: stream versions 4 to 7 (a fixed 12-byte header) and version 8
// (the "MPCK" packet stream), plus the three tag readers filled from the same file.
//
// Layout of versions 4 to 7, at offset S (behind an ID3v2 tag at the file start, else 0),
// 12 bytes B0..B11, little-endian words W0 = B0..B3, W1 = B4..B7:
//   "MP+" 0xM7                       version 7.M (7.1 where the profile used noise
//                                    substitution); channel mode from bit 0x40 of B11,
//                                    frames = W1, profile from the high four bits of B10
//   (B1 & 0x1F) >> 1 == 3 / 7 / 11   version 4 / 5 / 6; channel mode from B2 & 0x7F,
//                                    frames = W1 >> 16 (v4) or W1, stored kbit/s = W0 >> 23
//                                    (v4, v5 only)
// All of them count 1152 samples per frame. Version 7 gives its sample rate in bits 16-17
// of the word B8..B11 (44100, 48000, 37800, 32000 Hz); the others are 44100 Hz.
//
// Version 8 at S: "MPCK", then packets: 2 capital letters, a size (7 bits per byte, most
// significant first, top bit = more) counting the whole packet, then the payload.
//   SH: CRC-32, version byte, sample count (varint), beginning silence (varint),
//       rate index (top 3 bits) | bands - 1, channels - 1 (top 4 bits) | mid-side 0x08 |
//       power (low 3 bits): each audio packet holds 4^power frames
//   RG: version (1), then big-endian 16-bit title gain, title peak, album gain, album
//       peak: gain = 64.82 - value / 256 dB, peak = 10^(value / 256 / 20) in 16-bit units
//   EI: (quality + 5) * 8 in the top 7 bits of byte 0 (the profile byte), encoder version
//   AP: audio, SE: stream end; the walk stops at either.
// Version 7 frames follow at bit 200 of the stream, read as little-endian 32-bit words
// from their top bit down: each is a 20-bit length, then that many bits.
// Version 7 keeps ReplayGain in B12..B19: title peak (16-bit sample units), title gain
// (signed, 1/100 dB), album peak, album gain, little-endian. A field of 0 means none.
// B20..B23, little-endian: bit 31 set in a true gapless stream, whose last frame then holds
// the samples in bits 20 to 30; without it a decoder gives frames x 1152 - 481 samples.
#pragma once

#include "formats/APEtag.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trackmill {

// ReplayGain values: gains in dB, peaks relative to full scale (1.0).
struct TReplayGain {
    std::optional<double> trackGain, trackPeak, albumGain, albumPeak;

    bool Any() const { return trackGain || trackPeak || albumGain || albumPeak; }
};


class TMPEGplus {
public:
    TMPEGplus();

    // Clears every field and the three tag readers.
    void Clear();

    // True when the 12 header bytes at S could be read; Valid() says whether they (and, for
    // version 8, a complete "SH" packet) form a known stream header. The ID3v2 reader is
    // always filled; the ID3v1 and APE readers only for a valid stream. Never throws.
    bool LoadFromFile(const std::string &fileName);
    // Only what the stream header says: no tag is read beyond the ID3v2 header that tells
    // where the stream starts. For deciding whether a file is Musepack, and how long it
    // plays, without reading a 10 MB cover picture. BitRate then counts tags as audio.
    bool LoadHeaderFromFile(const std::string &fileName);
    // The same from an open stream.
    bool LoadFromStream(TStream &stream);
    bool LoadHeaderFromStream(TStream &stream);

    bool Valid() const { return valid_; }
    // 0 unknown, 1 stereo, 2 joint stereo.
    std::uint8_t ChannelModeIndex() const { return channelModeIndex_; }
    // Length of the whole file in bytes.
    std::int64_t FileSize() const { return fileSize_; }
    std::int32_t FrameCount() const { return frameCount_; }
    // 4 to 8; 0 when no known header was found.
    std::uint8_t StreamVersion() const { return streamVersion_; }
    // Version 7's minor version (1 for "7.1"); 0 for the others.
    std::uint8_t MinorVersion() const { return minorVersion_; }
    // "7.1", or the bare number when there is no minor version.
    std::string StreamVersionText() const;
    static constexpr std::uint8_t kProfileCount = 13;
    // Below kProfileCount, index into the profile names.
    std::uint8_t ProfileIndex() const { return profileIndex_; }

    std::string ChannelModeName() const;
    std::string ProfileName() const;
    // Seconds of audio a decoder gives: SampleCount() at the stream's rate; versions 4 to 6
    // count whole frames at 44100 Hz.
    double Duration() const;
    // Kbit/s: the stored value of versions 4 and 5, else computed from the audio size
    // (file less its tags) over the duration, rounded half to even; 0 when there is
    // nothing to divide by.
    std::uint16_t BitRate() const;

    // 44100 for versions 4 to 6; from the header for version 7, and from the "SH" packet
    // for version 8 (0 when its index is unknown); 0 without a valid header.
    std::uint32_t SampleRate() const { return sampleRate_; }
    // The samples per channel a decoder gives, as the header says: version 7's frames and
    // last-frame count, version 8's count less its leading silence. None for versions 4 to
    // 6, which say only how many frames they hold, and for an unknown rate.
    std::optional<std::uint64_t> SampleCount() const;
    // 2 for versions 4 to 7 (their encoders code two channels always), version 8's own.
    std::uint8_t Channels() const { return channels_; }
    // From the stream header (versions 7 and 8); empty when it gives none.
    const TReplayGain &ReplayGain() const { return replayGain_; }

    // Whether the audio of a version 7 or 8 stream, loaded from `file`, ends before its
    // header says it should: its frames (version 7: each led by its 20-bit length) or its
    // audio packets (version 8, up to "SE") run past the end of the file. Walks the whole
    // stream, so only on request. Anything it cannot tell without decoding (an unknown
    // packet, garbage, other versions) counts as whole.
    void CheckStreamEnd(TStream &file);
    // After CheckStreamEnd: the seconds of audio present in a stream cut short (complete
    // frames or packets, at the stream's rate), or nothing.
    std::optional<double> EndsEarlyAt() const { return endsEarlyAt_; }

    TID3v1 &ID3v1Tag() { return id3v1_; }
    const TID3v1 &ID3v1Tag() const { return id3v1_; }
    TID3v2 &ID3v2Tag() { return id3v2_; }
    const TID3v2 &ID3v2Tag() const { return id3v2_; }
    TAPEtag &ApeTag() { return ape_; }
    const TAPEtag &ApeTag() const { return ape_; }
    // Shorter names for the same readers.
    TID3v1 &ID3v1() { return id3v1_; }
    const TID3v1 &ID3v1() const { return id3v1_; }
    TID3v2 &ID3v2() { return id3v2_; }
    const TID3v2 &ID3v2() const { return id3v2_; }
    TAPEtag &APEtag() { return ape_; }
    const TAPEtag &APEtag() const { return ape_; }

    static std::string ChannelModeNameOf(std::uint8_t index);
    static std::string ProfileNameOf(std::uint8_t index);
    // Profile index of a version 7 header byte B10: the old encoder's whole table.
    static std::uint8_t Version7ProfileIndex(std::uint8_t byte10);
    // Profile index of a version 8 "EI" byte: Thumb to Braindead, else unknown.
    static std::uint8_t Version8ProfileIndex(std::uint8_t byte);

private:
    bool Load(TStream &file, bool withTags);
    void ReadFixedHeader(const std::uint8_t *b, std::size_t size);
    void ReadPacketStream(TStream &file, std::int64_t start, std::int64_t size);
    std::int64_t AudioSize() const;

    bool valid_ = false;
    std::uint8_t channelModeIndex_ = 0;
    std::int64_t fileSize_ = 0;
    std::int32_t frameCount_ = 0;
    std::uint16_t storedBitRate_ = 0;
    std::uint8_t streamVersion_ = 0;
    std::uint8_t profileIndex_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint64_t sampleCount_ = 0;
    std::uint8_t channels_ = 0;
    std::uint8_t minorVersion_ = 0;
    std::uint8_t blockPower_ = 0;  // version 8: 4^power frames an audio packet
    std::optional<double> endsEarlyAt_;
    TReplayGain replayGain_;
    TID3v1 id3v1_;
    TID3v2 id3v2_;
    TAPEtag ape_;
};

}  // namespace trackmill
