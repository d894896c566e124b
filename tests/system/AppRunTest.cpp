#include "system/AppRun.h"
#include "system/Platform.h"
#include "formats/TextCodec.h"

#include "support/TestSupport.h"
#include "support/RunnerTestSupport.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
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

bool ProcessAlive(std::int64_t pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

// Records every end event with what the runner showed at that moment.
struct EndRecorder {
    struct End {
        bool finished;
        bool running;
        std::uint32_t exitCode;
        bool onMainThread;
    };
    std::vector<End> ends;
    std::string output;
    std::vector<std::string> chunks;

    void Attach(TAppRunner &runner)
    {
        runner.SetOnTerminated([this](TAppRunner &r) {
            ends.push_back({r.Finished(), r.Running(), r.ExitCode(),
                            QThread::currentThread() == QCoreApplication::instance()->thread()});
        });
        runner.SetOnOutput([this](TAppRunner &, const std::string &text) {
            output += text;
            chunks.push_back(text);
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

TEST(AppRunner, OutputAndErrorReachTheHandlerBeforeTheEnd)
{
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    std::size_t outputAtEnd = 0;
    runner.SetOnTerminated([&](TAppRunner &) {
        outputAtEnd = rec.output.size();
        rec.ends.push_back({});
    });
    // Large output (beyond any pipe buffer), both streams, and a character split
    // across two writes with a pause between them.
    runner.SetCommandLine(ShellCommand(
        "printf 'to stdout\\n'; printf 'to stderr\\n' >&2; "
        "printf 'Gr\\303\\274\\303'; sleep 0.3; printf '\\237e \\342\\234'; sleep 0.3; printf '\\223\\n'; "
        "head -c 1000000 /dev/zero | tr '\\0' x; printf '\\nlast line\\n'"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));

    EXPECT_EQ(outputAtEnd, rec.output.size());
    EXPECT_NE(rec.output.find("to stdout\n"), std::string::npos);
    EXPECT_NE(rec.output.find("to stderr\n"), std::string::npos);
    EXPECT_NE(rec.output.find("Grüße ✓\n"), std::string::npos);
    EXPECT_NE(rec.output.find(std::string(1000000, 'x') + "\nlast line\n"), std::string::npos);
    for (const std::string &chunk : rec.chunks)
        EXPECT_EQ(trackmill::ValidUtf8Prefix(chunk), chunk.size()) << "a chunk split a character";
}

TEST(AppRunner, BackgroundDescendantHoldingTheOutputDoesNotDelayTheEnd)
{
    TempDir dir;
    const auto marker = dir / "background-done";
    TAppRunner runner;
    bool markerAtEnd = true;
    runner.SetOnTerminated([&](TAppRunner &) { markerAtEnd = std::filesystem::exists(marker); });
    runner.SetCommandLine(ShellCommand("(sleep 1; echo late; : > " + ShellQuote(marker.string()) + ") & exit 0"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return runner.Finished(); }));
    EXPECT_FALSE(markerAtEnd);
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }));
}

TEST(AppRunner, ChildGetsNoInputAndNoInheritedDescriptors)
{
    TempDir dir;
    // A descriptor of ours without close-on-exec must not reach the child.
    const int leaked = ::open((dir.path() / "open-file").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(leaked, 3);
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    runner.SetCommandLine("/usr/bin/test ! -e /proc/self/fd/" + std::to_string(leaked));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 0u);
    ::close(leaked);

    // Standard input is empty, so a program that reads it does not wait for a terminal.
    runner.SetCommandLine(ShellCommand("cat; exit 4"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 2; }));
    EXPECT_EQ(rec.ends[1].exitCode, 4u);
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

    tmtest::KeepEventLoopRunning(3 * TAppRunner::PollInterval);
    EXPECT_TRUE(rec.ends.empty());
    EXPECT_TRUE(rec.output.empty());

    // The runner is still usable after the failures.
    runner.SetCommandLine(ShellCommand("exit 9"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 9u);
}

TEST(AppRunner, CommandRunsInItsOwnProcessGroupWithTheCallersPath)
{
    // A program of the working folder is never preferred, the child's PATH is ours as it
    // is, and Stop reaches the whole group: the shell and what it started.
    TempDir dir;
    tmtest::WriteText(dir / "cat", "#!/bin/sh\necho planted\n");
    ::chmod((dir / "cat").c_str(), 0755);
    TAppRunner runner;
    EndRecorder rec;
    rec.Attach(runner);
    runner.SetApplicationName("/bin/sh");
    runner.SetCommandLine("sh -c 'cat /dev/null; echo \"$PATH\"; read -r a b c d group rest </proc/$$/stat; echo group=$group; exit 7'");
    runner.SetCurrentDirectory(dir.path().string());
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 7u);
    EXPECT_EQ(rec.output.find("planted"), std::string::npos) << rec.output;
    EXPECT_EQ(rec.output.rfind(std::string(std::getenv("PATH")) + "\n", 0), 0u) << rec.output;
    EXPECT_NE(rec.output.find("group=" + std::to_string(runner.ProcessId())), std::string::npos) << rec.output;

    runner.SetCommandLine("sh -c 'sleep 30 & wait'");
    ASSERT_TRUE(runner.Run());
    EXPECT_TRUE(runner.Stop(SIGTERM));
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 2; }, 5000));
    EXPECT_EQ(rec.ends[1].exitCode, 128u + SIGTERM);
}

