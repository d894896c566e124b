#include "formats/APEtag.h"
#include "formats/ID3v1.h"

#include "support/HostileFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <utility>

using namespace trackmill;
using tmtest::Bytes;
namespace fs = std::filesystem;

namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

void Put32(Bytes &b, std::int64_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
}

void PutText(Bytes &b, std::string_view s) { b.insert(b.end(), s.begin(), s.end()); }

struct ApeOptions {
    int version = 2000;
    bool header = false;
    std::int64_t countOverride = -1;     // item count written in the footer
    std::int64_t sizeOverride = INT64_MIN;  // tag size written in the footer
};

// An APE tag built byte by byte: [header] items footer.
Bytes ApeTag(const Items &items, const ApeOptions &o = {})
{
    Bytes body;
    for (const auto &[key, value] : items) {
        Put32(body, static_cast<std::int64_t>(value.size()));
        Put32(body, 0);
        PutText(body, key);
        body.push_back(0);
        PutText(body, value);
    }
    const std::int64_t size = o.sizeOverride != INT64_MIN ? o.sizeOverride
                                                          : static_cast<std::int64_t>(body.size()) + 32;
    const std::int64_t count = o.countOverride >= 0 ? o.countOverride : static_cast<std::int64_t>(items.size());
    auto frame = [&](bool isHeader) {
        Bytes f;
        PutText(f, "APETAGEX");
        Put32(f, o.version);
        Put32(f, size);
        Put32(f, count);
        Put32(f, isHeader ? 0xA0000000 : 0x80000000);
        f.resize(32, 0);
        return f;
    };
    Bytes out = o.header ? frame(true) : Bytes{};
    out.insert(out.end(), body.begin(), body.end());
    const Bytes footer = frame(false);
    out.insert(out.end(), footer.begin(), footer.end());
    return out;
}

Bytes Audio(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

Bytes Concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Loaded {
    bool ok;
    TAPEtag tag;
};

Loaded LoadBytes(const tmtest::TempDir &dir, const Bytes &bytes)
{
    const auto file = dir / "t.mpc";
    tmtest::WriteBytes(file, bytes);
    Loaded l{};
    l.ok = l.tag.LoadFromFile(tmtest::U8(file));
    return l;
}

bool MutagenAvailable()
{
    return tmtest::Run({tmtest::SystemPython(), "-c", "import mutagen.apev2"}).exitCode == 0;
}

const std::string kNote = "\xF0\x9F\x8E\xB5";          // U+1F3B5, four bytes
const std::string kKanji = "\xE6\x97\xA5\xE6\x9C\xAC";  // two three-byte characters

}  // namespace

TEST(APEtagInterop, ReadsEveryFieldThatMpcencWrote)
{
    TM_REQUIRE_TOOL("mpcenc");
    tmtest::TempDir dir;
    const auto file = dir / "tagged.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(file, 0.5,
                                {"--title", "Ti\xC3\xA9tle " + kNote, "--artist", kKanji + " Artist",
                                 "--album", "\xD0\x90\xD0\xBB\xD1\x8C\xD0\xB1\xD0\xBE\xD0\xBC",
                                 "--track", "4/12", "--year", "1999", "--genre", "Trip-Hop",
                                 "--comment", "Euro \xE2\x82\xAC", "--tag", "Copyright=(c) Me"}));
    TAPEtag tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    ASSERT_TRUE(tag.Present());
    EXPECT_EQ(tag.TagVersion(), 2000);
    EXPECT_GT(tag.TagSize(), 32);
    EXPECT_EQ(tag.Title(), "Ti\xC3\xA9tle " + kNote);
    EXPECT_EQ(tag.Artist(), kKanji + " Artist");
    EXPECT_EQ(tag.Album(), "\xD0\x90\xD0\xBB\xD1\x8C\xD0\xB1\xD0\xBE\xD0\xBC");
    EXPECT_EQ(tag.Track(), 4);
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_EQ(tag.Genre(), "Trip-Hop");
    EXPECT_EQ(tag.Comment(), "Euro \xE2\x82\xAC");
    EXPECT_EQ(tag.Copyright(), "(c) Me");

    // The same tag with an ID3v1 tag after it is still found.
    const auto size = fs::file_size(file);
    TID3v1 v1;
    v1.SetTitle("v1");
    ASSERT_TRUE(v1.WriteToFile(tmtest::U8(file)));
    ASSERT_EQ(fs::file_size(file), size + 128);
    TAPEtag again;
    ASSERT_TRUE(again.LoadFromFile(tmtest::U8(file)));
    EXPECT_TRUE(again.Present());
    EXPECT_EQ(again.Title(), tag.Title());
    EXPECT_EQ(again.Copyright(), "(c) Me");

    // An untagged Musepack file reads as no tag.
    const auto plain = dir / "plain.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(plain, 0.3));
    ASSERT_TRUE(again.LoadFromFile(tmtest::U8(plain)));
    EXPECT_FALSE(again.Present());
    EXPECT_EQ(again.Title(), "");
}

