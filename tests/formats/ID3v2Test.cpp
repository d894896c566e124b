// Reading ID3v2 tags built byte by byte, so that each layout rule is pinned down
// independently of any tagger; robustness over broken files and damaged input.
#include "formats/ID3v2.h"

#include "support/HostileFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace trackmill;
using tmtest::Bytes;

namespace {

using tmtest::B;
using tmtest::Cat;

// A frame of the given version: 4-character id and 32-bit size (synchsafe in version 4),
// or 3-character id and 24-bit size in version 2.
Bytes Frame(std::string_view id, const Bytes &content, int version = 3)
{
    Bytes f = B(id);
    const auto n = static_cast<std::uint32_t>(content.size());
    if (version == 2) {
        f.insert(f.end(), {std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)});
    } else if (version == 4) {
        f.insert(f.end(), {std::uint8_t((n >> 21) & 0x7F), std::uint8_t((n >> 14) & 0x7F),
                           std::uint8_t((n >> 7) & 0x7F), std::uint8_t(n & 0x7F), 0, 0});
    } else {
        f.insert(f.end(), {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8),
                           std::uint8_t(n), 0, 0});
    }
    return Cat({f, content});
}

Bytes Tag(int version, const Bytes &body, std::size_t padding = 0, std::uint8_t flags = 0)
{
    const auto n = static_cast<std::uint32_t>(body.size() + padding);
    Bytes t = B("ID3");
    t.insert(t.end(), {std::uint8_t(version), 0, flags, std::uint8_t((n >> 21) & 0x7F),
                       std::uint8_t((n >> 14) & 0x7F), std::uint8_t((n >> 7) & 0x7F),
                       std::uint8_t(n & 0x7F)});
    t = Cat({t, body});
    t.resize(t.size() + padding, 0);
    return t;
}

// Rewriting a file by truncation makes ext4 flush it at once; a fresh file is much faster.
void Put(const std::filesystem::path &file, const Bytes &bytes)
{
    std::error_code ec;
    std::filesystem::remove(file, ec);
    tmtest::WriteBytes(file, bytes);
}

Bytes Latin1(std::string_view s) { return Cat({{0}, B(s)}); }
Bytes Utf8(std::string_view s) { return Cat({{3}, B(s)}); }
// Encoding 1 with the little-endian byte-order mark; text given as UTF-16 code units.
Bytes Utf16(std::u16string_view s, bool withBom = true, std::uint8_t enc = 1, bool bigEndian = false)
{
    Bytes b{enc};
    if (withBom) {
        const Bytes bom = bigEndian ? Bytes{0xFE, 0xFF} : Bytes{0xFF, 0xFE};
        b.insert(b.end(), bom.begin(), bom.end());
    }
    for (char16_t c : s) {
        if (bigEndian) b.insert(b.end(), {std::uint8_t(c >> 8), std::uint8_t(c)});
        else b.insert(b.end(), {std::uint8_t(c), std::uint8_t(c >> 8)});
    }
    return b;
}

const Bytes kAudio = [] {
    Bytes a{0xFF, 0xFB, 0x90, 0x44};
    std::mt19937 rng(7);
    while (a.size() < 3000) a.push_back(static_cast<std::uint8_t>(rng()));
    return a;
}();

class ID3v2Read : public ::testing::Test {
protected:
    TID3v2 Load(const Bytes &fileBytes, bool expectReadable = true)
    {
        Put(file(), fileBytes);
        TID3v2 tag;
        EXPECT_EQ(tag.LoadFromFile(tmtest::U8(file())), expectReadable);
        return tag;
    }
    TID3v2 LoadTag(int version, const Bytes &frames) { return Load(Cat({Tag(version, frames, 64), kAudio})); }
    std::filesystem::path file() const { return dir_ / "t.mp3"; }

    tmtest::TempDir dir_;
};

