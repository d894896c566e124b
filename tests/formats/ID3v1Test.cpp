#include "formats/ID3v1.h"

#include "support/HostileFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

using namespace trackmill;
using tmtest::Bytes;
namespace fs = std::filesystem;

namespace {

Bytes RandomBytes(std::size_t n, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto &x : b) x = static_cast<std::uint8_t>(rng());
    // Random audio must not end in something that looks like a tag by chance.
    if (n >= 128) b[n - 128] = 0;
    return b;
}

Bytes Tail(const Bytes &b, std::size_t n) { return Bytes(b.end() - static_cast<long>(n), b.end()); }
Bytes Head(const Bytes &b, std::size_t n) { return Bytes(b.begin(), b.begin() + static_cast<long>(n)); }

// A tag image from raw Latin-1 fields, as another program would have written it;
// b125/b126 of -1 leave the comment's bytes there.
Bytes RawTag(const std::string &title, const std::string &comment30, int b125, int b126,
             std::uint8_t genre)
{
    Bytes t(128, 0);
    std::memcpy(t.data(), "TAG", 3);
    std::memcpy(t.data() + 3, title.data(), std::min<std::size_t>(30, title.size()));
    std::memcpy(t.data() + 97, comment30.data(), std::min<std::size_t>(30, comment30.size()));
    if (b125 >= 0) t[125] = static_cast<std::uint8_t>(b125);
    if (b126 >= 0) t[126] = static_cast<std::uint8_t>(b126);
    t[127] = genre;
    return t;
}

Bytes Concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Reads the last 128 bytes of a file with mutagen's ID3v1 parser: frame id -> text.
std::map<std::string, std::string> MutagenV1(const fs::path &file)
{
    const std::string script =
        "import sys\n"
        "from mutagen.id3 import ParseID3v1\n"
        "f = ParseID3v1(open(sys.argv[1], 'rb').read()[-128:]) or {}\n"
        "for k in sorted(f):\n"
        "    sys.stdout.buffer.write((k[:4] + '\\t' + str(f[k]) + '\\n').encode('utf-8'))\n";
    const auto r = tmtest::Run({tmtest::SystemPython(), "-c", script, tmtest::U8(file)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::map<std::string, std::string> out;
    std::size_t at = 0;
    while (at < r.out.size()) {
        const std::size_t nl = r.out.find('\n', at);
        const std::string line = r.out.substr(at, nl - at);
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) out[line.substr(0, tab)] = line.substr(tab + 1);
        at = nl == std::string::npos ? r.out.size() : nl + 1;
    }
    return out;
}

bool MutagenAvailable()
{
    return tmtest::Run({tmtest::SystemPython(), "-c", "import mutagen.id3"}).exitCode == 0;
}

}  // namespace

TEST(ID3v1Genres, ListHas148NamesAndNothingBeyond)
{
    EXPECT_EQ(GenreName(0), "Blues");
    EXPECT_EQ(GenreName(17), "Rock");
    EXPECT_EQ(GenreName(92), "Progessive Rock");  // the list's own spelling is kept
    EXPECT_EQ(GenreName(123), "A capella");
    EXPECT_EQ(GenreName(136), "Christian Gangsta Rap");
    EXPECT_EQ(GenreName(kGenreCount - 1), "Synthpop");
    EXPECT_EQ(GenreName(kGenreCount), "");
    EXPECT_EQ(GenreName(255), "");
    for (unsigned i = 0; i < kGenreCount; ++i) EXPECT_FALSE(GenreName(i).empty()) << i;
}

TEST(ID3v1Genres, NamesAgreeWithId3v2ToolWhereTheListsShareSpelling)
{
    TM_REQUIRE_TOOL("id3v2");
    const auto r = tmtest::Run({"id3v2", "-L"});
    ASSERT_EQ(r.exitCode, 0);
    // The tool's table fixes a few historical misspellings; every other name must match,
    // which catches a shifted or missing entry anywhere in ours.
    int compared = 0, differing = 0;
    std::size_t at = 0;
    while (at < r.out.size()) {
        const std::size_t nl = r.out.find('\n', at);
        const std::string line = r.out.substr(at, nl - at);
        at = nl == std::string::npos ? r.out.size() : nl + 1;
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        const unsigned index = static_cast<unsigned>(std::stoul(line.substr(0, colon)));
        if (index >= kGenreCount) continue;
        ++compared;
        if (GenreName(index) != line.substr(colon + 2)) ++differing;
    }
    EXPECT_EQ(compared, static_cast<int>(kGenreCount));
    EXPECT_LE(differing, 6);
}

