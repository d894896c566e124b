#include "formats/MPEGplus.h"

#include "support/HostileFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

#include <cmath>
#include <fstream>
#include <random>

using namespace trackmill;
using tmtest::Bytes;
using tmtest::TempDir;

namespace {

// A 12-byte fixed header followed by filler, so the file is a plausible size.
Bytes FixedHeader(std::initializer_list<std::uint8_t> head, std::size_t total = 64)
{
    Bytes b(head);
    b.resize(std::max(total, b.size()), 0x55);
    return b;
}

Bytes Sv7(std::uint32_t frames, std::uint8_t b10, std::uint8_t b11, std::size_t total = 64)
{
    return FixedHeader({'M', 'P', '+', 0x07, std::uint8_t(frames), std::uint8_t(frames >> 8),
                        std::uint8_t(frames >> 16), std::uint8_t(frames >> 24), 0, 0, b10, b11},
                       total);
}

// An ID3v2.3 tag whose whole size (header included) is `whole` bytes, all padding.
Bytes Id3v2Tag(std::uint32_t whole)
{
    const std::uint32_t body = whole - 10;
    Bytes b{'I', 'D', '3', 3, 0, 0, std::uint8_t((body >> 21) & 0x7F), std::uint8_t((body >> 14) & 0x7F),
            std::uint8_t((body >> 7) & 0x7F), std::uint8_t(body & 0x7F)};
    b.resize(whole, 0);
    return b;
}

Bytes Concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void PutVarint(Bytes &b, std::uint64_t v)
{
    Bytes tmp{std::uint8_t(v & 0x7F)};
    while (v >>= 7) tmp.insert(tmp.begin(), std::uint8_t(0x80 | (v & 0x7F)));
    b.insert(b.end(), tmp.begin(), tmp.end());
}

Bytes Packet(const char *key, const Bytes &payload)
{
    // The size counts itself; one size byte is enough for the small packets used here.
    Bytes b{std::uint8_t(key[0]), std::uint8_t(key[1])};
    b.push_back(std::uint8_t(2 + 1 + payload.size()));
    return Concat(b, payload);
}

Bytes ShPayload(std::uint64_t samples, std::uint8_t rateIndex, unsigned channels, bool midSide)
{
    Bytes p{0xDE, 0xAD, 0xBE, 0xEF, 8};
    PutVarint(p, samples);
    PutVarint(p, 0);
    p.push_back(std::uint8_t(rateIndex << 5 | 20));
    p.push_back(std::uint8_t((channels - 1) << 4 | (midSide ? 0x08 : 0) | 1));
    return p;
}

Bytes Sv8(const Bytes &packets) { return Concat({'M', 'P', 'C', 'K'}, packets); }

struct Loaded {
    bool ok = false;
    TMPEGplus mpc;
};

std::unique_ptr<Loaded> LoadBytes(const Bytes &bytes)
{
    TempDir dir;
    const auto file = dir / "x.mpc";
    tmtest::WriteBytes(file, bytes);
    auto r = std::make_unique<Loaded>();
    r->ok = r->mpc.LoadFromFile(tmtest::U8(file));
    return r;
}

std::int32_t Le32At(const Bytes &b, std::size_t at)
{
    return std::int32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24);
}

// The APE footer's tag size, read from the bytes independently of the reader.
std::int64_t ApeSizeOf(const Bytes &b)
{
    if (b.size() < 32) return 0;
    const std::size_t at = b.size() - 32;
    if (std::string(b.begin() + long(at), b.begin() + long(at) + 8) != "APETAGEX") return 0;
    return Le32At(b, at + 12);
}

}  // namespace

TEST(MPEGplusFixedHeader, VersionDetectionAndChannelModes)
{
    auto v7 = LoadBytes(Sv7(100, 0xA0, 0x40));
    EXPECT_TRUE(v7->ok);
    EXPECT_TRUE(v7->mpc.Valid());
    EXPECT_EQ(v7->mpc.StreamVersion(), 7);
    EXPECT_EQ(v7->mpc.ProfileName(), "Standard");
    EXPECT_EQ(v7->mpc.ChannelModeName(), "Joint Stereo");
    EXPECT_EQ(v7->mpc.FrameCount(), 100);
    EXPECT_EQ(v7->mpc.FileSize(), 64);

    auto stereo = LoadBytes(Sv7(100, 0xA1, 0xBF));
    EXPECT_EQ(stereo->mpc.ChannelModeName(), "Stereo");
    EXPECT_EQ(stereo->mpc.Channels(), 2);

    // The fourth byte's low four bits say version 7, its high four the minor version: the
    // old encoder wrote 0x17 for every profile with noise substitution.
    auto v71 = LoadBytes(FixedHeader({'M', 'P', '+', 0x17, 1, 0, 0, 0, 0, 0, 0x90, 0x40}));
    EXPECT_TRUE(v71->mpc.Valid());
    EXPECT_EQ(v71->mpc.StreamVersion(), 7);
    EXPECT_EQ(v71->mpc.MinorVersion(), 1);
    EXPECT_EQ(v71->mpc.StreamVersionText(), "7.1");
    EXPECT_EQ(v71->mpc.ProfileName(), "Radio");
    EXPECT_EQ(v7->mpc.StreamVersionText(), "7");

    // "MP+" with another low four bits is judged by B1: 0x50 gives no version.
    auto notSeven = LoadBytes(FixedHeader({'M', 'P', '+', 0x18, 1, 0, 0, 0, 0, 0, 0xA0, 0x40}));
    EXPECT_TRUE(notSeven->ok);
    EXPECT_FALSE(notSeven->mpc.Valid());
    EXPECT_EQ(notSeven->mpc.StreamVersion(), 0);
    EXPECT_EQ(notSeven->mpc.ChannelModeName(), "Unknown");
    EXPECT_EQ(notSeven->mpc.ProfileName(), "Unknown");
    EXPECT_EQ(notSeven->mpc.FrameCount(), 0);
    EXPECT_EQ(notSeven->mpc.BitRate(), 0);
    EXPECT_FALSE(notSeven->mpc.ApeTag().Present());

    // Versions 4 to 6 use the low bits of B2 for the channel mode.
    auto v6stereo = LoadBytes(FixedHeader({0, 0x16, 0x80, 0, 1, 0, 0, 0}));
    EXPECT_EQ(v6stereo->mpc.StreamVersion(), 6);
    EXPECT_EQ(v6stereo->mpc.ChannelModeName(), "Stereo");
    auto v6joint = LoadBytes(FixedHeader({0, 0x16, 0x01, 0, 1, 0, 0, 0}));
    EXPECT_EQ(v6joint->mpc.ChannelModeName(), "Joint Stereo");
}