TEST(APEtagInterop, ReadsMutagenTagsWithHeaderAndAnyKeyCase)
{
    if (!MutagenAvailable()) GTEST_SKIP() << "python3-mutagen not installed";
    tmtest::TempDir dir;
    const auto file = dir / "m.mpc";
    tmtest::WriteBytes(file, Audio(4000));
    const std::string script =
        "import sys\n"
        "from mutagen.apev2 import APEv2\n"
        "t = APEv2()\n"
        "a = sys.argv[2:]\n"
        "for k, v in zip(a[0::2], a[1::2]): t[k] = v\n"
        "t.save(sys.argv[1])\n";
    const std::string longValue = std::string(260, 'L');
    const auto r = tmtest::Run({tmtest::SystemPython(), "-c", script, tmtest::U8(file),
                                "TITLE", "Gr\xC3\xBC\xC3\x9F" "e " + kNote + kNote, "artist",
                                kKanji, "ALBUM", longValue, "Track", "07", "year", "2020-01-02",
                                "GeNrE", "  Rock  ", "Comment", "multi\nline", "Tracknumber", "9"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    TAPEtag tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    ASSERT_TRUE(tag.Present());
    EXPECT_EQ(tag.TagVersion(), 2000);
    EXPECT_EQ(tag.Title(), "Gr\xC3\xBC\xC3\x9F" "e " + kNote + kNote);
    EXPECT_EQ(tag.Artist(), kKanji);
    EXPECT_EQ(tag.Album(), longValue);
    EXPECT_EQ(tag.Track(), 7);  // "Tracknumber" fills nothing
    EXPECT_EQ(tag.Year(), "2020-01-02");
    EXPECT_EQ(tag.Genre(), "Rock");
    EXPECT_EQ(tag.Comment(), "multi\nline");
    // The footer's size excludes the header mutagen wrote in front of the items.
    const auto bytes = tmtest::ReadBytes(file);
    EXPECT_EQ(static_cast<std::size_t>(tag.TagSize()) + 32, bytes.size() - 4000);
}

TEST(APEtagRead, Version1IsLatin1AndVersion2IsUtf8)
{
    tmtest::TempDir dir;
    const Items items{{"Artist", "\xC3\xA9"}, {"Title", "caf\xE9"}};
    ApeOptions v1;
    v1.version = 1000;
    auto l = LoadBytes(dir, Concat(Audio(300), ApeTag(items, v1)));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.tag.TagVersion(), 1000);
    EXPECT_EQ(l.tag.Artist(), "\xC3\x83\xC2\xA9");  // two Latin-1 characters
    EXPECT_EQ(l.tag.Title(), "caf\xC3\xA9");

    l = LoadBytes(dir, Concat(Audio(300), ApeTag(items)));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.tag.Artist(), "\xC3\xA9");  // one character
    EXPECT_EQ(l.tag.Title(), "caf\xEF\xBF\xBD");  // a broken sequence becomes U+FFFD
}

TEST(APEtagRead, InvalidUtf8IsReplacedAndLongValuesStayWholeUpTo64KiB)
{
    tmtest::TempDir dir;
    const std::string longValue = std::string(249, 'a') + kNote + "tail";
    const std::string fffd = "\xEF\xBF\xBD";
    // 65,535 ASCII bytes then a 4-byte character: the 64 KiB cut never splits it.
    const std::string hugeValue = std::string(65535, 'h') + kNote;
    const Items items{{"Title", "ok " + kNote + "\xFF" "after"},
                      {"Artist", "x\xED\xA0\x80y"},  // an encoded surrogate is not valid
                      {"Album", longValue},
                      {"Comment", hugeValue},
                      {"Genre", "after the huge one"}};
    auto l = LoadBytes(dir, Concat(Audio(100), ApeTag(items)));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.tag.Title(), "ok " + kNote + fffd + "after");
    EXPECT_EQ(l.tag.Artist(), "x" + fffd + fffd + fffd + "y");
    EXPECT_EQ(l.tag.Album(), longValue);
    EXPECT_EQ(l.tag.Comment(), std::string(65535, 'h'));
    EXPECT_EQ(l.tag.Genre(), "after the huge one");
}

