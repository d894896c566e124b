#include "system/JobPlatform.h"
#include "system/Platform.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>


#include <cstdlib>
#include <string>
#include <vector>

namespace platform = trackmill::platform;
using tmtest::TempDir;

namespace {

// Two spaces, a variable, a command substitution, a separator, both quotes, a glob,
// a backslash, a newline and letters outside ASCII.
const std::string kHostileName =
    "a  b $HOME `echo pwned` ; rm -f x & 'single' \"double\" *?[ \\ \n Grüße ☃.mpc";

// Words as /bin/sh itself splits the line (no expansion may be involved).
std::vector<std::string> ShellWords(const std::string &line)
{
    auto r = tmtest::Run({"/bin/sh", "-c", "for w in " + line + "; do printf '%s\\0' \"$w\"; done"});
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t i = 0; i < r.out.size(); ++i) {
        if (r.out[i] == '\0') {
            words.push_back(r.out.substr(start, i - start));
            start = i + 1;
        }
    }
    return words;
}

}  // namespace

TEST(ShellQuote, EveryByteReachesTheProgramUnchanged)
{
    EXPECT_EQ(platform::ShellQuote("it's"), "'it'\\''s'");
    for (const std::string &text : {kHostileName, std::string(), std::string("'"), std::string("''x''")}) {
        auto r = tmtest::Run({"/bin/sh", "-c", "printf %s " + platform::ShellQuote(text)});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, text);
    }
    // A real file by that name is opened, and nothing else is run.
    TempDir dir;
    tmtest::WriteText(dir / kHostileName, "content");
    auto r = tmtest::Run({"/bin/sh", "-c", "cat " + platform::ShellQuote(tmtest::U8(dir / kHostileName))},
                         tmtest::U8(dir.path()));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "content");
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(SplitCommandLine, AgreesWithTheShell)
{
    const std::vector<std::string> lines = {
        "/bin/sh go.sh",
        "  a\tb  c  ",
        "'single  quoted' \"double  quoted\" mixed' 'part\"s\"",
        "back\\ slash \"esc\\\"aped\\\\\" \"keep\\n\" 'no\\escape'",
        "'' \"\" empty-words-above",
        "/bin/sh -c " + platform::ShellQuote(kHostileName),
    };
    for (const std::string &line : lines) {
        auto words = platform::SplitCommandLine(line);
        ASSERT_TRUE(words) << line;
        EXPECT_EQ(*words, ShellWords(line)) << line;
    }
    EXPECT_TRUE(platform::SplitCommandLine("")->empty());
    EXPECT_FALSE(platform::SplitCommandLine("echo 'open"));
    EXPECT_FALSE(platform::SplitCommandLine("echo \"open"));
    EXPECT_FALSE(platform::SplitCommandLine("echo trailing\\"));
}

TEST(FindProgram, BesideUsThenAbsolutePathEntriesNeverTheWorkingFolder)
{
    TempDir beside, work, onPath;
    for (const TempDir *d : {&beside, &work, &onPath}) {
        tmtest::WriteText(*d / "lame", "#!/bin/sh\n");
        std::filesystem::permissions(*d / "lame", std::filesystem::perms{0755});
    }
    tmtest::WriteText(beside / "plain", "not a program");
    const auto savedCwd = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    {
        // "." and an empty entry would both mean the working folder: they are skipped.
        tmtest::ScopedEnv path("PATH", ".::" + tmtest::U8(onPath.path()) + ":/usr/bin:/bin");
        EXPECT_EQ(platform::FindProgram("lame", tmtest::U8(beside.path())), tmtest::U8(beside / "lame"));
        EXPECT_EQ(platform::FindProgram("lame", ""), tmtest::U8(onPath / "lame"));
        EXPECT_EQ(platform::FindOnPath("lame"), tmtest::U8(onPath / "lame"));
        EXPECT_EQ(platform::FindProgram("plain", tmtest::U8(beside.path())), "");  // not executable
        EXPECT_EQ(platform::FindCommand("sh"), "/usr/bin/sh");
        EXPECT_EQ(platform::FindCommand("/bin/sh"), "/bin/sh");
        EXPECT_EQ(platform::FindCommand("./lame", tmtest::U8(work.path())), tmtest::U8(work / "./lame"));
    }
    {
        tmtest::ScopedEnv path("PATH", ".:relative/bin");
        EXPECT_EQ(platform::FindProgram("lame", ""), "");
        EXPECT_EQ(platform::FindCommand("lame"), "");
    }
    std::filesystem::current_path(savedCwd);
}

TEST(PlatformConstants, MessagesAndDefaults)
{
    EXPECT_STREQ(platform::kEncoderMissingMessage,
                 "LAME not found. Place the program in the same directory as trackmill or install it on the PATH");
    EXPECT_STREQ(platform::kDecoderMissingMessage,
                 "MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH");
    const char *home = std::getenv("HOME");
    if (home && *home && std::string(home) != "/") {
        std::string expected = home;
        if (expected.back() != '/') expected += '/';
        EXPECT_EQ(platform::DefaultOutputFolder(), expected);
    }
}

// The two programs' output arrives mixed; each failure quotes its own program only.
TEST(JudgeShellStatuses, EachFailureQuotesItsOwnProgram)
{
    using trackmill::TCommandsOutput;
    using trackmill::platform::JudgeShellStatuses;
    const std::string decoderSaid = "mpcdec - Musepack decoder\nAn error occured while decoding\n10 samples decoded\n";
    TCommandsOutput decoder{255, 0, decoderSaid + "LAME 3.100\nEncoding as 44.1 kHz\n", decoderSaid, true, {}};
    auto end = JudgeShellStatuses(decoder);
    EXPECT_EQ(end.failure, "the decoder stopped with exit status 255");
    EXPECT_TRUE(end.decoderFailed);
    EXPECT_EQ(end.said, "mpcdec: An error occured while decoding");

    // The encoder failing after it wrote something: not its options, its own last complaint.
    TCommandsOutput encoder{0, 1, decoderSaid + "Encoding as 44.1 kHz\n/usr/bin/lame: Error writing frame\n",
                            decoderSaid, true, {}};
    end = JudgeShellStatuses(encoder);
    EXPECT_EQ(end.failure, "the encoder stopped with exit status 1");
    EXPECT_FALSE(end.decoderFailed);
    EXPECT_EQ(end.said, "lame: Error writing frame");

    // Nothing written and a complaint about an option: the first such line, not the usage after it.
    TCommandsOutput options{141, 1, "LAME 64bits\nError: You did not enter a valid profile and/or options with "
                                    "--preset\nAvailable profiles are:\n  medium\nFor further information try\n",
                            "mpcdec - Musepack decoder\n", false, {}};
    end = JudgeShellStatuses(options);
    EXPECT_EQ(end.failure, "lame did not accept the encoder options: Error: You did not enter a valid profile "
                           "and/or options with --preset");
    EXPECT_TRUE(end.said.empty());
    // The same encoder line after some MP3 was written is no longer about the options.
    options.encoded = true;
    EXPECT_EQ(JudgeShellStatuses(options).failure, "the encoder stopped with exit status 1");
}
