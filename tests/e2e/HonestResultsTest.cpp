// A file counts as converted only when its MP3 is whole, tagged and in place, and nothing
// that Trackmill did not make is touched: damaged sources, failing commands beside a
// user's own MP3, two runs in one folder, planted programs, Ctrl-C, names at the limit,
// read-only files and a full disk. Real mpcdec and lame throughout.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

namespace {

namespace fs = std::filesystem;
using tmtest::ReadTags;
using tmtest::Started;
using tmtest::StartInOwnGroup;
using tmtest::WaitFor;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

struct FileState {
    tmtest::Bytes bytes;
    fs::perms mode;
    fs::file_time_type time;
    bool operator==(const FileState &) const = default;
};
FileState StateOf(const fs::path &p) { return {tmtest::ReadBytes(p), fs::status(p).permissions(), fs::last_write_time(p)}; }

class HonestResults : public tmtest::ConvertFixture {
protected:
    void Tagged(const fs::path &file, double seconds, const std::string &title)
    {
        ASSERT_TRUE(tmtest::MakeMpc(file, seconds, {"--tag", "Title=" + title, "--tag", "Artist=A"}));
    }
};

TEST_F(HonestResults, DamagedSourcesFailWithTheirReasonAndLeaveNothing)
{
    Tagged(src / "whole.mpc", 4.0, "Whole");
    Tagged(src / "cut.mpc", 10.0, "Cut");
    tmtest::Bytes bytes = tmtest::ReadBytes(src / "cut.mpc");
    bytes.resize(bytes.size() / 2);
    tmtest::WriteBytes(src / "cut.mpc", bytes);
    Tagged(src / "zeroed.mpc", 10.0, "Zeroed");
    bytes = tmtest::ReadBytes(src / "zeroed.mpc");
    std::fill(bytes.begin() + 2000, bytes.end() - 200, 0);
    tmtest::WriteBytes(src / "zeroed.mpc", bytes);
    // A decoder that stops early but says it succeeded: only the playing time tells.
    Tagged(src / "short.mpc", 10.0, "Short");
    tmtest::WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ncase \"$1\" in *short*) " + tmtest::Installed("mpcdec") +
                                                      " \"$@\" | head -c 1058444; exit 0;; esac\nexec " +
                                                      tmtest::Installed("mpcdec") + " \"$@\"\n");