TEST(APEtagRead, PlacementHeaderAndId3v1Shift)
{
    tmtest::TempDir dir;
    const Items items{{"Title", "Here"}};
    Bytes id3v1(128, 0);
    std::memcpy(id3v1.data(), "TAG", 3);

    ApeOptions withHeader;
    withHeader.header = true;
    for (const Bytes &file : {Concat(Audio(500), ApeTag(items)), Concat(Audio(500), ApeTag(items, withHeader)),
                              Concat(Concat(Audio(500), ApeTag(items)), id3v1),
                              Concat(Concat(Audio(500), ApeTag(items, withHeader)), id3v1)}) {
        auto l = LoadBytes(dir, file);
        ASSERT_TRUE(l.ok);
        EXPECT_TRUE(l.tag.Present());
        EXPECT_EQ(l.tag.Title(), "Here");
        EXPECT_EQ(l.tag.TagSize(), 32 + 8 + 6 + 4);
    }

    // Anything else after the footer hides it: 10 bytes, or 128 bytes that are not "TAG".
    Bytes notTag(128, 'x');
    for (const Bytes &file : {Concat(Concat(Audio(500), ApeTag(items)), Bytes(10, 0)),
                              Concat(Concat(Audio(500), ApeTag(items)), notTag)}) {
        auto l = LoadBytes(dir, file);
        ASSERT_TRUE(l.ok);
        EXPECT_FALSE(l.tag.Present());
        EXPECT_EQ(l.tag.Title(), "");
    }

    // Files shorter than 128 bytes cannot be read, even holding a whole tag.
    auto small = LoadBytes(dir, ApeTag(items));
    EXPECT_LT(ApeTag(items).size(), 128u);
    EXPECT_FALSE(small.ok);
    EXPECT_FALSE(small.tag.Present());
    EXPECT_FALSE(LoadBytes(dir, Audio(100)).ok);
    TAPEtag t;
    EXPECT_FALSE(t.LoadFromFile(tmtest::U8(dir / "missing")));
    EXPECT_FALSE(t.LoadFromFile(tmtest::U8(dir.path())));
    // An ID3v1 tag with no room for a footer in front of it.
    EXPECT_FALSE(LoadBytes(dir, Concat(Audio(10), id3v1)).ok);
}