TEST(MPEGplusFixedHeader, ProfileTableByTheHighFourBitsWhateverTheRate)
{
    const char *const table[16] = {"Unknown",   "Experimental", "Unknown",  "Unknown",   "Unknown",  "Quality 0",
                                   "Quality 1", "Telephone",    "Thumb",    "Radio",     "Standard", "Xtreme",
                                   "Insane",    "Braindead",    "Quality 9", "Quality 10"};
    for (unsigned nibble = 0; nibble < 16; ++nibble)
        for (std::uint8_t rate = 0; rate < 4; ++rate) {
            auto r = LoadBytes(Sv7(10, std::uint8_t(nibble << 4 | rate), 0));
            EXPECT_EQ(r->mpc.ProfileName(), table[nibble]) << nibble << " " << int(rate);
        }
}

TEST(MPEGplusFixedHeader, FrameCountAndStoredBitRateByVersion)
{
    // Version 4 counts only B6..B7; version 5 the whole word.
    auto v4 = LoadBytes(FixedHeader({0, 0x06, 0, 0, 0x05, 0x00, 0x10, 0x27}));
    EXPECT_EQ(v4->mpc.StreamVersion(), 4);
    EXPECT_EQ(v4->mpc.FrameCount(), 10000);
    auto v5 = LoadBytes(FixedHeader({0, 0x0E, 0, 0, 0x05, 0x00, 0x10, 0x27}));
    EXPECT_EQ(v5->mpc.StreamVersion(), 5);
    EXPECT_EQ(v5->mpc.FrameCount(), 655360005);

    // The top 9 bits of W0 are the stored rate in versions 4 and 5 only.
    auto stored = LoadBytes(FixedHeader({0x00, 0x0E, 0x00, 0x40, 1, 0, 0, 0}));
    EXPECT_EQ(stored->mpc.StreamVersion(), 5);
    EXPECT_EQ(stored->mpc.BitRate(), 128);
    auto v6 = LoadBytes(FixedHeader({0x00, 0x16, 0x00, 0x40, 1, 0, 0, 0}, 1152));
    EXPECT_EQ(v6->mpc.StreamVersion(), 6);
    // 1152 bytes, one frame: 1152 * 8 * 44.1 / 1152 = 352.8
    EXPECT_EQ(v6->mpc.BitRate(), 353);
}

TEST(MPEGplusFixedHeader, DurationAndBitRateArithmetic)
{
    auto none = LoadBytes(Sv7(0, 0xA0, 0));
    EXPECT_TRUE(none->mpc.Valid());
    EXPECT_EQ(none->mpc.BitRate(), 0);
    EXPECT_EQ(none->mpc.Duration(), 0.0);

    auto hour = LoadBytes(Sv7(44100, 0xA0, 0));
    EXPECT_DOUBLE_EQ(hour->mpc.Duration(), (44100 * 1152 - 481) / 44100.0);

    // 1,000,000 bytes with a 128-byte ID3v1 tag, 1000 frames less the decoder's delay:
    // 999,872 * 8 / ((1000 * 1152 - 481) / 44100) / 1000.
    Bytes big = Sv7(1000, 0xA0, 0, 1000000);
    std::fill(big.end() - 128, big.end(), 0);
    std::copy_n("TAG", 3, big.end() - 128);
    auto r = LoadBytes(big);
    ASSERT_TRUE(r->mpc.Valid());
    EXPECT_TRUE(r->mpc.ID3v1Tag().Present());
    EXPECT_EQ(r->mpc.BitRate(), 306);
    EXPECT_EQ(r->mpc.FileSize(), 1000000);

}

