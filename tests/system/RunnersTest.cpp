// The window's runners and the terminal's pool share one pipeline; what a job sees of a
// command must not depend on which front end runs it.
#include "system/AppRun.h"
#include "system/Platform.h"
#include "system/ProcessPool.h"
#include "system/RunnerPool.h"
#include "formats/TextCodec.h"
#include "system/os/OwnFolder.h"

#include "support/RunnerTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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
std::unique_ptr<TCommandRunner> MakeRunner<trackmill::TRunnerPool>()
{
    return std::make_unique<trackmill::TRunnerPool>(nullptr);
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

using Pools = testing::Types<trackmill::TRunnerPool, trackmill::TProcessPool>;
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
    // Reaped here, or by the window's worker before it went.
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

}  // namespace
