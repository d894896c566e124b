#include "engine/FileInfo.h"

#include "formats/MPEGplus.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace trackmill;
using tmtest::Bytes;
using tmtest::TempDir;

namespace {

// A version 7 header with the given frame count, the file padded to `size` bytes.
Bytes Sv7File(std::uint32_t frames, std::size_t size, std::uint8_t profileByte = 0xB0)
{
    Bytes b{'M', 'P', '+', 0x07, std::uint8_t(frames), std::uint8_t(frames >> 8), std::uint8_t(frames >> 16),
            std::uint8_t(frames >> 24), 0, 0, profileByte, 0x40};
    b.resize(size, 0);  // frames of no bits: the stream is whole when they fit
    return b;
}

std::string Dotted(double v) { return FormatGrouped(v, "."); }

}  // namespace

TEST(FileInfo, PanelLinesOfAValidFile)
{
    TempDir dir;
    const auto file = dir / "Some Album" / "01 Track.mpc";
    std::filesystem::create_directories(file.parent_path());
    tmtest::WriteBytes(file, Sv7File(12345, 1000000));
    const std::vector<std::string> expected = {
        "Streaminfo",
        "",
        "   01 Track.mpc",
        "   Streamversion: 7",
        "   Profile: Xtreme",
        "   Channelmode: Joint Stereo",
        "   Bitrate: 25 Kb/s",           // 1,000,000 * 8 * 44.1 / 12345 / 1152 = 24.8
        "   Framecount: 12.345",
        "   Duration: 322 secs",         // 12345 * 1152 / 44100 = 322.47
        "   Filesize: 977 KB",           // 976.56
        "",
        "",
        "Tags contained in file",
        "",
        "   ID3V1.x tag: No",
        "   ID3V2.x tag: No",
        "   APE 1/2 tag: No",
    };
    EXPECT_EQ(FileInfoLinesOf(tmtest::U8(file), Dotted), expected);

    // The default formatter groups with ",".
    const auto plain = FileInfoLinesOf(tmtest::U8(file));
    ASSERT_EQ(plain.size(), 17u);
    EXPECT_EQ(plain[7], "   Framecount: 12,345");
}

TEST(FileInfo, BitRateIsNeverGroupedAndSizesRound)
{
    TempDir dir;
    // 10 frames (11,520 samples less the decoder's 481) in 1,000,000 bytes: 31,959 kbit/s; 512 bytes are half a kilobyte, shown as 1.
    tmtest::WriteBytes(dir / "fast.mpc", Sv7File(10, 1000000));
    tmtest::WriteBytes(dir / "small.mpc", Sv7File(1000, 512));
    const auto fast = FileInfoLinesOf(tmtest::U8(dir / "fast.mpc"), Dotted);
    ASSERT_EQ(fast.size(), 17u);
    EXPECT_EQ(fast[6], "   Bitrate: 31959 Kb/s");
    EXPECT_EQ(fast[7], "   Framecount: 10");
    // 1,000 frames cannot fit in 512 bytes (194 of 20 bits do): said below the duration.
    const auto small = FileInfoLinesOf(tmtest::U8(dir / "small.mpc"), Dotted);
    ASSERT_EQ(small.size(), 18u);
    EXPECT_EQ(small[8], "   Duration: 26 secs");
    EXPECT_EQ(small[9], "   Truncated: the stream ends after about 5.1 of 26.1 secs");
    EXPECT_EQ(small[10], "   Filesize: 1 KB");
}

TEST(FileInfo, NothingForFilesWithoutAValidHeader)
{
    TempDir dir;
    tmtest::WriteBytes(dir / "noise.mpc", Bytes(400, 0x42));
    tmtest::WriteBytes(dir / "short.mpc", Bytes{'M', 'P', '+', 7});
    EXPECT_TRUE(FileInfoLinesOf(tmtest::U8(dir / "noise.mpc")).empty());
    EXPECT_TRUE(FileInfoLinesOf(tmtest::U8(dir / "short.mpc")).empty());
    EXPECT_TRUE(FileInfoLinesOf(tmtest::U8(dir / "gone.mpc")).empty());
    EXPECT_TRUE(FileInfoLinesOf(tmtest::U8(dir.path())).empty());
}

TEST(FileInfo, TagLinesFollowTheTagsInTheFile)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto file = dir / "t.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(file, 0.5, {"--standard", "--title", "Hello"}));
    auto lines = FileInfoLinesOf(tmtest::U8(file));
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[3], "   Streamversion: 8");
    EXPECT_EQ(lines[4], "   Profile: Standard");
    EXPECT_EQ(lines[14], "   ID3V1.x tag: No");
    EXPECT_EQ(lines[15], "   ID3V2.x tag: No");
    EXPECT_EQ(lines[16], "   APE 1/2 tag: Yes");

    // ID3v2 in front and ID3v1 behind, written by mutagen.
    const auto r = tmtest::Run({tmtest::SystemPython(), "-c",
                                "import sys\n"
                                "from mutagen.id3 import ID3, TIT2\n"
                                "t = ID3(); t.add(TIT2(encoding=3, text='Both'))\n"
                                "t.save(sys.argv[1], v1=2, v2_version=3)",
                                tmtest::U8(file)});
    if (r.exitCode != 0) GTEST_SKIP() << "mutagen unavailable: " << r.err;
    lines = FileInfoLinesOf(tmtest::U8(file));
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[14], "   ID3V1.x tag: Yes");
    EXPECT_EQ(lines[15], "   ID3V2.x tag: Yes");
    // The APE tag now sits before the ID3v1 tag and is still found.
    EXPECT_EQ(lines[16], "   APE 1/2 tag: Yes");
}

TEST(FileInfo, GroupedNumbers)
{
    EXPECT_EQ(FormatGrouped(0), "0");
    EXPECT_EQ(FormatGrouped(999), "999");
    EXPECT_EQ(FormatGrouped(1000), "1,000");
    EXPECT_EQ(FormatGrouped(1234567, " "), "1 234 567");
    EXPECT_EQ(FormatGrouped(-1234), "-1,234");
    EXPECT_EQ(FormatGrouped(2.5), "3");
    EXPECT_EQ(FormatGrouped(1e12), "1,000,000,000,000");
}