TEST(MPEGplusFixedHeader, Version7SampleRateFromItsHeaderAsMutagenReadsIt)
{
    // Bits 16-17 of B8..B11 are the low bits of B10; the playing time is at the stream's own
    // rate (without the gapless flag: all frames less the decoder's delay of 481 samples).
    TempDir dir;
    std::vector<std::string> args{tmtest::SystemPython(), "-c",
                                  "import sys, mutagen.musepack as m\n"
                                  "print(' '.join(str(m.Musepack(p).info.sample_rate) for p in sys.argv[1:]))"};
    std::string ours;
    const std::uint32_t rates[] = {44100, 48000, 37800, 32000};
    for (std::uint8_t index = 0; index < 4; ++index) {
        const auto file = dir / ("r" + std::to_string(index) + ".mpc");
        tmtest::WriteBytes(file, Sv7(1000, std::uint8_t(0xA0 | index), 0x40, 5000));
        TMPEGplus mpc;
        ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(file)));
        EXPECT_EQ(mpc.SampleRate(), rates[index]);
        EXPECT_DOUBLE_EQ(mpc.Duration(), (1000 * 1152 - 481.0) / rates[index]);
        ours += (index ? " " : "") + std::to_string(mpc.SampleRate());
        args.push_back(tmtest::U8(file));
    }
    const auto r = tmtest::Run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ours + "\n", r.out);
}

TEST(MPEGplusFixedHeader, Version7SamplesFromTheLastFrameWordAtEveryRate)
{
    // B20..B23: bit 31 marks a true gapless stream, bits 20 to 30 its last frame's samples.
    auto withWord = [](std::uint32_t frames, std::uint8_t b10, std::uint32_t word) {
        Bytes b = Sv7(frames, b10, 0x40, 1200);
        std::fill(b.begin() + 12, b.begin() + 24, 0);
        for (int i = 0; i < 4; ++i) b[20 + std::size_t(i)] = std::uint8_t(word >> (8 * i));
        return b;
    };
    const std::uint32_t rates[] = {44100, 48000, 37800, 32000};
    for (std::uint8_t index = 0; index < 4; ++index) {
        SCOPED_TRACE(rates[index]);
        auto r = LoadBytes(withWord(84, std::uint8_t(0xA0 | index), 0x80000000u | 384u << 20));
        EXPECT_EQ(r->mpc.SampleCount(), 83u * 1152 + 384);
        EXPECT_DOUBLE_EQ(r->mpc.Duration(), (83 * 1152 + 384.0) / rates[index]);
        EXPECT_EQ(r->mpc.BitRate(), std::lround(1200 * 8 / ((83 * 1152 + 384.0) / rates[index]) / 1000));
        EXPECT_EQ(r->mpc.ProfileName(), "Standard");
    }
    // One frame holding 616 samples; without the flag the same bits count for nothing.
    EXPECT_EQ(LoadBytes(withWord(1, 0xA0, 0x80000000u | 616u << 20))->mpc.SampleCount(), 616u);
    EXPECT_EQ(LoadBytes(withWord(2, 0xA0, 616u << 20))->mpc.SampleCount(), 2u * 1152 - 481);
    EXPECT_EQ(LoadBytes(withWord(0, 0xA0, 0x80000000u | 616u << 20))->mpc.SampleCount(), 0u);
    EXPECT_EQ(LoadBytes(withWord(0, 0xA0, 0))->mpc.SampleCount(), 0u);
    // Versions 4 to 6 say only how many frames they hold.
    EXPECT_FALSE(LoadBytes(FixedHeader({0, 0x16, 0x80, 0, 1, 0, 0, 0}))->mpc.SampleCount());
}

TEST(MPEGplusFixedHeader, OutOfRangeValuesAreCappedNotWrapped)
{
    // One frame in 1,000,000 bytes is 306,250 kbit/s: more than 16 bits hold.
    auto fast = LoadBytes(Sv7(1, 0xA0, 0, 1000000));
    EXPECT_EQ(fast->mpc.BitRate(), 65535);
    // A frame count above the signed range stays positive, and so does the duration.
    auto huge = LoadBytes(FixedHeader({0, 0x0E, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(huge->mpc.StreamVersion(), 5);
    EXPECT_EQ(huge->mpc.FrameCount(), 2147483647);
    EXPECT_GT(huge->mpc.Duration(), 0.0);
}

TEST(MPEGplusFixedHeader, HeaderFollowsAnId3v2TagOnly)
{
    const Bytes stream = Sv7(100, 0xA0, 0x40);
    auto tagged = LoadBytes(Concat(Id3v2Tag(1000), stream));
    EXPECT_TRUE(tagged->mpc.ID3v2Tag().Present());
    EXPECT_EQ(tagged->mpc.ID3v2Tag().TagSize(), 1000);
    EXPECT_TRUE(tagged->mpc.Valid());
    EXPECT_EQ(tagged->mpc.StreamVersion(), 7);
    EXPECT_EQ(tagged->mpc.FileSize(), 1064);
    // 64 audio bytes over 100 frames.
    EXPECT_EQ(tagged->mpc.BitRate(), std::lround(64 * 8 * 44.1 / 100 / 1152));

    auto junk = LoadBytes(Concat(Bytes(1000, 0x11), stream));
    EXPECT_TRUE(junk->ok);
    EXPECT_FALSE(junk->mpc.Valid());
    EXPECT_FALSE(junk->mpc.ID3v2Tag().Present());
}

TEST(MPEGplusFixedHeader, ShortAndMissingFiles)
{
    TempDir dir;
    const Bytes stream = Sv7(100, 0xA0, 0x40);
    tmtest::WriteBytes(dir / "11.mpc", Bytes(stream.begin(), stream.begin() + 11));
    tmtest::WriteBytes(dir / "12.mpc", Bytes(stream.begin(), stream.begin() + 12));
    tmtest::WriteBytes(dir / "tag+11.mpc", Concat(Id3v2Tag(1000), Bytes(stream.begin(), stream.begin() + 11)));
    tmtest::WriteBytes(dir / "empty.mpc", {});
    TMPEGplus mpc;
    EXPECT_FALSE(mpc.LoadFromFile(tmtest::U8(dir / "11.mpc")));
    EXPECT_FALSE(mpc.Valid());
    EXPECT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "12.mpc")));
    EXPECT_TRUE(mpc.Valid());
    EXPECT_FALSE(mpc.LoadFromFile(tmtest::U8(dir / "tag+11.mpc")));
    EXPECT_FALSE(mpc.Valid());
    EXPECT_TRUE(mpc.ID3v2Tag().Present());  // read before the header
    EXPECT_FALSE(mpc.LoadFromFile(tmtest::U8(dir / "empty.mpc")));
    EXPECT_FALSE(mpc.LoadFromFile(tmtest::U8(dir / "missing.mpc")));
    EXPECT_FALSE(mpc.LoadFromFile(tmtest::U8(dir.path())));
    EXPECT_FALSE(mpc.Valid());
    EXPECT_EQ(mpc.FileSize(), 0);
}

