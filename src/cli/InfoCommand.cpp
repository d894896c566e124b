// `trackmill-cli info`: the information panel's lines and the tag fields of each file,
// as text or as one JSON object per line.
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Tr.h"
#include "cli/Usage.h"

#include "engine/FileInfo.h"
#include "engine/TagLines.h"
#include "formats/APEtag.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"
#include "formats/MPEGAudio.h"
#include "formats/MPEGplus.h"
#include "formats/OggOpus.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"

#include <QLocale>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

namespace {

const char kInfoUsage[] = QT_TRANSLATE_NOOP(
    "Cli",
    "Usage: trackmill-cli info [--json] FILE...\n"
    "\n"
    "Shows, for each file, the lines of the information panel (stream version, profile,\n"
    "channel mode, bit rate, frames, duration, size, tags contained), then the fields of\n"
    "each tag present. Any file can be named: for an MP3 its MPEG version and layer,\n"
    "channel mode, bit rate (the average when it varies), sample rate, frames, duration\n"
    "and size are shown instead, and its tags as well; for an Opus file its channels,\n"
    "input sample rate, samples, duration (less the pre-skip) and size, and its comments.\n"
    "\n"
    "  --json   one JSON object per line and file\n"
    "  --help   show this help\n"
    "\n"
    "Exit status: 0 when every file could be read, 1 otherwise, 2 for a usage error.\n");

// Everything one file shows; the ID3v1 and APE readers are filled whatever the stream is.
struct FileFacts {
    std::string path;
    bool readable = false;
    TMPEGplus mpc;
    TID3v1 id3v1;
    TAPEtag ape;
    TOggOpus opus;  // looked for only where there is no Musepack stream
    TMp3Facts mp3;  // and no Opus stream

