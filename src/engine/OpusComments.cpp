#include "engine/OpusComments.h"

#include "engine/TagTransferMap.h"
#include "formats/APEtag.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"
#include "formats/ID3v2Names.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace trackmill {

namespace {

struct TNamePair {
    std::string_view from;
    std::string_view to;
};

// ID3v2.3 text frames and the comment each is read as.
constexpr TNamePair kTextFrames[] = {
    {"TIT2", "TITLE"},        {"TPE1", "ARTIST"},        {"TALB", "ALBUM"},        {"TPE2", "ALBUMARTIST"},
    {"TCOM", "COMPOSER"},     {"TCON", "GENRE"},         {"TYER", "DATE"},         {"TSOP", "ARTISTSORT"},
    {"TSOA", "ALBUMSORT"},    {"TSOT", "TITLESORT"},     {"TSO2", "ALBUMARTISTSORT"}, {"TSOC", "COMPOSERSORT"},
    {"TPE3", "CONDUCTOR"},    {"TEXT", "LYRICIST"},      {"TPUB", "LABEL"},        {"TSRC", "ISRC"},
    {"TCOP", "COPYRIGHT"},    {"TBPM", "BPM"},           {"TCMP", "COMPILATION"},  {"TIT1", "GROUPING"},
    {"TIT3", "SUBTITLE"},     {"TMED", "MEDIA"},         {"TKEY", "INITIALKEY"},   {"TLAN", "LANGUAGE"},
    {"TENC", "ENCODEDBY"},    {"TPE4", "REMIXER"},       {"TOAL", "ORIGINALALBUM"}, {"TOPE", "ORIGINALARTIST"},
    {"TORY", "ORIGINALDATE"}, {"TMOO", "MOOD"},
};

// TXXX descriptions and APE keys whose comment is named otherwise (any letter case).
constexpr TNamePair kRenamed[] = {
    {"Album Artist", "ALBUMARTIST"},
    {"Track", "TRACKNUMBER"},
    {"Disc", "DISCNUMBER"},
    {"Year", "DATE"},
    {"Record Date", "DATE"},
    {"Lyrics", "LYRICS"},
    {"Unsyncedlyrics", "LYRICS"},
    {"MusicBrainz Album Id", "MUSICBRAINZ_ALBUMID"},
    {"MusicBrainz Artist Id", "MUSICBRAINZ_ARTISTID"},
    {"MusicBrainz Album Artist Id", "MUSICBRAINZ_ALBUMARTISTID"},
    {"MusicBrainz Release Group Id", "MUSICBRAINZ_RELEASEGROUPID"},
    {"MusicBrainz Release Track Id", "MUSICBRAINZ_RELEASETRACKID"},
    {"MusicBrainz Work Id", "MUSICBRAINZ_WORKID"},
    {"MusicBrainz Album Type", "RELEASETYPE"},
    {"MusicBrainz Album Status", "RELEASESTATUS"},
    {"MusicBrainz Album Release Country", "RELEASECOUNTRY"},
    {"Acoustid Id", "ACOUSTID_ID"},
};

constexpr std::string_view kTrackGain = "REPLAYGAIN_TRACK_GAIN";
constexpr std::string_view kAlbumGain = "REPLAYGAIN_ALBUM_GAIN";
constexpr std::string_view kPicture = "METADATA_BLOCK_PICTURE";

// A comment's name: the table's, else the key itself in capitals, with what a comment's
// name may not hold ("=", "~" and anything outside printable ASCII) as "_".
std::string NameOf(std::string_view key)
{
    for (const TNamePair &p : kRenamed)
        if (EqualsAsciiNoCase(p.from, key)) return std::string(p.to);
    std::string name = UpperAscii(key);
    for (char &c : name)
        if (c < 0x20 || c > 0x7D || c == '=') c = '_';
    return name;
}

// The comments in order, each field set once by whichever tag has precedence. A tag of
// tens of thousands of items costs one pass: a name's comments are found by the name.
class TCommentList {
public:
    // Replaces every value of the name.
    void Set(const std::string &name, const std::vector<std::string> &values)
    {
        if (const auto found = byName_.find(UpperAscii(name)); found != byName_.end()) {
            for (std::size_t i : found->second) dead_[i] = true;
            found->second.clear();
        }
        Add(name, values);
    }
    void Add(const std::string &name, const std::vector<std::string> &values)
    {
        for (const std::string &v : values)
            if (!TrimBlanks(v).empty()) Push(name, v);
    }
    bool Has(std::string_view name) const
    {
        const auto found = byName_.find(UpperAscii(name));
        return found != byName_.end() && !found->second.empty();
    }
    void SetIfMissing(const std::string &name, const std::string &value)
    {
        if (!Has(name)) Add(name, {value});
    }
    // A picture once, whichever tag brought it.
    void AddPicture(TOpusPicture picture)
    {
        std::string value = opus::PictureValue(std::move(picture));
        if (pictures_.insert(value).second) Push(std::string(kPicture), std::move(value));
    }
    std::vector<TVorbisComment> Take()
    {
        std::vector<TVorbisComment> out;
        for (std::size_t i = 0; i < comments_.size(); ++i)
            if (!dead_[i]) out.push_back(std::move(comments_[i]));
        return out;
    }

private:
    void Push(const std::string &name, std::string value)
    {
        byName_[UpperAscii(name)].push_back(comments_.size());
        comments_.push_back({name, std::move(value)});
        dead_.push_back(false);
    }

