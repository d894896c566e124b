#include "engine/Command.h"
#include "engine/OutputPlan.h"
#include "os/Path.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

const char *kTemplate = "mpcdec %OPTIONSDEC %INFILE - | lame %OPTIONSENC - %OUTFILE";

// The shell's single-quote form, as the platform layer gives it.
std::string Quote(const std::string &s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Build(const std::string &dec, const std::string &src, const std::string &enc,
                  const std::string &out, const std::string &templ = kTemplate)
{
    return BuildCommand(templ, dec, src, enc, out, Quote);
}

TEST(BuildCommand, EmptyOptionsCollapseToOneSpace)
{
    EXPECT_EQ(Build("", "/m/a.mpc", "", "/m/a.mp3"), "mpcdec '/m/a.mpc' - | lame - '/m/a.mp3'");
    EXPECT_EQ(Build("--silent", "/m/a.mpc", "--alt-preset cbr 128", "/o/a.mp3"),
              "mpcdec --silent '/m/a.mpc' - | lame --alt-preset cbr 128 - '/o/a.mp3'");
}

TEST(BuildCommand, RunsOfSpacesOutsidePathsShrinkInOnePass)
{
    // Three spaces become two, four become two: one left-to-right pass.
    EXPECT_EQ(Build("a   b", "/x", "c    d", "/y"), "mpcdec a  b '/x' - | lame c  d - '/y'");
    // A run that spans an empty option still counts as one run.
    EXPECT_EQ(Build(" ", "/x", "", "/y"), "mpcdec  '/x' - | lame - '/y'");
}

TEST(BuildCommand, PathsAreOpaque)
{
    // Spaces inside a path are kept, placeholders inside a path are not replaced.
    EXPECT_EQ(Build("", "/m/two  spaces.mpc", "", "/m/two  spaces.mp3"),
              "mpcdec '/m/two  spaces.mpc' - | lame - '/m/two  spaces.mp3'");
    EXPECT_EQ(Build("-d", "/m/%OPTIONSENC%OUTFILE.mpc", "-e", "/m/%OUTFILE.mp3"),
              "mpcdec -d '/m/%OPTIONSENC%OUTFILE.mpc' - | lame -e - '/m/%OUTFILE.mp3'");
    EXPECT_EQ(Build("", "/m/it's.mpc", "", "/m/it's.mp3"),
              "mpcdec '/m/it'\\''s.mpc' - | lame - '/m/it'\\''s.mp3'");
}

TEST(BuildCommand, OptionLinesThatLookLikePlaceholdersStayText)
{
    // An option line naming %INFILE or %OUTFILE never takes the paths' places.
    EXPECT_EQ(Build("--x %INFILE", "/s.mpc", "--tc %OUTFILE", "/o.mp3"),
              "mpcdec --x %INFILE '/s.mpc' - | lame --tc %OUTFILE - '/o.mp3'");
    // A placeholder absent from the template is simply not inserted.
    EXPECT_EQ(Build("D", "/s", "E", "/o", "run %OPTIONSENC %OUTFILE"), "run E '/o'");
}

TEST(OutputPath, ExtensionRule)
{
    auto mp3 = [](const std::string &path) { return os::ReplaceExtension(path, ".mp3"); };
    EXPECT_EQ(mp3("/music/track.mp+"), "/music/track.mp3");
    EXPECT_EQ(mp3("/music/track"), "/music/track.mp3");
    EXPECT_EQ(mp3("/mu.sic/track"), "/mu.sic/track.mp3");
    EXPECT_EQ(mp3("/m/a.b.MPC"), "/m/a.b.mp3");
    EXPECT_EQ(mp3("/m/.hidden"), "/m/.mp3");
    EXPECT_EQ(os::FileName("/a/b/c.mpc"), "c.mpc");
    EXPECT_EQ(os::FileName("c.mpc"), "c.mpc");
}

TEST(OutputPath, FolderJoinedWithoutSeparator)
{
    auto output = [](const std::string &source, bool useOutputDir, const std::string &dir) {
        TWorkItem item;
        item.source = source;
        TPlanOptions options;
        options.useOutputDir = useOutputDir;
        options.outputDir = dir;
        return PlainOutputPath(item, options);
    };
    EXPECT_EQ(output("/music/track.mp+", false, "/home/u/"), "/music/track.mp3");
    EXPECT_EQ(output("/music/track.mp+", true, "/home/u/"), "/home/u/track.mp3");
    // Empty folder text: the bare file name, i.e. the working folder.
    EXPECT_EQ(output("/music/track.mpc", true, ""), "track.mp3");
    // No separator is inserted: the folder text is expected to end in "/".
    EXPECT_EQ(output("/music/track.mpc", true, "/out"), "/outtrack.mp3");
}


// The built line, run by the real shell, hands every byte of an awkward name to the
// programs and runs nothing else.
TEST(BuildCommand, ShellReceivesNastyPathsUnchanged)
{
    TM_REQUIRE_TOOL("sh");
    tmtest::TempDir dir;
    const std::string name = "a  $HOME `touch pwned` ; 'q' \"d\" Ünï \\n *.mpc";
    const std::string templ = "printf '%s\\n' %INFILE %OUTFILE > args.txt";
    const std::string line = BuildCommand(templ, "", name, "", os::ReplaceExtension(name, ".mp3"), Quote);
    tmtest::WriteText(dir / "go.sh", line + "\n");
    const auto r = tmtest::Run({"/bin/sh", "go.sh"}, tmtest::U8(dir.path()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(tmtest::ReadText(dir / "args.txt"), name + "\n" + os::ReplaceExtension(name, ".mp3") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

}  // namespace
}  // namespace trackmill