TEST_F(ID3v2Read, TitleInEveryEncoding)
{
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Latin1("Song"))).Title(), "Song");
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Latin1("Caf\xE9"))).Title(), "Caf\xC3\xA9");
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Utf16(u"Song"))).Title(), "Song");
    // Big-endian mark, no mark (little-endian assumed), encoding 2 without mark.
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Utf16(u"Song", true, 1, true))).Title(), "Song");
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Utf16(u"Song", false))).Title(), "Song");
    EXPECT_EQ(LoadTag(4, Frame("TIT2", Utf16(u"\u0416\u4EFF", false, 2, true), 4)).Title(),
              "\xD0\x96\xE4\xBB\xBF");
    EXPECT_EQ(LoadTag(4, Frame("TIT2", Utf8("\xD0\x96 \xF0\x9F\x8E\xB5"), 4)).Title(),
              "\xD0\x96 \xF0\x9F\x8E\xB5");
    // Characters whose low byte is FF (here U+00FF and U+4EFF) and a surrogate pair survive.
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Utf16(u"\u00FF\u4EFF\U0001F3B5"))).Title(),
              "\xC3\xBF\xE4\xBB\xBF\xF0\x9F\x8E\xB5");
    // Blanks and control characters around the text go; a zero unit separates two values,
    // which mutagen reads too, and they are joined with "/".
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Latin1("\t  Song \r\n"))).Title(), "Song");
    EXPECT_EQ(LoadTag(3, Frame("TIT2", Utf16(std::u16string(u" Song\0rest", 10)))).Title(), "Song/rest");
}

TEST_F(ID3v2Read, UnknownEncodingIgnoredAndSecondChoicesFillIn)
{
    auto t = LoadTag(3, Cat({Frame("TIT2", Cat({{4}, B("Bad")})), Frame("TIT1", Latin1("Group")),
                             Frame("TOPE", Latin1("Orig")), Frame("TOAL", Latin1("OrigAlb")),
                             Frame("TALB", Latin1(""))}));
    EXPECT_EQ(t.Title(), "Group");
    EXPECT_EQ(t.Artist(), "Orig");
    EXPECT_EQ(t.Album(), "OrigAlb");
    // First choices win when they are there.
    t = LoadTag(3, Cat({Frame("TIT1", Latin1("Group")), Frame("TIT2", Latin1("Title"))}));
    EXPECT_EQ(t.Title(), "Title");
}

TEST_F(ID3v2Read, YearGenreTrackRules)
{
    auto t = LoadTag(4, Cat({Frame("TYER", Latin1(""), 4), Frame("TDRC", Latin1("2003-05-01"), 4)}));
    EXPECT_EQ(t.Year(), "2003");
    EXPECT_EQ(LoadTag(3, Cat({Frame("TYER", Latin1("1999")), Frame("TDRC", Latin1("2003"))})).Year(), "1999");

    // A reference to the ID3v1 list gives its name unless a name follows it; a reference
    // outside the list gives nothing; "((" begins a name that starts with "(".
    const std::pair<const char *, const char *> genres[] = {
        {"(17)Rock", "Rock"}, {"(17)", "Rock"},     {"Rock", "Rock"},           {"(1)(2)Pop", "Pop"},
        {"(13)Pop", "Pop"},   {"13", "Pop"},        {"(200)", ""},              {"(200)Foo", "Foo"},
        {"(17)(13)", "Rock/Pop"}, {"(RX)", "Remix"}, {"((13)", "(13)"},        {"Rock (live)", "Rock (live)"},
        {"200", ""},          {"(13", "(13"},       {"()Pop", "()Pop"}};
    for (const int version : {3, 4})
        for (const auto &[text, expected] : genres)
            EXPECT_EQ(LoadTag(version, Frame("TCON", Latin1(text), version)).Genre(), expected)
                << text << " in 2." << version;
    // Version 2.4 lists its values apart.
    EXPECT_EQ(LoadTag(4, Frame("TCON", Latin1(std::string("13\0", 3)), 4)).Genre(), "Pop");
    EXPECT_EQ(LoadTag(4, Frame("TCON", Latin1(std::string("17\0Jazz", 7)), 4)).Genre(), "Jazz");

    const std::pair<const char *, int> tracks[] = {
        {"4/12", 4}, {"70000", 4464}, {"7", 7}, {"+3", 3}, {"$1F", 31}, {"-1", 65535},
        {"x", 0}, {"4 /12", 0}, {"", 0}, {"99999999999", 0}, {"/5", 0}};
    for (const auto &[text, expected] : tracks)
        EXPECT_EQ(LoadTag(3, Frame("TRCK", Latin1(text))).Track(), expected) << text;
}