// An APE tag whose header begins 131 bytes from the end puts the "TAG" of its "APETAGEX"
// where an ID3v1 tag would start; a footer fills the last 32 bytes whenever no ID3v1 tag
// follows. At every size the APE tag reads whole and no ID3v1 tag is found in it.
TEST(APEtagRead, EveryTagSizeReadsWholeAndHidesNoId3v1Tag)
{
    tmtest::TempDir dir;
    Bytes v1(128, 0);
    std::memcpy(v1.data(), "TAGReal title", 13);
    for (std::size_t size = 100; size <= 200; ++size) {
        SCOPED_TRACE(size);
        // Header and footer (64) and one item: 8 bytes of sizes, "Title" and its zero.
        const std::string title(size - 64 - 14, 't');
        const Bytes tag = ApeTag({{"Title", title}}, {.header = true});
        ASSERT_EQ(tag.size(), size);
        for (const bool withV1 : {false, true}) {
            const auto file = dir / "t.mpc";
            tmtest::WriteBytes(file, withV1 ? Concat(Concat(Audio(1000), tag), v1) : Concat(Audio(1000), tag));
            TAPEtag ape;
            TID3v1 id3v1;
            ASSERT_TRUE(ape.LoadFromFile(tmtest::U8(file)));
            ASSERT_TRUE(id3v1.LoadFromFile(tmtest::U8(file)));
            EXPECT_TRUE(ape.Present());
            EXPECT_EQ(ape.Title(), title);
            EXPECT_EQ(id3v1.Present(), withV1);
            EXPECT_EQ(id3v1.Title(), withV1 ? "Real title" : "");
        }
    }
    // An APE header whose "TAG" stands where an ID3v1 tag's would, with no footer after it.
    Bytes headerOnly = Concat(Audio(1000), Bytes{'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'});
    headerOnly.resize(headerOnly.size() + 123, 'x');
    tmtest::WriteBytes(dir / "h.mpc", headerOnly);
    TID3v1 none;
    ASSERT_TRUE(none.LoadFromFile(tmtest::U8(dir / "h.mpc")));
    EXPECT_FALSE(none.Present());
    // What mpcenc writes for four short items: a tag of 131 bytes.
    TM_REQUIRE_TOOL("mpcenc");
    const auto file = dir / "mpcenc.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(file, 0.1, {"--artist", "Band", "--album", "A1", "--track", "1", "--title", "One"}));
    TAPEtag ape;
    TID3v1 id3v1;
    ASSERT_TRUE(ape.LoadFromFile(tmtest::U8(file)));
    ASSERT_TRUE(id3v1.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(ape.TagSize() + 32, 131);
    EXPECT_EQ(ape.Title() + "/" + ape.Artist() + "/" + ape.Album(), "One/Band/A1");
    EXPECT_FALSE(id3v1.Present());
}

TEST(APEtagRead, KeysValuesAndTheItemWalk)
{
    tmtest::TempDir dir;
    const Items items{{"TITLE", "first"},
                      {"Comment", std::string(300, 'c')},
                      {"title", "  second\t"},                // the last of a key wins
                      {"Genre", "  Rock  "},
                      {"Tracknumber", "5"},
                      {" Year ", "1970"},
                      {"Artist", std::string("a\0b", 3)},
                      {"Copyright", ""}};
    auto l = LoadBytes(dir, Concat(Audio(200), ApeTag(items)));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.tag.Title(), "second");
    EXPECT_EQ(l.tag.Comment(), std::string(300, 'c'));
    EXPECT_EQ(l.tag.Genre(), "Rock");
    EXPECT_EQ(l.tag.Track(), 0);
    EXPECT_EQ(l.tag.Year(), "1970");
    EXPECT_EQ(l.tag.Artist(), "a/b");  // several values, joined
    ASSERT_NE(l.tag.Find("artist"), nullptr);
    EXPECT_EQ(l.tag.Find("artist")->value, std::string("a\0b", 3));
    EXPECT_EQ(l.tag.Copyright(), "");
}

TEST(APEtagRead, TrackConversion)
{
    tmtest::TempDir dir;
    const std::pair<const char *, int> cases[] = {
        {"3/10", 3}, {"3 of 10", 0}, {"07", 7}, {"A1", 0},  {"300", 300}, {"$1F", 31},
        {"+9", 9},   {"-1", 0},    {"70000", 0},    {"", 0},   {"/5", 0},  {"12/", 12}, {"99999999999", 0},
        {" 8 ", 8}};
    for (const auto &[text, expected] : cases) {
        auto l = LoadBytes(dir, Concat(Audio(200), ApeTag({{"Track", text}})));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.tag.Track(), expected) << '"' << text << '"';
    }
}

