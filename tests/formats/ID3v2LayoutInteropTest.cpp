// Tag layouts that taggers write and that once lost every field here: whole-tag and
// per-frame unsynchronisation, an extended header, 2.4 sizes written as plain numbers.
// Built byte by byte, then read field for field as mutagen reads them.
#include "formats/ID3v2.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace trackmill;
using tmtest::B;
using tmtest::Bytes;
using tmtest::Cat;

namespace {

constexpr const char *kMutagenFrames = R"PY(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1], translate=False)
for f in t.values():
    if f.FrameID == "APIC": print("APIC=%d" % len(f.data))
    elif f.FrameID == "COMM": print("COMM=" + "/".join(f.text))
    elif f.FrameID.startswith("T"): print(f.FrameID + "=" + "/".join(str(x) for x in f.text))
)PY";

Bytes Be32(std::uint32_t n) { return {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)}; }
Bytes Synchsafe(std::uint32_t n)
{
    return {std::uint8_t((n >> 21) & 0x7F), std::uint8_t((n >> 14) & 0x7F), std::uint8_t((n >> 7) & 0x7F),
            std::uint8_t(n & 0x7F)};
}

Bytes Frame(std::string_view id, const Bytes &data, const Bytes &size, std::uint16_t flags = 0)
{
    return Cat({B(id), size, {std::uint8_t(flags >> 8), std::uint8_t(flags)}, data});
}

// FF followed by a byte of E0 or more, or by 00, or ending the data, gets a 00 after it.
Bytes Unsynchronise(const Bytes &in)
{
    Bytes out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        out.push_back(in[i]);
        if (in[i] == 0xFF && (i + 1 == in.size() || in[i + 1] >= 0xE0 || in[i + 1] == 0)) out.push_back(0);
    }
    return out;
}

Bytes Tag(int version, std::uint8_t flags, const Bytes &body)
{
    return Cat({B("ID3"), {std::uint8_t(version), 0, flags}, Synchsafe(static_cast<std::uint32_t>(body.size())), body});
}

const Bytes kAudio = [] {
    Bytes a{0xFF, 0xFB, 0x90, 0x44};
    a.resize(2000, 0x11);
    return a;
}();

// Our frames in the lines the mutagen script prints.
std::set<std::string> OurLines(const TID3v2 &tag)
{
    std::set<std::string> lines;
    for (const TID3v2Frame &f : tag.Frames()) {
        if (f.id == "APIC") lines.insert("APIC=" + std::to_string(id3v2::ReadPicture(f)->bytes.size()));
        else if (f.id == "COMM") lines.insert("COMM=" + id3v2::ReadDescribed(f)->text);
        else if (f.IsText()) lines.insert(f.id + "=" + id3v2::Text(f));
    }
    return lines;
}

