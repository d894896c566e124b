// The source's tags as an Opus file's comments: the names players and taggers read
// (TITLE, ARTIST, ALBUMARTIST, TRACKNUMBER, DATE, the sort names, the MusicBrainz
// identifiers, LYRICS ...), every other APE item under its own key, the covers as
// METADATA_BLOCK_PICTURE, ReplayGain as R128 gains and our mark as TRACKMILL_SOURCE. The
// precedence is the MP3's: the ID3v2 tag, then the APE items over the fields they name,
// then the ID3v1 tag where nothing else said, then the stream header's ReplayGain where
// no tag carried any.
#pragma once

#include "engine/TagTransfer.h"
#include "formats/MPEGplus.h"
#include "formats/OggOpus.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

// The comments, with what could not be carried named in *omitted ("; " between).
std::vector<TVorbisComment> OpusComments(const TMPEGplus &source, const TTagSwitches &switches,
                                         const TTagAdditions &additions, std::string *omitted);

// A ReplayGain figure ("-6.50 dB") as an Opus R128 gain: Q7.8 dB against -23 LUFS, that is
// 5 dB less, as a whole number ("-2944"); none when the text holds no figure.
std::optional<std::string> R128Gain(std::string_view replayGain);

}  // namespace trackmill