TEST(APEtagRead, DamagedFootersAndItemListsEndQuietly)
{
    tmtest::TempDir dir;
    const Items items{{"Title", "T"}, {"Artist", "A"}};

    ApeOptions none;
    none.countOverride = 0;
    auto l = LoadBytes(dir, Concat(Audio(200), ApeTag(items, none)));
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.tag.Present());
    EXPECT_EQ(l.tag.Title(), "");

    ApeOptions more;
    more.countOverride = 1000000;
    l = LoadBytes(dir, Concat(Audio(200), ApeTag(items, more)));
    EXPECT_TRUE(l.tag.Present());
    EXPECT_EQ(l.tag.Title(), "T");
    EXPECT_EQ(l.tag.Artist(), "A");

    // Sizes pointing before the file, into the footer, or negative.
    for (std::int64_t size : {std::int64_t{100000}, std::int64_t{10}, std::int64_t{-50},
                              std::int64_t{0x7FFFFFFF}, std::int64_t{-0x7FFFFFFF - 1}}) {
        ApeOptions bad;
        bad.sizeOverride = size;
        l = LoadBytes(dir, Concat(Audio(200), ApeTag(items, bad)));
        ASSERT_TRUE(l.ok);
        EXPECT_TRUE(l.tag.Present());
        EXPECT_EQ(l.tag.TagSize(), static_cast<std::int32_t>(size));
        EXPECT_EQ(l.tag.Title(), "");
    }

    // A negative value size, a huge one and a key without its 0 stop the walk; what came
    // before stays.
    Bytes body = ApeTag({{"Title", "kept"}});
    body.resize(body.size() - 32);
    Bytes broken = body;
    Put32(broken, -5);
    Put32(broken, 0);
    PutText(broken, "Artist");
    broken.push_back(0);
    PutText(broken, "lost");
    Bytes footer = ApeTag({});
    footer[12] = static_cast<std::uint8_t>(broken.size() + 32);
    footer[16] = 2;
    l = LoadBytes(dir, Concat(Concat(Audio(200), broken), footer));
    EXPECT_EQ(l.tag.Title(), "kept");
    EXPECT_EQ(l.tag.Artist(), "");

    Bytes noZero = body;
    Put32(noZero, 4);
    Put32(noZero, 0);
    PutText(noZero, "ArtistArtistArtist");
    footer = ApeTag({});
    footer[12] = static_cast<std::uint8_t>(noZero.size() + 32);
    footer[16] = 2;
    l = LoadBytes(dir, Concat(Concat(Audio(200), noZero), footer));
    EXPECT_EQ(l.tag.Title(), "kept");
    EXPECT_EQ(l.tag.Artist(), "");
}

// Every file of a folder loads, and so does each with bytes dropped from its front so
// that the sizes its footer gives run off the file; some of them hold a tag.
void LoadsEveryFileAndItsFrontCuts(const fs::path &folder)
{
    tmtest::TempDir dir;
    int present = 0;
    for (const auto &entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(tmtest::U8(entry.path().filename()));
        TAPEtag tag;
        tag.LoadFromFile(tmtest::U8(entry.path()));
        if (tag.Present()) ++present;
        const Bytes bytes = tmtest::ReadBytes(entry.path());
        for (std::size_t keep : {bytes.size() / 2, std::size_t{200}, std::size_t{160}, std::size_t{129}}) {
            if (keep > bytes.size()) continue;
            const auto cut = dir / "cut.bin";
            tmtest::WriteBytes(cut, Bytes(bytes.end() - static_cast<long>(keep), bytes.end()));
            TAPEtag t;
            t.LoadFromFile(tmtest::U8(cut));
            EXPECT_LE(t.Title().size(), TAPEtag::kMaxTextBytes);
        }
    }
    EXPECT_GT(present, 0);
}

TEST(APEtagRobustness, CorpusFilesAndTheirCutsLoadQuietly)
{
    ASSERT_FALSE(tmtest::CorpusDir().empty());
    LoadsEveryFileAndItsFrontCuts(tmtest::CorpusDir());
}

TEST(APEtagRobustness, OwnHostileFilesAndTruncatedTagsLoadQuietly)
{
    tmtest::TempDir dir;
    tmtest::WriteHostileFiles(dir / "files");
    LoadsEveryFileAndItsFrontCuts(dir / "files");
    for (const char *name : {"ape-with-id3v1.mp3", "ape-version1.mp3", "sv7-stream.mpc"}) {
        TAPEtag tag;
        tag.LoadFromFile(tmtest::U8(dir / "files" / name));
        EXPECT_TRUE(tag.Present()) << name;
    }

    // Every truncation of a tagged file made here, from the front and from the back.
    const Bytes tagged = Concat(Audio(150), ApeTag({{"Title", "x" + kNote}, {"Track", "1"}}, {2000, true}));
    for (std::size_t n = 0; n <= tagged.size(); ++n) {
        TAPEtag front, back;
        const auto a = dir / "a.bin", b = dir / "b.bin";
        tmtest::WriteBytes(a, Bytes(tagged.begin(), tagged.begin() + static_cast<long>(n)));
        tmtest::WriteBytes(b, Bytes(tagged.end() - static_cast<long>(n), tagged.end()));
        front.LoadFromFile(tmtest::U8(a));
        back.LoadFromFile(tmtest::U8(b));
        // A cut right after the header leaves it looking like a footer of an empty tag.
        if (front.Present()) {
            EXPECT_TRUE(n == tagged.size() || n == 150 + 32) << n;
        }
        if (back.Present()) {
            EXPECT_TRUE(back.Title().empty() || back.Title() == "x" + kNote);
        }
    }
}