    bool AnythingFound() const
    {
        return mpc.Valid() || opus.Valid() || mp3.found || id3v1.Present() || mpc.ID3v2Tag().Present() || ape.Present();
    }
};

void Load(FileFacts &f)
{
    // An Ogg stream says what it is in its first bytes; a Musepack reader would guess at it.
    if (f.opus.LoadFromFile(f.path)) {
        f.readable = true;
        return;
    }
    f.readable = f.mpc.LoadFromFile(f.path);
    if (f.mpc.Valid()) {
        TFileStream file;
        if (file.Open(f.path)) f.mpc.CheckStreamEnd(file);
    }
    if (f.readable && !f.mpc.Valid()) f.mp3 = ReadMp3Facts(f.path);
    f.id3v1.LoadFromFile(f.path);
    f.ape.LoadFromFile(f.path);
}

// ---- JSON ---------------------------------------------------------------------------

std::string JsonNumber(const std::optional<double> &value)
{
    return value ? json::Float(*value) : std::string("null");
}

std::string JsonLine(const FileFacts &f)
{
    const TMPEGplus &m = f.mpc;
    const TID3v2 &v2 = m.ID3v2Tag();
    json::Object id3v1;
    id3v1.Bool("present", f.id3v1.Present())
        .Int("version", f.id3v1.TagVersion())
        .Text("title", f.id3v1.Title())
        .Text("artist", f.id3v1.Artist())
        .Text("album", f.id3v1.Album())
        .Text("year", f.id3v1.Year())
        .Text("comment", f.id3v1.Comment())
        .Int("track", f.id3v1.Track())
        .Int("genreIndex", f.id3v1.GenreIndex())
        .Text("genre", std::string(GenreName(f.id3v1.GenreIndex())));
    json::Object id3v2;
    id3v2.Bool("present", v2.Present())
        .Int("version", v2.TagVersion())
        .Int("size", v2.TagSize())
        .Text("title", v2.Title())
        .Text("artist", v2.Artist())
        .Text("album", v2.Album())
        .Text("year", v2.Year())
        .Text("comment", v2.Comment())
        .Int("track", v2.Track())
        .Text("genre", v2.Genre())
        .Text("composer", v2.Composer())
        .Text("encoder", v2.Encoder())
        .Text("copyright", v2.Copyright())
        .Text("language", v2.Language())
        .Text("url", v2.URL());
    std::string frames = "[";
    for (const TID3v2Frame &fr : v2.Frames()) {
        const TFrameView view = ViewOf(fr);
        json::Object o;
        o.Text("id", fr.id).Int("size", static_cast<std::int64_t>(fr.data.size()));
        if (!view.description.empty()) o.Text("description", view.description);
        if (view.text) o.Text("text", *view.text);
        frames += (frames.size() > 1 ? "," : "") + o.Str();
    }
    id3v2.Add("frames", frames + "]");
    json::Object ape;
    ape.Bool("present", f.ape.Present())
        .Int("version", f.ape.TagVersion())
        .Int("size", f.ape.TagSize())
        .Text("title", f.ape.Title())
        .Text("artist", f.ape.Artist())
        .Text("album", f.ape.Album())
        .Text("year", f.ape.Year())
        .Text("comment", f.ape.Comment())
        .Int("track", f.ape.Track())
        .Text("genre", f.ape.Genre())
        .Text("copyright", f.ape.Copyright());
    std::string items = "[";
    for (const TAPEitem &item : f.ape.Items()) {
        json::Object o;
        o.Text("key", item.key).Bool("binary", item.IsBinary());
        if (item.IsBinary()) o.Int("size", static_cast<std::int64_t>(item.value.size()));
        else o.Text("text", item.Text());
        items += (items.size() > 1 ? "," : "") + o.Str();
    }
    ape.Add("items", items + "]");
    const TReplayGain &rg = m.ReplayGain();
    json::Object gain;
    gain.Add("trackGain", JsonNumber(rg.trackGain))
        .Add("trackPeak", JsonNumber(rg.trackPeak))
        .Add("albumGain", JsonNumber(rg.albumGain))
        .Add("albumPeak", JsonNumber(rg.albumPeak));
    json::Object mpeg;
    mpeg.Bool("present", f.mp3.found)
        .Text("version", f.mp3.version)
        .Text("layer", f.mp3.layer)
        .Add("duration", json::Float(f.mp3.seconds))
        .Int("bitrate", f.mp3.bitRate)
        .Bool("variableBitrate", f.mp3.variableBitRate)
        .Int("sampleRate", f.mp3.sampleRate)
        .Text("channelMode", f.mp3.channelMode)
        .Int("frameCount", f.mp3.frames);
    json::Object opus;
    opus.Bool("present", f.opus.Valid())
        .Int("channels", f.opus.Valid() ? f.opus.Head().channels : 0)
        .Int("inputSampleRate", f.opus.Valid() ? f.opus.Head().inputSampleRate : 0)
        .Int("preSkip", f.opus.Valid() ? f.opus.Head().preSkip : 0)
        .Int("sampleCount", f.opus.Valid() ? f.opus.SampleCount() : 0)
        .Add("duration", json::Float(f.opus.Valid() ? f.opus.Duration() : 0.0))
        .Text("vendor", f.opus.Valid() ? f.opus.Vendor() : std::string());
    std::string comments = "[";
    if (f.opus.Valid())
        for (const TVorbisComment &c : f.opus.Comments()) {
            json::Object one;
            one.Text("key", c.key);
            const auto picture =
                EqualsAsciiNoCase(c.key, "METADATA_BLOCK_PICTURE") ? opus::ReadPictureValue(c.value) : std::nullopt;
            if (picture)
                one.Int("pictureType", picture->type)
                    .Text("mime", picture->mime)
                    .Text("description", picture->description)
                    .Int("size", static_cast<std::int64_t>(picture->data.size()));
            else
                one.Text("value", c.value);
            comments += (comments.size() > 1 ? "," : "") + one.Str();
        }
    opus.Add("comments", comments + "]");
    json::Object o;
    o.Text("path", f.path)
        .Bool("readable", f.readable)
        .Bool("valid", m.Valid())
        .Int("streamVersion", m.StreamVersion())
        .Int("streamMinorVersion", m.MinorVersion())
        .Text("profile", m.ProfileName())
        .Text("channelMode", m.ChannelModeName())
        .Add("channels", m.Valid() ? std::to_string(m.Channels()) : "null")
        .Int("bitrate", m.BitRate())
        .Int("frameCount", m.FrameCount())
        .Add("sampleCount", m.SampleCount() ? std::to_string(*m.SampleCount()) : "null")
        .Add("duration", json::Float(m.Duration()))
        .Add("truncatedAfter", JsonNumber(m.EndsEarlyAt()))
        .Int("sampleRate", m.SampleRate())
        .Int("fileSize", m.FileSize())
        .Add("id3v1", id3v1.Str())
        .Add("id3v2", id3v2.Str())
        .Add("ape", ape.Str())
        .Add("replayGain", gain.Str())
        .Add("mpeg", mpeg.Str())
        .Add("opus", opus.Str());
    return o.Str();
}

// ---- text -----------------------------------------------------------------------------

std::string LocaleNumber(double wholeNumber)
{
    return QLocale::system().toString(wholeNumber, 'f', 0).toStdString();
}

// Every text from a file, its name included, reaches the terminal escaped.
std::string TextBlock(const FileFacts &f)
{
    std::string out = Cli::Tr("File: ") + EscapeControls(f.path) + "\n";
    const Wording say = [](const char *english) { return QCoreApplication::translate("InfoPanel", english).toStdString(); };
    std::vector<std::string> panel = OpusInfoLines(f.opus, f.path, LocaleNumber, say);
    if (panel.empty()) panel = FileInfoLines(f.mpc, f.path, LocaleNumber, say);
    if (panel.empty()) panel = Mp3InfoLines(f.mp3, f.path, LocaleNumber, say);
    if (panel.empty()) out += Cli::Tr("   No valid Musepack stream header\n");
    for (const auto &line : panel) out += EscapeControls(line) + "\n";
    for (const auto &line : TagFieldLines(f.mpc, f.id3v1, f.ape, say)) out += EscapeControls(line) + "\n";
    return out;
}

}  // namespace