TEST(AppRunner, DestructionWhileWatchingLeavesTheProcessRunning)
{
    TempDir dir;
    const auto marker = dir / "marker";
    bool ended = false;
    std::int64_t pid = 0;
    {
        auto runner = std::make_unique<TAppRunner>();
        runner->SetOnTerminated([&](TAppRunner &) { ended = true; });
        runner->SetOnOutput([&](TAppRunner &, const std::string &) { ended = true; });
        runner->SetCommandLine(ShellCommand("sleep 1.5; echo done > " + ShellQuote(marker.string())));
        ASSERT_TRUE(runner->Run());
        pid = runner->ProcessId();
        tmtest::KeepEventLoopRunning(2 * TAppRunner::PollInterval);
        runner.reset();
    }
    // The destructor did not wait for the process, nor stop it.
    EXPECT_TRUE(ProcessAlive(pid));
    EXPECT_FALSE(std::filesystem::exists(marker));
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }));
    EXPECT_EQ(tmtest::ReadText(marker), "done\n");
    tmtest::KeepEventLoopRunning(2 * TAppRunner::PollInterval);
    EXPECT_FALSE(ended);
}

TEST(AppRunner, ChildFinishesWritingAfterOurPipeEndIsClosed)
{
    TempDir dir;
    const auto marker = dir / "finished";
    struct sigaction before {};
    ::sigaction(SIGPIPE, nullptr, &before);
    {
        TAppRunner runner;
        // Prints the ignored-signal mask first, then floods the pipe once we are gone.
        runner.SetCommandLine(ShellCommand(
            "grep SigIgn /proc/$$/status > " + ShellQuote((dir / "sigign").string()) +
            "; sleep 0.5; i=0; while [ $i -lt 3000 ]; do echo 'line of output after the reader left'; "
            "i=$((i+1)); done; echo $i > " + ShellQuote(marker.string())));
        ASSERT_TRUE(runner.Run());
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(dir / "sigign"); }));
    }
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker) &&
                                       tmtest::ReadText(marker) == "3000\n"; }));
    const std::string line = tmtest::ReadText(dir / "sigign");  // "SigIgn:\t<hex>"
    const auto mask = std::stoull(line.substr(line.find_first_of("0123456789abcdef", 7)), nullptr, 16);
    EXPECT_TRUE(mask & (1ull << (SIGPIPE - 1))) << line;

    // Our own disposition is what it was before the run.
    struct sigaction now {};
    ::sigaction(SIGPIPE, nullptr, &now);
    EXPECT_EQ(now.sa_handler, before.sa_handler);
}

TEST(AppRunner, ThrowingHandlersDoNotEndTheWorker)
{
    TAppRunner runner;
    int ends = 0;
    runner.SetOnOutput([](TAppRunner &, const std::string &) { throw std::runtime_error("output handler failed"); });
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
    runner.SetCommandLine(ShellCommand("echo first; sleep 0.5; exit 1"));
    ASSERT_TRUE(runner.Run());
    runner.SetCommandLine(ShellCommand("sleep 0.2; echo second; exit 2"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return rec.ends.size() == 1; }));
    EXPECT_EQ(rec.ends[0].exitCode, 2u);
    tmtest::KeepEventLoopRunning(500);  // the first one's end is never reported
    EXPECT_EQ(rec.ends.size(), 1u);
    EXPECT_EQ(rec.output.find("first"), std::string::npos);
    EXPECT_EQ(rec.output, "second\n");
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
    tmtest::KeepEventLoopRunning(TAppRunner::PollInterval);
}

TEST(AppRunner, DestroyedWhileParkedOrNeverRun)
{
    { TAppRunner idle; }
    TAppRunner runner;
    runner.SetCommandLine(ShellCommand("exit 0"));
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(WaitUntil([&] { return runner.Finished(); }));
}
