// How often a conversion opens its source, counted by strace, and what a source that
// changes while it is converted comes to: the MP3 is judged and tagged by the source as
// it was when its file started.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using tmtest::WriteExecutable;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

class SourceReads : public tmtest::ConvertFixture {};

// Opens of `name` in an strace -f log of openat and execve, leaving out the decoder's:
// a process counts as the decoder from its execve of mpcdec on.
int OpensOutsideTheDecoder(const fs::path &log, const std::string &name)
{
    std::istringstream lines(tmtest::ReadText(log));
    std::set<std::string> decoders;
    int opens = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::string pid = line.substr(0, line.find(' '));
        if (Contains(line, "execve(") && Contains(line, "/mpcdec\"")) decoders.insert(pid);
        if (Contains(line, "openat(") && Contains(line, "/" + name + "\"") && !decoders.count(pid)) ++opens;
    }
    return opens;
}

TEST_F(SourceReads, AnApeTaggedSourceIntoId3v23IsOpenedAtMostTwice)
{
    TM_REQUIRE_TOOL("strace");
    const fs::path source = src / "counted.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(source, 1.0, {"--tag", "Title=Counted", "--tag", "Artist=Someone"}));
    const fs::path log = dir / "trace.log";
    // The leak checker of a sanitizer build cannot work under ptrace.
    std::map<std::string, std::string> env = cli.Environment();
    env["ASAN_OPTIONS"] = "detect_leaks=0";
    const auto r = tmtest::Run({"strace", "-f", "-qq", "-e", "trace=openat,execve", "-o", log.string(),
                                cli.Program().string(), "convert", "--ape-to", "id3v2", source.string()},
                               work.string(), 120000, env);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    // The decoder did open it, so the log is the one looked for.
    ASSERT_TRUE(Contains(tmtest::ReadText(log), "mpcdec"));
    // Once when collected, once when its file starts.
    EXPECT_LE(OpensOutsideTheDecoder(log, "counted.mpc"), 2);
    const QJsonObject v2 = tmtest::ReadTags(src / "counted.mp3")["v2"].toObject();
    EXPECT_EQ(v2["title"].toString(), "Counted");
    EXPECT_EQ(v2["version"].toInt(), 3);
}

// A decoder whose source is retagged while it runs: the file fails and nothing is left
// behind, so the next job converts the source as it is now.
TEST_F(SourceReads, ASourceChangedWhileItIsConvertedFails)
{
    const fs::path source = src / "edited.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(source, 0.5, {"--tag", "Title=Before"}));
    WriteExecutable(cli.Bin() / "mpcdec",
                    "#!/bin/sh\n" + tmtest::Installed("mpcdec") + " \"$@\"\nstatus=$?\ncase \"$*\" in *edited.mpc*) " +
                        tmtest::SystemPython() +
                        " -c 'import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2(sys.argv[1])\n"
                        "t[\"Title\"] = \"A longer title given meanwhile\"\nt.save()' '" + source.string() +
                        "';; esac\nexit $status\n");
    const auto r = cli.Run({source.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, source.string() + ": the source changed while it was converted")) << r.out;
    EXPECT_FALSE(fs::exists(src / "edited.mp3"));
    EXPECT_TRUE(tmtest::Leftovers(src).empty());
}

}  // namespace