    const auto r = cli.Run({"--encoder-options", "--quiet", src.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Converted 1 of 4 files, 3 failed.")) << r.out;
    // How far the decoder got, and its own last complaint.
    const std::size_t at = r.out.find((src / "cut.mpc").string() + ": ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
    std::smatch cut;
    ASSERT_TRUE(std::regex_search(line, cut,
                                  std::regex(": the source is damaged: decoding stopped after ([0-9]+\\.[0-9]) of 10\\.0 s; "
                                             "mpcdec: .*error", std::regex::icase)))
        << line;
    EXPECT_GT(std::stod(cut[1]), 2.0);
    EXPECT_LT(std::stod(cut[1]), 8.0);
    EXPECT_TRUE(Contains(r.out, (src / "zeroed.mpc").string() + ": the source is damaged: decoding stopped after "))
        << r.out;
    EXPECT_TRUE(Contains(r.out, (src / "short.mpc").string() +
                                    ": the source is damaged: the MP3 holds 264,600 of the source's 441,000 samples"))
        << r.out;
    EXPECT_NEAR(tmtest::Mp3Seconds(src / "whole.mp3"), 4.0, 0.1);
    // Without lame's Info tag the MP3 cannot say its samples: the playing times are compared.
    const auto untagged = cli.Run({"--encoder-options", "--quiet -t", (src / "short.mpc").string()}, work);
    EXPECT_TRUE(Contains(untagged.out, (src / "short.mpc").string() + ": the MP3 lasts 6.0 s, the source 10.0 s"))
        << untagged.out;
    for (const char *name : {"cut.mp3", "zeroed.mp3", "short.mp3"}) EXPECT_FALSE(fs::exists(src / name)) << name;
    EXPECT_TRUE(tmtest::Leftovers(dir.path()).empty());
}

TEST_F(HonestResults, EveryFileIsVerifiedToTheSample)
{
    // Version 7 at each rate (mpcenc writes only 8): headers of 200 frames whose last holds
    // 500 samples, 229,748 in all, and a stand-in decoder that gives the WAV beside each
    // (what has none, the options check's silence, the real one decodes); one gives a
    // sample less, as a stream that lost its last bytes decodes.
    const std::uint32_t rates[] = {44100, 48000, 37800, 32000};
    std::vector<std::string> sources;
    for (std::uint8_t i = 0; i < 5; ++i) {
        const fs::path mpc = src / (i < 4 ? "sv7-" + std::to_string(rates[i]) + ".mpc" : std::string("sv7-short.mpc"));
        tmtest::Bytes header{'M', 'P', '+', 7, 200, 0, 0, 0, 0, 0, std::uint8_t(0xA0 | (i % 4)), 0x40};
        header.resize(20000, 0);
        header[22] = 500 << 4 & 0xF0;  // bits 20 to 30 of the word at 20, bit 31 the gapless flag
        header[23] = 0x80 | 500 >> 4;
        tmtest::WriteBytes(mpc, header);
        tmtest::MakeSineWav(fs::path(mpc).replace_extension(".wav"), (229748.0 - i / 4) / rates[i % 4],
                            int(rates[i % 4]));
        sources.push_back(mpc.string());
    }
    tmtest::WriteExecutable(cli.Bin() / "mpcdec",
                            "#!/bin/sh\nfor a; do case \"$a\" in *.mpc) [ -f \"${a%.mpc}.wav\" ] && exec cat \"${a%.mpc}.wav\";; "
                            "esac; done\nexec " + tmtest::Installed("mpcdec") + " \"$@\"\n");
    std::vector<std::string> args{"--encoder-options", "--quiet"};
    args.insert(args.end(), sources.begin(), sources.end());
    auto r = cli.Run(args, work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(Contains(r.out, "Converted 4 of 5 files, 1 failed.")) << r.out;
    EXPECT_TRUE(Contains(r.out, sources[4] + ": the source is damaged: the MP3 holds 229,747 of the source's "
                                             "229,748 samples"))
        << r.out;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(tmtest::Mp3Seconds(fs::path(sources[i]).replace_extension(".mp3")), 229748.0 / rates[i], 0.1);
    fs::remove(cli.Bin() / "mpcdec");

    // Version 8 from mpcenc, of odd lengths, encoded as set and where lame resamples by
    // itself: 64 kbit/s writes 24 kHz, -V 9 22.05 kHz.
    sources.clear();
    for (const int samples : {1, 1151, 1152, 1153, 441001}) {
        const fs::path mpc = src / (std::to_string(samples) + ".mpc");
        ASSERT_TRUE(tmtest::MakeMpc(mpc, samples / 44100.0));
        sources.push_back(mpc.string());
    }
    for (const char *options : {"--quiet", "--quiet --alt-preset cbr 64", "--quiet -V 9"}) {
        SCOPED_TRACE(options);
        for (const std::string &source : sources) fs::remove(fs::path(source).replace_extension(".mp3"));
        args = {"--encoder-options", options};
        args.insert(args.end(), sources.begin(), sources.end());
        r = cli.Run(args, work);
        EXPECT_EQ(r.exitCode, 0) << r.out;
        EXPECT_TRUE(Contains(r.out, "Converted 5 of 5 files.")) << r.out;
    }
    const auto rate = tmtest::Run({"ffprobe", "-v", "error", "-show_entries", "stream=sample_rate", "-of", "csv=p=0",
                                   (src / "441001.mp3").string()});
    EXPECT_EQ(rate.out.substr(0, 5), "22050") << rate.out;
}

TEST_F(HonestResults, WhatTheTagsCouldNotCarryIsSaidAndTheFileStaysConverted)
{
    // An APE cover of 16 MiB + 2 bytes: past the cap, so the MP3 gets the title alone.
    const fs::path mpc = src / "cover.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 0.5));
    ASSERT_TRUE(tmtest::AddApeTitleAndCover(mpc, "Big", 16 * 1024 * 1024 + 2));
    const std::string note = "the cover picture of 16.0 MiB exceeds the 16 MiB limit and was not carried";

    auto r = cli.Run({mpc.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Contains(r.out, "done: " + (src / "cover.mp3").string() + " (" + note + ")\n")) << r.out;
    EXPECT_EQ(ReadTags(src / "cover.mp3")["v2"].toObject()["title"].toString(), "Big");
    r = cli.Run({"--json", "--flat", "--output-dir", (dir / "json").string(), mpc.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Contains(r.out, "\"state\":\"converted\",\"reason\":\"" + note + "\"}")) << r.out;
}

TEST_F(HonestResults, AFailingCommandNeverTouchesTheUsersMp3)
{
    Tagged(src / "song.mpc", 1.0, "Song");
    // An old stream version that passes the header test but that the decoder cannot read.
    tmtest::Bytes old = {0, 0x0E, 1, 0x40, 0xAE, 1, 0, 0, 0, 0, 0, 0};
    old.resize(20000, 0x5A);
    tmtest::WriteBytes(src / "old.mpc", old);
    for (const char *name : {"song.mp3", "old.mp3"}) {
        tmtest::WriteText(src / name, std::string("the user's own ") + name);
        fs::permissions(src / name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    const FileState song = StateOf(src / "song.mp3"), oldMp3 = StateOf(src / "old.mp3");

    // Overwrite is asked for, so the conversions would really run; both fail, the first
    // already on the check of its options.
    auto r = cli.Run({"--existing", "overwrite", "--encoder-options", "--bogus-option", (src / "song.mpc").string()},
                     work);
    EXPECT_EQ(r.exitCode, 2) << r.out;
    r.out += r.err;
    EXPECT_TRUE(Contains(r.out, "lame did not accept the encoder options: unrecognized option --bogus-option\n"))
        << r.out;
    r = cli.Run({"--existing", "overwrite", (src / "old.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(Contains(r.out, "the decoder stopped with exit status 1")) << r.out;
    EXPECT_TRUE(StateOf(src / "song.mp3") == song);
    EXPECT_TRUE(StateOf(src / "old.mp3") == oldMp3);
    EXPECT_TRUE(tmtest::Leftovers(src).empty());
}

TEST_F(HonestResults, TwoRunsInOneFolderAndPlantedProgramsStayApart)
{
    fs::create_directories(src / "a");
    fs::create_directories(src / "b");
    Tagged(src / "a" / "one.mpc", 3.0, "A one");
    Tagged(src / "a" / "two.mpc", 1.0, "A two");
    Tagged(src / "b" / "one.mpc", 6.0, "B one");
    Tagged(src / "b" / "two.mpc", 2.0, "B two");
    // The working folder ships its own "lame", a script of the user's named go.sh and a
    // go.sh link; PATH names the working folder as "." and as an empty entry.
    tmtest::WriteExecutable(work / "lame", "#!/bin/sh\ntouch '" + (work / "planted-ran").string() + "'\nexit 1\n");
    tmtest::WriteText(work / "go.sh", "echo the user's script\n");
    tmtest::WriteText(dir / "target", "linked file");
    fs::create_symlink(dir / "target", work / "go.sh.link");
    const std::string path = ".::" + std::string(std::getenv("PATH"));

    Started a = StartInOwnGroup(cli, {(src / "a").string()}, work, dir / "a.txt", {{"PATH", path}});
    Started b = StartInOwnGroup(cli, {(src / "b").string()}, work, dir / "b.txt", {{"PATH", path}});
    EXPECT_EQ(a.Wait(), 0) << tmtest::ReadText(a.out);
    EXPECT_EQ(b.Wait(), 0) << tmtest::ReadText(b.out);
    EXPECT_FALSE(fs::exists(work / "planted-ran"));
    EXPECT_EQ(tmtest::ReadText(work / "go.sh"), "echo the user's script\n");
    EXPECT_EQ(tmtest::ReadText(dir / "target"), "linked file");
    const std::map<std::string, std::pair<double, std::string>> expected = {
        {"a/one.mp3", {3.0, "A one"}}, {"a/two.mp3", {1.0, "A two"}},
        {"b/one.mp3", {6.0, "B one"}}, {"b/two.mp3", {2.0, "B two"}}};
    for (const auto &[name, want] : expected) {
        EXPECT_NEAR(tmtest::Mp3Seconds(src / name), want.first, 0.1) << name;
        EXPECT_EQ(ReadTags(src / name)["v2"].toObject()["title"].toString().toStdString(), want.second) << name;
    }
}

TEST_F(HonestResults, CtrlCFinishesTheFilesInProgressAndASecondStopsThem)
{
    for (const char *name : {"1.mpc", "2.mpc", "3.mpc", "4.mpc", "5.mpc"}) Tagged(src / name, 3.0, name);
    // About 1.5 s of audio a second: each file takes two seconds, however fast the machine.
    tmtest::WriteSlowLame(cli.Bin() / "lame", 264600);
    for (const char *jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        for (const auto &e : fs::directory_iterator(src))
            if (e.path().extension() == ".mp3") fs::remove(e.path());
        Started run = StartInOwnGroup(cli, {"-v", "-j", jobs, "--encoder-options", "--quiet", src.string()}, work,
                                      dir / "out.txt");
        ASSERT_TRUE(WaitFor([&] { return Contains(tmtest::ReadText(run.out), "[" + std::string(jobs) + "/5] "); }));
        ::kill(-run.pid, SIGINT);  // what the terminal does: the whole foreground group
        const int status = run.Wait();
        const std::string text = tmtest::ReadText(run.out);
        EXPECT_EQ(status, 1) << text;
        const int inProgress = std::stoi(jobs);
        for (int i = 1; i <= 5; ++i) {
            const fs::path mp3 = src / (std::to_string(i) + ".mp3");
            if (i <= inProgress) {
                EXPECT_NEAR(tmtest::Mp3Seconds(mp3), 3.0, 0.1) << text;
                EXPECT_EQ(ReadTags(mp3)["v2"].toObject()["title"].toString().toStdString(), std::to_string(i) + ".mpc");
            } else {
                EXPECT_FALSE(fs::exists(mp3)) << mp3;
                EXPECT_TRUE(Contains(text, "  " + (src / (std::to_string(i) + ".mpc")).string() + "\n")) << text;
            }
        }
        EXPECT_TRUE(Contains(text, "Not converted (cancelled):")) << text;
        EXPECT_TRUE(tmtest::Leftovers(src).empty());
    }

    // Twice: the commands stop, and no MP3 stands under an output name.
    for (const auto &e : fs::directory_iterator(src))
        if (e.path().extension() == ".mp3") fs::remove(e.path());
    Started run = StartInOwnGroup(cli, {"-j", "2", src.string()}, work, dir / "out.txt");
    ASSERT_TRUE(WaitFor([&] { return !tmtest::Leftovers(src).empty(); }));
    ::kill(-run.pid, SIGINT);
    // The second only once the first has been heard, or both may count as one.
    EXPECT_TRUE(WaitFor([&] { return Contains(tmtest::ReadText(run.out), "trackmill-cli: cancel requested"); }));
    ::kill(-run.pid, SIGINT);
    EXPECT_EQ(run.Wait(), 1) << tmtest::ReadText(run.out);
    for (const auto &e : fs::directory_iterator(src)) EXPECT_NE(e.path().extension(), ".mp3") << e.path();
    EXPECT_TRUE(WaitFor([&] { return tmtest::Leftovers(src).empty(); }, 10));
}

TEST_F(HonestResults, LongNamesReadOnlyFilesAndAFullDiskNeverPassForDone)
{
    // The longest name a folder holds converts and gets its tags (its "name~" could not exist).
    const std::string stem(251, 'n');  // "n...n.mpc" and "n...n.mp3" are 255 bytes
    Tagged(src / (stem + ".mpc"), 1.0, "Long");
    auto r = cli.Run({(src / (stem + ".mpc")).string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(ReadTags(src / (stem + ".mp3"))["v2"].toObject()["title"].toString(), "Long");

    // A read-only MP3 of an ordinary user is not replaced, even with Overwrite.
    Tagged(src / "ro.mpc", 1.0, "Read-only");
    tmtest::WriteText(src / "ro.mp3", "mine");
    fs::permissions(src / "ro.mp3", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const FileState ro = StateOf(src / "ro.mp3");
    tmtest::ShareWithEveryone(src);
    tmtest::ShareWithEveryone(cli.Bin());
    tmtest::ShareWithEveryone(work);
    const fs::path log = dir / "ro.txt";
    tmtest::ShareWithEveryone(dir.path());
    const int status = tmtest::AsUnprivilegedUser([&] {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::setenv("HOME", work.c_str(), 1);
        ::execl(cli.Program().c_str(), "trackmill-cli", "convert", "--existing", "overwrite",
                (src / "ro.mpc").c_str(), static_cast<char *>(nullptr));
        return 127;
    });
    EXPECT_EQ(status, 1) << tmtest::ReadText(log);
    EXPECT_TRUE(Contains(tmtest::ReadText(log), "cannot replace " + (src / "ro.mp3").string() + ": Permission denied"))
        << tmtest::ReadText(log);
    EXPECT_TRUE(StateOf(src / "ro.mp3") == ro);

    // A disk with room for the MP3 but not for its rebuilt, tagged copy (a file size limit
    // stands in for the full disk): the file fails and nothing is left.
    Tagged(src / "full.mpc", 1.0, "Full");
    r = cli.Run({"--flat", "--output-dir", (dir / "measure").string(), (src / "full.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto tagged = fs::file_size(dir / "measure" / "full.mp3");
    const auto limitBlocks = (tagged - 2048) / 512;  // room for the MP3 alone, not for its tag
    r = tmtest::Run({"sh", "-c", "ulimit -f " + std::to_string(limitBlocks) + "; trap '' XFSZ; exec \"$0\" convert \"$1\"",
                     cli.Program().string(), (src / "full.mpc").string()},
                    work.string(), 120000, cli.Environment());
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "the tags could not be written: ID3v2 tag: File too large")) << r.out;
    EXPECT_FALSE(fs::exists(src / "full.mp3"));
    EXPECT_TRUE(tmtest::Leftovers(src).empty());
}

}  // namespace
