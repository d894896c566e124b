#include "system/AppRun.h"
#include "system/Platform.h"
#include "formats/TextCodec.h"

#include "support/TestSupport.h"
#include "support/RunnerTestSupport.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using trackmill::TAppRunner;
using trackmill::platform::ShellQuote;
using tmtest::TempDir;
using tmtest::WaitUntil;

namespace {

std::string ShellCommand(const std::string &script) { return "/bin/sh -c " + ShellQuote(script); }

// Records every end event with what the runner showed at that moment.
struct EndRecorder {
    struct End {
        bool finished;
        bool running;
        std::uint32_t exitCode;
        bool onMainThread;
    };
    std::vector<End> ends;

    void Attach(TAppRunner &runner)
    {
        runner.SetOnTerminated([this](TAppRunner &r) {
            ends.push_back({r.Finished(), r.Running(), r.ExitCode(),
                            QThread::currentThread() == QCoreApplication::instance()->thread()});
        });
    }
};

}  // namespace

TEST(AppRunner, ReportsExitStatusOnTheMainThreadOncePerRun)
{
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    EXPECT_EQ(runner.ExitCode(), TAppRunner::StillActive);

    runner.SetCommandLine(ShellCommand("exit 3"));
    ASSERT_TRUE(runner.Run());
    EXPECT_TRUE(runner.Running());
    EXPECT_FALSE(runner.Finished());
    EXPECT_EQ(runner.ExitCode(), TAppRunner::StillActive);
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_TRUE(rec.ends[0].finished);
    EXPECT_FALSE(rec.ends[0].running);
    EXPECT_EQ(rec.ends[0].exitCode, 3u);
    EXPECT_TRUE(rec.ends[0].onMainThread);

    // A second run after the first end event has returned gets its own status.
    runner.SetCommandLine(ShellCommand("exit 0"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 2; }));
    EXPECT_EQ(rec.ends[1].exitCode, 0u);
    EXPECT_TRUE(runner.Finished());

    // Exactly one event per run.
    tmtest::KeepEventLoopRunning(300);
    EXPECT_EQ(rec.ends.size(), 2u);
}

TEST(AppRunner, SignalEndsGive128PlusTheSignalNumber)
{
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    runner.SetCommandLine(ShellCommand("kill -TERM $$"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 128u + SIGTERM);

    runner.SetCommandLine(ShellCommand("kill -KILL $$"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 2; }));
    EXPECT_EQ(rec.ends[1].exitCode, 128u + SIGKILL);
}

TEST(AppRunner, WorksWithoutHandlersAndAgainAfterwards)
{
    TAppRunner runner;
    runner.SetCommandLine(ShellCommand("echo ignored; exit 5"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return runner.Finished(); }));
    EXPECT_EQ(runner.ExitCode(), 5u);
    EXPECT_FALSE(runner.Running());

    EndRecorder rec;
    rec.Attach(runner);
    runner.SetCommandLine(ShellCommand("exit 6"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 6u);
}

TEST(AppRunner, RunFailsWithoutAnEventWhenNothingCanBeStarted)
{
    TempDir dir;
    tmtest::WriteText(dir / "not-executable", "#!/bin/sh\nexit 0\n");
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);

    runner.SetCommandLine("trackmill-no-such-program --help");
    EXPECT_FALSE(runner.Run());
    EXPECT_FALSE(runner.LastError().empty());

    runner.SetCommandLine("./not-executable");
    runner.SetCurrentDirectory(dir.path().string());
    EXPECT_FALSE(runner.Run());

    runner.SetCommandLine(ShellCommand("exit 0"));
    runner.SetCurrentDirectory((dir / "missing folder").string());
    EXPECT_FALSE(runner.Run());

    runner.SetCurrentDirectory({});
    runner.SetCommandLine("/bin/sh -c 'exit 0");  // quote left open
    EXPECT_FALSE(runner.Run());
    runner.SetCommandLine("");
    EXPECT_FALSE(runner.Run());
    EXPECT_FALSE(runner.Running());

    tmtest::KeepEventLoopRunning(300);
    EXPECT_TRUE(rec.ends.empty());

    // The runner is still usable after the failures.
    runner.SetCommandLine(ShellCommand("exit 9"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 9u);
}