    std::vector<TVorbisComment> comments_;
    std::vector<bool> dead_;  // replaced since
    std::unordered_map<std::string, std::vector<std::size_t>> byName_;
    std::unordered_set<std::string> pictures_;
};

// "3/12" gives the number and the count its fields; a genre number the list's name.
void SetField(TCommentList &list, const std::string &name, std::vector<std::string> values)
{
    if (values.empty()) return;
    std::string count;
    if (name == "TRACKNUMBER" || name == "DISCNUMBER") {
        const std::string &v = values.front();
        if (const std::size_t slash = v.find('/'); slash != std::string::npos) {
            count = TrimBlanks(std::string_view(v).substr(slash + 1));
            std::string number(TrimBlanks(std::string_view(v).substr(0, slash)));
            values = {std::move(number)};
        }
    }
    if (name == "GENRE")
        for (std::string &v : values)
            if (const auto n = GenreNumberOf(v); n && *n < kGenreCount) v = std::string(GenreUsualName(*n));
    list.Set(name, values);
    if (!count.empty()) list.Set(name == "TRACKNUMBER" ? "TRACKTOTAL" : "DISCTOTAL", {count});
}

std::optional<double> DecibelsOf(std::string_view text)
{
    const std::string t(TrimBlanks(text));
    char *end = nullptr;
    const double value = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || !std::isfinite(value)) return std::nullopt;
    return value;
}

void SetGain(TCommentList &list, std::string_view replayGainKey, const std::string &text)
{
    const auto gain = R128Gain(text);
    if (!gain) return;
    list.Set(replayGainKey == kTrackGain ? "R128_TRACK_GAIN" : "R128_ALBUM_GAIN", {*gain});
}

bool IsReplayGain(std::string_view key, std::string_view *gain)
{
    for (std::string_view k : {kTrackGain, kAlbumGain, std::string_view("REPLAYGAIN_TRACK_PEAK"),
                               std::string_view("REPLAYGAIN_ALBUM_PEAK")})
        if (EqualsAsciiNoCase(key, k)) {
            *gain = k;
            return true;
        }
    return false;
}

