#include "engine/FileInfo.h"

#include "formats/OggOpus.h"
#include "formats/TextUtil.h"

#include "engine/TagLines.h"
#include "engine/Wording.h"
#include "formats/MPEGAudio.h"
#include "formats/MPEGplus.h"
#include "os/Files.h"
#include "os/Path.h"

#include <cmath>
#include <cstddef>
#include <cstdio>

namespace trackmill {

namespace {

const char kIndent[] = "   ";
// A stream cut short is said right below its duration.
constexpr std::ptrdiff_t kDurationLine = 8;

// "%.0n" rounds to the nearest whole number, halves away from zero.
double WholeNumber(double value) { return std::round(value); }

// How the panel's lines are said: numbers by the formatter, words by the wording.
struct TPanelSpeech {
    const NumberFormatter &format;
    const Wording &say;

    std::string Number(double value) const
    {
        const double whole = WholeNumber(value);
        return format ? format(whole) : FormatGrouped(whole);
    }
    std::string Line(const char *english, std::initializer_list<std::string> values) const
    {
        return kIndent + FillIn(Said(say, english), values);
    }
};

}  // namespace

std::string FormatGrouped(double wholeNumber, const std::string &separator)
{
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(WholeNumber(wholeNumber)));
    const std::string plain = digits;
    std::string out;
    if (WholeNumber(wholeNumber) < 0) out += '-';
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (i > 0 && (plain.size() - i) % 3 == 0) out += separator;
        out += plain[i];
    }
    return out;
}

std::string OneDecimal(double value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return buf;
}

std::vector<std::string> FileInfoLines(const TMPEGplus &mpc, const std::string &path,
                                       const NumberFormatter &format, const Wording &say)
{
    if (!mpc.Valid()) return {};
    const TPanelSpeech speech{format, say};
    const std::string yes = Said(say, Word("InfoPanel", "Yes")), no = Said(say, Word("InfoPanel", "No"));
    std::vector<std::string> lines = {
        Said(say, Word("InfoPanel", "Streaminfo")),
        "",
        kIndent + os::FileName(path),
        speech.Line(Word("InfoPanel", "Streamversion: %1"), {mpc.StreamVersionText()}),
        speech.Line(Word("InfoPanel", "Profile: %1"), {mpc.ProfileName()}),
        speech.Line(Word("InfoPanel", "Channelmode: %1"), {mpc.ChannelModeName()}),
        speech.Line(Word("InfoPanel", "Bitrate: %1 Kb/s"), {std::to_string(mpc.BitRate())}),
        speech.Line(Word("InfoPanel", "Framecount: %1"), {speech.Number(static_cast<double>(mpc.FrameCount()))}),
        speech.Line(Word("InfoPanel", "Duration: %1 secs"), {speech.Number(mpc.Duration())}),
        speech.Line(Word("InfoPanel", "Filesize: %1 KB"), {speech.Number(static_cast<double>(mpc.FileSize()) / 1024.0)}),
        "",
        "",
        Said(say, Word("InfoPanel", "Tags contained in file")),
        "",
        speech.Line(Word("InfoPanel", "ID3V1.x tag: %1"), {mpc.ID3v1Tag().Present() ? yes : no}),
        speech.Line(Word("InfoPanel", "ID3V2.x tag: %1"), {mpc.ID3v2Tag().Present() ? yes : no}),
        speech.Line(Word("InfoPanel", "APE 1/2 tag: %1"), {mpc.ApeTag().Present() ? yes : no}),
    };
    if (const std::optional<double> end = mpc.EndsEarlyAt()) {
        lines.insert(lines.begin() + kDurationLine + 1,
                     speech.Line(Word("InfoPanel", "Truncated: the stream ends after about %1 of %2 secs"),
                                 {OneDecimal(*end), OneDecimal(mpc.Duration())}));
    }
    return lines;
}

std::vector<std::string> Mp3InfoLines(const TMp3Facts &mp3, const std::string &path,
                                      const NumberFormatter &format, const Wording &say)
{
    if (!mp3.found) return {};
    const TPanelSpeech speech{format, say};
    const std::string rate = std::to_string(mp3.bitRate);
    return {
        Said(say, Word("InfoPanel", "MPEG audio")),
        "",
        kIndent + os::FileName(path),
        speech.Line(Word("InfoPanel", "Version: %1 %2"), {mp3.version, mp3.layer}),
        speech.Line(Word("InfoPanel", "Channelmode: %1"), {mp3.channelMode}),
        mp3.variableBitRate ? speech.Line(Word("InfoPanel", "Bitrate: %1 Kb/s (variable, average)"), {rate})
                            : speech.Line(Word("InfoPanel", "Bitrate: %1 Kb/s"), {rate}),
        speech.Line(Word("InfoPanel", "Samplerate: %1 Hz"), {std::to_string(mp3.sampleRate)}),
        speech.Line(Word("InfoPanel", "Framecount: %1"), {speech.Number(static_cast<double>(mp3.frames))}),
        speech.Line(Word("InfoPanel", "Duration: %1 secs"), {OneDecimal(mp3.seconds)}),
        speech.Line(Word("InfoPanel", "Filesize: %1 KB"), {speech.Number(static_cast<double>(mp3.fileSize) / 1024.0)}),
    };
}

