// A library converted once: the same tree however the folders were named, each source
// converted once, the marks read back by an independent tag reader.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace tmtest;

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TM_REQUIRE_TOOL("mpcenc");
        TM_REQUIRE_TOOL("mpcdec");
        TM_REQUIRE_TOOL("lame");
    }

    // The MP3s below a folder, relative to it.
    static std::set<std::string> Tree(const fs::path &root)
    {
        std::set<std::string> found;
        for (const auto &e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file()) found.insert(fs::relative(e.path(), root).string());
        return found;
    }

    static int Count(const std::string &text, const std::string &what)
    {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    TempDir dir;
    IsolatedCli cli;
};

TEST_F(LibraryTest, AnAlbumAndThenItsLibraryAreConvertedOnceIntoOneTree)
{
    const fs::path lib = dir / "music", out = dir / "out";
    fs::create_directories(lib / "Echo Park Choir" / "Ten %"), fs::create_directories(lib / "Other" / "Live");
    ASSERT_TRUE(MakeMpc(lib / "Echo Park Choir" / "Ten %" / "01 a.mpc", 0.4));
    fs::copy_file(lib / "Echo Park Choir" / "Ten %" / "01 a.mpc", lib / "Echo Park Choir" / "Ten %" / "02 b.mpc");
    fs::copy_file(lib / "Echo Park Choir" / "Ten %" / "01 a.mpc", lib / "Other" / "Live" / "a.mpc");
    const std::vector<std::string> common{"-j", "2", "--library-folder", lib.string(), "--output-dir"};
    auto convert = [&](const fs::path &into, const fs::path &what) {
        std::vector<std::string> args = common;
        args.push_back(into.string());
        args.push_back(what.string());
        return cli.Run(args, dir.path());
    };

    auto r = convert(out, lib / "Echo Park Choir");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    r = convert(out, lib);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const std::set<std::string> whole{"Echo Park Choir/Ten %/01 a.mp3", "Echo Park Choir/Ten %/02 b.mp3",
                                      "Other/Live/a.mp3"};
    EXPECT_EQ(Tree(out), whole);
    EXPECT_EQ(Count(r.out, "(already converted"), 2) << r.out;
    // The mark names the source below the library folder, read by another tag reader.
    const RunResult mark = tmtest::Run({"/usr/bin/python3", "-c",
                                "import sys, mutagen.id3; print(mutagen.id3.ID3(sys.argv[1])"
                                "['TXXX:TRACKMILL_SOURCE'].text[0])",
                                (out / "Echo Park Choir" / "Ten %" / "02 b.mp3").string()});
    EXPECT_NE(mark.out.find("path=Echo Park Choir/Ten %25/02 b.mpc"), std::string::npos) << mark.out << mark.err;

    // Moved elsewhere, the tree is still known; an album named again is skipped too.
    fs::rename(out, dir / "moved");
    r = convert(dir / "moved", lib / "Other");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Count(r.out, "(already converted"), 1) << r.out;

    // A new source whose name another source's MP3 holds gets a name of its own; the old
    // source is not converted again.
    ASSERT_TRUE(MakeMpc(lib / "Other" / "Live" / "a.mp+", 0.3));
    r = convert(dir / "moved", lib);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Count(r.out, "(already converted"), 3) << r.out;
    std::set<std::string> more = whole;
    more.insert("Other/Live/a (2).mp3");
    EXPECT_EQ(Tree(dir / "moved"), more);
}