TEST(MPEGplusPacketStream, HandBuiltStreams)
{
    const Bytes ei = Packet("EI", {0xB1, 1, 17, 0});  // noise-substitution bit set
    auto full = LoadBytes(Sv8(Concat(Concat(Packet("SH", ShPayload(96000, 1, 2, false)), ei),
                                     Packet("AP", Bytes(100, 0)))));
    ASSERT_TRUE(full->mpc.Valid());
    EXPECT_EQ(full->mpc.StreamVersion(), 8);
    EXPECT_EQ(full->mpc.SampleRate(), 48000u);
    EXPECT_DOUBLE_EQ(full->mpc.Duration(), 2.0);
    EXPECT_EQ(full->mpc.FrameCount(), 84);  // 96000 / 1152 = 83.3, rounded up
    EXPECT_EQ(full->mpc.ChannelModeName(), "Stereo");
    EXPECT_EQ(full->mpc.ProfileName(), "Xtreme");

    // Mono is neither stereo mode; an unknown rate index gives no duration and no bit rate.
    auto mono = LoadBytes(Sv8(Packet("SH", ShPayload(1152, 5, 1, true))));
    ASSERT_TRUE(mono->mpc.Valid());
    EXPECT_EQ(mono->mpc.ChannelModeName(), "Unknown");
    EXPECT_EQ(mono->mpc.ProfileName(), "Unknown");
    EXPECT_EQ(mono->mpc.FrameCount(), 1);
    EXPECT_EQ(mono->mpc.Duration(), 0.0);
    EXPECT_EQ(mono->mpc.BitRate(), 0);

    // Packets before "SH" are skipped by their size; "EI" may come first.
    auto later = LoadBytes(Sv8(Concat(Concat(Packet("RG", Bytes(9, 1)), ei),
                                      Packet("SH", ShPayload(1152 * 2, 3, 2, true)))));
    ASSERT_TRUE(later->mpc.Valid());
    EXPECT_EQ(later->mpc.SampleRate(), 32000u);
    EXPECT_EQ(later->mpc.FrameCount(), 2);
    EXPECT_EQ(later->mpc.ChannelModeName(), "Joint Stereo");
    EXPECT_EQ(later->mpc.ProfileName(), "Xtreme");
}

TEST(MPEGplusPacketStream, BitRateRoundsHalvesToEven)
{
    // 96000 samples at 48000 Hz = 2 s, so the rate is bytes * 4 / 1000 kbit/s.
    const auto rateFor = [](std::size_t fileBytes) {
        Bytes b = Sv8(Packet("SH", ShPayload(96000, 1, 2, true)));
        b.resize(fileBytes, 0);
        return LoadBytes(b)->mpc.BitRate();
    };
    EXPECT_EQ(rateFor(624), 2);   // 2.496
    EXPECT_EQ(rateFor(625), 2);   // 2.5
    EXPECT_EQ(rateFor(626), 3);   // 2.504
    EXPECT_EQ(rateFor(875), 4);   // 3.5
    EXPECT_EQ(rateFor(1125), 4);  // 4.5
}