TEST(ID3v1Read, VersionRuleTrackAndCommentWidth)
{
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    const Bytes audio = RandomBytes(500);
    const std::string comment30 = "abcdefghijklmnopqrstuvwxyz1234";
    TID3v1 tag;

    // 0 then 5: version 1.1, track 5, comment from the first 28 bytes.
    tmtest::WriteBytes(file, Concat(audio, RawTag("T", comment30, 0, 5, 17)));
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_TRUE(tag.Present());
    EXPECT_EQ(tag.TagVersion(), 2);
    EXPECT_EQ(tag.Track(), 5);
    EXPECT_EQ(tag.Comment(), comment30.substr(0, 28));
    EXPECT_EQ(tag.GenreIndex(), 17);

    // Both 0: version 1.0, no track.
    tmtest::WriteBytes(file, Concat(audio, RawTag("T", "short", 0, 0, 255)));
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(tag.TagVersion(), 1);
    EXPECT_EQ(tag.Track(), 0);
    EXPECT_EQ(tag.Comment(), "short");
    EXPECT_EQ(tag.GenreIndex(), 255);

    // A blank then a letter: version 1.1 and the letter's code is the track.
    tmtest::WriteBytes(file, Concat(audio, RawTag("T", comment30.substr(0, 28) + " K", -1, -1, 0)));
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(tag.TagVersion(), 2);
    EXPECT_EQ(tag.Track(), 'K');
    EXPECT_EQ(tag.Comment(), comment30.substr(0, 28));

    // A blank then a blank, or letters there: version 1.0 with the full 30-byte comment.
    tmtest::WriteBytes(file, Concat(audio, RawTag("T", comment30, -1, -1, 0)));
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(tag.TagVersion(), 1);
    EXPECT_EQ(tag.Comment(), comment30);
    tmtest::WriteBytes(file, Concat(audio, RawTag("T", "c", 0x20, 0x20, 0)));
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(tag.TagVersion(), 1);
    EXPECT_EQ(tag.Track(), 0);
}

