#include "engine/FileInfo.h"

#include "engine/TagLines.h"
#include "formats/MPEGAudio.h"
#include "formats/MPEGplus.h"
#include "system/os/Path.h"

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

std::vector<std::string> FileInfoLines(const TMPEGplus &mpc, const std::string &path,
                                       const NumberFormatter &format)
{
    if (!mpc.Valid()) return {};
    const auto number = [&](double value) {
        const double whole = WholeNumber(value);
        return format ? format(whole) : FormatGrouped(whole);
    };
    const auto yesNo = [](bool present) { return present ? std::string("Yes") : std::string("No"); };
    const std::string in = kIndent;
    std::vector<std::string> lines = {
        "Streaminfo",
        "",
        in + os::FileName(path),
        in + "Streamversion: " + std::to_string(mpc.StreamVersion()),
        in + "Profile: " + mpc.ProfileName(),
        in + "Channelmode: " + mpc.ChannelModeName(),
        in + "Bitrate: " + std::to_string(mpc.BitRate()) + " Kb/s",
        in + "Framecount: " + number(static_cast<double>(mpc.FrameCount())),
        in + "Duration: " + number(mpc.Duration()) + " secs",
        in + "Filesize: " + number(static_cast<double>(mpc.FileSize()) / 1024.0) + " KB",
        "",
        "",
        "Tags contained in file",
        "",
        in + "ID3V1.x tag: " + yesNo(mpc.ID3v1Tag().Present()),
        in + "ID3V2.x tag: " + yesNo(mpc.ID3v2Tag().Present()),
        in + "APE 1/2 tag: " + yesNo(mpc.ApeTag().Present()),
    };
    if (const std::optional<double> end = mpc.EndsEarlyAt()) {
        char text[96];
        std::snprintf(text, sizeof text, "Truncated: the stream ends after about %.1f of %.1f secs", *end,
                      mpc.PlayingTime());
        lines.insert(lines.begin() + kDurationLine + 1, in + text);
    }
    return lines;
}

std::vector<std::string> Mp3InfoLines(const TMp3Facts &mp3, const std::string &path,
                                      const NumberFormatter &format)
{
    if (!mp3.found) return {};
    const auto number = [&](double value) {
        const double whole = WholeNumber(value);
        return format ? format(whole) : FormatGrouped(whole);
    };
    const std::string in = kIndent;
    char seconds[48];
    // Tenths: a short file would read "0 secs".
    std::snprintf(seconds, sizeof seconds, "%.1f", mp3.seconds);
    return {
        "MPEG audio",
        "",
        in + os::FileName(path),
        in + "Version: " + mp3.version + " " + mp3.layer,
        in + "Channelmode: " + mp3.channelMode,
        in + "Bitrate: " + std::to_string(mp3.bitRate) + " Kb/s" + (mp3.variableBitRate ? " (variable, average)" : ""),
        in + "Samplerate: " + std::to_string(mp3.sampleRate) + " Hz",
        in + "Framecount: " + number(static_cast<double>(mp3.frames)),
        in + "Duration: " + seconds + " secs",
        in + "Filesize: " + number(static_cast<double>(mp3.fileSize) / 1024.0) + " KB",
    };
}

void LoadForPanel(TMPEGplus &mpc, const std::string &path)
{
    mpc.Clear();
    TFileStream file;
    if (!file.Open(path)) return;
    mpc.LoadFromStream(file);
    mpc.CheckStreamEnd(file);
}

std::vector<std::string> FileInfoLinesOf(const std::string &path, const NumberFormatter &format)
{
    TMPEGplus mpc;
    LoadForPanel(mpc, path);
    return FileInfoLines(mpc, path, format);
}

std::vector<std::string> PanelLinesOf(const std::string &path, const NumberFormatter &format)
{
    TMPEGplus mpc;
    LoadForPanel(mpc, path);
    return PanelLines(mpc, path, format);
}

std::vector<std::string> PanelLines(const TMPEGplus &mpc, const std::string &path, const NumberFormatter &format)
{
    std::vector<std::string> lines = FileInfoLines(mpc, path, format);
    if (lines.empty()) return lines;
    for (std::string &line : TagFieldLines(mpc, mpc.ID3v1Tag(), mpc.ApeTag())) lines.push_back(std::move(line));
    return lines;
}

}  // namespace trackmill