TEST(MPEGplusPacketStream, IncompleteOrMalformedPacketsAreNotValid)
{
    const Bytes sh = Packet("SH", ShPayload(44100, 0, 2, true));
    // Every cut inside "SH" leaves no complete stream header.
    const Bytes whole = Sv8(sh);
    for (std::size_t n = 12; n < whole.size(); ++n) {
        auto r = LoadBytes(Bytes(whole.begin(), whole.begin() + long(n)));
        EXPECT_TRUE(r->ok) << n;
        EXPECT_FALSE(r->mpc.Valid()) << n;
    }
    EXPECT_TRUE(LoadBytes(whole)->mpc.Valid());

    // A size that claims less than the key and size bytes, a lower-case key, a size field
    // that never ends, and an "SH" too short for its fields all end the walk.
    Bytes tiny = Sv8({'S', 'H', 0x02});
    tiny.resize(40, 0);
    EXPECT_FALSE(LoadBytes(tiny)->mpc.Valid());
    Bytes lower = Sv8(Concat(Packet("Sh", Bytes(4, 0)), sh));
    EXPECT_FALSE(LoadBytes(lower)->mpc.Valid());
    Bytes endless = Sv8({'R', 'G'});
    endless.resize(64, 0xFF);
    EXPECT_FALSE(LoadBytes(Concat(endless, sh))->mpc.Valid());
    Bytes shortSh = Sv8(Concat(Packet("SH", {1, 2, 3, 4, 8, 0x81}), Bytes(20, 0)));
    EXPECT_FALSE(LoadBytes(shortSh)->mpc.Valid());
    // Audio before the header ends the walk.
    EXPECT_FALSE(LoadBytes(Sv8(Concat(Packet("AP", Bytes(8, 0)), sh)))->mpc.Valid());
    // A packet whose size runs past the file end.
    Bytes past = Sv8({'R', 'G', 0xFF, 0x7F});
    past.resize(100, 0);
    EXPECT_FALSE(LoadBytes(Concat(past, sh))->mpc.Valid());
}

TEST(MPEGplusPacketStream, ManyTinyPacketsStopTheWalk)
{
    Bytes b = Sv8({});
    for (int i = 0; i < 5000; ++i) {
        const Bytes p = Packet("XX", {});
        b.insert(b.end(), p.begin(), p.end());
    }
    b = Concat(b, Packet("SH", ShPayload(44100, 0, 2, true)));
    auto r = LoadBytes(b);
    EXPECT_TRUE(r->ok);
    EXPECT_FALSE(r->mpc.Valid());  // the header lies beyond the packet limit
}

TEST(MPEGplusEncoded, ProfilesRatesAndChannelsMatchTheFileBytes)
{
    TM_REQUIRE_TOOL("mpcenc");
    struct Expect {
        std::string name;
        std::vector<std::string> args;
        int rate;
        int channels;
        double seconds;
        const char *profile;
    };
    const Expect cases[] = {
        {"thumb", {"--thumb"}, 44100, 2, 1.0, "Thumb"},
        {"radio", {"--radio"}, 44100, 1, 1.5, "Radio"},
        {"standard", {"--standard", "--artist", "Someone", "--title", "T"}, 48000, 2, 0.5, "Standard"},
        {"extreme", {"--extreme"}, 32000, 2, 1.0, "Xtreme"},
        {"insane", {"--insane"}, 48000, 1, 0.7, "Insane"},
        {"braindead", {"--braindead"}, 44100, 2, 0.3, "Braindead"},
    };
    TempDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir / (c.name + ".mpc");
        ASSERT_TRUE(tmtest::MakeMpc(file, c.seconds, c.args, c.rate, c.channels));
        const Bytes bytes = tmtest::ReadBytes(file);
        TMPEGplus mpc;
        ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(file)));
        ASSERT_TRUE(mpc.Valid());
        EXPECT_EQ(mpc.StreamVersion(), 8);
        EXPECT_EQ(mpc.ProfileName(), c.profile);
        EXPECT_EQ(mpc.SampleRate(), unsigned(c.rate));
        const auto samples = std::uint64_t(c.seconds * c.rate);
        EXPECT_EQ(mpc.SampleCount(), samples);
        EXPECT_EQ(mpc.FrameCount(), std::int32_t((samples + 1151) / 1152));
        EXPECT_DOUBLE_EQ(mpc.Duration(), double(samples) / c.rate);
        // mpcenc codes every stereo input as mid/side.
        EXPECT_EQ(mpc.ChannelModeName(), c.channels == 2 ? "Joint Stereo" : "Unknown");
        EXPECT_EQ(mpc.FileSize(), std::int64_t(bytes.size()));
        const std::int64_t audio = std::int64_t(bytes.size()) - ApeSizeOf(bytes);
        EXPECT_EQ(mpc.BitRate(), std::nearbyint(double(audio) * 8 / (double(samples) / c.rate) / 1000));
        EXPECT_EQ(mpc.ApeTag().Present(), ApeSizeOf(bytes) != 0);
        EXPECT_FALSE(mpc.ID3v1Tag().Present());
        EXPECT_FALSE(mpc.ID3v2Tag().Present());
    }
}

// The stream end of `bytes`, as CheckStreamEnd finds it.
std::optional<double> EndOf(const Bytes &bytes)
{
    TMemoryStream stream(bytes.data(), bytes.size());
    TMPEGplus mpc;
    mpc.LoadFromStream(stream);
    mpc.CheckStreamEnd(stream);
    return mpc.EndsEarlyAt();
}

