// Playing time of MP3 files made by lame, against ffprobe's reading of the same files,
// and of files cut off the way an interrupted encoder leaves them.
#include "formats/MPEGAudio.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

namespace fs = std::filesystem;
using tmtest::Bytes;

double FfprobeSeconds(const fs::path &file)
{
    const auto r = tmtest::Run({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                                "default=noprint_wrappers=1:nokey=1", tmtest::U8(file)});
    return r.exitCode == 0 ? std::stod(r.out) : -1;
}

fs::path Encode(const tmtest::TempDir &dir, const std::string &name, double seconds, int rate, int channels,
                const std::vector<std::string> &options)
{
    const fs::path wav = dir / (name + ".wav"), mp3 = dir / (name + ".mp3");
    tmtest::MakeSineWav(wav, seconds, rate, channels);
    std::vector<std::string> argv = {"lame", "--quiet"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {tmtest::U8(wav), tmtest::U8(mp3)});
    EXPECT_EQ(tmtest::Run(argv).exitCode, 0);
    return mp3;
}

TEST(Mp3Duration, AgreesWithFfprobeForCbrVbrMpeg2AndTaggedFiles)
{
    tmtest::TempDir dir;
    struct Case {
        const char *name;
        double seconds;
        int rate, channels;
        std::vector<std::string> options;
    };
    const std::vector<Case> cases = {
        {"cbr", 7.5, 44100, 2, {"--alt-preset", "cbr", "128"}},
        {"vbr", 5.0, 48000, 2, {"-V", "2"}},
        {"mono22k", 3.0, 22050, 1, {"-b", "32"}},
        {"tagged", 4.0, 44100, 2, {"--tt", "Title", "--add-id3v2", "--pad-id3v2-size", "3000"}},
    };
    for (const Case &c : cases) {
        const fs::path mp3 = Encode(dir, c.name, c.seconds, c.rate, c.channels, c.options);
        const double ours = Mp3Duration(tmtest::U8(mp3));
        EXPECT_NEAR(ours, c.seconds, 0.06) << c.name;
        EXPECT_NEAR(ours, FfprobeSeconds(mp3), 0.06) << c.name;
    }
}

TEST(Mp3Duration, CutOffFilesMeasureShortAndGrowingFilesAreFollowed)
{
    tmtest::TempDir dir;
    const fs::path mp3 = Encode(dir, "whole", 10.0, 44100, 2, {"-b", "128"});
    const Bytes whole = tmtest::ReadBytes(mp3);

    // Only the complete frames count: a file cut at 60 % lasts about 6 s, whatever its
    // header frame says about the stream.
    const fs::path cut = dir / "cut.mp3";
    tmtest::WriteBytes(cut, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 6 / 10)));
    EXPECT_NEAR(Mp3Duration(tmtest::U8(cut)), 6.0, 0.1);

    // A walker fed the file as it grows ends with the same figure as one whole reading.
    const fs::path growing = dir / "growing.mp3";
    TMp3FrameWalker walker;
    double last = 0;
    for (std::size_t size : std::initializer_list<std::size_t>{0, 3, 417, 5000, 100001, whole.size()}) {
        tmtest::WriteBytes(growing, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
        ASSERT_TRUE(walker.Advance(tmtest::U8(growing)));
        EXPECT_GE(walker.Seconds() + 0.06, last) << size;
        last = walker.Seconds();
    }
    EXPECT_NEAR(walker.Seconds(), Mp3Duration(tmtest::U8(mp3)), 1e-9);

    // Not MP3 at all, empty, missing: no audio, no crash.
    tmtest::WriteBytes(dir / "text.mp3", tmtest::B(std::string(200000, 'x')));
    EXPECT_EQ(Mp3Duration(tmtest::U8(dir / "text.mp3")), 0.0);
    tmtest::WriteBytes(dir / "empty.mp3", {});
    EXPECT_EQ(Mp3Duration(tmtest::U8(dir / "empty.mp3")), 0.0);
    EXPECT_EQ(Mp3Duration(tmtest::U8(dir / "missing.mp3")), 0.0);
    // An ID3v2 header claiming far more than the file holds.
    tmtest::WriteBytes(dir / "liar.mp3", tmtest::Cat({tmtest::B("ID3\x03"), Bytes{0, 0, 0x7F, 0x7F, 0x7F, 0x7F}, whole}));
    EXPECT_EQ(Mp3Duration(tmtest::U8(dir / "liar.mp3")), 0.0);
}

}  // namespace
}  // namespace trackmill
