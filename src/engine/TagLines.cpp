#include "engine/TagLines.h"

#include "engine/Wording.h"

#include "formats/APEtag.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"
#include "formats/MPEGplus.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"

#include <cstdio>
#include <string_view>

namespace trackmill {

namespace {

// The frames the field lines already show.
constexpr std::string_view kFieldFrames[] = {"TIT2", "TPE1", "TALB", "TYER", "TRCK", "TCON",
                                             "TCOM", "TENC", "TCOP", "TLAN"};
constexpr std::string_view kApeFields[] = {"Title", "Artist", "Album", "Year", "Comment",
                                           "Track", "Genre", "Copyright"};

bool IsFieldFrame(const TID3v2Frame &f)
{
    for (std::string_view id : kFieldFrames)
        if (f.id == id) return true;
    return false;
}


std::string FrameLine(const TID3v2Frame &f, const Wording &say)
{
    const TFrameView v = ViewOf(f);
    std::string line = f.id;
    if (!v.description.empty()) line += " (" + v.description + ")";
    return line + ": " + (v.text ? *v.text : FillIn(Said(say, Word("InfoPanel", "%1 bytes")), {std::to_string(f.data.size())}));
}

std::string ItemText(const TAPEitem &item, const Wording &say)
{
    return item.IsBinary() ? FillIn(Said(say, Word("InfoPanel", "binary, %1 bytes")), {std::to_string(item.value.size())})
                           : item.Text();
}

// The whole text ("7/12"), not only the number.
std::string Id3v2TrackText(const TID3v2 &tag)
{
    for (const TID3v2Frame &f : tag.Frames())
        if (f.id == "TRCK") return std::string(TrimBlanks(id3v2::Text(f)));
    return "0";
}

std::string GainLine(const TReplayGain &rg, const Wording &say)
{
    auto value = [](const std::optional<double> &v, const char *format) {
        char buf[32];
        std::snprintf(buf, sizeof buf, format, v ? *v : 0.0);
        return v ? std::string(buf) : std::string("-");
    };
    return "   " + FillIn(Said(say, Word("InfoPanel", "ReplayGain in the header: track %1, peak %2; album %3, peak %4")),
                          {value(rg.trackGain, "%.2f dB"), value(rg.trackPeak, "%.6f"), value(rg.albumGain, "%.2f dB"),
                           value(rg.albumPeak, "%.6f")});
}

}  // namespace

TFrameView ViewOf(const TID3v2Frame &f)
{
    if (f.flags != 0) return {};
    if (f.IsText()) return {{}, id3v2::Text(f)};
    if (f.id == "TXXX" || f.id == "COMM" || f.id == "USLT" || f.id == "WXXX") {
        if (const auto d = id3v2::ReadDescribed(f)) return {d->description, d->text};
    }
    if (const auto u = id3v2::ReadUniqueId(f)) return {u->owner, SanitizeUtf8(u->identifier)};
    if (f.id == "APIC") {
        if (const auto p = id3v2::ReadPicture(f))
            return {p->description, p->mime + ", picture type " + std::to_string(p->type) + ", " +
                                        std::to_string(p->bytes.size()) + " bytes"};
    }
    return {};
}

std::vector<std::string> TagFieldLines(const TMPEGplus &mpc, const TID3v1 &id3v1, const TAPEtag &ape,
                                       const Wording &say)
{
    std::vector<std::string> out;
    const auto named = [&out](const std::string &name, const std::string &value) {
        out.push_back("   " + name + ": " + value);
    };
    const auto field = [&](const char *english, const std::string &value) { named(Said(say, english), value); };
    if (mpc.ReplayGain().Any()) out.push_back(GainLine(mpc.ReplayGain(), say));

    if (id3v1.Present()) {
        out.push_back("");
        out.push_back(Said(say, id3v1.TagVersion() == 2 ? Word("InfoPanel", "ID3v1.1 tag") : Word("InfoPanel", "ID3v1.0 tag")));
        field(Word("InfoPanel", "Title"), id3v1.Title());
        field(Word("InfoPanel", "Artist"), id3v1.Artist());
        field(Word("InfoPanel", "Album"), id3v1.Album());
        field(Word("InfoPanel", "Year"), id3v1.Year());
        field(Word("InfoPanel", "Comment"), id3v1.Comment());
        field(Word("InfoPanel", "Track"), std::to_string(id3v1.Track()));
        const std::string_view genre = GenreName(id3v1.GenreIndex());
        field(Word("InfoPanel", "Genre"), (genre.empty() ? std::string("-") : std::string(genre)) + " (" +
                           std::to_string(id3v1.GenreIndex()) + ")");
    }
    const TID3v2 &v2 = mpc.ID3v2Tag();
    if (v2.Present()) {
        out.push_back("");
        out.push_back(FillIn(Said(say, Word("InfoPanel", "ID3v2.%1 tag, %2 bytes")),
                             {std::to_string(v2.TagVersion()), std::to_string(v2.TagSize())}));
        field(Word("InfoPanel", "Title"), v2.Title());
        field(Word("InfoPanel", "Artist"), v2.Artist());
        field(Word("InfoPanel", "Album"), v2.Album());
        field(Word("InfoPanel", "Year"), v2.Year());
        field(Word("InfoPanel", "Comment"), v2.Comment());
        field(Word("InfoPanel", "Track"), Id3v2TrackText(v2));
        field(Word("InfoPanel", "Genre"), v2.Genre());
        field(Word("InfoPanel", "Composer"), v2.Composer());
        field(Word("InfoPanel", "Encoder"), v2.Encoder());
        field(Word("InfoPanel", "Copyright"), v2.Copyright());
        field(Word("InfoPanel", "Language"), v2.Language());
        field(Word("InfoPanel", "URL"), v2.URL());
        for (const TID3v2Frame &fr : v2.Frames())
            if (!IsFieldFrame(fr)) out.push_back("   " + FrameLine(fr, say));
    }
    if (ape.Present()) {
        const int v = ape.TagVersion();
        out.push_back("");
        out.push_back(FillIn(Said(say, Word("InfoPanel", "APE %1 tag, %2 bytes")),
                             {std::to_string(v / 1000) + "." + std::to_string(v % 1000 / 100), std::to_string(ape.TagSize())}));
        field(Word("InfoPanel", "Title"), ape.Title());
        field(Word("InfoPanel", "Artist"), ape.Artist());
        field(Word("InfoPanel", "Album"), ape.Album());
        field(Word("InfoPanel", "Year"), ape.Year());
        field(Word("InfoPanel", "Comment"), ape.Comment());
        field(Word("InfoPanel", "Track"), ape.Find("Track") ? ape.Value("Track") : "0");
        field(Word("InfoPanel", "Genre"), ape.Genre());
        field(Word("InfoPanel", "Copyright"), ape.Copyright());
        for (const TAPEitem &item : ape.Items()) {
            bool shown = false;
            for (std::string_view key : kApeFields) shown = shown || EqualsAsciiNoCase(item.key, key);
            if (shown) continue;
            // An item the panel has words for is named in them, any other by its key.
            const bool albumArtist = EqualsAsciiNoCase(item.key, "Album Artist");
            named(albumArtist ? Said(say, Word("InfoPanel", "Album Artist")) : item.key, ItemText(item, say));
        }
    }
    return out;
}

}  // namespace trackmill