TEST(MPEGplusEncoded, AStreamCutShortIsToldAndAWholeOneNever)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const struct {
        double seconds;
        std::vector<std::string> args;
        int rate, channels;
    } cases[] = {{0.3, {}, 44100, 2}, {6.0, {"--thumb"}, 44100, 2}, {6.0, {"--insane", "--artist", "A"}, 48000, 1},
                 {8.0, {"--braindead"}, 32000, 2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.seconds) + " s at " + std::to_string(c.rate));
        const auto file = dir / "whole.mpc";
        ASSERT_TRUE(tmtest::MakeMpc(file, c.seconds, c.args, c.rate, c.channels));
        const Bytes whole = tmtest::ReadBytes(file);
        EXPECT_FALSE(EndOf(whole));
        // Behind an ID3v2 tag too.
        EXPECT_FALSE(EndOf(Concat(Id3v2Tag(300), whole)));
        if (c.seconds < 1) continue;
        const auto half = EndOf(Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)));
        ASSERT_TRUE(half);
        EXPECT_GT(*half, c.seconds * 0.2);
        EXPECT_LT(*half, c.seconds * 0.8);
        // Only the stream's end packet broken off: the audio is all there.
        EXPECT_FALSE(EndOf(Bytes(whole.begin(), whole.end() - ApeSizeOf(whole) - 1)));
    }
}

// A version 7 stream of frames of the given bit lengths, as its decoder reads them: words
// of 32 bits, little-endian, each read from its top bit; the frames start at bit 200.
Bytes Sv7Frames(const std::vector<std::uint32_t> &lengths)
{
    std::vector<bool> bits(200, false);
    for (std::uint32_t length : lengths) {
        for (int i = 19; i >= 0; --i) bits.push_back((length >> i) & 1);
        for (std::uint32_t i = 0; i < length; ++i) bits.push_back(i % 3 == 0);
    }
    while (bits.size() % 32) bits.push_back(false);
    Bytes b(bits.size() / 8);
    for (std::size_t w = 0; w < bits.size() / 32; ++w)
        for (int i = 0; i < 32; ++i)
            if (bits[w * 32 + std::size_t(i)]) b[w * 4 + std::size_t(3 - i / 8)] |= std::uint8_t(0x80 >> (i % 8));
    const Bytes head = Sv7(std::uint32_t(lengths.size()), 0xA0, 0x40, 12);
    std::copy(head.begin(), head.end(), b.begin());
    return b;
}

TEST(MPEGplusFixedHeader, Version7FramesCutShortAreTold)
{
    const Bytes whole = Sv7Frames({7000, 20, 123, 4000, 2500});
    EXPECT_FALSE(EndOf(whole));
    EXPECT_FALSE(EndOf(Concat(Id3v2Tag(100), whole)));
    // The last frame ends in the last byte.
    const std::size_t lastFrameEnds = (200 + 5 * 20 + 7000 + 20 + 123 + 4000 + 2500 + 7) / 8;
    EXPECT_FALSE(EndOf(Bytes(whole.begin(), whole.begin() + long(lastFrameEnds))));
    const auto fourth = EndOf(Bytes(whole.begin(), whole.begin() + long(lastFrameEnds) - 1));
    ASSERT_TRUE(fourth);
    EXPECT_DOUBLE_EQ(*fourth, 4 * 1152 / 44100.0);
    const auto third = EndOf(Bytes(whole.begin(), whole.begin() + 1000));
    ASSERT_TRUE(third);
    EXPECT_DOUBLE_EQ(*third, 3 * 1152 / 44100.0);
    // Filler where the frames should be runs past the end at once.
    EXPECT_TRUE(EndOf(Sv7(1000, 0xA0, 0x40, 5000)));
}

TEST(MPEGplusCorpus, Version7FramesOfARealStream)
{
    const auto dir = tmtest::CorpusDir();
    ASSERT_FALSE(dir.empty());
    const Bytes click = tmtest::ReadBytes(dir / "click.mpc");
    EXPECT_FALSE(EndOf(click));
    const auto cut = EndOf(Bytes(click.begin(), click.begin() + 1200));
    ASSERT_TRUE(cut);
    EXPECT_DOUBLE_EQ(*cut, 1152 / 44100.0);
}

TEST(MPEGplusEncoded, AgreesWithMutagen)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto file = dir / "m.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(file, 1.3, {"--quality", "5"}, 44100, 2));
    const auto r = tmtest::Run({tmtest::SystemPython(), "-c",
                                "import sys, mutagen.musepack as m\n"
                                "i = m.Musepack(sys.argv[1]).info\n"
                                "print(i.version, i.sample_rate, i.channels, repr(i.length))",
                                tmtest::U8(file)});
    if (r.exitCode != 0) GTEST_SKIP() << "mutagen unavailable: " << r.err;
    int version = 0, rate = 0, channels = 0;
    double length = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "%d %d %d %lf", &version, &rate, &channels, &length), 4);
    TMPEGplus mpc;
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(mpc.StreamVersion(), version);
    EXPECT_EQ(int(mpc.SampleRate()), rate);
    EXPECT_EQ(channels, 2);
    EXPECT_NEAR(mpc.Duration(), length, 1e-9);
}

