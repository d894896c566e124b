#include "engine/TagLines.h"

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

std::string FrameLine(const TID3v2Frame &f)
{
    const TFrameView v = ViewOf(f);
    std::string line = f.id;
    if (!v.description.empty()) line += " (" + v.description + ")";
    return line + ": " + (v.text ? *v.text : std::to_string(f.data.size()) + " bytes");
}

std::string ItemText(const TAPEitem &item)
{
    return item.IsBinary() ? "binary, " + std::to_string(item.value.size()) + " bytes" : item.Text();
}

// The whole text ("7/12"), not only the number.
std::string Id3v2TrackText(const TID3v2 &tag)
{
    for (const TID3v2Frame &f : tag.Frames())
        if (f.id == "TRCK") return std::string(TrimBlanks(id3v2::Text(f)));
    return "0";
}

std::string GainLine(const TReplayGain &rg)
{
    auto value = [](const std::optional<double> &v, const char *format) {
        char buf[32];
        std::snprintf(buf, sizeof buf, format, v ? *v : 0.0);
        return v ? std::string(buf) : std::string("-");
    };
    return "   ReplayGain in the header: track " + value(rg.trackGain, "%.2f dB") + ", peak " +
           value(rg.trackPeak, "%.6f") + "; album " + value(rg.albumGain, "%.2f dB") + ", peak " +
           value(rg.albumPeak, "%.6f");
}

}  // namespace

TFrameView ViewOf(const TID3v2Frame &f)
{
    if (f.flags != 0) return {};
    if (f.IsText()) return {{}, id3v2::Text(f)};
    if (f.id == "TXXX" || f.id == "COMM" || f.id == "USLT" || f.id == "WXXX") {
        if (const auto d = id3v2::ReadDescribed(f)) return {d->description, d->text};
    }
    if (f.id == "APIC") {
        if (const auto p = id3v2::ReadPicture(f))
            return {p->description, p->mime + ", picture type " + std::to_string(p->type) + ", " +
                                        std::to_string(p->bytes.size()) + " bytes"};
    }
    return {};
}

std::vector<std::string> TagFieldLines(const TMPEGplus &mpc, const TID3v1 &id3v1, const TAPEtag &ape)
{
    std::vector<std::string> out;
    const auto field = [&out](const std::string &name, const std::string &value) {
        out.push_back("   " + name + ": " + value);
    };
    if (mpc.ReplayGain().Any()) out.push_back(GainLine(mpc.ReplayGain()));

    if (id3v1.Present()) {
        out.push_back("");
        out.push_back(id3v1.TagVersion() == 2 ? "ID3v1.1 tag" : "ID3v1.0 tag");
        field("Title", id3v1.Title());
        field("Artist", id3v1.Artist());
        field("Album", id3v1.Album());
        field("Year", id3v1.Year());
        field("Comment", id3v1.Comment());
        field("Track", std::to_string(id3v1.Track()));
        const std::string_view genre = GenreName(id3v1.GenreIndex());
        field("Genre", (genre.empty() ? std::string("-") : std::string(genre)) + " (" +
                           std::to_string(id3v1.GenreIndex()) + ")");
    }
    const TID3v2 &v2 = mpc.ID3v2Tag();
    if (v2.Present()) {
        out.push_back("");
        out.push_back("ID3v2." + std::to_string(v2.TagVersion()) + " tag, " + std::to_string(v2.TagSize()) + " bytes");
        field("Title", v2.Title());
        field("Artist", v2.Artist());
        field("Album", v2.Album());
        field("Year", v2.Year());
        field("Comment", v2.Comment());
        field("Track", Id3v2TrackText(v2));
        field("Genre", v2.Genre());
        field("Composer", v2.Composer());
        field("Encoder", v2.Encoder());
        field("Copyright", v2.Copyright());
        field("Language", v2.Language());
        field("URL", v2.URL());
        for (const TID3v2Frame &fr : v2.Frames())
            if (!IsFieldFrame(fr)) out.push_back("   " + FrameLine(fr));
    }
    if (ape.Present()) {
        const int v = ape.TagVersion();
        out.push_back("");
        out.push_back("APE " + std::to_string(v / 1000) + "." + std::to_string(v % 1000 / 100) + " tag, " +
                      std::to_string(ape.TagSize()) + " bytes");
        field("Title", ape.Title());
        field("Artist", ape.Artist());
        field("Album", ape.Album());
        field("Year", ape.Year());
        field("Comment", ape.Comment());
        field("Track", ape.Find("Track") ? ape.Value("Track") : "0");
        field("Genre", ape.Genre());
        field("Copyright", ape.Copyright());
        for (const TAPEitem &item : ape.Items()) {
            bool shown = false;
            for (std::string_view key : kApeFields) shown = shown || EqualsAsciiNoCase(item.key, key);
            if (!shown) field(item.key, ItemText(item));
        }
    }
    return out;
}

}  // namespace trackmill
