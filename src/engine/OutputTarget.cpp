#include "engine/OutputTarget.h"

#include "engine/FileInfo.h"
#include "engine/OpusComments.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Read.h"
#include "formats/MPEGAudio.h"
#include "formats/OggOpus.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <cmath>

namespace trackmill {

namespace {

constexpr std::uint32_t kOpusRate = 48000;

// Why an output holding `held` samples is not the source's `samples` at `sourceRate`, which
// make `expected` at the output's own rate.
std::string SamplesDiffer(std::string_view noun, double held, double expected, std::uint64_t samples,
                          std::uint32_t sourceRate, std::uint32_t outputRate)
{
    const std::string holds = "the " + std::string(noun) + " holds " + FormatGrouped(held);
    const std::string of = FormatGrouped(static_cast<double>(samples));
    const std::string damaged = held < expected ? "the source is damaged: " : "";
    if (outputRate == sourceRate)
        return damaged.empty() ? holds + " samples, the source " + of : damaged + holds + " of the source's " + of + " samples";
    return damaged + holds + " samples; the source's " + of + " at " + std::to_string(sourceRate) + " Hz make " +
           FormatGrouped(std::round(expected)) + " at " + std::to_string(outputRate) + " Hz";
}

// Where both say how many samples they hold (the source's header, the encoder's Info tag),
// the MP3 must hold exactly the source's, or within one of them scaled to the MP3's own
// rate where the encoder resampled; elsewhere the playing times are compared.
std::string CompareAudio(const TMp3FrameWalker &mp3, const TSourceAtStart &source)
{
    const std::optional<std::int64_t> held = mp3.ExactSamples();
    const std::optional<std::uint64_t> samples = source.Samples();
    const std::uint32_t sourceRate = source.stream.SampleRate();
    if (!held || !samples || mp3.SampleRate() == 0 || sourceRate == 0)
        return CompareDurations(mp3.Seconds(), source.PlayingTime());
    // lame picks a lower rate by itself for low bit rates: the MP3's own rate counts. Its
    // resampler gives no fewer than 8 samples, however few went in.
    constexpr double kLeastResampled = 8;
    double expected = static_cast<double>(*samples) * mp3.SampleRate() / sourceRate;
    if (mp3.SampleRate() != sourceRate && *samples > 0) expected = std::max(expected, kLeastResampled);
    const double tolerance = mp3.SampleRate() == sourceRate ? 0.0 : 1.0;
    if (std::fabs(static_cast<double>(*held) - expected) <= tolerance) return {};
    return SamplesDiffer("MP3", static_cast<double>(*held), expected, *samples, sourceRate, mp3.SampleRate());
}

// opusenc resamples to 48 kHz and keeps ceil(n x 48,000 / rate) samples of n.
std::uint64_t OpusSamplesOf(std::uint64_t samples, std::uint32_t rate)
{
    return (samples * kOpusRate + rate - 1) / rate;
}

class Mp3Progress : public TAudioProgress {
public:
    void Advance(TStream &file) override { walker_.Advance(file); }
    double Seconds() const override { return walker_.Seconds(); }

private:
    TMp3FrameWalker walker_;
};

class Mp3Target : public TOutputTarget {
public:
    TOutputFormat Format() const override { return TOutputFormat::Mp3; }
    std::string_view Extension() const override { return ".mp3"; }
    std::string_view Noun() const override { return "MP3"; }
    std::unique_ptr<TAudioProgress> Progress() const override { return std::make_unique<Mp3Progress>(); }

    std::string CheckAudio(TStream &written, const TSourceAtStart &source) const override
    {
        TMp3FrameWalker audio;
        audio.Advance(written);
        // Whatever the header promised: an MP3 whose frames hold nothing beyond the
        // encoder's own delay and padding has no audio.
        if (!audio.HasAudio()) return "no audio was decoded";
        return CompareAudio(audio, source);
    }

    std::optional<double> AudioSeconds(TStream &written) const override
    {
        TMp3FrameWalker audio;
        if (!audio.Advance(written) || !audio.HasAudio()) return std::nullopt;
        return audio.Seconds();
    }

    std::optional<std::pair<std::int64_t, std::int64_t>> AudioBytes(TStream &file) const override
    {
        TID3v2 v2;
        TID3v1 v1;
        v2.LoadHeaderFromStream(file);
        v1.LoadFromStream(file);
        const std::int64_t begin = v2.Present() ? v2.TagSize() : 0;
        const std::int64_t end = file.Size() - (v1.Present() ? std::int64_t(TID3v1::kTagSize) : 0);
        if (end <= begin) return std::nullopt;
        return std::pair{begin, end};
    }

    bool CarriesMark(const TTagSwitches &switches) const override { return WritesId3v2(switches); }

    TTransferResult WriteTags(const TMPEGplus &source, TStream &output, const TTagSwitches &switches,
                              const TTagAdditions &additions) const override
    {
        return TransferTags(source, output, switches, additions);
    }