TEST(ID3v1Read, TextsAreLatin1TrimmedAtTheEndOnlyAndNeedNoTerminator)
{
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    const std::string full30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC0\xE9\xFF!";  // Latin-1 bytes
    Bytes t = RawTag(full30, "", 0, 0, 1);
    std::memcpy(t.data() + 33, "  Art\t \x01 ", 9);  // leading blanks stay, trailing go
    std::memcpy(t.data() + 93, "1999", 4);
    std::memcpy(t.data() + 63, "Al\0bum", 6);        // only trailing bytes are dropped
    tmtest::WriteBytes(file, Concat(RandomBytes(300), t));

    TID3v1 tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(tag.Title(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC3\x80\xC3\xA9\xC3\xBF!");
    EXPECT_EQ(tag.Artist(), "  Art");
    EXPECT_EQ(tag.Album(), std::string("Al\0bum", 6));
    EXPECT_EQ(tag.Year(), "1999");
}

TEST(ID3v1Read, OnlyTheLast128BytesCountAndShortFilesFail)
{
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    TID3v1 tag;

    // A tag one byte before the end is not a tag; lower-case "tag" is not either.
    tmtest::WriteBytes(file, Concat(Concat(RandomBytes(300), RawTag("X", "", 0, 0, 0)), {0}));
    EXPECT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_FALSE(tag.Present());
    Bytes lower = RawTag("X", "", 0, 0, 0);
    std::memcpy(lower.data(), "tag", 3);
    tmtest::WriteBytes(file, Concat(RandomBytes(300), lower));
    EXPECT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_FALSE(tag.Present());

    // Exactly 128 bytes is enough; 127 is not; a missing file or a folder fails too.
    tmtest::WriteBytes(file, RawTag("Only", "", 0, 3, 2));
    EXPECT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_TRUE(tag.Present());
    EXPECT_EQ(tag.Title(), "Only");
    tmtest::WriteBytes(file, Tail(RawTag("Only", "", 0, 3, 2), 127));
    EXPECT_FALSE(tag.LoadFromFile(tmtest::U8(file)));
    EXPECT_FALSE(tag.Present());
    EXPECT_EQ(tag.Title(), "");  // cleared even when the read fails
    EXPECT_FALSE(tag.LoadFromFile(tmtest::U8(dir / "missing.mp3")));
    EXPECT_FALSE(tag.LoadFromFile(tmtest::U8(dir.path())));
}

TEST(ID3v1Setters, TrimThenCutToTheFieldWidthInCharacters)
{
    TID3v1 tag;
    tag.SetTitle(std::string(40, 'x'));
    EXPECT_EQ(tag.Title(), std::string(30, 'x'));
    tag.SetTitle("Song   ");
    EXPECT_EQ(tag.Title(), "Song");
    tag.SetTitle("  Song\t\n");
    EXPECT_EQ(tag.Title(), "  Song");
    tag.SetYear("20245");
    EXPECT_EQ(tag.Year(), "2024");

    // 30 characters, not 30 bytes, and never half a character.
    std::string e30;
    for (int i = 0; i < 31; ++i) e30 += "\xC3\xA9";
    tag.SetArtist(e30);
    EXPECT_EQ(tag.Artist().size(), 60u);
    std::string mixed = std::string(29, 'a') + "\xF0\x9F\x8E\xB5" "b";
    tag.SetAlbum(mixed);
    EXPECT_EQ(tag.Album(), std::string(29, 'a') + "\xF0\x9F\x8E\xB5");
    tag.SetComment(std::string(29, 'a') + "\xE2\x82");  // a broken sequence: one byte each
    EXPECT_EQ(tag.Comment(), std::string(29, 'a') + "\xE2");

    tag.SetTrack(200);
    tag.SetGenreIndex(250);
    EXPECT_EQ(tag.Track(), 200);
    EXPECT_EQ(tag.GenreIndex(), 250);
    tag.Clear();
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.TagVersion(), 1);
    EXPECT_EQ(tag.GenreIndex(), 255);
}

TEST(ID3v1Write, ClearedObjectGivesTheEmptyImageAndKeepsTheAudio)
{
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    const Bytes audio = RandomBytes(1000);
    tmtest::WriteBytes(file, audio);

    TID3v1 tag;
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));
    const Bytes out = tmtest::ReadBytes(file);
    ASSERT_EQ(out.size(), 1128u);
    EXPECT_EQ(Head(out, 1000), audio);
    Bytes expected(128, 0);
    std::memcpy(expected.data(), "TAG", 3);
    expected[127] = 255;
    EXPECT_EQ(Tail(out, 128), expected);
    EXPECT_FALSE(tag.Present());  // writing leaves the properties alone
}

TEST(ID3v1Write, TrackShortensTheCommentAndReadsBackAs11)
{
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    tmtest::WriteBytes(file, RandomBytes(400));
    TID3v1 w;
    w.SetComment("abcdefghijklmnopqrstuvwxyz1234");
    w.SetTrack(7);
    ASSERT_TRUE(w.WriteToFile(tmtest::U8(file)));
    const Bytes out = tmtest::ReadBytes(file);
    EXPECT_EQ(out[out.size() - 128 + 124], '2');  // 28th comment character
    EXPECT_EQ(out[out.size() - 3], 0);
    EXPECT_EQ(out[out.size() - 2], 7);

    TID3v1 r;
    ASSERT_TRUE(r.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(r.TagVersion(), 2);
    EXPECT_EQ(r.Comment(), "abcdefghijklmnopqrstuvwxyz12");
    EXPECT_EQ(r.Track(), 7);

    // Without a track the full 30 characters come back as version 1.0.
    w.SetTrack(0);
    ASSERT_TRUE(w.WriteToFile(tmtest::U8(file)));
    ASSERT_TRUE(r.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(r.TagVersion(), 1);
    EXPECT_EQ(r.Comment(), "abcdefghijklmnopqrstuvwxyz1234");
}

TEST(ID3v1Write, AnyWriteAndStripSequenceKeepsTheAudioBytes)
{
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    const Bytes audio = RandomBytes(5000, 7);
    tmtest::WriteBytes(file, audio);

    TID3v1 tag;
    tag.SetTitle("One");
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));  // a second write replaces, never appends
    EXPECT_EQ(fs::file_size(file), 5128u);
    tag.SetTitle("Two");
    tag.SetTrack(3);
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));
    EXPECT_EQ(fs::file_size(file), 5128u);
    TID3v1 r;
    ASSERT_TRUE(r.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(r.Title(), "Two");
    EXPECT_EQ(Head(tmtest::ReadBytes(file), 5000), audio);

    ASSERT_TRUE(tag.StripFromFile(tmtest::U8(file)));
    EXPECT_EQ(tmtest::ReadBytes(file), audio);
    ASSERT_TRUE(tag.StripFromFile(tmtest::U8(file)));  // nothing to strip: true, unchanged
    EXPECT_EQ(tmtest::ReadBytes(file), audio);
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));
    ASSERT_TRUE(tag.StripFromFile(tmtest::U8(file)));
    EXPECT_EQ(tmtest::ReadBytes(file), audio);
}

