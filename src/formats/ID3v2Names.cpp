#include "formats/ID3v2Names.h"

#include "formats/TextUtil.h"

namespace trackmill::id3v2 {

namespace {

struct TKeyPlace {
    std::string_view apeKey;
    TFieldPlace place;
};

constexpr TKeyPlace kPlaces[] = {
    {"Title", {"TIT2", {}}},
    {"Artist", {"TPE1", {}}},
    {"Album", {"TALB", {}}},
    {"Album Artist", {"TPE2", {}}},
    {"AlbumArtist", {"TPE2", {}}},
    {"Track", {"TRCK", {}}},
    {"Disc", {"TPOS", {}}},
    {"Discnumber", {"TPOS", {}}},
    {"Genre", {"TCON", {}}},
    {"Composer", {"TCOM", {}}},
    {"Copyright", {"TCOP", {}}},
    {"Subtitle", {"TIT3", {}}},
    {"Grouping", {"TIT1", {}}},
    {"Conductor", {"TPE3", {}}},
    {"MixArtist", {"TPE4", {}}},
    {"Publisher", {"TPUB", {}}},
    {"Label", {"TPUB", {}}},
    {"Lyricist", {"TEXT", {}}},
    {"ISRC", {"TSRC", {}}},
    {"BPM", {"TBPM", {}}},
    {"Language", {"TLAN", {}}},
    {"Media", {"TMED", {}}},
    {"Encoded By", {"TENC", {}}},
    {"EncodedBy", {"TENC", {}}},
    {"EncoderSettings", {"TSSE", {}}},
    {"Comment", {"COMM", {}}},
    {"Lyrics", {"USLT", {}}},
    {"ArtistSort", {"TSOP", {}}},
    {"AlbumSort", {"TSOA", {}}},
    {"TitleSort", {"TSOT", {}}},
    {"AlbumArtistSort", {"TSO2", {}}},
    {"AlbumArtistSort", {"TXXX", "ALBUMARTISTSORT"}},
    {"ComposerSort", {"TSOC", {}}},
    {"Compilation", {"TCMP", {}}},
    {"MUSICBRAINZ_TRACKID", {"UFID", kMusicBrainzOwner}},
    {"MUSICBRAINZ_ALBUMID", {"TXXX", "MusicBrainz Album Id"}},
    {"MUSICBRAINZ_ARTISTID", {"TXXX", "MusicBrainz Artist Id"}},
    {"MUSICBRAINZ_ALBUMARTISTID", {"TXXX", "MusicBrainz Album Artist Id"}},
    {"MUSICBRAINZ_RELEASEGROUPID", {"TXXX", "MusicBrainz Release Group Id"}},
    {"MUSICBRAINZ_RELEASETRACKID", {"TXXX", "MusicBrainz Release Track Id"}},
    {"MUSICBRAINZ_WORKID", {"TXXX", "MusicBrainz Work Id"}},
    {"MUSICBRAINZ_DISCID", {"TXXX", "MusicBrainz Disc Id"}},
    {"MUSICBRAINZ_TRMID", {"TXXX", "MusicBrainz TRM Id"}},
    {"MUSICBRAINZ_ALBUMSTATUS", {"TXXX", "MusicBrainz Album Status"}},
    {"ReleaseStatus", {"TXXX", "MusicBrainz Album Status"}},
    {"MUSICBRAINZ_ALBUMTYPE", {"TXXX", "MusicBrainz Album Type"}},
    {"ReleaseType", {"TXXX", "MusicBrainz Album Type"}},
    {"ReleaseCountry", {"TXXX", "MusicBrainz Album Release Country"}},
    {"MUSICIP_PUID", {"TXXX", "MusicIP PUID"}},
    {"ACOUSTID_ID", {"TXXX", "Acoustid Id"}},
    {"ACOUSTID_FINGERPRINT", {"TXXX", "Acoustid Fingerprint"}},
    {"CatalogNumber", {"TXXX", "CATALOGNUMBER"}},
    {"Barcode", {"TXXX", "BARCODE"}},
    {"Script", {"TXXX", "SCRIPT"}},
    {"ASIN", {"TXXX", "ASIN"}},
    {"Artists", {"TXXX", "ARTISTS"}},
};

}  // namespace

std::vector<TFieldPlace> PlacesOfApeKey(std::string_view key)
{
    std::vector<TFieldPlace> out;
    for (const TKeyPlace &p : kPlaces)
        if (EqualsAsciiNoCase(key, p.apeKey)) out.push_back(p.place);
    return out;
}

}  // namespace trackmill::id3v2