TEST_F(ID3v2Read, CommentAndUrlSkipTheirDescriptions)
{
    EXPECT_EQ(LoadTag(3, Frame("COMM", Cat({{0}, B("eng"), {0}, B("Nice")}))).Comment(), "Nice");
    EXPECT_EQ(LoadTag(3, Frame("COMM", Cat({{0}, B("eng"), B("desc"), {0}, B("Nice")}))).Comment(), "Nice");
    // UTF-16 description ending in an ASCII letter: the terminator is found on a unit boundary.
    Bytes comm = Utf16(u"A");
    comm.insert(comm.begin() + 1, {'e', 'n', 'g'});
    comm.insert(comm.end(), {0, 0, 0xFF, 0xFE, 'N', 0, 0xEF, 0, 0x16, 0x04});
    EXPECT_EQ(LoadTag(3, Frame("COMM", comm)).Comment(), "N\xC3\xAF\xD0\x96");
    EXPECT_EQ(LoadTag(4, Frame("COMM", Cat({{3}, B("eng"), B("d"), {0}, B("\xE2\x82\xAC")}), 4)).Comment(),
              "\xE2\x82\xAC");
    // The last of several comments wins.
    EXPECT_EQ(LoadTag(3, Cat({Frame("COMM", Cat({{0}, B("eng"), {0}, B("One")})),
                              Frame("COMM", Cat({{0}, B("eng"), {0}, B("Two")}))}))
                  .Comment(),
              "Two");

    EXPECT_EQ(LoadTag(3, Frame("WXXX", Cat({{0}, B("home"), {0}, B("http://a.b/c")}))).URL(), "http://a.b/c");
    // In a UTF-16 frame the address itself stays Latin-1.
    EXPECT_EQ(LoadTag(3, Frame("WXXX", Cat({{1, 0xFF, 0xFE, 'd', 0, 0, 0}, B("http://x")}))).URL(), "http://x");
}

TEST_F(ID3v2Read, OtherTextFields)
{
    const auto t = LoadTag(3, Cat({Frame("TCOM", Latin1("Comp")), Frame("TENC", Latin1("Enc")),
                                   Frame("TCOP", Latin1("(c) 2001")), Frame("TLAN", Latin1("eng")),
                                   Frame("TPE1", Latin1("Art")), Frame("TALB", Latin1("Alb"))}));
    EXPECT_EQ(t.Composer(), "Comp");
    EXPECT_EQ(t.Encoder(), "Enc");
    EXPECT_EQ(t.Copyright(), "(c) 2001");
    EXPECT_EQ(t.Language(), "eng");
    EXPECT_EQ(t.Artist(), "Art");
    EXPECT_EQ(t.Album(), "Alb");
    EXPECT_TRUE(t.Present());
    EXPECT_EQ(t.TagVersion(), 3);
}

TEST_F(ID3v2Read, Version2UsesThreeCharacterFrames)
{
    const auto t = LoadTag(2, Cat({Frame("TT2", Latin1("Title"), 2), Frame("TP1", Utf16(u"Art\u0416"), 2),
                                   Frame("TRK", Latin1("5/9"), 2), Frame("COM", Cat({{0}, B("eng"), {0}, B("C")}), 2),
                                   Frame("TOR", Latin1("1987"), 2), Frame("TCO", Latin1("(8)Jazz"), 2)}));
    EXPECT_EQ(t.TagVersion(), 2);
    EXPECT_EQ(t.Title(), "Title");
    EXPECT_EQ(t.Artist(), "Art\xD0\x96");
    EXPECT_EQ(t.Track(), 5);
    EXPECT_EQ(t.Comment(), "C");
    EXPECT_EQ(t.Year(), "1987");
    EXPECT_EQ(t.Genre(), "Jazz");
    // A version 3 identifier means nothing in version 2.
    EXPECT_EQ(LoadTag(2, Frame("TIT2", Latin1("x"), 2)).Title(), "");
}