TEST(ID3v1Write, ShortMissingAndFolderTargetsFailUntouched)
{
    tmtest::TempDir dir;
    const auto file = dir / "short.mp3";
    const Bytes small = RandomBytes(127);
    tmtest::WriteBytes(file, small);
    TID3v1 tag;
    tag.SetTitle("x");
    EXPECT_FALSE(tag.WriteToFile(tmtest::U8(file)));
    EXPECT_FALSE(tag.StripFromFile(tmtest::U8(file)));
    EXPECT_EQ(tmtest::ReadBytes(file), small);
    EXPECT_FALSE(tag.WriteToFile(tmtest::U8(dir / "missing.mp3")));
    EXPECT_FALSE(fs::exists(dir / "missing.mp3"));
    EXPECT_FALSE(tag.WriteToFile(tmtest::U8(dir.path())));
}

TEST(ID3v1Write, ReadOnlyFileIsRefusedAndLeftAsItIs)
{
    tmtest::TempDir dir;
    tmtest::ShareWithEveryone(dir.path());
    const auto file = dir / "ro.mp3";
    const Bytes audio = RandomBytes(700);
    tmtest::WriteBytes(file, audio);
    const auto mode = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(file, mode);

    // As an ordinary user, whose permission bits bind even when the tests run as root.
    const int result = tmtest::AsUnprivilegedUser([&] {
        TID3v1 tag;
        tag.SetArtist("RO");
        std::string why;
        if (tag.WriteToFile(tmtest::U8(file), &why)) return 1;
        return why == "Permission denied" ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(tmtest::ReadBytes(file), audio);
    EXPECT_EQ(fs::status(file).permissions(), mode);
}

// Runs a write in a child whose file-size limit stops the file from growing, the way a
// full disk would; returns the child's result.
static bool WriteUnderSizeLimit(const TID3v1 &tag, const fs::path &file, std::uint64_t limit)
{
    return tmtest::UnderFileSizeLimit(limit, [&] { return tag.WriteToFile(tmtest::U8(file)) ? 0 : 1; }) == 0;
}

TEST(ID3v1Write, FailedAppendLeavesTheFileAsItWas)
{
    tmtest::TempDir dir;
    const auto file = dir / "full.mp3";
    const Bytes audio = RandomBytes(3000);
    tmtest::WriteBytes(file, audio);
    TID3v1 tag;
    tag.SetTitle("No room");

    // Room for half a tag: the partial bytes must not stay behind.
    EXPECT_FALSE(WriteUnderSizeLimit(tag, file, 3064));
    EXPECT_EQ(tmtest::ReadBytes(file), audio);
    EXPECT_FALSE(WriteUnderSizeLimit(tag, file, 3000));
    EXPECT_EQ(tmtest::ReadBytes(file), audio);

    // Replacing a tag needs no room, so it works even then and keeps the old size.
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));
    tag.SetTitle("Replaced");
    EXPECT_TRUE(WriteUnderSizeLimit(tag, file, 3128));
    TID3v1 r;
    ASSERT_TRUE(r.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(r.Title(), "Replaced");
    EXPECT_EQ(Head(tmtest::ReadBytes(file), 3000), audio);
}

TEST(ID3v1Interop, MutagenReadsOurTagsLatin1IncludedAndOthersAsQuestionMarks)
{
    if (!MutagenAvailable()) GTEST_SKIP() << "python3-mutagen not installed";
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    tmtest::WriteBytes(file, RandomBytes(2000));

    TID3v1 tag;
    tag.SetTitle("Caf\xC3\xA9 \xC3\x86ther \xC2\xA9");     // Café Æther ©
    tag.SetArtist("Stra\xC3\x9F" "e \xE2\x82\xAC 5");       // Straße € 5
    tag.SetAlbum("\xF0\x9F\x8E\xB5 Album \xC3\xBF");        // 🎵 Album ÿ
    tag.SetYear("1987");
    tag.SetComment("na\xC3\xAFve");
    tag.SetTrack(12);
    tag.SetGenreIndex(17);
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(file)));

    auto v1 = MutagenV1(file);
    EXPECT_EQ(v1["TIT2"], "Caf\xC3\xA9 \xC3\x86ther \xC2\xA9");
    EXPECT_EQ(v1["TPE1"], "Stra\xC3\x9F" "e ? 5");
    EXPECT_EQ(v1["TALB"], "? Album \xC3\xBF");
    EXPECT_EQ(v1["TDRC"], "1987");
    EXPECT_EQ(v1["COMM"], "na\xC3\xAFve");
    EXPECT_EQ(v1["TRCK"], "12");
    EXPECT_EQ(v1["TCON"], "17");

    // And we read back exactly what mutagen saw.
    TID3v1 r;
    ASSERT_TRUE(r.LoadFromFile(tmtest::U8(file)));
    EXPECT_EQ(r.Title(), v1["TIT2"]);
    EXPECT_EQ(r.Artist(), v1["TPE1"]);
    EXPECT_EQ(r.Album(), v1["TALB"]);
    EXPECT_EQ(r.Comment(), v1["COMM"]);
}