TEST_F(LibraryTest, NamesFromTagsAreSafeOnAnyPlayerAndNumberedWhenTheyMeet)
{
    const fs::path src = dir / "src", out = dir / "out";
    fs::create_directories(src);
    const std::vector<std::string> tags{"--artist", "A: B", "--album", "X/Y*?.", "--title", "Song\"<>|",
                                        "--track", "3"};
    ASSERT_TRUE(MakeMpc(src / "one.mpc", 0.3, tags));
    fs::copy_file(src / "one.mpc", src / "two.mpc");
    ASSERT_TRUE(MakeMpc(src / "bare.mpc", 0.3));
    ASSERT_TRUE(MakeMpc(src / "albumartist.mpc", 0.3,
                        {"--artist", "Guest", "--tag", "Album Artist=Various", "--album", "Mix", "--track", "12/20"}));

    auto r = cli.Run({"--layout", "tags", "--output-dir", out.string(), "--dry-run", src.string()}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_FALSE(fs::exists(out));
    r = cli.Run({"--layout", "tags", "--output-dir", out.string(), src.string()}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    // Missing album artist: the artist; missing title: the source's name; missing track:
    // nothing; no tags for the folders: the source's own folders.
    EXPECT_EQ(Tree(out), (std::set<std::string>{"A_ B/X_Y__/03 Song____.mp3", "A_ B/X_Y__/03 Song____ (2).mp3",
                                                "src/bare.mp3", "Various/Mix/12 albumartist.mp3"}));
    // Converted again with the same pattern: nothing new.
    r = cli.Run({"--layout", "tags", "--output-dir", out.string(), src.string()}, dir.path());
    EXPECT_EQ(Count(r.out, "(already converted"), 4) << r.out;
    EXPECT_EQ(Tree(out).size(), 4u);
}

// An untagged album, and an untagged file in a tagged album, go where the sources' folders
// would put them, under their own names, and their album's image follows them there; the
// tagged files by the pattern, its optional parts left out where a field is missing.
TEST_F(LibraryTest, SourcesTheTagsCannotPlaceKeepTheirFolders)
{
    const fs::path lib = dir / "music", out = dir / "out";
    const fs::path untagged = lib / "Untagged Album", tagged = lib / "Drift" / "Tides";
    fs::create_directories(untagged), fs::create_directories(tagged);
    ASSERT_TRUE(MakeMpc(untagged / "track01.mpc", 0.3));
    fs::copy_file(untagged / "track01.mpc", untagged / "track02.mpc");
    const std::vector<std::string> album{"--artist", "Drift", "--album", "Tides"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.end(), album.begin(), album.end());
        return more;
    };
    ASSERT_TRUE(MakeMpc(tagged / "01.mpc", 0.3, with({"--year", "1999", "--track", "1", "--title", "Ebb"})));
    ASSERT_TRUE(MakeMpc(tagged / "02.mpc", 0.3, with({"--year", "1999", "--title", "Flow"})));
    ASSERT_TRUE(MakeMpc(tagged / "04 Drift 4.mpc", 0.3));
    const Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE0, 'J', 'F', 'I', 'F'};
    WriteBytes(untagged / "cover.jpg", jpeg);
    WriteBytes(tagged / "cover.jpg", jpeg);

    const auto r = cli.Run({"--layout", "tags", "--pattern", "%albumartist%/[%year% - ]%album%/[%track% ]%title%",
                            "--library-folder", lib.string(), "--output-dir", out.string(), lib.string()},
                           dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Tree(out), (std::set<std::string>{"Untagged Album/track01.mp3", "Untagged Album/track02.mp3",
                                                "Untagged Album/cover.jpg", "Drift/1999 - Tides/01 Ebb.mp3",
                                                "Drift/1999 - Tides/Flow.mp3", "Drift/1999 - Tides/cover.jpg",
                                                "Drift/Tides/04 Drift 4.mp3", "Drift/Tides/cover.jpg"}))
        << r.out;
}