TEST_F(ID3v2Read, Version4FrameSizesAreSynchsafe)
{
    // 200 bytes: synchsafe 00 00 01 48; read as a plain number it would be 328 and swallow TPE1.
    const std::string longTitle(199, 'x');
    const auto t = LoadTag(4, Cat({Frame("TIT2", Latin1(longTitle), 4), Frame("TPE1", Latin1("Art"), 4)}));
    EXPECT_EQ(t.Title(), longTitle);
    EXPECT_EQ(t.Artist(), "Art");
    // Version 3 reads the same bytes as a plain number.
    const auto t3 = LoadTag(3, Cat({Frame("TIT2", Latin1(longTitle)), Frame("TPE1", Latin1("Art"))}));
    EXPECT_EQ(t3.Artist(), "Art");
}

TEST_F(ID3v2Read, TextsAreKeptWholeUpTo64KiB)
{
    const std::string text(700, 'a');
    auto t = LoadTag(3, Cat({Frame("TIT2", Latin1(text)), Frame("TPE1", Latin1("After"))}));
    EXPECT_EQ(t.Title(), text);
    EXPECT_EQ(t.Artist(), "After");
    // Beyond 64 KiB a text is cut, never into broken UTF-8, and the next frame still reads.
    t = LoadTag(3, Cat({Frame("TIT2", Utf8(std::string(65534, 'a') + "\xE2\x82\xAC")),
                        Frame("TPE1", Latin1("After"))}));
    EXPECT_EQ(t.Title().substr(0, 65534), std::string(65534, 'a'));
    EXPECT_EQ(t.Title().size(), 65534 + 3u);  // U+FFFD for the lone lead byte
    EXPECT_EQ(t.Artist(), "After");
}

TEST_F(ID3v2Read, HeaderSizeAndPresence)
{
    // Size field 100, plus 10 for the footer flag.
    Bytes tag = Tag(4, Frame("TIT2", Latin1("A"), 4), 80, 0x10);
    auto t = Load(Cat({tag, kAudio}));
    EXPECT_EQ(t.TagSize(), static_cast<int>(tag.size()) + 10);
    EXPECT_EQ(t.Title(), "A");

    // Top bits of the size bytes are not masked: 0x80 in the last byte adds 128.
    tag = Tag(3, Frame("TIT2", Latin1("A")), 50);
    tag[9] |= 0x80;
    EXPECT_EQ(Load(Cat({tag, kAudio})).TagSize(), 10 + 128 + 62);

    // Longer than the file: present, size 0, no fields.
    tag = Tag(3, Frame("TIT2", Latin1("A")), 50000);
    tag.resize(200);
    t = Load(tag);
    EXPECT_TRUE(t.Present());
    EXPECT_EQ(t.TagSize(), 0);
    EXPECT_EQ(t.Title(), "");

    // An extended header is stepped over.
    t = Load(Cat({Tag(3, Cat({{0, 0, 0, 6, 0, 0, 0, 0, 0, 0}, Frame("TIT2", Latin1("A"))}), 20, 0x40), kAudio}));
    EXPECT_TRUE(t.Present());
    EXPECT_EQ(t.Title(), "A");

    // Unknown major version: present, size known, frames not read.
    t = Load(Cat({Tag(5, Frame("TIT2", Latin1("A")), 20), kAudio}));
    EXPECT_TRUE(t.Present());
    EXPECT_EQ(t.TagVersion(), 5);
    EXPECT_EQ(t.TagSize(), 10 + 12 + 20);
    EXPECT_EQ(t.Title(), "");

    // No tag; short and missing files.
    t = Load(kAudio);
    EXPECT_FALSE(t.Present());
    EXPECT_EQ(t.TagSize(), 0);
    EXPECT_FALSE(Load(B("ID3\x03\x00\x00\x00"), false).Present());
    TID3v2 missing;
    EXPECT_FALSE(missing.LoadFromFile(tmtest::U8(dir_ / "nope.mp3")));
    EXPECT_FALSE(missing.LoadFromFile(tmtest::U8(dir_.path())));
}