TEST(AppRunner, CommandRunsInItsOwnProcessGroupWithTheCallersPath)
{
    // A program of the working folder is never preferred, and the child's PATH is ours as
    // it is.
    TempDir dir;
    tmtest::WriteText(dir / "cat", "#!/bin/sh\necho planted\n");
    ::chmod((dir / "cat").c_str(), 0755);
    const auto out = dir / "out";
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    runner.SetApplicationName("/bin/sh");
    runner.SetCommandLine("sh -c " + ShellQuote("exec > " + ShellQuote(out.string()) +
                                                "; cat /dev/null; echo \"$PATH\"; read -r pid b c d group rest </proc/$$/stat; "
                                                "[ \"$group\" = \"$pid\" ] && echo own-group; exit 7"));
    runner.SetCurrentDirectory(dir.path().string());
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 7u);
    const std::string output = tmtest::ReadText(out);
    EXPECT_EQ(output, std::string(std::getenv("PATH")) + "\nown-group\n");
}

TEST(AppRunner, ThrowingHandlersLeaveTheRunnerUsable)
{
    TAppRunner runner;
    int ends = 0;
    runner.SetOnTerminated([&](TAppRunner &r) {
        ++ends;
        if (r.ExitCode() == 1) throw std::runtime_error("end handler failed");
        if (r.ExitCode() == 2) throw 42;
    });
    for (int code : {1, 2, 0}) {
        runner.SetCommandLine(ShellCommand("echo something; exit " + std::to_string(code)));
        ASSERT_TRUE(runner.Run());
        ASSERT_TRUE(WaitUntil([&] { return runner.Finished(); }));
        EXPECT_EQ(runner.ExitCode(), static_cast<std::uint32_t>(code));
    }
    EXPECT_EQ(ends, 3);
}

TEST(AppRunner, RunStartedInsideTheEndEventIsWatched)
{
    TAppRunner runner;
    std::vector<std::uint32_t> codes;
    runner.SetOnTerminated([&](TAppRunner &r) {
        codes.push_back(r.ExitCode());
        if (codes.size() == 1) {
            r.SetCommandLine(ShellCommand("exit 12"));
            EXPECT_TRUE(r.Run());
        }
    });
    runner.SetCommandLine(ShellCommand("exit 11"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return codes.size() == 2; }));
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{11, 12}));
}

TEST(AppRunner, ASecondRunWhileWatchingReplacesTheFirst)
{
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    runner.SetCommandLine(ShellCommand("sleep 0.5; exit 1"));
    ASSERT_TRUE(runner.Run());
    runner.SetCommandLine(ShellCommand("exit 2"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 2u);
    ASSERT_TRUE(WaitUntil([&] { return runner.RunningCount() == 0; }));  // the first one ended too
    EXPECT_EQ(rec.ends.size(), 1u);
}

// The window's job runs its commands on the same runner: each end goes to its own side.
TEST(AppRunner, TheJobsCommandsAndItsOwnRunKeepApart)
{
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    std::vector<std::pair<std::uint64_t, int>> jobEnds;
    std::string jobOutput;
    runner.SetHandlers({[&](std::uint64_t, const std::string &text) { jobOutput += text; },
                        [&](std::uint64_t id, int status) { jobEnds.emplace_back(id, status); }});
    std::string error;
    ASSERT_EQ(runner.Start(1, {"/bin/sh", "-c", "echo job; exit 4"}, nullptr, &error),
              trackmill::TCommandRunner::StartResult::Started) << error;
    runner.SetCommandLine(ShellCommand("echo own; exit 5"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1 && jobEnds.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 5u);
    EXPECT_EQ(jobEnds[0], (std::pair<std::uint64_t, int>{1, 4}));
    EXPECT_EQ(jobOutput, "job\n");
}

TEST(AppRunner, DestroyedFromInsideItsOwnEndEvent)
{
    auto runner = std::make_unique<TAppRunner>();
    bool destroyed = false;
    runner->SetOnTerminated([&](TAppRunner &) {
        runner.reset();  // the window closing while it handles the end
        destroyed = true;
    });
    runner->SetCommandLine(ShellCommand("exit 0"));
    ASSERT_TRUE(runner->Run());
    ASSERT_TRUE(WaitUntil([&] { return destroyed; }));
    tmtest::KeepEventLoopRunning(100);
}

TEST(AppRunner, DestroyedWhileParkedOrNeverRun)
{
    { TAppRunner idle; }
    TAppRunner runner;
    runner.SetCommandLine(ShellCommand("exit 0"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return runner.Finished(); }));
}
