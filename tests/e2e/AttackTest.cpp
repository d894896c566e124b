// What an attacker, or plain bad luck, does to a run: a source that is its own output, a
// decoder that decodes nothing, option lines that would run commands or that the shell
// rejects, output without line breaks, a source swapped for a pipe, the MP3's temporary
// name swapped for a link, a decoder that ignores being stopped, and a run killed outright. Real mpcdec and lame, and stand-ins
// where the fault needs one.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using tmtest::WriteExecutable;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Ends what a test started, also when an assertion returns early.
struct KillOnExit {
    std::vector<pid_t> groups;
    ~KillOnExit()
    {
        for (pid_t g : groups)
            if (g > 0) ::kill(-g, SIGKILL);
    }
};

class Attacks : public tmtest::ConvertFixture {};

// A source whose output is a link back to its own data, or to another source of the job,
// is refused whatever the policy: the Musepack stream is never replaced by an MP3.
TEST_F(Attacks, AnOutputThatIsASourceIsRefused)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "d-data.mpc", 0.5));
    fs::rename(src / "d-data.mpc", src / "d.mp3");  // the Musepack data under the MP3's name
    fs::create_symlink("d.mp3", src / "d.mpc");
    ASSERT_TRUE(tmtest::MakeMpc(src / "b.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 0.5));
    fs::create_symlink("b.mpc", src / "a.mp3");
    const tmtest::Bytes d = tmtest::ReadBytes(src / "d.mp3"), b = tmtest::ReadBytes(src / "b.mpc");
    for (const char *policy : {"overwrite", "skip"}) {
        SCOPED_TRACE(policy);
        const auto r = cli.Run({"--existing", policy, (src / "d.mpc").string(), (src / "a.mpc").string(),
                                (src / "b.mpc").string()},
                               work);
        EXPECT_EQ(r.exitCode, 1) << r.out;
        EXPECT_TRUE(Contains(r.out, "the output " + (src / "d.mp3").string() + " is this source itself")) << r.out;
        EXPECT_TRUE(Contains(r.out, "the output " + (src / "a.mp3").string() + " is the source " +
                                        (src / "b.mpc").string()))
            << r.out;
        EXPECT_EQ(tmtest::ReadBytes(src / "d.mp3"), d);
        EXPECT_EQ(tmtest::ReadBytes(src / "b.mpc"), b);
        fs::remove(src / "b.mp3");
    }
}

// A header of no samples skips the playing-time check; an MP3 without a single audio
// frame still fails.
TEST_F(Attacks, AnMp3WithoutAudioFails)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "tone.mpc", 0.0));
    {
        // A WAV of no samples: a decoder that decodes nothing, and says all went well.
        std::ofstream wav(dir / "empty.wav", std::ios::binary);
        const unsigned char header[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                          16, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0,
                                          4, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
        wav.write(reinterpret_cast<const char *>(header), sizeof header);
    }
    WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ncat '" + (dir / "empty.wav").string() + "'\nexit 0\n");
    const auto r = cli.Run({(src / "tone.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(Contains(r.out, (src / "tone.mpc").string() + ": no audio was decoded")) << r.out;
    EXPECT_FALSE(fs::exists(src / "tone.mp3"));
}

// Option lines are shell words: what would run or redirect commands is refused before
// anything starts; a line the shell cannot read stops the job on the options check, with
// the shell's words.
TEST_F(Attacks, OptionLinesThatRunCommandsAndLinesTheShellRejects)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "b.mpc", 0.5));
    for (const std::string line : {"--tt x; touch pwned", "$(touch pwned)", "`touch pwned`", "--tt 'unclosed",
                                   "-V 2 # rest", "--tt a\ntouch pwned", "--tt \"$(touch pwned)\""}) {
        SCOPED_TRACE(line);
        const auto r = cli.Run({"--encoder-options", line, src.string()}, work);
        EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
        EXPECT_TRUE(Contains(r.err, "The encoder options cannot be used")) << r.err;
        EXPECT_FALSE(fs::exists(work / "pwned"));
        EXPECT_FALSE(fs::exists(src / "a.mp3"));
    }
    // Quoted, the same characters are only words.
    auto r = cli.Run({"-j", "1", "--encoder-options", "--quiet --tt 'a;b|c&d>e<f#g'", src.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(tmtest::ReadTags(src / "a.mp3")["v2"].toObject()["title"].toString().toStdString(), "a;b|c&d>e<f#g");

    fs::remove(src / "a.mp3");
    fs::remove(src / "b.mp3");
    r = cli.Run({"-j", "1", "--encoder-options", "(", src.string()}, work);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "no file was started: the shell could not run the command: ")) << r.err;
    EXPECT_FALSE(Contains(r.err, "could not start the programs")) << r.err;
    EXPECT_FALSE(fs::exists(src / "a.mp3"));
}