std::vector<std::string> OpusInfoLines(const TOggOpus &opus, const std::string &path,
                                       const NumberFormatter &format, const Wording &say)
{
    if (!opus.Valid()) return {};
    const TPanelSpeech speech{format, say};
    std::vector<std::string> lines = {
        Said(say, Word("InfoPanel", "Ogg Opus")),
        "",
        kIndent + os::FileName(path),
        speech.Line(Word("InfoPanel", "Channels: %1"), {std::to_string(opus.Head().channels)}),
        speech.Line(Word("InfoPanel", "Input samplerate: %1 Hz"), {std::to_string(opus.Head().inputSampleRate)}),
        speech.Line(Word("InfoPanel", "Samples at 48 kHz: %1"), {speech.Number(static_cast<double>(opus.SampleCount()))}),
        speech.Line(Word("InfoPanel", "Duration: %1 secs"), {OneDecimal(opus.Duration())}),
        speech.Line(Word("InfoPanel", "Filesize: %1 KB"), {speech.Number(static_cast<double>(os::Stat(path).size) / 1024.0)}),
    };
    if (!opus.Comments().empty()) lines.push_back("");
    for (const TVorbisComment &c : opus.Comments()) {
        std::string value = c.value;
        if (EqualsAsciiNoCase(c.key, "METADATA_BLOCK_PICTURE"))
            if (const auto picture = opus::ReadPictureValue(c.value))
                value = std::to_string(picture->type) + ", " + picture->mime + ", " +
                        speech.Number(static_cast<double>(picture->data.size())) + " bytes";
        lines.push_back(kIndent + c.key + ": " + value);
    }
    return lines;
}

namespace {

// A file that reads as ended once its reader is no longer wanted.
class TStoppableStream : public TStream {
public:
    TStoppableStream(TStream &stream, const std::function<bool()> &stopped) : stream_(stream), stopped_(stopped) {}
    std::int64_t Size() override { return stream_.Size(); }
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n) override
    {
        return stopped_() ? 0 : stream_.ReadSomeAt(offset, buf, n);
    }
    bool WriteAt(std::int64_t, const void *, std::size_t) override { return false; }
    bool Truncate(std::int64_t) override { return false; }
    bool Rewrite(const std::function<bool(TStream &)> &) override { return false; }
    std::string ErrorText() const override { return "read only"; }

private:
    TStream &stream_;
    const std::function<bool()> &stopped_;
};

}  // namespace

void LoadForPanel(TMPEGplus &mpc, const std::string &path, bool walk, const std::function<bool()> &stopped)
{
    mpc.Clear();
    TFileStream file;
    if (!file.Open(path)) return;
    mpc.LoadFromStream(file);
    if (!walk) return;
    if (!stopped) {
        mpc.CheckStreamEnd(file);
        return;
    }
    TStoppableStream stoppable(file, stopped);
    mpc.CheckStreamEnd(stoppable);
    if (stopped()) mpc.Clear();
}

std::vector<std::string> FileInfoLinesOf(const std::string &path, const NumberFormatter &format)
{
    TMPEGplus mpc;
    LoadForPanel(mpc, path);
    return FileInfoLines(mpc, path, format);
}

std::vector<std::string> PanelLinesOf(const std::string &path, const NumberFormatter &format, const Wording &say)
{
    TMPEGplus mpc;
    LoadForPanel(mpc, path);
    return PanelLines(mpc, path, format, say);
}

std::vector<std::string> PanelLines(const TMPEGplus &mpc, const std::string &path, const NumberFormatter &format,
                                    const Wording &say)
{
    std::vector<std::string> lines = FileInfoLines(mpc, path, format, say);
    if (lines.empty()) return lines;
    for (std::string &line : TagFieldLines(mpc, mpc.ID3v1Tag(), mpc.ApeTag(), say)) lines.push_back(std::move(line));
    return lines;
}

}  // namespace trackmill
