// Reading the frames of an ID3v2 tag of major version 2, 3 or 4 into version 2.3 frames.
//
// Header (10 bytes): "ID3" | major version | revision | flags | size (7 bits per byte,
// each byte taken whole; it counts neither the header nor the footer)
//   flags: 0x80 unsynchronisation, 0x40 extended header (2.2: compression), 0x10 footer
// Versions 2.2 and 2.3 unsynchronise the whole tag after the header (every FF 00 stands
// for FF); version 2.4 unsynchronises frame by frame (frame flag 0x0002, or every frame
// when the header flag is set). The extended header is skipped: 2.3 gives its size
// without its own 4 size bytes, 2.4 as 7 bits per byte including them.
// Frame headers: 2.2 id[3] size[3]; 2.3 id[4] size[4] flags[2]; 2.4 the same with the
// size in 7 bits per byte, which some taggers wrote as a plain number: that reading is
// taken when the 7-bit one does not end on a frame boundary and the plain one does.
//   2.3 frame flags: 0x0080 compressed (4-byte plain size first), 0x0040 encrypted,
//       0x0020 grouped (1 byte)
//   2.4 frame flags: 0x0040 grouped (1 byte), 0x0008 compressed, 0x0004 encrypted,
//       0x0002 unsynchronised, 0x0001 data length (4 bytes, 7 bits per byte)
// Every length is checked against the bytes left; a frame that runs past the tag ends
// the walk, and the frames read before it stay. A name that does not begin with A-Z ends
// it too (padding); a name damaged further on loses only its own frame.
#pragma once

#include "formats/ID3v2Frame.h"
#include "formats/Stream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill::id3v2 {

inline constexpr std::size_t kMaxTextFrame = 64 * 1024;
inline constexpr std::size_t kMaxBinaryFrame = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxFrames = 65536;

// The frames of a tag whose bytes, header first, are tag[0..size). What the limits above
// leave out is added to *omitted, as a person reads it.
std::vector<TID3v2Frame> ReadFrames(const std::uint8_t *tag, std::size_t size,
                                    std::vector<std::string> *omitted = nullptr);

// The tag at the stream's start, `size` bytes of it at most, as ReadFrames reads it, with
// its text frames alone (texts, comments, lyrics, links): every other frame, a picture
// above all, is passed over by its size and never read. A tag of version 2.2 or 2.3
// unsynchronised as a whole is read whole: its frames cannot be found without every byte.
ByteVector TextFramesOf(TStream &stream, std::size_t size);

// The text of the first TXXX frame with this description (ASCII letters in any case)
// among the first 256 frames of the tag at the stream's start, found frame header by frame
// header: no other frame's data is read, so a tag's pictures cost nothing. Only tags of
// versions 2.3 and 2.4 without unsynchronisation and frames without flags are looked at,
// as a tagger rewrites ours; a frame over 64 KiB is passed over.
std::optional<std::string> FindUserText(TStream &stream, std::string_view description);

// Appends one frame, read from a tag of the given major version with its frame flags
// already undone, in its version 2.3 form: 2.2 names become 2.3 names, 2.4 frames that
// 2.3 lacks become their 2.3 equivalent or a TXXX frame, encodings 2.3 lacks become
// Latin-1 or UTF-16. A frame that cannot be carried is left out.
void AppendAsVersion3(int version, std::string_view id, ByteVector data, std::uint16_t flags,
                      std::vector<TID3v2Frame> &out);

// The involved people of IPLS, and of TIPL and TMCL in 2.4, as the one IPLS of 2.3.
TID3v2Frame PeopleList(const std::vector<TID3v2Frame> &lists);

// Keeps one frame of each kind that 2.3 allows once (a text frame per name, a TXXX per
// description, a COMM or USLT per language and description, an APIC per description):
// the later value in the earlier place.
void DropDuplicates(std::vector<TID3v2Frame> &frames);

}  // namespace trackmill::id3v2
