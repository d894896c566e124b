// Where the MP3s go, decided before the first file starts: sources that would make the
// same MP3, a library whose albums name their files alike, the user's own MP3s under each
// policy, a dry run, names that differ only in letter case, and paths that cannot be.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

std::vector<std::string> Mp3sBelow(const fs::path &folder)
{
    std::vector<std::string> out;
    for (const auto &e : fs::recursive_directory_iterator(folder))
        if (e.path().extension() == ".mp3") out.push_back(fs::relative(e.path(), folder).string());
    std::sort(out.begin(), out.end());
    return out;
}

class PlannedOutputs : public tmtest::ConvertFixture {};

TEST_F(PlannedOutputs, SourcesThatWouldMakeTheSameMp3AreAllConverted)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 1.0));
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mp+", 2.0));
    ASSERT_TRUE(tmtest::MakeMpc(src / "Song.mpc", 3.0));
    ASSERT_TRUE(tmtest::MakeMpc(src / "song.mpc", 4.0));
    fs::create_directories(src / "d1");
    fs::create_directories(src / "d2");
    ASSERT_TRUE(tmtest::MakeMpc(src / "d1" / "01.mpc", 1.0));
    ASSERT_TRUE(tmtest::MakeMpc(src / "d2" / "01.mpc", 2.0));

    auto r = cli.Run({src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    // Listed in name order, so "a.mp+" plans first.
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "a.mp3"), 2.0, 0.1);
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "a (2).mp3"), 1.0, 0.1);
    // Names that differ only in letter case are one name on a player's card and on Windows.
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "Song.mp3"), 3.0, 0.1);
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "song (2).mp3"), 4.0, 0.1);
    EXPECT_FALSE(fs::exists(src / "song.mp3"));
    // A file there under another case is the file at that name: skipped, left as it is.
    fs::create_directories(dir / "own");
    ASSERT_TRUE(tmtest::MakeMpc(dir / "own" / "intro.mpc", 1.0));
    tmtest::WriteText(dir / "own" / "INTRO.mp3", "the user's own");
    r = cli.Run({(dir / "own").string()}, work);
    EXPECT_TRUE(Contains(r.out, "exists: " + (dir / "own" / "INTRO.mp3").string())) << r.out;
    EXPECT_EQ(tmtest::ReadText(dir / "own" / "INTRO.mp3"), "the user's own");
    EXPECT_FALSE(fs::exists(dir / "own" / "intro.mp3"));

    // Into one folder: the folder structure keeps d1/01 and d2/01 apart; flat, they are numbered.
    r = cli.Run({"--output-dir", (dir / "out").string(), (src / "d1").string(), (src / "d2").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(Mp3sBelow(dir / "out"), (std::vector<std::string>{"d1/01.mp3", "d2/01.mp3"}));
    r = cli.Run({"--flat", "--output-dir", (dir / "flat").string(), (src / "d1").string(), (src / "d2").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NEAR(tmtest::Mp3Seconds(dir / "flat" / "01.mp3"), 1.0, 0.1);
    EXPECT_NEAR(tmtest::Mp3Seconds(dir / "flat" / "01 (2).mp3"), 2.0, 0.1);
    EXPECT_TRUE(Contains(r.out, "renamed: another source also makes " + (dir / "flat" / "01.mp3").string())) << r.out;
}

TEST_F(PlannedOutputs, ALibraryWithRepeatedNamesGivesOneMp3PerSource)
{
    ASSERT_TRUE(tmtest::MakeMpc(dir / "tone.mpc", 0.3));
    int sources = 0;
    for (int album = 1; album <= 6; ++album)
        for (int track = 1; track <= 4; ++track) {
            const fs::path folder = src / ("Artist " + std::to_string(album % 3)) / ("Album " + std::to_string(album));
            fs::create_directories(folder);
            fs::copy_file(dir / "tone.mpc", folder / ("0" + std::to_string(track) + " Track.mpc"));
            ++sources;
        }
    auto r = cli.Run({"--output-dir", (dir / "kept").string(), src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto kept = Mp3sBelow(dir / "kept");
    EXPECT_EQ(int(kept.size()), sources);
    EXPECT_EQ(kept.front(), "src/Artist 0/Album 3/01 Track.mp3");
    r = cli.Run({"--flat", "--output-dir", (dir / "flat").string(), src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto flat = Mp3sBelow(dir / "flat");
    EXPECT_EQ(int(flat.size()), sources);
    EXPECT_EQ(std::count(flat.begin(), flat.end(), "01 Track (6).mp3"), 1);
}

TEST_F(PlannedOutputs, TheUsersMp3UnderEachPolicyAndADryRun)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 1.0, {"--tag", "Title=New"}));
    tmtest::WriteText(src / "a.mp3", "the user's own MP3");
    const auto before = fs::last_write_time(src / "a.mp3");

    // A dry run says what would happen and writes nothing.
    auto r = cli.Run({"--dry-run", "--existing", "keep-both", "--output-dir", (dir / "new").string(), src.string()},
                     work);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, (src / "a.mpc").string() + " -> " + (dir / "new" / "src" / "a.mp3").string())) << r.out;
    EXPECT_FALSE(fs::exists(dir / "new"));
    r = cli.Run({"--dry-run", src.string()}, work);
    EXPECT_TRUE(Contains(r.out, (src / "a.mpc").string() + ": skipped (exists: " + (src / "a.mp3").string() + ")"));
    // With --json the plan is events as well: nothing else on standard output.
    r = cli.Run({"--dry-run", "--json", src.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.rfind("{\"event\":\"plan", 0), 0u) << line;
    EXPECT_TRUE(Contains(r.out, "\"action\":\"skip\",\"reason\":\"exists: " + (src / "a.mp3").string())) << r.out;

    r = cli.Run({src.string()}, work);  // Skip, the designed policy
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Contains(r.out, "Converted 0 of 1 file, 1 skipped.")) << r.out;
    EXPECT_TRUE(Contains(r.out, "skipped: " + (src / "a.mpc").string() + " (exists: " + (src / "a.mp3").string() + ")"))
        << r.out;
    EXPECT_EQ(tmtest::ReadText(src / "a.mp3"), "the user's own MP3");
    EXPECT_EQ(fs::last_write_time(src / "a.mp3"), before);

    r = cli.Run({"--existing", "keep-both", src.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(tmtest::ReadText(src / "a.mp3"), "the user's own MP3");
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "a (2).mp3"), 1.0, 0.1);

    r = cli.Run({"--existing", "overwrite", (src / "a.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "a.mp3"), 1.0, 0.1);
    EXPECT_EQ(tmtest::ReadTags(src / "a.mp3")["v2"].toObject()["title"].toString(), "New");

    // Overwrite never replaces what is not a file, and the plan says so before any work.
    fs::create_directories(src / "b.mp3");
    fs::copy_file(src / "a.mpc", src / "b.mpc");
    r = cli.Run({"--dry-run", "--existing", "overwrite", (src / "b.mpc").string()}, work);
    EXPECT_TRUE(Contains(r.out, (src / "b.mpc").string() + ": refused (cannot replace " + (src / "b.mp3").string() +
                                    ": not a file)"))
        << r.out;
    r = cli.Run({"--existing", "overwrite", (src / "b.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(fs::is_directory(src / "b.mp3"));
}

TEST_F(PlannedOutputs, PathsThatCannotBeAndNamesGivenTwice)
{
    fs::create_directories(src / "album");
    ASSERT_TRUE(tmtest::MakeMpc(src / "album" / "1.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "album" / "2.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "lone.mpc", 0.5));
    // A file named alone and found again in a named folder, and a folder named twice: one
    // entry each, placed by its first appearance (alone, so straight into the folder).
    auto r = cli.Run({"--output-dir", (dir / "out").string(), (src / "album" / "2.mpc").string(),
                      (src / "album").string(), (src / "album").string()},
                     work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(Mp3sBelow(dir / "out"), (std::vector<std::string>{"2.mp3", "album/1.mp3"}));

    // An output folder that cannot be made, and an output name too long for the system:
    // each fails with its reason, the others are converted.
    tmtest::WriteText(dir / "blocked", "a file where a folder should go");
    r = cli.Run({"--output-dir", (dir / "blocked" / "out").string(), (src / "lone.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.out, (src / "lone.mpc").string() + ": the output folder " + (dir / "blocked" / "out").string() +
                                    " cannot be created"))
        << r.out;
    const std::string longName = std::string(251, 'x') + ".mpc";
    fs::create_directories(src / "x1");
    fs::create_directories(src / "x2");
    ASSERT_TRUE(tmtest::MakeMpc(src / "x1" / longName, 0.5));
    fs::copy_file(src / "x1" / longName, src / "x2" / longName);
    r = cli.Run({"--flat", "--output-dir", (dir / "long").string(), (src / "x1").string(), (src / "x2").string()}, work);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.out, (src / "x2" / longName).string() + ": the output path is longer than the system allows"))
        << r.out;
    EXPECT_TRUE(fs::exists(dir / "long" / (std::string(251, 'x') + ".mp3")));

    // A Musepack name without a Musepack stream is named, though it fails nothing; with
    // --json it is an event, and counted at the end.
    fs::create_directories(src / "odd");
    ASSERT_TRUE(tmtest::MakeMpc(src / "odd" / "fine.mpc", 0.5));
    tmtest::WriteText(src / "odd" / "empty.mpc", "");
    r = cli.Run({"--json", (src / "odd").string()}, work);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(Contains(r.out, "{\"event\":\"ignored\",\"source\":\"" + (src / "odd" / "empty.mpc").string() +
                                    "\",\"reason\":\"not a Musepack file (no valid stream header)\"}"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, "\"cancelled\":0,\"refused\":0,\"ignored\":1,")) << r.out;
    EXPECT_TRUE(fs::exists(src / "odd" / "fine.mp3"));
}

TEST_F(PlannedOutputs, FoldersMadeForFilesThatFailedAreNotLeftEmpty)
{
    fs::create_directories(src / "Artist" / "Bad Album");
    fs::create_directories(src / "Artist" / "Good Album");
    ASSERT_TRUE(tmtest::MakeMpc(src / "Artist" / "Bad Album" / "bad.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "Artist" / "Good Album" / "1.mpc", 0.5));
    tmtest::WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ncase \"$1\" in *bad*) exit 3;; esac\nexec " +
                                                      tmtest::Installed("mpcdec") + " \"$@\"\n");
    fs::create_directories(dir / "out");
    const auto r = cli.Run({"--output-dir", (dir / "out").string(), (src / "Artist").string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_EQ(Mp3sBelow(dir / "out"), (std::vector<std::string>{"Artist/Good Album/1.mp3"}));
    EXPECT_FALSE(fs::exists(dir / "out" / "Artist" / "Bad Album"));
}

}  // namespace