std::vector<std::string> SplitZeros(const std::string &value)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t zero; (zero = value.find('\0', start)) != std::string::npos; start = zero + 1)
        out.emplace_back(TrimBlanks(std::string_view(value).substr(start, zero - start)));
    out.emplace_back(TrimBlanks(std::string_view(value).substr(start)));
    return out;
}

TOpusPicture PictureOf(const id3v2::TPicture &p)
{
    TOpusPicture picture;
    picture.type = p.type;
    picture.mime = p.mime;
    picture.description = p.description;
    picture.data.assign(p.bytes.begin(), p.bytes.end());
    return picture;
}

void FromId3v2(TCommentList &list, const TID3v2 &tag, std::vector<std::string> &notCarried)

{
    for (const TID3v2Frame &f : tag.Frames()) {
        if (f.IsText()) {
            const auto known = std::find_if(std::begin(kTextFrames), std::end(kTextFrames),
                                            [&](const TNamePair &p) { return p.from == f.id; });
            if (known != std::end(kTextFrames)) {
                SetField(list, std::string(known->to), id3v2::TextValues(f));
                continue;
            }
            if (f.id == "TRCK" || f.id == "TPOS") {
                SetField(list, f.id == "TRCK" ? "TRACKNUMBER" : "DISCNUMBER", {id3v2::Text(f)});
                continue;
            }
            if (f.id == "TDAT" || f.id == "TIME") continue;  // the year says the date
        } else if (f.id == "TXXX") {
            const auto d = id3v2::ReadDescribed(f);
            if (!d || EqualsAsciiNoCase(d->description, kMarkerDescription)) continue;
            std::string_view gain;
            if (IsReplayGain(d->description, &gain)) {
                if (gain == kTrackGain || gain == kAlbumGain) SetGain(list, gain, d->text);
                continue;
            }
            // A description-less field has no name to go under.
            if (std::string name = NameOf(d->description); !name.empty()) {
                SetField(list, name, {d->text});
                continue;
            }
        } else if (f.id == "COMM" || f.id == "USLT") {
            const auto d = id3v2::ReadDescribed(f);
            if (!d) continue;
            const bool plain = d->description.empty();
            if (f.id == "USLT") list.Set("LYRICS", {d->text});
            else if (plain) list.Set("COMMENT", {d->text});
            else SetField(list, NameOf(d->description), {d->text});
            continue;
        } else if (f.id == "UFID") {
            const auto u = id3v2::ReadUniqueId(f);
            if (u && u->owner == id3v2::kMusicBrainzOwner) list.Set("MUSICBRAINZ_TRACKID", {u->identifier});
            continue;
        } else if (f.id == "APIC") {
            if (const auto p = id3v2::ReadPicture(f)) list.AddPicture(PictureOf(*p));
            continue;
        }
        if (std::find(notCarried.begin(), notCarried.end(), f.id) == notCarried.end()) notCarried.push_back(f.id);
    }
}

void FromApe(TCommentList &list, const TAPEtag &ape, std::vector<std::string> &notCarried)
{
    for (const TAPEitem &item : ape.Items()) {
        // Another program's copy of a mark is no mark of this file.
        if (item.value.empty() || EqualsAsciiNoCase(item.key, kMarkerDescription)) continue;
        if (item.IsBinary()) {
            if (const auto p = ApeCoverPicture(item)) {
                list.AddPicture(PictureOf(*p));
            } else {
                notCarried.push_back("\"" + FirstChars(item.key, 64) + "\"");
            }
            continue;
        }
        std::string_view gain;
        if (IsReplayGain(item.key, &gain)) {
            if (gain == kTrackGain || gain == kAlbumGain) SetGain(list, gain, item.Text());
            continue;
        }
        const std::string name = NameOf(item.key);
        if (name.empty()) {
            notCarried.push_back("\"\"");
            continue;
        }
        if (name == "DATE" || name == "TRACKNUMBER" || name == "DISCNUMBER") SetField(list, name, {item.Text()});
        else SetField(list, name, SplitZeros(item.value));
    }
}

