// One ID3v2 frame as a version 2.3 tag holds it, and the codecs of the frame contents
// the program reads and builds. Version 2.3 knows two text encodings: 0 Latin-1 and
// 1 UTF-16 with byte-order mark; version 2.4 adds 2 UTF-16BE and 3 UTF-8. Texts
// outside the frames are UTF-8.
//
//   text frame "T..."   encoding | text (2.4: several values, each ended by a terminator)
//   TXXX                encoding | description, terminator | value
//   COMM, USLT          encoding | language[3] | description, terminator | text
//   APIC                encoding | MIME type (Latin-1), 0 | picture type | description,
//                       terminator | picture bytes
//   WXXX                encoding | description, terminator | address (Latin-1)
//   UFID                owner (Latin-1), 0 | identifier (up to 64 bytes)
// The terminator is one 0 byte, or two in the UTF-16 encodings.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

using ByteVector = std::vector<std::uint8_t>;

struct TID3v2Frame {
    std::string id;            // four characters, the version 2.3 name
    ByteVector data;           // the content as a 2.3 tag stores it, never unsynchronised
    std::uint16_t flags = 0;   // version 2.3 frame flags (only compression is ever kept)

    bool IsText() const { return !id.empty() && id[0] == 'T' && id != "TXXX"; }
};

namespace id3v2 {

enum Encoding : std::uint8_t { kLatin1 = 0, kUtf16Bom = 1, kUtf16BE = 2, kUtf8 = 3 };

// Bytes of the given encoding as UTF-8, up to the first terminator; invalid bytes become
// U+FFFD. Encodings above 3 are read as Latin-1.
std::string DecodeString(std::uint8_t encoding, const std::uint8_t *data, std::size_t size);

// Splits data[pos..] at the next terminator of the encoding (aligned for UTF-16) and
// returns the bytes before it; pos moves past the terminator, or to the end.
std::string_view NextString(std::uint8_t encoding, const ByteVector &data, std::size_t &pos);

// 0 when every text is Latin-1, else 1.
std::uint8_t EncodingFor(std::initializer_list<std::string_view> texts);
// The text in a 2.3 encoding, optionally followed by its terminator.
void AppendString(ByteVector &out, std::uint8_t encoding, std::string_view utf8, bool terminated);

// A text frame's values, decoded; 2.3 and 2.4 separators alike.
std::vector<std::string> TextValues(const TID3v2Frame &frame);
// The values joined with "/".
std::string Text(const TID3v2Frame &frame);

struct TDescribed {
    std::string language;      // COMM and USLT only
    std::string description;
    std::string text;          // WXXX: the address
};
// TXXX, COMM, USLT and WXXX contents.
std::optional<TDescribed> ReadDescribed(const TID3v2Frame &frame);

struct TPicture {
    std::string mime;
    std::uint8_t type = 0;
    std::string description;
    ByteVector bytes;
};
std::optional<TPicture> ReadPicture(const TID3v2Frame &frame);

struct TUniqueId {
    std::string owner;
    std::string identifier;  // bytes as they stand
};
std::optional<TUniqueId> ReadUniqueId(const TID3v2Frame &frame);
inline constexpr std::size_t kMaxUniqueId = 64;

TID3v2Frame MakeText(std::string_view id, std::string_view text);
// Nothing for an identifier over kMaxUniqueId bytes, which the frame cannot hold.
std::optional<TID3v2Frame> MakeUniqueId(std::string_view owner, std::string_view identifier);
TID3v2Frame MakeUserText(std::string_view description, std::string_view value);
TID3v2Frame MakeComment(std::string_view id, std::string_view language, std::string_view description,
                        std::string_view text);
TID3v2Frame MakeUrl(std::string_view description, std::string_view url);
TID3v2Frame MakePicture(const TPicture &picture);

// A time "yyyy[-MM[-dd[THH[:mm[:ss]]]]]" as TYER, TDAT (ddMM) and TIME (HHmm), as far
// as it goes; a text that does not begin with a year becomes TXXX `otherwise`.
void AppendDateFrames(std::string_view time, std::string_view otherwise, std::vector<TID3v2Frame> &out);

}  // namespace id3v2
}  // namespace trackmill