// A 2.4 tag with a footer: the size field counts neither the header nor the footer.
Bytes FooterTag(const Bytes &frames)
{
    Bytes tag = Tag(4, frames, 0, 0x10);
    Bytes footer(tag.begin(), tag.begin() + 10);
    std::copy_n("3DI", 3, footer.begin());
    return Cat({tag, footer});
}

const Bytes kDamagedName = Frame(std::string_view("TX\0X", 4), Latin1("junk"));

TEST_F(ID3v2Read, ADamagedFrameNameLosesThatFrameOnly)
{
    auto t = LoadTag(3, Cat({Frame("TIT2", Latin1("Song")), kDamagedName, Frame("TPE1", Latin1("Art"))}));
    EXPECT_EQ(t.Frames().size(), 2u);
    t = LoadTag(4, Cat({Frame(std::string_view("T\xC4LB", 4), Latin1("x"), 4), Frame("TPE1", Latin1("Art"), 4)}));
    EXPECT_EQ(t.Artist(), "Art");
    t = LoadTag(2, Cat({Frame(std::string_view("T\0X", 3), Latin1("x"), 2), Frame("TP1", Latin1("Art"), 2)}));
    EXPECT_EQ(t.Artist(), "Art");
    // A name that does not begin with a capital letter still ends the frames.
    EXPECT_EQ(LoadTag(3, Cat({Frame("xIT2", Latin1("x")), Frame("TPE1", Latin1("Art"))})).Artist(), "");
}

TEST_F(ID3v2Read, SizeBytesWithTheTopBitSetAreTakenWholeByTheFramesToo)
{
    // 00 00 00 80: 128 bytes of frames; masked it would be none.
    Bytes tag = Tag(2, Cat({Frame("TT2", Latin1("Title"), 2), Frame("TP1", Latin1("Art"), 2)}));
    tag.resize(10 + 128, 0);
    tag[9] = 0x80;
    const auto t = Load(Cat({tag, Frame("TAL", Latin1("past the tag"), 2), kAudio}));
    EXPECT_EQ(t.TagSize(), 138);
    EXPECT_EQ(t.Title(), "Title");
    EXPECT_EQ(t.Artist(), "Art");
    EXPECT_EQ(t.Album(), "");
}

// Where mutagen reads a hand-made tag, it reads what we read: a footer takes no frame
// away, a damaged name only its own, a genre reference gives the list's name.
TEST_F(ID3v2Read, HandMadeTagsAsMutagenReadsThem)
{
    const Bytes footer = FooterTag(Cat({Frame("TIT2", Latin1("Song"), 4), Frame("TPE1", Latin1("Artist"), 4)}));
    EXPECT_EQ(Load(Cat({footer, kAudio})).TagSize(), static_cast<int>(footer.size()));
    std::vector<Bytes> tags{
        footer,
        Tag(3, Cat({Frame("TIT2", Latin1("Song")), kDamagedName, Frame("TPE1", Latin1("Art"))}))};
    for (const int version : {3, 4})
        for (const char *genre : {"(13)", "(13)Pop", "13", "(17)(13)", "Rock (live)", "(RX)", "()Pop"})
            tags.push_back(Tag(version, Frame("TCON", Latin1(genre), version)));
    std::vector<std::string> args{tmtest::SystemPython(), "-c", R"PY(
import sys, mutagen.id3 as id3
for path in sys.argv[1:]:
    t = id3.ID3(path)
    g = lambda k: str(t[k].text[0]) if k in t else ""
    print("%s|%s|%s" % (g("TIT2"), g("TPE1"), "/".join(t["TCON"].genres) if "TCON" in t else ""))
)PY"};
    std::string ours;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const auto path = dir_ / ("m" + std::to_string(i) + ".mp3");
        Put(path, Cat({tags[i], kAudio}));
        TID3v2 t;
        ASSERT_TRUE(t.LoadFromFile(tmtest::U8(path)));
        ours += t.Title() + "|" + t.Artist() + "|" + t.Genre() + "\n";
        args.push_back(tmtest::U8(path));
    }
    const auto r = tmtest::Run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ours, r.out);
}

