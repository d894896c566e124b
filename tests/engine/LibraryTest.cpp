// The source's mark and the names a pattern makes, on their own.
#include "engine/Library.h"
#include "engine/OutputPlan.h"
#include "engine/TagTransfer.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace trackmill;
namespace fs = std::filesystem;

TEST(Library, MarksGiveBackEveryPathAndBadTextIsNoMark)
{
    for (const std::string path : {"Artist/Album/01 Song.mpc", "100% Hits/a%2Fb.mpc", "bad\xff\xfe/\xc3.mp+",
                                   "semi; path=x; size=1.mpc"}) {
        const TSourceMark mark{path, 123456789012ULL, -5};
        const std::string text = MarkText(mark);
        EXPECT_EQ(ParseMark(text), mark) << text;
    }
    EXPECT_EQ(MarkText({"a%b.mpc", 7, 9}), "size=7; modified=9; path=a%25b.mpc");
    for (const char *bad : {"", "size=1; modified=2; path=", "size=x; modified=2; path=a", "size=1; path=a",
                            "size=1; modified=2; path=a%4", "size=1; modified=2; path=a%zz"})
        EXPECT_FALSE(ParseMark(bad).has_value()) << bad;
}

TEST(Library, PatternNamesWorkOnFatAndFallBackWhereTagsAreMissing)
{
    TPatternFields f;
    f.artist = "AC/DC";
    f.album = "Live: 1991?. ";
    f.title = "Who\tMade <Who>";
    f.track = "7/12";
    EXPECT_EQ(ExpandNamePattern(kDefaultNamePattern, f, "x.mpc"), "AC_DC/Live_ 1991_/07 Who_Made _Who_");
    // A year and a disc as they come; the pattern's own text stays; unknown fields are text.
    f.year = "1991";
    f.disc = "2/2";
    EXPECT_EQ(ExpandNamePattern("%YEAR% - %Disc%-%track% %unknown%", f, "x.mpc"), "1991 - 2-07 %unknown%");
    // Nothing but the name: the title falls back to the source's name.
    EXPECT_EQ(ExpandNamePattern("%title%", {}, "01 Intro.mpc"), "01 Intro");
    // Values never climb out of the output folder, nor make hidden names.
    TPatternFields up;
    up.artist = "..";
    up.album = "../..";
    up.title = ".";
    EXPECT_EQ(ExpandNamePattern("%artist%/%album%/%title%", up, "s.mpc"), "_/_._/_");
    up.artist = "...And You Will Know Us";
    up.title = "Nul.Point";
    up.albumArtist = " .hack";
    up.album = "A\xc2\x85" "B\xc2\xa0" "C";  // a C1 control and a no-break space
    EXPECT_EQ(ExpandNamePattern("%artist%/%album%/%title%", up, "s.mpc"),
              "_..And You Will Know Us/A_B\xc2\xa0" "C/Nul_.Point");
    EXPECT_EQ(ExpandNamePattern("%albumartist%/%title%", up, "s.mpc"), "_hack/Nul_.Point");
    EXPECT_EQ(ExpandNamePattern("/../%title%", f, "s.mpc"), "Who_Made _Who_");
    TPatternFields reserved;
    reserved.artist = "con";
    reserved.title = "Nul.";
    EXPECT_EQ(ExpandNamePattern("%artist%/%title%", reserved, "s.mpc"), "con_/Nul_");
    reserved.artist = "Aux .Mix";
    EXPECT_EQ(ExpandNamePattern("%artist%/%title%", reserved, "s.mpc"), "Aux_ .Mix/Nul_");
    // Each name at most 255 bytes (the file's with ".mp3"), cut between characters.
    TPatternFields longer;
    longer.album = std::string(300, 'a');
    std::string title;
    for (int i = 0; i < 200; ++i) title += "\xc3\xa9";  // é
    longer.title = title;
    const std::string path = ExpandNamePattern("%album%/%title%", longer, "s.mpc").value_or("");
    const std::size_t slash = path.find('/');
    EXPECT_EQ(slash, 255u);
    EXPECT_LE(path.size() - slash - 1 + std::string(" (999).mp3").size(), 255u);
    EXPECT_EQ(path.size() % 2, 0u);  // 255 + "/" + whole two-byte letters
}