    std::optional<std::string> MarkText(TStream &file) const override
    {
        // Our mark is the first frame; a tag rewritten by another program may have moved it.
        return id3v2::FindUserText(file, kMarkerDescription);
    }
};

class OpusProgress : public TAudioProgress {
public:
    void Advance(TStream &file) override
    {
        // The file's last page says how far it got; a page half written is passed over.
        TOggOpus opus;
        if (opus.LoadFromStream(file, TOggOpus::TPart::NoComments)) seconds_ = opus.Duration();
    }
    double Seconds() const override { return seconds_; }

private:
    double seconds_ = 0;
};

class OpusTarget : public TOutputTarget {
public:
    TOutputFormat Format() const override { return TOutputFormat::Opus; }
    std::string_view Extension() const override { return ".opus"; }
    std::string_view Noun() const override { return "Opus file"; }
    std::unique_ptr<TAudioProgress> Progress() const override { return std::make_unique<OpusProgress>(); }

    std::string CheckAudio(TStream &written, const TSourceAtStart &source) const override
    {
        TOggOpus opus;
        if (!opus.LoadFromStream(written, TOggOpus::TPart::NoComments) || opus.SampleCount() <= 0)
            return "no audio was decoded";
        const auto held = static_cast<std::uint64_t>(opus.SampleCount());
        const std::optional<std::uint64_t> samples = source.Samples();
        const std::uint32_t rate = source.stream.SampleRate();
        if (!samples || rate == 0) return CompareDurations(opus.Duration(), source.PlayingTime(), Noun());
        const std::uint64_t expected = OpusSamplesOf(*samples, rate);
        if (held == expected) return {};
        return SamplesDiffer(Noun(), static_cast<double>(held), static_cast<double>(expected), *samples, rate, kOpusRate);
    }

    std::optional<double> AudioSeconds(TStream &written) const override
    {
        TOggOpus opus;
        if (!opus.LoadFromStream(written, TOggOpus::TPart::NoComments) || opus.SampleCount() <= 0) return std::nullopt;
        return opus.Duration();
    }

    std::optional<std::pair<std::int64_t, std::int64_t>> AudioBytes(TStream &file) const override
    {
        // The comments are rewritten in a copy of the whole file.
        if (!AudioSeconds(file)) return std::nullopt;
        return std::pair{std::int64_t(0), file.Size()};
    }

    bool CarriesMark(const TTagSwitches &) const override { return true; }

    TTransferResult WriteTags(const TMPEGplus &source, TStream &output, const TTagSwitches &switches,
                              const TTagAdditions &additions) const override
    {
        TTransferResult result;
        result.sourceRead = true;
        std::vector<TVorbisComment> comments = OpusComments(source, switches, additions, &result.omitted);
        TOggOpus opus;
        std::string why;
        // The comments alone: writing them reads the whole file again.
        if (opus.LoadFromStream(output, TOggOpus::TPart::NoLastPage)) {
            // What the encoder says of itself stays; whatever else it wrote is the source's to say.
            for (const TVorbisComment &c : opus.Comments())
                if (EqualsAsciiNoCase(c.key, "ENCODER") || EqualsAsciiNoCase(c.key, "ENCODER_OPTIONS"))
                    comments.push_back(c);
            opus.SetComments(std::move(comments));
            if (opus.WriteToStream(output, &why)) {
                result.id3v1Copied = switches.copyID3v1 && source.ID3v1Tag().Present();
                result.id3v2Copied = switches.copyID3v2 && source.ID3v2Tag().Present();
                result.apeConverted = switches.convertApe && source.ApeTag().Present();
                return result;
            }
        } else {
            why = opus.Error();
        }
        result.writesFailed = 1;
        result.error = "Opus comments: " + why;
        return result;
    }

    std::optional<std::string> MarkText(TStream &file) const override
    {
        TOggOpus opus;
        if (!opus.LoadFromStream(file, TOggOpus::TPart::NoLastPage)) return std::nullopt;
        const std::vector<std::string> marks = opus.Values(kMarkerDescription);
        if (marks.empty()) return std::nullopt;
        return marks.front();
    }

};

}  // namespace

bool TOutputTarget::Names(std::string_view fileName) const
{
    const std::string_view ext = Extension();
    return fileName.size() > ext.size() && EqualsAsciiNoCase(fileName.substr(fileName.size() - ext.size()), ext);
}

const TOutputTarget &OutputTarget(TOutputFormat format)
{
    static const Mp3Target mp3;
    static const OpusTarget opus;
    switch (format) {
    case TOutputFormat::Mp3:
        break;
    case TOutputFormat::Opus:
        return opus;
    }
    return mp3;
}

void TSourceAtStart::Load(const std::string &path, const os::TFileInfo &fileInfo)
{
    info = fileInfo;
    read = stream.LoadFromFile(path);
}

std::string CompareDurations(double outputSeconds, double sourceSeconds, std::string_view noun)
{
    if (sourceSeconds <= 0) return {};
    if (std::fabs(outputSeconds - sourceSeconds) <= 0.2 + 0.01 * sourceSeconds) return {};
    return "the " + std::string(noun) + " lasts " + OneDecimal(outputSeconds) + " s, the source " + OneDecimal(sourceSeconds) + " s";
}

}  // namespace trackmill
