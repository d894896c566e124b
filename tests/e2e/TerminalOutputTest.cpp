// What a person sees in a terminal: a line for each file as it ends, the failures with the
// last lines their programs printed, the programs' banners only with --verbose, and a
// mistyped option answered in a few lines. Standard output is not a terminal here, so
// there is no live line to count.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }
long LineCount(const std::string &text) { return std::count(text.begin(), text.end(), '\n'); }

class TerminalOutput : public tmtest::ConvertFixture {};

TEST_F(TerminalOutput, ALineAFileTheFailuresWithTheirProgramsWordsAndTheBannersOnlyWhenAsked)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "01.mpc", 0.3));
    for (int i = 2; i <= 20; ++i)
        fs::copy_file(src / "01.mpc", src / ((i < 10 ? "0" : "") + std::to_string(i) + ".mpc"));
    auto r = cli.Run({src.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_LE(LineCount(r.out) + LineCount(r.err), 25) << r.out << r.err;
    EXPECT_FALSE(Contains(r.out, "LAME")) << r.out;
    EXPECT_TRUE(Contains(r.out, "done: " + (src / "07.mp3").string() + "\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "\nConverted 20 of 20 files.\n")) << r.out;

    // A source cut in half beside a whole one: the decoder says why it stopped.
    const fs::path bad = dir / "bad";
    fs::create_directory(bad);
    fs::copy_file(src / "01.mpc", bad / "whole.mpc");
    ASSERT_TRUE(tmtest::MakeMpc(dir / "long.mpc", 4.0));
    tmtest::Bytes bytes = tmtest::ReadBytes(dir / "long.mpc");
    bytes.resize(bytes.size() / 2);
    tmtest::WriteBytes(bad / "cut.mpc", bytes);
    r = cli.Run({bad.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_FALSE(Contains(r.out, "Converted:")) << r.out;
    EXPECT_TRUE(Contains(r.out, "\nConverted 1 of 2 files, 1 failed.\nFailed:\n  " + (bad / "cut.mpc").string() +
                                    ": the source is damaged"))
        << r.out;
    // Below the failure's line, indented, what the decoder printed last.
    const std::size_t failed = r.out.find("FAILED: " + (bad / "cut.mpc").string());
    ASSERT_NE(failed, std::string::npos) << r.out;
    const std::size_t next = r.out.find('\n', failed) + 1;
    const std::string below = r.out.substr(next, r.out.find("\n\n", next) - next);
    EXPECT_EQ(below.rfind("    ", 0), 0u) << r.out;
    EXPECT_TRUE(Contains(below, "samples decoded")) << below;
    EXPECT_LE(LineCount(below), 5) << below;

    // --verbose: each file's start, the programs' banners, every file in the summary.
    r = cli.Run({"--verbose", "--output-dir", (dir / "out").string(), bad.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "LAME ")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Converted:\n  " + (bad / "whole.mpc").string() + " -> ")) << r.out;
}

TEST_F(TerminalOutput, AMistypedOptionOrCommandIsAnsweredWithAGuessNotTheHelp)
{
    auto r = cli.Run({"--output-dr", "out", src.string()}, work);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "trackmill-cli convert: unknown option '--output-dr'\nDid you mean --output-dir?\n"
                     "See trackmill-cli convert --help.\n");
    EXPECT_TRUE(r.out.empty()) << r.out;
    // Nothing close: no guess.
    r = cli.Run({"--zzzzzz", src.string()}, work);
    EXPECT_EQ(r.err, "trackmill-cli convert: unknown option '--zzzzzz'\nSee trackmill-cli convert --help.\n");

    r = tmtest::Run({cli.Program().string(), "conver", src.string()}, work.string(), 60000, cli.Environment());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "trackmill-cli: unknown command 'conver'\nDid you mean convert?\nSee trackmill-cli --help.\n");

    // The help names its defaults as defaults.
    r = cli.Run({"--help"}, work);
    EXPECT_TRUE(Contains(r.out, "(default: --alt-preset")) << r.out;
    EXPECT_FALSE(Contains(r.out, "designed")) << r.out;
}

}  // namespace