// Optional parts go with an empty field; a folder the tags leave empty sends the source to
// its own folders (no path), a file name they leave empty is the source's own.
TEST(Library, PatternBracketsAndLevelsTheTagsLeaveEmpty)
{
    const std::string pattern = "%albumartist%/[%year% - ]%album%/[%track% ]%title%";
    TPatternFields f;
    f.artist = "Drift";
    f.album = "Tides";
    f.title = "Ebb";
    EXPECT_EQ(ExpandNamePattern(pattern, f, "04.mpc"), "Drift/Tides/Ebb");
    f.year = "1999";
    f.track = "4";
    EXPECT_EQ(ExpandNamePattern(pattern, f, "04.mpc"), "Drift/1999 - Tides/04 Ebb");
    // Untagged, or a folder's fields outside brackets all empty: no path, whatever else is there.
    EXPECT_EQ(ExpandNamePattern(pattern, {}, "track01.mpc"), std::nullopt);
    EXPECT_EQ(ExpandNamePattern(kDefaultNamePattern, {}, "track01.mpc"), std::nullopt);
    TPatternFields noAlbum = f;
    noAlbum.album = " ";
    EXPECT_EQ(ExpandNamePattern(pattern, noAlbum, "04.mpc"), std::nullopt);
    EXPECT_EQ(ExpandNamePattern("%albumartist%/%year% - %album%/%title%", noAlbum, "04.mpc"), "Drift/1999 -/Ebb");
    noAlbum.year.clear();
    EXPECT_EQ(ExpandNamePattern("%albumartist%/%year% - %album%/%title%", noAlbum, "04.mpc"), std::nullopt);
    // Folders the pattern makes optional, or of its own text, are left out when empty.
    TPatternFields noYear = f;
    noYear.year.clear();
    EXPECT_EQ(ExpandNamePattern("%artist%/[%year%/]%album%/%title%", noYear, "04.mpc"), "Drift/Tides/Ebb");
    EXPECT_EQ(ExpandNamePattern("%artist%/[%year%/]%album%/%title%", f, "04.mpc"), "Drift/1999/Tides/Ebb");
    // The file's name: the source's own where its fields are empty or nothing is left of it.
    TPatternFields noTrack = f;
    noTrack.track.clear();
    EXPECT_EQ(ExpandNamePattern("%artist%/%album%/%track%", noTrack, "04 Drift 4.mpc"), "Drift/Tides/04 Drift 4");
    EXPECT_EQ(ExpandNamePattern("%artist%/[%track% - %disc%]", noTrack, ".hidden.mpc"), "Drift/_hidden");
    // "[[" and "]]" are brackets; a "[" never closed and a "]" never opened are text.
    EXPECT_EQ(ExpandNamePattern("[[%year%]] %album% [%track% [[live]]]", f, "x.mpc"), "[1999] Tides 04 [live]");
    EXPECT_EQ(ExpandNamePattern("[[%disc%]] [%album%", f, "x.mpc"), "[] [Tides");
    EXPECT_EQ(ExpandNamePattern("%album%] x", f, "x.mpc"), "Tides] x");
}

// An MP3 made from another source is never given to this one, even where the scan of the
// output folder does not reach (a linked album folder), whatever the policy.
TEST(Library, AnotherSourcesMp3IsNeverReplacedOrSkippedFor)
{
    tmtest::TempDir dir;
    const fs::path lib = dir / "lib", out = dir / "out", elsewhere = dir / "elsewhere";
    fs::create_directories(lib / "A"), fs::create_directories(out), fs::create_directories(elsewhere);
    tmtest::WriteText(lib / "A" / "x.mpc", "MPCK not really");
    fs::create_directory_symlink(elsewhere, out / "A");
    tmtest::WriteText(elsewhere / "x.mp3", std::string(400, '\xff'));
    TID3v2 tag;
    tag.SetFrames({id3v2::MakeUserText(kMarkerDescription, MarkText({"B/y.mpc", 1, 2}))});
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(elsewhere / "x.mp3")));

    TWorkItem item;
    item.source = tmtest::U8(lib / "A" / "x.mpc");
    TPlanOptions options = IntoFolder(tmtest::U8(out) + "/", TOutputLayout::Source);
    options.libraryDir = tmtest::U8(lib) + "/";
    for (TExistingPolicy policy : {TExistingPolicy::Skip, TExistingPolicy::Overwrite}) {
        options.existing = policy;
        const auto plan = PlanJob({item}, options);
        EXPECT_EQ(plan[0].kind, TPlannedOutput::Kind::Renamed);
        EXPECT_EQ(plan[0].output, tmtest::U8(out / "A" / "x (2).mp3"));
        EXPECT_NE(plan[0].mark.find("path=A/x.mpc"), std::string::npos) << plan[0].mark;
    }
    // Its own MP3, from before the source changed: skipped, or replaced in its place.
    const auto info = fs::file_size(lib / "A" / "x.mpc");
    tag.SetFrames({id3v2::MakeUserText(kMarkerDescription, MarkText({"A/x.mpc", info + 1, 2}))});
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(elsewhere / "x.mp3")));
    options.existing = TExistingPolicy::Skip;
    auto plan = PlanJob({item}, options);
    EXPECT_EQ(plan[0].kind, TPlannedOutput::Kind::Skipped);
    EXPECT_EQ(plan[0].reason, "already converted, before the source last changed: " + tmtest::U8(out / "A" / "x.mp3"));
    options.existing = TExistingPolicy::Overwrite;
    plan = PlanJob({item}, options);
    EXPECT_EQ(plan[0].kind, TPlannedOutput::Kind::Overwrite);
    EXPECT_EQ(plan[0].output, tmtest::U8(out / "A" / "x.mp3"));
}

// Outputs copied in one go share their size and time: the album converted, then its parent
// folder, is still found by the end of its path, without asking the disk of every pair.
TEST(Library, AnAlbumAmongOutputsOfOneSizeAndTimeIsFoundByItsPath)
{
    tmtest::TempDir dir;
    fs::create_directories(dir / "out");
    for (int i = 0; i < 40; ++i) {
        const std::string name = std::to_string(100 + i).substr(1);
        tmtest::WriteText(dir / "out" / (name + ".mp3"), std::string(400, '\xff'));
        TID3v2 tag;
        tag.SetFrames({id3v2::MakeUserText(kMarkerDescription, MarkText({"Album/" + name + ".mpc", 100, 7}))});
        ASSERT_TRUE(tag.WriteToFile(tmtest::U8(dir / "out" / (name + ".mp3"))));
    }
    TMarkIndex marks;
    marks.Scan(tmtest::U8(dir / "out"));
    const TSourceLookup source{tmtest::U8(dir / "Parent" / "Album" / "05.mpc"), {"Parent/Album/05.mpc", 100, 7}, false};
    bool earlier = true;
    const std::string *found = marks.Find(source, "", &earlier);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, tmtest::U8(dir / "out" / "05.mp3"));
    EXPECT_FALSE(earlier);
}