std::set<std::string> MutagenLines(const std::filesystem::path &file)
{
    const auto r = tmtest::Run({tmtest::SystemPython(), "-c", kMutagenFrames, tmtest::U8(file)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::set<std::string> lines;
    for (std::size_t at = 0; at < r.out.size();) {
        const std::size_t nl = r.out.find('\n', at);
        lines.insert(r.out.substr(at, nl - at));
        at = nl == std::string::npos ? r.out.size() : nl + 1;
    }
    return lines;
}

Bytes Picture(std::size_t n)
{
    Bytes data = Cat({{0}, B("image/jpeg"), {0, 3, 0}, {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0x00, 0xFF}});
    while (data.size() < n) data.push_back(static_cast<std::uint8_t>(data.size() * 37));
    return data;
}

}  // namespace

TEST(ID3v2Layouts, ReadAsMutagenReadsThem)
{
    tmtest::TempDir dir;
    const Bytes title = Cat({{0}, B("\xFF\xE0 Title \xFF")});
    const Bytes utf16Hi = {1, 0xFF, 0xFE, 'H', 0, 'i', 0};
    const Bytes artist = Cat({{0}, B("Artist")});
    const Bytes comment = Cat({{0}, B("eng"), {0}, B("Comment \xFF")});
    const Bytes picture = Picture(300);
    auto frames23 = [&](const Bytes &last) {
        return Cat({Frame("TIT2", title, Be32(title.size())), Frame("APIC", picture, Be32(picture.size())),
                    Frame("TPE1", artist, Be32(artist.size())), Frame("COMM", last, Be32(last.size()))});
    };

    struct Case {
        const char *name;
        Bytes tag;
        std::size_t frames;
    };
    const Bytes v24Unsync = Unsynchronise(utf16Hi);
    const Bytes v24Dli = Cat({Synchsafe(static_cast<std::uint32_t>(artist.size())), Unsynchronise(artist)});
    const Case cases[] = {
        // Whole tag unsynchronised, the data ending in FF.
        {"2.3 unsynchronised", Tag(3, 0x80, Unsynchronise(frames23(comment))), 4},
        // An extended header with a CRC, then padding.
        {"2.3 extended header",
         Tag(3, 0x40, Cat({Be32(10), {0x80, 0}, Be32(64), {1, 2, 3, 4}, frames23(comment), Bytes(64, 0)})), 4},
        // Per-frame unsynchronisation, once with a data length indicator too.
        {"2.4 frame unsynchronisation",
         Tag(4, 0, Cat({Frame("TIT2", v24Unsync, Synchsafe(v24Unsync.size()), 0x0002),
                        Frame("TPE1", v24Dli, Synchsafe(v24Dli.size()), 0x0003), Bytes(20, 0)})), 2},
        // The picture's size written as a plain number; the frames after it still read.
        {"2.4 plain size",
         Tag(4, 0, Cat({Frame("TIT2", title, Synchsafe(title.size())), Frame("APIC", picture, Be32(picture.size())),
                        Frame("TPE1", artist, Synchsafe(artist.size())), Bytes(30, 0)})), 3},
    };
    for (const Case &c : cases) {
        const auto file = dir / "t.mp3";
        tmtest::WriteBytes(file, Cat({c.tag, kAudio}));
        TID3v2 tag;
        ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
        EXPECT_EQ(tag.Frames().size(), c.frames) << c.name;
        EXPECT_EQ(OurLines(tag), MutagenLines(file)) << c.name;
    }
}

TEST(ID3v2Layouts, BothSizeReadingsOnFrameBoundariesTakeTheSevenBitOne)
{
    tmtest::TempDir dir;
    // Size bytes 00 00 01 00: 128 as 7 bits per byte, 256 as a plain number. A frame starts
    // at both places, so the standard reading wins.
    const Bytes title = Cat({{0}, Bytes(127, 't')});
    const Bytes artist = Cat({{0}, Bytes(117, 'a')});  // 10 + 118 bytes: ends at 256
    const Bytes album = Cat({{0}, B("Album")});
    const Bytes body = Cat({Frame("TIT2", title, {0, 0, 1, 0}), Frame("TPE1", artist, Synchsafe(artist.size())),
                            Frame("TALB", album, Synchsafe(album.size())), Bytes(16, 0)});
    tmtest::WriteBytes(dir / "t.mp3", Cat({Tag(4, 0, body), kAudio}));
    TID3v2 tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(dir / "t.mp3")));
    EXPECT_EQ(tag.Title(), std::string(127, 't'));
    EXPECT_EQ(tag.Artist(), std::string(117, 'a'));
    EXPECT_EQ(tag.Album(), "Album");
}

TEST(ID3v2Layouts, BrokenFramesKeepWhatCanBeRead)
{
    tmtest::TempDir dir;
    const Bytes artist = Cat({{0}, B("Artist")});
    const Bytes lying = Cat({{0}, B("image/png"), {0, 3, 0}, Bytes(10, 0x89)});
    const Bytes cases[] = {
        // A picture whose size runs past the tag: the frames before it stay.
        Tag(3, 0, Cat({Frame("TPE1", artist, Be32(artist.size())), Frame("APIC", lying, Be32(5000))})),
        // Unsynchronised data that ends in FF, nothing after it.
        Tag(3, 0x80, Cat({Frame("TPE1", artist, Be32(artist.size())), {0xFF}})),
        // An extended header claiming more than the tag: nothing read, no harm.
        Tag(3, 0x40, Cat({Be32(0x7FFFFFF0), Frame("TPE1", artist, Be32(artist.size()))})),
        Tag(4, 0x40, Cat({{0, 0, 0, 1}, Frame("TPE1", artist, Synchsafe(artist.size()))})),
        // A data length indicator longer than its frame.
        Tag(4, 0, Cat({Frame("TPE1", artist, Synchsafe(artist.size())), Frame("TALB", {0, 1}, Synchsafe(2), 0x0001)})),
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        tmtest::WriteBytes(dir / "t.mp3", Cat({cases[i], kAudio}));
        TID3v2 tag;
        ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(dir / "t.mp3")));
        EXPECT_TRUE(tag.Present());
        if (i < 2 || i == 4) {
            EXPECT_EQ(tag.Artist(), "Artist") << i;
        }
    }
}
