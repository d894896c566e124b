// The window's runner is the terminal's pool with a face of its own; what a job sees of a
// command must not depend on which front end runs it.
#include "system/AppRun.h"
#include "system/Platform.h"
#include "system/ProcessPool.h"
#include "formats/TextCodec.h"
#include "os/OwnFolder.h"

#include "support/RunnerTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

using trackmill::TCommandRunner;
using tmtest::WaitUntil;

namespace {

struct Seen {
    std::vector<std::string> chunks;
    std::string output;
    std::vector<int> ends;
    bool outputAfterEnd = false;
};

template <class Pool>
std::unique_ptr<TCommandRunner> MakeRunner();
template <>
std::unique_ptr<TCommandRunner> MakeRunner<trackmill::TAppRunner>()
{
    return std::make_unique<trackmill::TAppRunner>();
}
template <>
std::unique_ptr<TCommandRunner> MakeRunner<trackmill::TProcessPool>()
{
    return std::make_unique<trackmill::TProcessPool>();
}

template <class Pool>
class Runners : public testing::Test {
protected:
    Runners() : runner_(MakeRunner<Pool>())
    {
        runner_->SetHandlers({[this](std::uint64_t id, const std::string &text) {
                                  Seen &s = seen_[id];
                                  s.chunks.push_back(text);
                                  s.output += text;
                                  if (!s.ends.empty()) s.outputAfterEnd = true;
                              },
                              [this](std::uint64_t id, int status) { seen_[id].ends.push_back(status); }});
    }
    void Start(std::uint64_t id, const std::string &script, const trackmill::os::TOwnFolder *workFolder = nullptr)
    {
        std::string error;
        ASSERT_EQ(runner_->Start(id, {"/bin/sh", "-c", script}, workFolder, &error), TCommandRunner::StartResult::Started)
            << error;
    }

    std::unique_ptr<TCommandRunner> runner_;
    std::map<std::uint64_t, Seen> seen_;
};

using Pools = testing::Types<trackmill::TAppRunner, trackmill::TProcessPool>;
TYPED_TEST_SUITE(Runners, Pools);

TYPED_TEST(Runners, DeliverTheMergedOutputWholeAndThenTheEnd)
{
    // Both streams in the order written, characters split across writes with pauses,
    // more than a pipe holds, and a last line without its line break.
    this->Start(1,
                "printf 'out\\n'; printf 'err\\n' >&2; printf 'Gr\\303\\274\\303'; sleep 0.3; "
                "printf '\\237e \\360\\237\\216'; sleep 0.3; printf '\\265\\n'; "
                "head -c 300000 /dev/zero | tr '\\0' x; printf '\\nlast'; exit 3");
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[1].ends.empty(); }));
    const Seen &s = this->seen_[1];
    EXPECT_EQ(s.output, "out\nerr\nGrüße 🎵\n" + std::string(300000, 'x') + "\nlast");
    for (const std::string &chunk : s.chunks)
        EXPECT_EQ(trackmill::ValidUtf8Prefix(chunk), chunk.size()) << "a chunk split a character";
    tmtest::KeepEventLoopRunning(300);
    EXPECT_EQ(s.ends, std::vector<int>{3});
    EXPECT_FALSE(s.outputAfterEnd);
}

TYPED_TEST(Runners, StopKillsAGroupThatIgnoresItWhenTheGraceIsOver)
{
    const std::string ignoring = "trap '' TERM; echo $$; exec sleep 30";
    this->Start(1, ignoring);
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[1].output.empty(); }));
    this->runner_->Stop(1);
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[1].ends.empty(); }, 5000));
    EXPECT_EQ(this->seen_[1].ends, std::vector<int>{128 + SIGKILL});

    // A runner that goes away during the grace still kills what it stopped.
    this->Start(2, ignoring);
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[2].output.empty(); }));
    const pid_t pid = std::stoi(this->seen_[2].output);
    this->runner_->Stop(2);
    this->runner_.reset();
    int status = 0;
    pid_t reaped = -1;
    ASSERT_TRUE(WaitUntil([&] {
        reaped = ::waitpid(pid, &status, WNOHANG);
        return reaped == pid || (reaped < 0 && errno == ECHILD);
    }, 5000)) << "it outlived the stop";
    if (reaped == pid) {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }
}