TEST(MPEGplusEncoded, TagsAroundTheStreamAreFilled)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto plain = dir / "p.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(plain, 0.5, {"--artist", "Ape Artist"}));
    // An ID3v2 tag in front and an ID3v1 tag behind, written as bytes.
    Bytes v1(128, 0);
    std::copy_n("TAGTitle One", 12, v1.begin());
    v1[127] = 8;
    const Bytes stream = tmtest::ReadBytes(plain);
    const Bytes all = Concat(Concat(Id3v2Tag(300), stream), v1);
    const auto file = dir / "t.mpc";
    tmtest::WriteBytes(file, all);
    TMPEGplus mpc;
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(file)));
    ASSERT_TRUE(mpc.Valid());
    EXPECT_TRUE(mpc.ID3v2().Present());
    EXPECT_TRUE(mpc.ID3v1().Present());
    EXPECT_EQ(mpc.ID3v1().Title(), "Title One");
    EXPECT_TRUE(mpc.APEtag().Present());
    EXPECT_EQ(mpc.APEtag().Artist(), "Ape Artist");
    const double seconds = mpc.Duration();
    const std::int64_t audio = std::int64_t(all.size()) - 300 - ApeSizeOf(stream) - 128;
    EXPECT_EQ(mpc.BitRate(), std::nearbyint(double(audio) * 8 / seconds / 1000));

    // A second load starts from scratch.
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(plain)));
    EXPECT_FALSE(mpc.ID3v2().Present());
    EXPECT_FALSE(mpc.ID3v1().Present());
}

namespace {

// Bytes this process has read through read calls so far (-1 when the kernel does not say).
long long BytesReadSoFar()
{
    std::ifstream in("/proc/self/io");
    std::string key;
    long long value = 0;
    while (in >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

}  // namespace

TEST(MPEGplusPacketStream, ReadsHeadersAndTagsNotTheAudio)
{
    if (BytesReadSoFar() < 0) GTEST_SKIP() << "no /proc/self/io";
    // 8 MB of audio between an ID3v2 tag in front and APE + ID3v1 tags behind.
    Bytes b = Concat(Id3v2Tag(2000), Sv8(Concat(Packet("SH", ShPayload(441000, 0, 2, true)),
                                                Packet("EI", {0xA0, 1, 17, 0}))));
    b.insert(b.end(), {'A', 'P', 0x84, 0x80, 0x80, 0x00});  // one audio packet of 8 MB
    b.resize(b.size() + 8 * 1024 * 1024 - 6, 0x77);
    const Bytes ape = {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X', 0xD0, 0x07, 0, 0, 32, 0, 0, 0,
                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    b = Concat(b, ape);
    Bytes v1(128, 0);
    std::copy_n("TAG", 3, v1.begin());
    b = Concat(b, v1);
    TempDir dir;
    tmtest::WriteBytes(dir / "big.mpc", b);

    const long long before = BytesReadSoFar();
    TMPEGplus mpc;
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "big.mpc")));
    const long long read = BytesReadSoFar() - before;
    EXPECT_TRUE(mpc.Valid());
    EXPECT_EQ(mpc.ProfileName(), "Standard");
    EXPECT_TRUE(mpc.ID3v2Tag().Present() && mpc.ApeTag().Present() && mpc.ID3v1Tag().Present());
    EXPECT_LT(read, 64 * 1024) << "bytes read for an 8 MB file";

    // Deciding whether a file is Musepack reads the stream header only, however large the
    // tag in front (a cover picture) is.
    tmtest::WriteBytes(dir / "cover.mpc", Concat(Id3v2Tag(4 * 1024 * 1024), Sv8(Packet("SH", ShPayload(441000, 0, 2, true)))));
    const long long start = BytesReadSoFar();
    TMPEGplus header;
    ASSERT_TRUE(header.LoadHeaderFromFile(tmtest::U8(dir / "cover.mpc")));
    EXPECT_TRUE(header.Valid());
    EXPECT_NEAR(header.Duration(), 10.0, 1e-9);
    EXPECT_LT(BytesReadSoFar() - start, 64 * 1024) << "bytes read past a 4 MB tag";
}

TEST(MPEGplusCorpus, KnownHeaders)
{
    const auto dir = tmtest::CorpusDir();
    ASSERT_FALSE(dir.empty());
    TMPEGplus mpc;
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "click.mpc")));
    EXPECT_TRUE(mpc.Valid());
    EXPECT_EQ(mpc.StreamVersion(), 7);
    EXPECT_EQ(mpc.SampleRate(), 44100u);

    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "sv4_header.mpc")));
    EXPECT_TRUE(mpc.Valid());
    EXPECT_EQ(mpc.StreamVersion(), 4);
    EXPECT_EQ(mpc.FrameCount(), 1010);
    EXPECT_NEAR(mpc.Duration(), 1010 * 1152 / 44100.0, 1e-9);

    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "sv5_header.mpc")));
    EXPECT_TRUE(mpc.Valid());
    EXPECT_EQ(mpc.StreamVersion(), 5);
    EXPECT_EQ(mpc.FrameCount(), 1010);

    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "sv8_header.mpc")));
    EXPECT_TRUE(mpc.Valid());
    EXPECT_EQ(mpc.StreamVersion(), 8);
    EXPECT_EQ(mpc.SampleCount(), 66014u);
    EXPECT_EQ(mpc.FrameCount(), 58);
    EXPECT_EQ(mpc.ChannelModeName(), "Joint Stereo");
    EXPECT_NEAR(mpc.Duration(), 66014 / 44100.0, 1e-12);
}