std::string Named(const char *what, const std::vector<std::string> &names)
{
    constexpr std::size_t kNamed = 8;
    std::string text;
    for (std::size_t i = 0; i < std::min(names.size(), kNamed); ++i) text += (i ? ", " : "") + names[i];
    if (names.size() > kNamed) text += " and " + std::to_string(names.size() - kNamed) + " more";
    return std::string("an Opus file has no place for the ") + what + (names.size() > 1 ? "s " : " ") + text +
           ": not carried";
}

}  // namespace

std::vector<TVorbisComment> OpusComments(const TMPEGplus &source, const TTagSwitches &switches,
                                         const TTagAdditions &additions, std::string *omitted)
{
    TCommentList list;
    std::vector<std::string> frames, items;
    std::vector<std::string> caps;
    const TID3v2 &id3v2 = source.ID3v2Tag();
    const TAPEtag &ape = source.ApeTag();
    if (switches.copyID3v2 && id3v2.Present()) {
        FromId3v2(list, id3v2, frames);
        caps.insert(caps.end(), id3v2.Omitted().begin(), id3v2.Omitted().end());
    }
    if (switches.convertApe && ape.Present()) {
        FromApe(list, ape, items);
        caps.insert(caps.end(), ape.Omitted().begin(), ape.Omitted().end());
    }
    if (switches.copyID3v1 && source.ID3v1Tag().Present()) {
        const TID3v1 &v1 = source.ID3v1Tag();
        for (const auto &[name, value] : {std::pair{"TITLE", v1.Title()}, std::pair{"ARTIST", v1.Artist()},
                                          std::pair{"ALBUM", v1.Album()}, std::pair{"DATE", v1.Year()},
                                          std::pair{"COMMENT", v1.Comment()}})
            if (!TrimBlanks(value).empty()) list.SetIfMissing(name, value);
        if (v1.Track() != 0) list.SetIfMissing("TRACKNUMBER", std::to_string(v1.Track()));
        if (v1.GenreIndex() < kGenreCount) list.SetIfMissing("GENRE", std::string(GenreUsualName(v1.GenreIndex())));
    }
    if (!list.Has("R128_TRACK_GAIN") && !list.Has("R128_ALBUM_GAIN")) {
        const TReplayGain &gain = source.ReplayGain();
        char text[32];
        if (gain.trackGain) {
            std::snprintf(text, sizeof text, "%.2f dB", *gain.trackGain);
            SetGain(list, kTrackGain, text);
        }
        if (gain.albumGain) {
            std::snprintf(text, sizeof text, "%.2f dB", *gain.albumGain);
            SetGain(list, kAlbumGain, text);
        }
    }
    if (!list.Has(kPicture) && !additions.folderArt.empty()) {
        TOpusPicture picture;
        picture.type = 3;  // the front cover
        picture.mime = additions.folderArtMime;
        picture.data.assign(additions.folderArt.begin(), additions.folderArt.end());
        list.AddPicture(std::move(picture));
    }
    std::vector<TVorbisComment> comments = list.Take();
    // The mark first, where a reader of the file's start finds it soonest.
    if (!additions.marker.empty()) comments.insert(comments.begin(), {kMarkerDescription, additions.marker});

    if (omitted) {
        if (!frames.empty()) caps.push_back(Named("ID3v2 frame", frames));
        if (!items.empty()) caps.push_back(Named("APE item", items));
        for (const std::string &c : caps) *omitted += (omitted->empty() ? "" : "; ") + c;
    }
    return comments;
}

std::optional<std::string> R128Gain(std::string_view replayGain)
{
    const auto db = DecibelsOf(replayGain);
    if (!db) return std::nullopt;
    const double q78 = std::round((*db - 5.0) * 256.0);
    return std::to_string(static_cast<int>(std::clamp(q78, -32768.0, 32767.0)));
}

}  // namespace trackmill