namespace {

long long BytesReadByThisProcess()
{
    std::ifstream in("/proc/self/io");
    std::string key;
    long long value = 0;
    while (in >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

}  // namespace

TEST(APEtagLimits, FootersClaimingHugeTagsCostOneSmallRead)
{
    tmtest::TempDir dir;
    ASSERT_GE(BytesReadByThisProcess(), 0);
    // An 8 KiB file whose footer claims a 2 GiB tag of 2^31-1 items, and one whose claimed
    // tag is the whole file: zeros, that is items with empty keys.
    for (std::int64_t size : {std::int64_t{0x7FFFFFFF}, std::int64_t{8192 - 128}}) {
        ApeOptions o;
        o.sizeOverride = size;
        o.countOverride = 0x7FFFFFFF;
        const auto file = dir / "crafted.mpc";
        tmtest::WriteBytes(file, Concat(Bytes(8192 - 32, 0), ApeTag({}, o)));
        const long long before = BytesReadByThisProcess();
        TAPEtag tag;
        ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
        EXPECT_TRUE(tag.Present());
        EXPECT_TRUE(tag.Items().empty());
        EXPECT_LT(BytesReadByThisProcess() - before, 64 * 1024) << size;
    }
    // Items with empty keys are passed over; the next one is read.
    auto l = LoadBytes(dir, Concat(Audio(100), ApeTag({{"", "x"}, {"  ", "y"}, {"Title", "after"}})));
    EXPECT_EQ(l.tag.Title(), "after");
    EXPECT_EQ(l.tag.Items().size(), 1u);
}

TEST(APEtagLimits, SixteenMebibytesOf65536ItemsStillRead)
{
    tmtest::TempDir dir;
    Items items;
    // 256 bytes an item: 8 of sizes and flags, a 7-byte key with its 0, 241 of value.
    for (int i = 0; i < 65535; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "K%05d", i);
        items.push_back({key, std::string(241, 'v')});
    }
    items.push_back({"Title", std::string(242, 't')});
    items.push_back({"Artist", "beyond the caps"});
    const auto l = LoadBytes(dir, Concat(Audio(100), ApeTag(items)));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.tag.Items().size(), 65536u);
    EXPECT_EQ(l.tag.Title(), std::string(242, 't'));
    EXPECT_EQ(l.tag.Artist(), "");
    EXPECT_EQ(l.tag.Omitted(), std::vector<std::string>{"the APE items past the 16 MiB limit were not carried"});
}

TEST(APEtagLimits, WhatTheCapsLeaveOutIsSaid)
{
    tmtest::TempDir dir;
    const std::string picture = "front.jpg" + std::string(1, '\0') + std::string(16 * 1024 * 1024 + 2 - 10, 'p');
    auto l = LoadBytes(dir, Concat(Audio(100), ApeTag({{"Cover Art (Front)", picture}, {"Title", "after"}})));
    EXPECT_EQ(l.tag.Omitted(), (std::vector<std::string>{
                                   "the cover picture of 16.0 MiB exceeds the 16 MiB limit and was not carried",
                                   "the APE items after it were not carried"}));

    Items many;
    for (int i = 0; i < 65540; ++i) many.push_back({"K" + std::to_string(i), "v"});
    many.push_back({"Lyrics", std::string(100 * 1024, 'l')});
    l = LoadBytes(dir, Concat(Audio(100), ApeTag(many)));
    EXPECT_EQ(l.tag.Items().size(), 65536u);
    EXPECT_EQ(l.tag.Omitted(), std::vector<std::string>{"5 APE items beyond the limit of 65,536 were not carried"});

    l = LoadBytes(dir, Concat(Audio(100), ApeTag({{"Lyrics", std::string(100 * 1024, 'l')}, {"Title", "t"}})));
    EXPECT_EQ(l.tag.Omitted(), std::vector<std::string>{"the APE item \"Lyrics\" of 100 KiB exceeds the 64 KiB "
                                                        "limit for a text; its first 64 KiB were carried"});
    EXPECT_TRUE(LoadBytes(dir, Concat(Audio(100), ApeTag({{"Title", "t"}}))).tag.Omitted().empty());
}