TEST_F(ID3v2Read, WhatTheCapsLeaveOutIsSaid)
{
    // A picture of 16 MiB + 2 bytes, a text of 100 KiB, and 65,540 frames besides.
    Bytes picture = Cat({{0}, B("image/jpeg"), {0, 3, 0}});
    picture.resize(16 * 1024 * 1024 + 2, 0xD8);
    Bytes frames = Cat({Frame("APIC", picture), Frame("TIT3", Latin1(std::string(100 * 1024, 's')))});
    const Bytes small = Frame("TIT2", Latin1("t"));
    frames.reserve(frames.size() + 65540 * small.size());
    for (int i = 0; i < 65540; ++i) frames.insert(frames.end(), small.begin(), small.end());
    const auto t = LoadTag(3, frames);
    EXPECT_EQ(t.Omitted(), (std::vector<std::string>{
                               "the cover picture of 16.0 MiB exceeds the 16 MiB limit and was not carried",
                               "the ID3v2 frame TIT3 of 100.0 KiB exceeds the 64 KiB limit for a text; its first "
                               "64 KiB were carried",
                               "5 ID3v2 frames beyond the limit of 65,536 were not carried"}));
    EXPECT_TRUE(LoadTag(3, Frame("TIT2", Latin1("t"))).Omitted().empty());
}

TEST_F(ID3v2Read, FrameWalkStopsAtPaddingAndAtBadSizes)
{
    // A frame after the padding's first zero byte is not reached.
    Bytes body = Cat({Frame("TIT2", Latin1("A")), Bytes(5, 0), Frame("TPE1", Latin1("B"))});
    auto t = LoadTag(3, body);
    EXPECT_EQ(t.Title(), "A");
    EXPECT_EQ(t.Artist(), "");

    // A size negative as a signed number ends the walk, keeping what was read.
    Bytes bad = Frame("TPE1", Latin1("B"));
    bad[4] = 0x80;
    t = LoadTag(3, Cat({Frame("TIT2", Latin1("A")), bad}));
    EXPECT_EQ(t.Title(), "A");
    EXPECT_EQ(t.Artist(), "");

    // A frame running past the file's end leaves earlier slots filled.
    Bytes past = Frame("TPE1", Latin1("b"));
    past[5] = 0x10;  // 1 MiB and a bit
    t = Load(Tag(3, Cat({Frame("TIT2", Latin1("A")), past, Bytes(100, 'b')})));
    EXPECT_EQ(t.Title(), "A");
    EXPECT_EQ(t.Artist(), "");

    // A later frame replaces an earlier one; an empty frame is no frame, as for mutagen.
    EXPECT_EQ(LoadTag(3, Cat({Frame("TIT2", Latin1("A")), Frame("TIT2", Latin1("B"))})).Title(), "B");
    EXPECT_EQ(LoadTag(3, Cat({Frame("TIT2", Latin1("A")), Frame("TIT2", {})})).Title(), "A");
}

TEST_F(ID3v2Read, ClearAndReloadForgetOldFields)
{
    TID3v2 tag;
    tmtest::WriteBytes(file(), Cat({Tag(3, Frame("TIT2", Latin1("A")), 10), kAudio}));
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file())));
    EXPECT_EQ(tag.Title(), "A");
    tmtest::WriteBytes(file(), kAudio);
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file())));
    EXPECT_FALSE(tag.Present());
    EXPECT_EQ(tag.Title(), "");
    tag.SetTitle("  x\t");
    tag.SetTrack(3);
    EXPECT_EQ(tag.Title(), "x");
    tag.Clear();
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Track(), 0);
}