// A source retagged after its conversion is counted as out of date under Skip; Update tags
// writes its present tags and a new mark into the MP3, the audio bytes as they were, after
// which it is plainly converted.
TEST_F(LibraryTest, ARetaggedSourceIsOutOfDateUntilItsTagsAreUpdated)
{
    const fs::path lib = dir / "music", out = dir / "out";
    const fs::path source = lib / "A" / "B" / "01.mpc", mp3 = out / "A" / "B" / "01.mp3";
    fs::create_directories(source.parent_path());
    ASSERT_TRUE(MakeMpc(source, 0.4, {"--artist", "A", "--title", "Old"}));
    ASSERT_TRUE(MakeMpc(lib / "A" / "B" / "02.mpc", 0.3));
    auto convert = [&](const std::string &policy) {
        return cli.Run({"--json", "--existing", policy, "--library-folder", lib.string(), "--output-dir", out.string(),
                        lib.string()},
                       dir.path());
    };
    // The title, the year, the mark and a digest of what lies between the ID3v2 and ID3v1 tags.
    auto read = [&] {
        return tmtest::Run({SystemPython(), "-c",
                            "import sys, hashlib\nfrom mutagen.id3 import ID3\n"
                            "d = open(sys.argv[1], 'rb').read()\n"
                            "a = 10 + sum(b << (7 * (3 - i)) for i, b in enumerate(d[6:10])) if d[:3] == b'ID3' else 0\n"
                            "e = len(d) - 128 if d[-128:-125] == b'TAG' else len(d)\n"
                            "t = ID3(sys.argv[1])\n"
                            "print(t['TIT2'].text[0], t['TDRC'].text[0] if 'TDRC' in t else '',"
                            " t['TXXX:TRACKMILL_SOURCE'].text[0], hashlib.sha256(d[a:e]).hexdigest(), sep='|')",
                            mp3.string()})
            .out;
    };
    auto r = convert("skip");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const std::string before = read();
    ASSERT_EQ(before.find("Old||size="), 0u) << before;
    ASSERT_EQ(tmtest::Run({SystemPython(), "-c",
                           "import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2(sys.argv[1])\n"
                           "t['Title'] = 'New'\nt['Year'] = '2001'\nt.save()",
                           source.string()})
                  .exitCode,
              0);
    const std::string newMark = "size=" + std::to_string(fs::file_size(source)) + ";";

    r = convert("skip");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\"skipped\":1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"outdated\":1,\"tagsUpdated\":0}"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(", 1 skipped, 1 out of date."), std::string::npos) << r.err;
    EXPECT_EQ(read(), before);

    r = convert("update-tags");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\"state\":\"updated\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"skipped\":1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"outdated\":0,\"tagsUpdated\":1}"), std::string::npos) << r.out;
    const std::string after = read();
    EXPECT_EQ(after.find("New|2001|" + newMark), 0u) << after;
    EXPECT_EQ(after.substr(after.rfind('|')), before.substr(before.rfind('|'))) << "the audio changed";
    EXPECT_TRUE(Leftovers(out).empty());

    r = convert("skip");
    EXPECT_NE(r.out.find("\"skipped\":2,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"outdated\":0,\"tagsUpdated\":0}"), std::string::npos) << r.out;
}

}  // namespace

namespace {

// Outside the library folder an album named first and then its artist's folder is still
// converted once: the mark's path is the end of the source's.
TEST_F(LibraryTest, OutsideTheLibraryAnAlbumAndThenItsParentAreConvertedOnce)
{
    const fs::path ext = dir / "elsewhere", out = dir / "out";
    fs::create_directories(ext / "Artist" / "Album");
    ASSERT_TRUE(MakeMpc(ext / "Artist" / "Album" / "1.mpc", 0.3));
    for (const fs::path &named : {ext / "Artist" / "Album", ext / "Artist"}) {
        const auto r = cli.Run({"--library-folder", (dir / "music").string(), "--output-dir", out.string(),
                                named.string()}, dir.path());
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_EQ(Count(r.out, "(already converted"), named == ext / "Artist" ? 1 : 0) << r.out;
    }
    EXPECT_EQ(Tree(out), (std::set<std::string>{"Album/1.mp3"}));
}

}  // namespace

