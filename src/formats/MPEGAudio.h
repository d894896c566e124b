// MPEG audio (MP3) frames: how long the audio of a file plays, counted frame by frame,
// so that a file cut off mid-way measures short whatever its headers claim. Used to
// verify what the encoder wrote and to follow a file while it grows.
//
// A frame header is 4 bytes: 11 sync bits, version (2), layer (2), no-CRC (1), bit rate
// index (4), sample rate index (2), padding (1), ... A first frame that holds "Xing",
// "Info" or "VBRI" carries facts about the stream, not audio; the encoder's delay and
// padding in its "LAME" extension are taken off the playing time.
#pragma once

#include "formats/Stream.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trackmill {

// Walks the complete frames of a file from the end of its ID3v2 tag on. Advance can be
// called again as the file grows: it goes on where it stopped and never counts a frame
// that is not wholly there yet.
class TMp3FrameWalker {
public:
    // Reads what has been added since the last call; false when the file cannot be read.
    bool Advance(const std::string &path);
    bool Advance(TStream &file);

    // Audio frames seen and their samples; the metadata frame is not counted.
    std::int64_t Frames() const { return frames_; }
    std::uint32_t SampleRate() const { return sampleRate_; }
    // Seconds of audio in the frames seen so far, less the encoder's delay and padding
    // once the stream is known to be whole (see Duration of a whole file below).
    double Seconds() const;
    // The samples per channel of the frames seen less the encoder's delay and padding,
    // where the encoder said them (lame's Info tag); none where it did not.
    std::optional<std::int64_t> ExactSamples() const;
    // Whether the frames seen hold any audio beyond the encoder's delay and padding.
    bool HasAudio() const { return frames_ > 0 && samples_ > trim_; }
    // The walk met something that is not a frame after the first one (a trailing tag or
    // damage); later data is not looked at.
    bool Stopped() const { return stopped_; }
    // kbit/s over the audio frames seen: the bit rate, or its average when it varies.
    int AverageBitRate() const;
    bool VariableBitRate() const { return variable_; }
    // Header fields as coded: version 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5; layer 1 to 3;
    // channel mode 0 stereo, 1 joint stereo, 2 dual channel, 3 mono (the first audio frame's).
    std::uint8_t Version() const { return version_; }
    std::uint8_t Layer() const { return layer_; }
    std::uint8_t ChannelMode() const { return channelMode_; }

private:
    bool FindFirstFrame(TStream &file, std::int64_t size);
    // True when the first frame is an encoder's metadata frame; takes the trim from it.
    bool ReadMetadataFrame(const std::uint8_t *frame, std::size_t length);

    std::int64_t pos_ = -1;  // next frame's offset; -1 before the first frame was found
    std::int64_t frames_ = 0;
    std::int64_t samples_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint8_t version_ = 0;
    std::uint8_t layer_ = 0;
    std::int64_t trim_ = 0;  // delay + padding from the LAME extension
    bool trimKnown_ = false;
    std::int64_t audioBytes_ = 0;
    std::uint8_t channelMode_ = 0;  // of the first audio frame
    std::uint16_t firstBitRate_ = 0;
    bool variable_ = false;
    bool stopped_ = false;
    bool firstSeen_ = false;
};

// What `info` says of an MPEG audio file, read from its frames rather than its headers.
struct TMp3Facts {
    bool found = false;   // the file holds an MPEG audio stream
    std::string version;  // "MPEG-1", "MPEG-2", "MPEG-2.5"
    std::string layer;    // "Layer III" ...
    std::string channelMode;  // "Stereo", "Joint Stereo", "Dual Channel", "Mono"
    double seconds = 0;
    int bitRate = 0;  // kbit/s, the average when it varies
    bool variableBitRate = false;
    std::uint32_t sampleRate = 0;
    std::int64_t frames = 0;
    std::int64_t fileSize = 0;
};
TMp3Facts ReadMp3Facts(const std::string &path);

// Playing time of an MP3 file in seconds; 0 when it holds no frames or cannot be read.
double Mp3Duration(const std::string &path);

}  // namespace trackmill