int RunInfo(const std::vector<std::string> &args)
{
    bool json = false;
    bool optionsDone = false;
    std::vector<std::string> files;
    for (const auto &arg : args) {
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "--json") {
            json = true;
        } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
            std::fputs(Cli::Tr(kInfoUsage).c_str(), stdout);
            return 0;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            return UsageError("trackmill-cli info", Formatted(Cli::Tr("unknown option '%s'"), arg.c_str()),
                              ClosestWord(arg, {"--json", "--help"}), "trackmill-cli info --help");
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        // Nothing typed yet: the help is what is wanted.
        if (!args.empty()) return UsageError("trackmill-cli info", Cli::Tr("no file named"), "", "trackmill-cli info --help");
        std::fprintf(stderr, "trackmill-cli info: %s\n\n%s", Cli::Tr("no file named").c_str(), Cli::Tr(kInfoUsage).c_str());
        return 2;
    }

    int status = 0;
    bool first = true;
    for (const auto &path : files) {
        FileFacts facts;
        facts.path = path;
        Load(facts);
        if (!facts.readable) {
            std::fputs(Formatted(Cli::Tr("trackmill-cli info: %s: cannot be read\n"), EscapeControls(path).c_str()).c_str(),
                       stderr);
            status = 1;
        } else if (!facts.AnythingFound()) {
            // A note only: the file was read, so it does not count as a failure.
            std::fputs(Formatted(Cli::Tr("trackmill-cli info: %s: no Musepack stream header and no tags\n"),
                                 EscapeControls(path).c_str())
                           .c_str(),
                       stderr);
        }
        // Written by length: no byte of a block can end it early.
        std::string block;
        if (json) {
            block = JsonLine(facts) + "\n";
        } else if (facts.readable) {
            block = (first ? "" : "\n") + TextBlock(facts);
            first = false;
        }
        std::fwrite(block.data(), 1, block.size(), stdout);
        std::fflush(stdout);
    }
    return status;
}

}  // namespace trackmill
