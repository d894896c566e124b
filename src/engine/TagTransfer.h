// Carries a Musepack source's tags into its new MP3: the ID3v1 and ID3v2 tags copied,
// the APE tag converted to ID3v1.1 or ID3v2.3. An ID3v2.3 target gets every frame of the
// source's ID3v2 tag, then the APE items replace the frames of their fields, and the
// stream header's ReplayGain comes in when no tag carries any, also into an ID3v2.3 tag
// of its own when the source has no tag to carry. An ID3v1 tag converted
// from APE replaces a copied one. Only the tags change: the audio bytes stay as they are.
#pragma once

#include "formats/MPEGplus.h"
#include "formats/Stream.h"

#include <cstdint>
#include <string>

namespace trackmill {

struct TTagSwitches {
    bool copyID3v1 = true;    // cbID3v1
    bool copyID3v2 = true;    // cbID3v2
    bool convertApe = true;   // cbApetag
    int apeTarget = 1;        // ComboID3 item index: 0 = ID3v1.1, anything else ID3v2.3
};

// What happened; the job reports it but does not act on it.
struct TTransferResult {
    bool sourceRead = false;     // the source could be read (its header may still be invalid)
    bool id3v1Copied = false;
    bool id3v2Copied = false;
    bool apeConverted = false;
    int writesFailed = 0;        // tag writes attempted that did not reach the MP3
    std::string error;           // the first failed write and why ("ID3v2 tag: No space left on device")
    // What the caps against hostile files left out of the tags carried, "; " between;
    // the file is still converted ("the cover picture of 16.0 MiB exceeds the 16 MiB
    // limit and was not carried").
    std::string omitted;
};

inline constexpr std::uint8_t kNoGenre = 255;
inline constexpr std::uint8_t kGenreOther = 12;

// Index of a genre in the ID3v1 genre list: a number or "(n)" is that number, a name is
// looked up by the list's spelling or the usual one, ignoring letter case. An empty name
// gives 255 (no genre), an unknown one or a number past the list 12 ("Other").
std::uint8_t GenreIndexOf(const std::string &name);

// What this program adds to the ID3v2 tag it writes into every MP3 (one is written whenever
// the switches want an ID3v2 tag at all, even when the source has nothing for it).
struct TTagAdditions {
    std::string marker;       // the text of the TXXX frame "TRACKMILL_SOURCE"; empty: none
    std::string folderArt;    // an image embedded as the front cover when no picture came along
    std::string folderArtMime;
};

inline constexpr const char *kMarkerDescription = "TRACKMILL_SOURCE";

// Whether the switches write an ID3v2 tag into every MP3 (and with it the mark of its source).
inline bool WritesId3v2(const TTagSwitches &switches)
{
    return switches.copyID3v2 || (switches.convertApe && switches.apeTarget != 0);
}

TTransferResult TransferTags(const std::string &sourcePath, const std::string &outputPath,
                             const TTagSwitches &switches, const TTagAdditions &additions = {});
// The same from a source already read, into an open MP3.
TTransferResult TransferTags(const TMPEGplus &source, TStream &output, const TTagSwitches &switches,
                             const TTagAdditions &additions = {});

}  // namespace trackmill