TEST(ID3v1Interop, ReadsTagsWrittenByTheId3v2Tool)
{
    TM_REQUIRE_TOOL("id3v2");
    tmtest::TempDir dir;
    const auto file = dir / "a.mp3";
    const Bytes audio = RandomBytes(1500);
    tmtest::WriteBytes(file, audio);
    const auto r = tmtest::Run({"id3v2", "-1", "-t", "A Title That Is Thirty Chars!!", "-a",
                                "Some Artist", "-A", "The Album", "-y", "2001", "-T", "9",
                                "-g", "80", "-c", "Nice comment", tmtest::U8(file)});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    TID3v1 tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(file)));
    ASSERT_TRUE(tag.Present());
    EXPECT_EQ(tag.Title(), "A Title That Is Thirty Chars!!");
    EXPECT_EQ(tag.Artist(), "Some Artist");
    EXPECT_EQ(tag.Album(), "The Album");
    EXPECT_EQ(tag.Year(), "2001");
    EXPECT_EQ(tag.Comment(), "Nice comment");
    EXPECT_EQ(tag.TagVersion(), 2);
    EXPECT_EQ(tag.Track(), 9);
    EXPECT_EQ(tag.GenreIndex(), 80);
    EXPECT_EQ(GenreName(tag.GenreIndex()), "Folk");

    // Our strip removes exactly what the tool added.
    ASSERT_TRUE(tag.StripFromFile(tmtest::U8(file)));
    EXPECT_EQ(tmtest::ReadBytes(file), audio);
}

// Every file of a folder, and each with its tail cut at many points so that a tag ends
// up partly or wholly missing, loads without harm; some of them hold a tag.
void LoadsEveryFileAndItsTruncations(const fs::path &folder)
{
    tmtest::TempDir dir;
    int loaded = 0;
    for (const auto &entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(tmtest::U8(entry.path().filename()));
        TID3v1 tag;
        if (tag.LoadFromFile(tmtest::U8(entry.path())) && tag.Present()) ++loaded;
        const Bytes bytes = tmtest::ReadBytes(entry.path());
        const auto cut = dir / "cut.bin";
        for (std::size_t drop : {1u, 3u, 64u, 127u, 128u, 129u, 200u}) {
            if (drop > bytes.size()) break;
            tmtest::WriteBytes(cut, Head(bytes, bytes.size() - drop));
            TID3v1 t;
            t.LoadFromFile(tmtest::U8(cut));
            EXPECT_LE(t.Title().size(), 60u);
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST(ID3v1Robustness, OwnHostileFilesAndTheirTruncationsLoadQuietly)
{
    tmtest::TempDir dir;
    tmtest::WriteHostileFiles(dir / "files");
    LoadsEveryFileAndItsTruncations(dir / "files");
    TID3v1 tag;
    ASSERT_TRUE(tag.LoadFromFile(tmtest::U8(dir / "files" / "id3v1-only.mp3")));
    EXPECT_TRUE(tag.Present());
    EXPECT_EQ(tag.Title(), "V1 only");
    EXPECT_EQ(tag.Track(), 12);
}

TEST(ID3v1Robustness, CorpusFilesAndTheirTruncationsLoadQuietly)
{
    ASSERT_FALSE(tmtest::CorpusDir().empty());
    LoadsEveryFileAndItsTruncations(tmtest::CorpusDir());
}
