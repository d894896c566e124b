// Where the items of other tags go in an ID3v2.3 tag: the frames and TXXX descriptions
// that common taggers and players read, as the MusicBrainz tagger's published table
// writes them for ID3v2.3 (sort names as TSOP, TSOA, TSOT and TSO2, the compilation flag
// as TCMP, the recording's identifier as UFID "http://musicbrainz.org").
#pragma once

#include <string_view>
#include <vector>

namespace trackmill::id3v2 {

struct TFieldPlace {
    std::string_view frame;        // a text frame's id, "TXXX", "UFID", "COMM" or "USLT"
    std::string_view description;  // TXXX's description or UFID's owner; empty otherwise
};

// The places of an APE item's key, in any letter case: one, or two where readers differ
// (the album artist's sort name is TSO2 for most, TXXX "ALBUMARTISTSORT" for beets); none
// for a key the table does not know (such an item goes to TXXX under its own key).
std::vector<TFieldPlace> PlacesOfApeKey(std::string_view key);

inline constexpr std::string_view kMusicBrainzOwner = "http://musicbrainz.org";

}  // namespace trackmill::id3v2