// A program printing a megabyte without a line break gives one line, cut with a mark.
TEST_F(Attacks, OutputWithoutLineBreaksIsCut)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 0.5));
    WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\nhead -c 1000000 /dev/zero | tr '\\000' x >&2\nexec " +
                                              tmtest::Installed("mpcdec") + " \"$@\"\n");
    const auto r = cli.Run({"-v", (src / "a.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    std::size_t longest = 0;
    for (std::string line; std::getline(lines, line);) longest = std::max(longest, line.size());
    EXPECT_LT(longest, 70000u);
    // The decoder's own banner follows the x's on the same line, so at least the rest of
    // the x's is counted.
    const std::string mark = std::string(64, 'x') + " [... ";
    const std::size_t at = r.out.find(mark);
    ASSERT_NE(at, std::string::npos) << longest;
    EXPECT_GE(std::stoull(r.out.substr(at + mark.size())), 1000000u - 65536u);
    EXPECT_TRUE(Contains(r.out, " more bytes of this line not shown]"));
}

// A source swapped for a pipe after the plan fails at its turn: nothing waits on the pipe.
TEST_F(Attacks, ASourceReplacedByAPipeFailsAtItsTurn)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "b.mpc", 0.5));
    const fs::path b = src / "b.mpc";
    WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ncase \"$1\" in *a.mpc) rm -f '" + b.string() + "'; mkfifo '" +
                                              b.string() + "';; esac\nexec " + tmtest::Installed("mpcdec") +
                                              " \"$@\"\n");
    const auto r = tmtest::Run({cli.Program().string(), "convert", "-j", "1", src.string()}, work.string(), 60000,
                               cli.Environment());
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(Contains(r.out, b.string() + ": the source is no longer a file")) << r.out;
    EXPECT_TRUE(fs::exists(src / "a.mp3"));
}

// Another user who may write the output folder swaps what stands at the MP3's temporary
// name for a link to a file outside, the moment the encoder starts. That file keeps its
// bytes and its mode, also when an existing MP3 is overwritten and its mode handed on;
// the MP3 comes whole to its own name, and nothing of ours is left.
TEST_F(Attacks, ATemporaryNameSwappedForALinkReachesNothing)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 0.5));
    tmtest::WriteText(src / "a.mp3", "the user's own MP3, to be overwritten");
    const auto userMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(src / "a.mp3", userMode);
    const fs::path target = dir / "target";
    tmtest::WriteText(target, "a file the other user may not write");
    const auto targetMode = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(target, targetMode);
    const fs::path away = dir / "away";
    fs::create_directory(away);
    // The other user's part, then the real encoder: each ".tm-" name moved away, a link in its place.
    WriteExecutable(cli.Bin() / "lame", "#!/bin/sh\nfor f in '" + src.string() + "'/.tm-*; do mv \"$f\" '" +
                                            away.string() + "'/ && ln -s '" + target.string() +
                                            "' \"$f\"; done\nexec " + tmtest::Installed("lame") + " \"$@\"\n");
    const auto r = cli.Run({"--existing", "overwrite", (src / "a.mpc").string()}, work);

    EXPECT_TRUE(tmtest::ReadText(target) == "a file the other user may not write") << "written through the link";
    EXPECT_EQ(fs::status(target).permissions(), targetMode);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(src / "a.mp3")));
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "a.mp3"), 0.5, 0.1);
    EXPECT_EQ(fs::status(src / "a.mp3").permissions(), userMode);
    // Only the other user's link stands at the name; the folder they moved away is empty.
    const std::vector<std::string> left = tmtest::Leftovers(src);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(fs::is_symlink(left[0]));
    for (const auto &e : fs::directory_iterator(away))
        EXPECT_TRUE(fs::is_directory(e.path()) && fs::is_empty(e.path())) << e.path();
}

