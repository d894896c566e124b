// Ogg Opus file: reads the identification header, the comments and how many samples the
// stream holds; rewrites the comment list. The audio packets are never touched.
//
// Ogg page (little-endian numbers):
//   0 "OggS" | 4 version 0 | 5 flags (1 continues a packet, 2 first page, 4 last page)
//   | 6 granule position (64 bits) | 14 serial | 18 sequence number | 22 CRC-32
//   | 26 segment count | 27 lacing values, one per segment | the segments
// A packet is the run of segments up to and including the first lacing value below 255,
// so one that is a multiple of 255 long ends with a 0. It may run on over pages, up to
// 255 segments each. The CRC (polynomial 0x04c11db7, not reflected, starting at 0) is
// taken over the page with its own field zeroed. A page on which a packet ends carries
// the granule position after that packet, else -1.
//
// The first page holds only OpusHead:
//   "OpusHead" | version | channels | pre-skip (16) | input rate (32) | output gain
//   (signed 16, Q7.8 dB) | mapping family [| streams | coupled | one byte per channel]
// Then, from the second page on, OpusTags, and the audio on the page after its end:
//   "OpusTags" | vendor length (32) | vendor | count (32) | count x (length (32) |
//   "KEY=value") [| more data, kept when its first byte has bit 0 set]
// Granule positions count samples at 48 kHz; the pre-skip at the start is not played.
//
// Hostile files are held to caps: an OpusTags packet of at most 64 MiB (the ID3v2
// reader's cap) over at most 65,536 pages, with at most 65,536 comments; the last page
// is looked for in the last 1 MiB only. A file beyond them does not read as valid.
#pragma once

#include "formats/Stream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

struct TOpusHead {
    std::uint8_t version = 0;
    std::uint8_t channels = 0;
    std::uint16_t preSkip = 0;           // samples at 48 kHz
    std::uint32_t inputSampleRate = 0;   // what the encoder was given; 0 when unknown
    std::int16_t outputGain = 0;         // Q7.8 dB
    std::uint8_t mappingFamily = 0;
};

// One "KEY=value" of the comment list. Keys are ASCII and compare without regard to
// case; values are bytes (UTF-8 by convention).
struct TVorbisComment {
    std::string key;
    std::string value;

    bool operator==(const TVorbisComment &) const = default;
};

class TOggOpus {
public:
    static constexpr std::int64_t kMaxTagsBytes = 64 * 1024 * 1024;
    static constexpr std::size_t kMaxTagsPages = 65536;
    static constexpr std::size_t kMaxComments = 65536;
    static constexpr std::int64_t kLastPageSearch = 1024 * 1024;

    enum class TPart { Everything, NoComments, NoLastPage };

    TOggOpus() = default;

    void Clear();

    // True when the file is a valid Ogg Opus stream; Error() says why not. NoComments
    // reads the head and the last page and steps over the pages of the comments by their
    // headers, their contents and checksums unread. NoLastPage reads the head and the
    // comments and leaves the sample count at 0: a library's marks are read without the end
    // of every file.
    bool LoadFromFile(const std::string &fileName, TPart part = TPart::Everything);
    bool LoadFromStream(TStream &stream, TPart part = TPart::Everything);

    bool Valid() const { return valid_; }
    // Why the file read was not valid, as a person reads it ("the first page's checksum is
    // wrong"); empty when it was.
    const std::string &Error() const { return error_; }

    const TOpusHead &Head() const { return head_; }
    // Where the first audio page starts.
    std::int64_t AudioOffset() const { return audioOffset_; }
    // The granule position of the last intact page that has one.
    std::int64_t LastGranule() const { return lastGranule_; }
    // Samples per channel at 48 kHz that a player gives: the last granule position less
    // the pre-skip (0 when that is negative).
    std::int64_t SampleCount() const;
    double Duration() const { return static_cast<double>(SampleCount()) / 48000.0; }

    const std::string &Vendor() const { return vendor_; }
    // In file order, a key repeated as often as it stands.
    const std::vector<TVorbisComment> &Comments() const { return comments_; }
    // Every value of that key (letters in any case), in order.
    std::vector<std::string> Values(std::string_view key) const;
    // The first of them, or "".
    std::string Value(std::string_view key) const;

    // What WriteToFile writes. A vendor not set is the one the file holds at the time.
    void SetComments(std::vector<TVorbisComment> comments) { comments_ = std::move(comments); }
    void SetVendor(std::string vendor) { newVendor_ = std::move(vendor); }

    // Replaces the comment list of the valid Ogg Opus file: the OpusHead page and every
    // audio packet stay as they are; the pages after the comments are renumbered when
    // their count changes. The file is rewritten beside itself and takes its place whole;
    // on failure it keeps its content and *error says why. Keys must be 1 or more of the
    // characters 0x20-0x7D other than "=".
    bool WriteToFile(const std::string &fileName, std::string *error = nullptr) const;
    bool WriteToStream(TStream &stream, std::string *error = nullptr) const;

private:
    bool Fail(std::string why);
    bool ReadHeaders(TStream &stream, std::vector<std::uint8_t> *tags);
    bool ReadComments(const std::vector<std::uint8_t> &tags);
    bool FindLastGranule(TStream &stream);

    bool valid_ = false;
    std::string error_;
    TOpusHead head_;
    std::int64_t audioOffset_ = 0;
    std::int64_t lastGranule_ = 0;
    std::string vendor_;
    std::vector<TVorbisComment> comments_;
    std::optional<std::string> newVendor_;
    // Layout facts the writer keeps.
    std::uint32_t serial_ = 0;
    std::uint32_t headSequence_ = 0;
    std::int64_t headPageEnd_ = 0;
    std::uint32_t tagsPages_ = 0;
    std::string extra_;  // data after the list that is to be kept
};

// A picture as a METADATA_BLOCK_PICTURE value holds it: the FLAC picture block
// (big-endian 32-bit numbers: type | MIME length | MIME | description length |
// description (UTF-8) | width | height | bits per pixel | colours of an indexed picture |
// data length | data), base64 encoded.
struct TOpusPicture {
    std::uint32_t type = 3;   // the ID3v2 picture types; 3 the front cover
    std::string mime;
    std::string description;
    std::uint32_t width = 0;  // 0 when unknown
    std::uint32_t height = 0;
    std::uint32_t depth = 0;
    std::uint32_t colours = 0;
    std::vector<std::uint8_t> data;
};

namespace opus {

// The value for the METADATA_BLOCK_PICTURE key. Width, height, depth and colours that are
// 0 are filled from the header of a PNG or JPEG picture when it tells them.
std::string PictureValue(TOpusPicture picture);
// Nothing when the value is not base64 of a whole picture block.
std::optional<TOpusPicture> ReadPictureValue(std::string_view value);

}  // namespace opus
}  // namespace trackmill