// Touching every property of a damaged file must stay inside valid memory and keep texts UTF-8.
void TouchAll(const TID3v2 &t)
{
    for (const std::string *s : {&t.Title(), &t.Artist(), &t.Album(), &t.Year(), &t.Genre(), &t.Comment(),
                                 &t.Composer(), &t.Encoder(), &t.Copyright(), &t.Language(), &t.URL()}) {
        EXPECT_LE(s->size(), 2000u);
    }
    EXPECT_GE(t.TagSize(), 0);
}

int LoadEveryFile(const std::filesystem::path &folder)
{
    int loaded = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(tmtest::U8(entry.path().filename()));
        TID3v2 tag;
        tag.LoadFromFile(tmtest::U8(entry.path()));
        TouchAll(tag);
        ++loaded;
    }
    return loaded;
}

TEST(ID3v2Robustness, EveryCorpusFileLoads)
{
    ASSERT_FALSE(tmtest::CorpusDir().empty());
    EXPECT_GT(LoadEveryFile(tmtest::CorpusDir()), 10);
}

TEST(ID3v2Robustness, EveryOwnHostileFileLoads)
{
    tmtest::TempDir dir;
    tmtest::WriteHostileFiles(dir / "files");
    EXPECT_GT(LoadEveryFile(dir / "files"), 10);
    // What the lying files still hold is read; what lies beyond their bytes is not.
    TID3v2 tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(dir / "files" / "sv8-after-id3v2.mpc")));
    EXPECT_TRUE(tag.Present());
    EXPECT_EQ(tag.Title(), "Own title");
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(dir / "files" / "id3v2-two-tags.mp3")));
    EXPECT_EQ(tag.Title(), "Own title");
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(dir / "files" / "id3v23-compressed-frame-lies.mp3")));
    EXPECT_EQ(tag.Artist(), "Plain");
}

TEST(ID3v2Robustness, TruncatedAndScrambledTagsLoad)
{
    tmtest::TempDir dir;
    const auto path = tmtest::U8(dir / "t.mp3");
    std::vector<Bytes> sources{
        Cat({Tag(3, Cat({Frame("TIT2", Utf16(u"Title\u0416")), Frame("COMM", Cat({{1}, B("eng"), {0xFF, 0xFE, 0, 0}})),
                         Frame("WXXX", Cat({{0}, B("d")})), Frame("TRCK", Latin1("1/2"))}), 30),
             kAudio}),
        Cat({Tag(2, Cat({Frame("TT2", Latin1("T"), 2), Frame("COM", Bytes{1, 'e'}, 2)})), kAudio}),
        Cat({Tag(4, Cat({Frame("TIT2", Utf8("\xF0\x9F\x8E"), 4), Frame("COMM", Bytes{3}, 4)}), 4, 0x10), kAudio})};
    for (const tmtest::HostileFile &file : tmtest::HostileFiles())
        if (file.name.starts_with("id3v2")) sources.push_back(file.bytes);
    std::mt19937 rng(1234);
    for (const Bytes &src : sources) {
        for (std::size_t len = 0; len <= std::min<std::size_t>(src.size(), 400); ++len) {
            Put(path, Bytes(src.begin(), src.begin() + static_cast<std::ptrdiff_t>(len)));
            TID3v2 tag;
            tag.LoadFromFile(path);
            TouchAll(tag);
        }
        for (int round = 0; round < 200 && src.size() > 10; ++round) {
            Bytes b = src;
            for (int k = 0; k < 8; ++k) b[10 + rng() % (std::min<std::size_t>(b.size(), 300) - 10)] = std::uint8_t(rng());
            Put(path, b);
            TID3v2 tag;
            tag.LoadFromFile(path);
            TouchAll(tag);
        }
    }
}

}  // namespace