// A command runs in the held folder itself, not in whatever its name leads to by the time
// it starts: another user who renamed the folder away and put a link in its place gains
// nothing.
TYPED_TEST(Runners, StartInTheHeldFolderWhateverItsNameNowLeadsTo)
{
    tmtest::TempDir dir;
    trackmill::os::TOwnFolder folder;
    ASSERT_EQ(folder.Create(dir.path().string(), ".tm-"), 0);
    std::filesystem::create_directory(dir / "elsewhere");
    std::filesystem::rename(folder.Path(), dir / "moved");
    std::filesystem::create_directory_symlink(dir / "elsewhere", folder.Path());
    this->Start(1, "echo written > out.mp3", &folder);
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[1].ends.empty(); }));
    EXPECT_EQ(this->seen_[1].ends, std::vector<int>{0}) << this->seen_[1].output;
    EXPECT_EQ(tmtest::ReadText(dir / "moved" / "out.mp3"), "written\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "elsewhere"));
    EXPECT_EQ(folder.Stat("out.mp3").size, 8u);
}

TYPED_TEST(Runners, TheCommandGetsNoInputNoDescriptorOfOursAndAnEndNotHeldUpByItsChildren)
{
    tmtest::TempDir dir;
    // A descriptor of ours without close-on-exec must not reach the child.
    const int leaked = ::open((dir.path() / "open-file").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(leaked, 3);
    this->Start(1, "test ! -e /proc/self/fd/" + std::to_string(leaked) + " || exit 1; cat; exit 4");
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[1].ends.empty(); }));
    ::close(leaked);
    // Standard input is empty, so a program that reads it does not wait for a terminal.
    EXPECT_EQ(this->seen_[1].ends, std::vector<int>{4});

    // A background descendant still holding the output does not delay the end.
    const auto marker = dir / "background-done";
    this->Start(2, "(sleep 1; echo late; : > " + trackmill::platform::ShellQuote(marker.string()) + ") & exit 0");
    ASSERT_TRUE(WaitUntil([&] { return !this->seen_[2].ends.empty(); }));
    EXPECT_FALSE(std::filesystem::exists(marker));
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }));
}

// The window closed during a job: the command is neither waited for nor stopped, finishes
// writing although nobody reads (SIGPIPE ignored), and reports to nobody.
TYPED_TEST(Runners, GoingAwayLeavesTheCommandRunningToItsEnd)
{
    tmtest::TempDir dir;
    const auto marker = dir / "finished";
    struct sigaction before {};
    ::sigaction(SIGPIPE, nullptr, &before);
    this->Start(1, "grep SigIgn /proc/$$/status > " + trackmill::platform::ShellQuote((dir / "sigign").string()) +
                       "; sleep 0.5; i=0; while [ $i -lt 3000 ]; do echo 'line of output after the reader left'; "
                       "i=$((i+1)); done; echo $i > " + trackmill::platform::ShellQuote(marker.string()));
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(dir / "sigign"); }));
    this->runner_.reset();
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker) && tmtest::ReadText(marker) == "3000\n"; }));
    const std::string line = tmtest::ReadText(dir / "sigign");  // "SigIgn:\t<hex>"
    const auto mask = std::stoull(line.substr(line.find_first_of("0123456789abcdef", 7)), nullptr, 16);
    EXPECT_TRUE(mask & (1ull << (SIGPIPE - 1))) << line;
    EXPECT_TRUE(this->seen_[1].ends.empty());
    // Our own disposition is what it was before the run.
    struct sigaction now {};
    ::sigaction(SIGPIPE, nullptr, &now);
    EXPECT_EQ(now.sa_handler, before.sa_handler);
}

}  // namespace