// Every file of a folder loads, and so does every cut through the headers of each
// Musepack file; the named ones hold no complete stream header.
void LoadsEveryFileAndPrefix(const std::filesystem::path &dir, const std::vector<std::string> &invalid)
{
    TempDir tmp;
    for (const auto &entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(tmtest::U8(entry.path().filename()));
        TMPEGplus mpc;
        mpc.LoadFromFile(tmtest::U8(entry.path()));
        (void)mpc.BitRate();
        (void)mpc.Duration();
        (void)mpc.ChannelModeName();
        (void)mpc.ProfileName();
        if (entry.path().extension() != ".mpc") continue;
        const Bytes bytes = tmtest::ReadBytes(entry.path());
        for (std::size_t n = 0; n <= std::min<std::size_t>(bytes.size(), 200); n += n < 64 ? 1 : 5) {
            tmtest::WriteBytes(tmp / "cut.mpc", Bytes(bytes.begin(), bytes.begin() + long(n)));
            TMPEGplus cut;
            TMemoryStream stream(bytes.data(), n);
            cut.LoadFromStream(stream);
            (void)cut.BitRate();
            (void)cut.Duration();
            cut.CheckStreamEnd(stream);
            if (cut.EndsEarlyAt()) {
                EXPECT_LE(*cut.EndsEarlyAt(), cut.Duration());
            }
        }
    }
    for (const std::string &name : invalid) {
        TMPEGplus mpc;
        mpc.LoadFromFile(tmtest::U8(dir / name));
        EXPECT_FALSE(mpc.Valid()) << name;
    }
}

TEST(MPEGplusCorpus, EveryFileAndEveryPrefixLoadsWithoutHarm)
{
    ASSERT_FALSE(tmtest::CorpusDir().empty());
    LoadsEveryFileAndPrefix(tmtest::CorpusDir(), {"infloop.mpc", "segfault.mpc", "segfault2.mpc"});
}

TEST(MPEGplusHostile, EveryFileAndEveryPrefixLoadsWithoutHarm)
{
    TempDir dir;
    tmtest::WriteHostileFiles(dir / "files");
    LoadsEveryFileAndPrefix(dir / "files", {"sv8-packet-size-zero.mpc", "sv8-packet-size-below-its-head.mpc",
                                            "sv8-packet-size-huge.mpc", "sv8-varint-never-ends.mpc",
                                            "sv8-endless-tiny-packets.mpc", "sv8-stream-header-cut.mpc",
                                            "mpc-six-bytes.mpc", "mpc-nineteen-bytes.mpc", "empty.mpc"});
}

TEST(MPEGplusHostile, KnownHeaders)
{
    TempDir dir;
    tmtest::WriteHostileFiles(dir / "files");
    for (const tmtest::KnownStream &known : tmtest::KnownStreams()) {
        SCOPED_TRACE(known.name);
        TMPEGplus mpc;
        ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "files" / known.name)));
        EXPECT_TRUE(mpc.Valid());
        EXPECT_EQ(mpc.StreamVersion(), known.streamVersion);
        EXPECT_EQ(mpc.FrameCount(), known.frameCount);
        EXPECT_EQ(mpc.ChannelModeName(), known.channelMode);
        if (known.streamVersion == 8) {
            EXPECT_EQ(mpc.SampleCount(), known.sampleCount);
            EXPECT_NEAR(mpc.Duration(), known.sampleCount / 44100.0, 1e-12);
        } else if (known.streamVersion == 7) {  // no gapless flag: less the decoder's delay
            EXPECT_NEAR(mpc.Duration(), (known.frameCount * 1152 - 481) / 44100.0, 1e-9);
        } else {
            EXPECT_NEAR(mpc.Duration(), known.frameCount * 1152 / 44100.0, 1e-9);
        }
    }
    // Sizes that lie are capped, and no sample rate means no duration, not a division by zero.
    TMPEGplus mpc;
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "files" / "sv7-frame-count-huge.mpc")));
    EXPECT_EQ(mpc.FrameCount(), std::numeric_limits<std::int32_t>::max());
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "files" / "sv8-zero-samples-no-rate.mpc")));
    EXPECT_TRUE(mpc.Valid());
    EXPECT_EQ(mpc.Duration(), 0.0);
    EXPECT_EQ(mpc.BitRate(), 0);
    ASSERT_TRUE(mpc.LoadFromFile(tmtest::U8(dir / "files" / "id3v2-size-past-end.mpc")));
    EXPECT_FALSE(mpc.Valid());
}

TEST(MPEGplusHostile, RandomBytesNeverCrash)
{
    std::mt19937 rng(1234);
    TempDir tmp;
    for (int i = 0; i < 300; ++i) {
        Bytes b(rng() % 300);
        for (auto &x : b) x = std::uint8_t(rng());
        // Give some of them a plausible start so the deeper paths run.
        if (i % 3 == 0 && b.size() >= 4) std::copy_n("MPCK", 4, b.begin());
        if (i % 3 == 1 && b.size() >= 4) std::copy_n("MP+\x07", 4, b.begin());
        tmtest::WriteBytes(tmp / "r.mpc", b);
        TMPEGplus mpc;
        mpc.LoadFromFile(tmtest::U8(tmp / "r.mpc"));
        (void)mpc.BitRate();
        (void)mpc.Duration();
    }
}
