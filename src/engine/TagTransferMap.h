// What the tag transfer writes into an ID3v2.3 tag: the frames an APE tag becomes, the
// merge of those with frames copied from an ID3v2 tag, and ReplayGain frames from the
// stream header.
#pragma once

#include "formats/ID3v2Frame.h"

#include <optional>
#include <string_view>
#include <vector>

namespace trackmill {

class TAPEtag;
struct TAPEitem;
struct TReplayGain;

// A binary "Cover Art (...)" item as a picture of its type; none for any other item.
std::optional<id3v2::TPicture> ApeCoverPicture(const TAPEitem &item);

// Every item of the APE tag as a 2.3 frame: the common fields to their frames, "Cover
// Art (...)" pictures to APIC, other binary items to GEOB, every other text item to TXXX
// with its key. Several values of an item are joined with "/".
std::vector<TID3v2Frame> FramesFromApe(const TAPEtag &ape);

// Adds `incoming` to `base`: a frame of the same field (the same text frame name, TXXX
// description in any letter case, COMM or USLT language and description) replaces the
// base's frames of that field where the first stood; a new year replaces the old date
// and time too. Pictures are added beside the base's, unless the same picture is there.
void MergeFrames(std::vector<TID3v2Frame> &base, std::vector<TID3v2Frame> incoming);

// True when a TXXX frame holds any ReplayGain value.
bool HasReplayGain(const std::vector<TID3v2Frame> &frames);

// TXXX "REPLAYGAIN_TRACK_GAIN" ("-5.02 dB"), "REPLAYGAIN_TRACK_PEAK" ("0.366422"), and
// the two album values, for the values there are.
std::vector<TID3v2Frame> ReplayGainFrames(const TReplayGain &gain);

}  // namespace trackmill