namespace {

// A mark says which source an MP3 was made from: a renamed album or file is still converted,
// under every policy; a source changed since is not converted again under Skip; and a mark
// placed in another MP3 never sends a conversion there.
TEST_F(LibraryTest, MarksFollowRenamesAndNeverSteerTheJob)
{
    const fs::path lib = dir / "music", out = dir / "out";
    fs::create_directories(lib / "A" / "B");
    ASSERT_TRUE(MakeMpc(lib / "A" / "B" / "01.mpc", 0.4));
    ASSERT_TRUE(MakeMpc(lib / "A" / "B" / "02.mpc", 0.3));
    auto convert = [&](const std::string &policy, const fs::path &what) {
        return cli.Run({"--library-folder", lib.string(), "--output-dir", out.string(), "--existing", policy,
                        what.string()},
                       dir.path());
    };
    auto r = convert("skip", lib);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const std::set<std::string> tree{"A/B/01.mp3", "A/B/02.mp3"};
    // The album renamed, then a file renamed: nothing is converted again, whatever the policy.
    fs::rename(lib / "A" / "B", lib / "A" / "B (2004)");
    fs::rename(lib / "A" / "B (2004)" / "02.mpc", lib / "A" / "B (2004)" / "02 Song.mpc");
    for (const char *policy : {"skip", "keep-both", "overwrite"}) {
        r = convert(policy, lib);
        EXPECT_EQ(r.exitCode, 0) << r.out;
        EXPECT_EQ(Count(r.out, "(already converted: "), 2) << policy << r.out;
        EXPECT_EQ(Tree(out), tree) << policy;
    }

    // A forged mark: another MP3 names the source's path with another size and time.
    fs::create_directories(out / "X");
    fs::copy_file(out / "A" / "B" / "01.mp3", out / "X" / "victim.mp3");
    fs::remove(out / "A" / "B" / "01.mp3");
    ASSERT_EQ(tmtest::Run({SystemPython(), "-c",
                   "import sys\nfrom mutagen.id3 import ID3, TXXX\nt = ID3(sys.argv[1])\n"
                   "t.delall('TXXX:TRACKMILL_SOURCE')\n"
                   "t.add(TXXX(encoding=3, desc='TRACKMILL_SOURCE', text='size=1; modified=1; path=A/B (2004)/01.mpc'))\n"
                   "t.save(sys.argv[1], v2_version=3)",
                   (out / "X" / "victim.mp3").string()})
                  .exitCode,
              0);
    const auto victim = ReadBytes(out / "X" / "victim.mp3");
    // Under Skip it is said to be converted before the source changed, and left.
    r = convert("skip", lib / "A" / "B (2004)" / "01.mpc");
    EXPECT_NE(r.out.find("already converted, before the source last changed: " + (out / "X" / "victim.mp3").string()),
              std::string::npos)
        << r.out;
    // Overwrite writes the planned path, never the MP3 the mark is in.
    r = convert("overwrite", lib / "A" / "B (2004)" / "01.mpc");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(ReadBytes(out / "X" / "victim.mp3"), victim);
    EXPECT_TRUE(fs::exists(out / "A" / "B (2004)" / "01.mp3")) << r.out;

    // Outside the library: retagged (a new size and time), it is the same source's MP3.
    const fs::path loose = dir / "loose" / "Album";
    fs::create_directories(loose);
    ASSERT_TRUE(MakeMpc(loose / "01.mpc", 0.3));
    r = cli.Run({"--output-dir", (dir / "flat").string(), loose.string()}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.out;
    std::vector<std::uint8_t> grown = ReadBytes(loose / "01.mpc");
    grown.insert(grown.end(), 16, 0);
    WriteBytes(loose / "01.mpc", grown);
    r = cli.Run({"--output-dir", (dir / "flat").string(), loose.string()}, dir.path());
    EXPECT_NE(r.out.find("already converted, before the source last changed: "), std::string::npos) << r.out;
    EXPECT_EQ(Tree(dir / "flat"), std::set<std::string>{"Album/01.mp3"});
    // Another album's file of the same name, named alone: another source, whatever the policy.
    fs::create_directories(dir / "other");
    ASSERT_TRUE(MakeMpc(dir / "other" / "01.mpc", 0.5));
    const auto first = ReadBytes(dir / "flat" / "Album" / "01.mp3");
    for (const char *policy : {"skip", "overwrite"}) {
        r = cli.Run({"--flat", "--existing", policy, "--output-dir", (dir / "single").string(),
                     (policy == std::string("skip") ? loose / "01.mpc" : dir / "other" / "01.mpc").string()},
                    dir.path());
        EXPECT_EQ(r.exitCode, 0) << r.out;
    }
    EXPECT_EQ(Tree(dir / "single"), (std::set<std::string>{"01 (2).mp3", "01.mp3"})) << r.out;
    EXPECT_EQ(ReadBytes(dir / "flat" / "Album" / "01.mp3"), first);
}

}  // namespace