// The second Ctrl-C stops the commands; one that ignores the request is killed after a
// short grace, so nothing the tool stopped outlives it.
TEST_F(Attacks, ADecoderThatIgnoresTheStopIsKilled)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 0.5));
    const fs::path pidFile = dir / "decoder.pid";
    WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ntrap '' TERM INT\necho $$ > '" + pidFile.string() +
                                              "'\nexec sleep 300\n");
    tmtest::Started run = tmtest::StartInOwnGroup(cli, {src.string()}, work, dir / "out.txt");
    KillOnExit guard{{run.pid}};
    ASSERT_TRUE(tmtest::WaitFor([&] { return !tmtest::ReadText(pidFile).empty(); }));
    const pid_t decoder = std::stoi(tmtest::ReadText(pidFile));
    guard.groups.push_back(::getpgid(decoder));
    ::kill(-run.pid, SIGINT);
    // The second only once the first has been heard, or both may count as one.
    EXPECT_TRUE(tmtest::WaitFor([&] { return Contains(tmtest::ReadText(run.out), "trackmill-cli: cancel requested"); }));
    ::kill(-run.pid, SIGINT);
    EXPECT_EQ(run.Wait(), 1) << tmtest::ReadText(run.out);
    auto gone = [&] {
        std::ifstream stat("/proc/" + std::to_string(decoder) + "/stat");
        std::string line;
        // Gone, or a zombie waiting for a parent that is not ours to reap it.
        return !std::getline(stat, line) || line.find(") Z ") != std::string::npos;
    };
    EXPECT_TRUE(tmtest::WaitFor(gone, 5));
}

// A run killed outright leaves its private folder and a whole MP3 under a temporary name
// (in a folder of its own); once an hour has passed, the next job removes them, and only
// those.
TEST_F(Attacks, WhatAKilledRunLeftIsRemovedByTheNext)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 3.0));
    tmtest::WriteSlowLame(cli.Bin() / "lame", 264600);
    const fs::path runtime = dir / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    tmtest::Started run = tmtest::StartInOwnGroup(cli, {src.string()}, work, dir / "out.txt",
                                                  {{"XDG_RUNTIME_DIR", runtime.string()}});
    KillOnExit guard{{run.pid}};
    ASSERT_TRUE(tmtest::WaitFor([&] { return !tmtest::Leftovers(src).empty(); }));
    ::kill(run.pid, SIGKILL);
    run.Wait();
    const std::vector<std::string> left = tmtest::Leftovers(src);
    ASSERT_EQ(left.size(), 1u);
    // The killed run's commands go on to their end; what they leave is whole but nameless.
    const fs::path mp3 = fs::path(left[0]) / "out.mp3";
    ASSERT_TRUE(tmtest::WaitFor([&] { return tmtest::Mp3Seconds(mp3) > 2.9; }, 30));
    std::vector<fs::path> scratch;
    for (const auto &e : fs::directory_iterator(runtime)) scratch.push_back(e.path());
    ASSERT_EQ(scratch.size(), 1u);
    tmtest::WriteText(src / ".tm-user00.mp3", "a file of the user's that looks like ours");

    // Within the hour nothing is taken away: the run might only be slow.
    ASSERT_TRUE(tmtest::MakeMpc(dir / "other.mpc", 0.2));
    const std::map<std::string, std::string> env{{"XDG_RUNTIME_DIR", runtime.string()}};
    auto again = [&] {
        std::map<std::string, std::string> e = cli.Environment();
        e.insert(env.begin(), env.end());
        fs::remove(dir / "other.mp3");
        return tmtest::Run({cli.Program().string(), "convert", (dir / "other.mpc").string()}, work.string(), 60000, e);
    };
    EXPECT_EQ(again().exitCode, 0);
    EXPECT_TRUE(fs::exists(left[0]));
    EXPECT_TRUE(fs::exists(scratch[0]));

    const auto hoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const fs::path &p : {mp3, fs::path(left[0]), scratch[0], src / ".tm-user00.mp3"})
        fs::last_write_time(p, hoursAgo);
    EXPECT_EQ(again().exitCode, 0);
    EXPECT_FALSE(fs::exists(left[0]));
    EXPECT_FALSE(fs::exists(scratch[0]));
    EXPECT_TRUE(fs::exists(src / ".tm-user00.mp3"));
}

}  // namespace
