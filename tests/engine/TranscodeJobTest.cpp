// The job driven through a recording host: the window's sequences, Cancel, failures and
// the cases where the job must find its own way back to idle.
#include "engine/TranscodeJob.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>

namespace trackmill {
namespace {

namespace fs = std::filesystem;

class FakeHost : public TTranscodeHost {
public:
    std::deque<std::string> list;
    TJobSettings settings;
    std::set<std::string> programs{"mpcdec", "lame"};
    bool startSucceeds = true;
    bool shutdownAccepted = true;
    std::vector<std::string> log;  // every call, in order
    std::vector<std::string> errorBoxes;
    std::vector<std::string> standardErrors;
    std::vector<TFileResult> results;
    std::vector<TJobEnd> ends;
    TControlStates controls;
    int timerArmed = 0;
    int processCount = 0;
    std::function<void()> onProcessEvents;  // user input handled inside the end step
    std::string scriptAtStart;              // the script as the process would see it
    std::string scriptPath;

    int ListCount() const override { return int(list.size()); }
    std::string ListEntry0() const override { return list.front(); }
    void RemoveListEntry0() override { log.push_back("remove " + list.front()); list.pop_front(); }
    void FocusListEntry0() override { log.push_back("focus"); }
    TJobSettings Settings() const override { return settings; }
    bool ProgramFound(const std::string &name) override { return programs.count(name) > 0; }
    bool StartProcess(const std::string &app, const std::string &cmd) override
    {
        log.push_back("start " + app + " | " + cmd);
        scriptAtStart = fs::exists(scriptPath) ? tmtest::ReadText(scriptPath) : "<none>";
        if (startSucceeds) ++processCount;
        return startSucceeds;
    }
    void ArmTimer(int ms) override { log.push_back("timer " + std::to_string(ms)); ++timerArmed; }
    void ProcessEvents() override
    {
        log.push_back("events");
        if (onProcessEvents) onProcessEvents();
    }
    bool RequestShutdown() override { log.push_back("shutdown"); return shutdownAccepted; }
    void ShowErrorBox(const std::string &m) override { log.push_back("errorbox"); errorBoxes.push_back(m); }
    void ShowStandardError(const std::string &m) override { log.push_back("stderror"); standardErrors.push_back(m); }
    void ShowFileInfo(const std::string &p) override { log.push_back("info " + p); }
    void ClearFileInfo() override { log.push_back("clearinfo"); }
    void SetControlStates(const TControlStates &s) override { controls = s; log.push_back(s.cancel ? "controls running" : "controls idle"); }
    void FileStarted(const TFileStart &s) override { log.push_back("started " + s.source); }
    void FileFinished(const TFileResult &r) override { results.push_back(r); log.push_back("finished " + r.source); }
    void JobEnded(const TJobEnd &e) override { ends.push_back(e); log.push_back("ended"); }

    size_t Find(const std::string &entry, size_t from = 0) const
    {
        for (size_t i = from; i < log.size(); ++i)
            if (log[i] == entry) return i;
        return std::string::npos;
    }
};

std::string Quote(const std::string &s) { return "'" + s + "'"; }

class JobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.scriptPath = (dir / "go.sh").string();
        host.settings.tags = {false, false, false, 0};  // nothing to transfer by default
        platform.commandTemplate = "mpcdec %OPTIONSDEC %INFILE - | lame %OPTIONSENC - %OUTFILE";
        platform.quotePath = Quote;
        platform.scriptPath = host.scriptPath;
        platform.runApplication = "/bin/sh";
        platform.runCommandLine = "/bin/sh go.sh";
        platform.requiredPrograms = {{"lame", "LAME missing"}, {"mpcdec", "MPCDEC missing"}};
    }

    // Stands in for the encoder: the MP3 of the current entry appears with some bytes.
    void MakeOutput(const std::string &source, const std::string &bytes = "ID3-less mp3 data")
    {
        const auto s = host.Settings();
        tmtest::WriteText(OutputPathFor(source, s.useOutputDir, s.outputDir), bytes);
    }

    std::string Src(const std::string &name) { return (dir / name).string(); }

    tmtest::TempDir dir;
    FakeHost host;
    TJobPlatform platform;
};

TEST_F(JobTest, StartupReportsEachMissingProgramInOrder)
{
    host.programs = {};
    TranscodeJob job(host, platform);
    EXPECT_FALSE(job.Startup());
    EXPECT_EQ(host.errorBoxes, (std::vector<std::string>{"LAME missing", "MPCDEC missing"}));
    EXPECT_FALSE(host.controls.transcode);

    FakeHost ok;
    TranscodeJob job2(ok, platform);
    EXPECT_TRUE(job2.Startup());
    EXPECT_TRUE(ok.errorBoxes.empty());
    EXPECT_TRUE(ok.controls.transcode);
    EXPECT_FALSE(ok.controls.cancel);
    // The folder box follows the output-folder switch before any job.
    EXPECT_FALSE(ok.controls.outputDirEdit);
}

TEST_F(JobTest, EmptyListChangesNothing)
{
    TranscodeJob job(host, platform);
    job.Start();
    EXPECT_EQ(host.errorBoxes, std::vector<std::string>{kListEmptyMessage});
    EXPECT_EQ(host.log, std::vector<std::string>{"errorbox"});
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
}

TEST_F(JobTest, TwoFilesRunInOrderWithTheTimerBetweenThem)
{
    host.list = {Src("a.mpc"), Src("b.mp+")};
    host.settings.decoderOptions = "";
    host.settings.encoderOptions = "--alt-preset cbr 128";
    TranscodeJob job(host, platform);
    job.Start();

    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Running);
    EXPECT_EQ(host.controls, TranscodeJob::RunningControls());
    EXPECT_EQ(host.scriptAtStart, "mpcdec '" + Src("a.mpc") + "' - | lame --alt-preset cbr 128 - '" +
                                      Src("a.mp3") + "'\n");
    EXPECT_LT(host.Find("focus"), host.Find("info " + Src("a.mpc")));
    EXPECT_LT(host.Find("info " + Src("a.mpc")), host.Find("start /bin/sh | /bin/sh go.sh"));

    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    // The end step: the script goes, entry 0 goes, events are processed, the timer is armed.
    EXPECT_FALSE(fs::exists(host.scriptPath));
    const size_t removed = host.Find("remove " + Src("a.mpc"));
    ASSERT_NE(removed, std::string::npos);
    EXPECT_LT(removed, host.Find("events", removed));
    EXPECT_LT(host.Find("events", removed), host.Find("timer 100"));
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::BetweenFiles);
    EXPECT_EQ(host.processCount, 1);  // never started from inside the end step

    job.TimerFired();
    EXPECT_EQ(host.processCount, 2);
    EXPECT_EQ(host.scriptAtStart, "mpcdec '" + Src("b.mp+") + "' - | lame --alt-preset cbr 128 - '" +
                                      Src("b.mp3") + "'\n");
    job.TimerFired();  // a second tick starts nothing
    EXPECT_EQ(host.processCount, 2);

    MakeOutput(Src("b.mp+"));
    job.ProcessEnded(0);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.timerArmed, 1);
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));
    EXPECT_EQ(host.log.back(), "clearinfo");
    ASSERT_EQ(host.ends.size(), 1u);
    EXPECT_EQ(host.ends[0].converted, 2);
    EXPECT_EQ(host.ends[0].failed, 0);
    EXPECT_FALSE(host.ends[0].cancelled);
    ASSERT_EQ(host.results.size(), 2u);
    EXPECT_TRUE(host.results[0].ok);
    EXPECT_EQ(host.results[1].output, Src("b.mp3"));
}

TEST_F(JobTest, SettingsAreReadWhenEachFileStarts)
{
    host.list = {Src("a.mpc"), Src("b.mpc")};
    host.settings.useOutputDir = true;
    host.settings.outputDir = (dir / "out").string() + "/";
    TranscodeJob job(host, platform);
    job.Start();
    EXPECT_NE(host.scriptAtStart.find("'" + (dir / "out/a.mp3").string() + "'"), std::string::npos);
    fs::create_directory(dir / "out");
    MakeOutput(Src("a.mpc"));
    // Option lines stay usable during a job: a change applies from the next file.
    host.settings.encoderOptions = "-V 2";
    job.ProcessEnded(0);
    EXPECT_TRUE(host.results[0].ok);
    EXPECT_EQ(host.results[0].output, (dir / "out/a.mp3").string());
    job.TimerFired();
    EXPECT_EQ(host.scriptAtStart, "mpcdec '" + Src("b.mpc") + "' - | lame -V 2 - '" + (dir / "out/b.mp3").string() + "'\n");
}

TEST_F(JobTest, CancelFinishesTheCurrentFileAndKeepsTheRest)
{
    host.list = {Src("a.mpc"), Src("b.mpc"), Src("c.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    job.Cancel();
    EXPECT_TRUE(job.CancelRequested());
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.timerArmed, 0);
    EXPECT_EQ(host.list, (std::deque<std::string>{Src("b.mpc"), Src("c.mpc")}));
    ASSERT_EQ(host.ends.size(), 1u);
    EXPECT_TRUE(host.ends[0].cancelled);
    EXPECT_EQ(host.ends[0].remaining, 2);
    EXPECT_TRUE(host.results[0].ok);  // the current file was still completed
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));

    // Transcode again continues with the first remaining entry, and the flag is reset.
    job.Start();
    EXPECT_FALSE(job.CancelRequested());
    EXPECT_NE(host.scriptAtStart.find(Src("b.mpc")), std::string::npos);
    MakeOutput(Src("b.mpc"));
    job.ProcessEnded(0);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::BetweenFiles);
}

TEST_F(JobTest, CancelClickWaitingInTheQueueIsSeenInTheEndStep)
{
    host.list = {Src("a.mpc"), Src("b.mpc")};
    TranscodeJob job(host, platform);
    host.onProcessEvents = [&] { job.Cancel(); };
    job.Start();
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.list.size(), 1u);
}

TEST_F(JobTest, CancelDuringTheLastFileEndsNormally)
{
    host.list = {Src("a.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    job.Cancel();
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    EXPECT_TRUE(host.list.empty());
    EXPECT_EQ(host.ends.at(0).converted, 1);
}

TEST_F(JobTest, CancelInThePauseBetweenFilesIsNotLost)
{
    // Cancel is enabled while the timer runs; a click there must end the job just as a
    // click during the file does, and lead to the shutdown request when that is ticked.
    for (bool shutdown : {false, true}) {
        FakeHost h;
        h.scriptPath = host.scriptPath;
        h.settings.tags = {false, false, false, 0};
        h.settings.shutdownAfterJob = shutdown;
        h.list = {Src("a.mpc"), Src("b.mpc"), Src("c.mpc")};
        TranscodeJob job(h, platform);
        job.Start();
        tmtest::WriteText(Src("a.mp3"), "mp3");
        job.ProcessEnded(0);
        ASSERT_EQ(job.CurrentState(), TranscodeJob::State::BetweenFiles);
        job.Cancel();
        job.TimerFired();
        EXPECT_EQ(h.processCount, 1) << shutdown;
        EXPECT_EQ(h.list, (std::deque<std::string>{Src("b.mpc"), Src("c.mpc")}));
        ASSERT_EQ(h.ends.size(), 1u);
        EXPECT_TRUE(h.ends[0].cancelled);
        EXPECT_EQ(h.ends[0].remaining, 2);
        if (shutdown) {
            EXPECT_EQ(h.log.back(), "shutdown");
            EXPECT_EQ(h.controls, TranscodeJob::RunningControls());
        } else {
            EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
            EXPECT_EQ(h.controls, TranscodeJob::IdleControls(true));
            // Transcode again goes on with the first entry left.
            job.Start();
            EXPECT_FALSE(job.CancelRequested());
            EXPECT_EQ(h.processCount, 2);
            EXPECT_NE(h.scriptAtStart.find(Src("b.mpc")), std::string::npos);
        }
    }
}

TEST_F(JobTest, FailedCommandIsReportedAndTheJobGoesOn)
{
    host.list = {Src("a.mpc"), Src("b.mpc"), Src("c.mpc"), Src("d.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    job.ProcessEnded(1);  // encoder refused its options, no MP3
    job.TimerFired();
    MakeOutput(Src("b.mpc"), "");
    job.ProcessEnded(0);  // exit 0 but an empty file
    job.TimerFired();
    job.ProcessEnded(0);  // exit 0 and nothing written
    job.TimerFired();
    MakeOutput(Src("d.mpc"));
    job.ProcessEnded(0);

    ASSERT_EQ(host.results.size(), 4u);
    EXPECT_FALSE(host.results[0].ok);
    EXPECT_EQ(host.results[0].exitCode, 1);
    EXPECT_NE(host.results[0].why.find("exit status 1"), std::string::npos);
    EXPECT_FALSE(host.results[1].ok);
    EXPECT_NE(host.results[1].why.find("empty"), std::string::npos);
    EXPECT_FALSE(host.results[2].ok);
    EXPECT_NE(host.results[2].why.find("no MP3"), std::string::npos);
    EXPECT_TRUE(host.results[3].ok);
    EXPECT_EQ(host.ends.at(0).failed, 3);
    EXPECT_EQ(host.ends.at(0).converted, 1);
    EXPECT_TRUE(host.errorBoxes.empty());  // a failed file is not an error box
}

TEST_F(JobTest, ProcessThatCannotStartReturnsToIdle)
{
    host.list = {Src("a.mpc"), Src("b.mpc")};
    host.startSucceeds = false;
    TranscodeJob job(host, platform);
    job.Start();
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    ASSERT_EQ(host.errorBoxes.size(), 1u);
    EXPECT_NE(host.errorBoxes[0].find("could not be started"), std::string::npos);
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));
    EXPECT_EQ(host.list.size(), 2u);  // nothing was transcoded, nothing removed
    EXPECT_FALSE(fs::exists(host.scriptPath));
    ASSERT_EQ(host.ends.size(), 1u);
    EXPECT_TRUE(host.ends[0].stoppedByError);

    // A late end event from nowhere is ignored.
    job.ProcessEnded(0);
    EXPECT_EQ(host.list.size(), 2u);

    // Later file: the window was in its running state and must come back too.
    host.startSucceeds = true;
    job.Start();
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    host.startSucceeds = false;
    job.TimerFired();
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));
    EXPECT_EQ(host.list, std::deque<std::string>{Src("b.mpc")});
}

TEST_F(JobTest, UnwritableScriptForTheFirstFileStaysIdle)
{
    platform.scriptPath = (dir / "no-such-folder" / "go.sh").string();
    host.list = {Src("a.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    EXPECT_EQ(host.processCount, 0);
    ASSERT_EQ(host.standardErrors.size(), 1u);
    EXPECT_EQ(host.standardErrors[0], "Cannot create file " + platform.scriptPath);
    EXPECT_EQ(host.Find("controls running"), std::string::npos);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.list.size(), 1u);
}

TEST_F(JobTest, UnwritableScriptForALaterFileReturnsToIdle)
{
    fs::create_directory(dir / "work");
    platform.scriptPath = (dir / "work" / "go.sh").string();
    host.scriptPath = platform.scriptPath;
    host.list = {Src("a.mpc"), Src("b.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    fs::remove_all(dir / "work");  // the working folder went away between two files
    job.TimerFired();
    EXPECT_EQ(host.processCount, 1);
    ASSERT_EQ(host.errorBoxes.size(), 1u);
    EXPECT_NE(host.errorBoxes[0].find("Cannot create file " + platform.scriptPath), std::string::npos);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));
    EXPECT_EQ(host.list, std::deque<std::string>{Src("b.mpc")});
}

TEST_F(JobTest, ShutdownAtTheEndLeavesControlsRunning)
{
    host.list = {Src("a.mpc"), Src("b.mpc")};
    host.settings.shutdownAfterJob = true;
    TranscodeJob job(host, platform);
    job.Start();
    job.Cancel();  // Cancel also leads to the shutdown request
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    EXPECT_EQ(host.log.back(), "shutdown");
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::ShutdownRequested);
    EXPECT_EQ(host.controls, TranscodeJob::RunningControls());
    EXPECT_TRUE(host.ends.at(0).shutdownRequested);
}

TEST_F(JobTest, RefusedShutdownIsReportedAndReturnsToIdle)
{
    host.list = {Src("a.mpc")};
    host.settings.shutdownAfterJob = true;
    host.shutdownAccepted = false;
    TranscodeJob job(host, platform);
    job.Start();
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    ASSERT_EQ(host.errorBoxes.size(), 1u);
    EXPECT_NE(host.errorBoxes[0].find("refused"), std::string::npos);
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));
}

TEST_F(JobTest, ListEmptiedBehindTheJobDoesNotLeaveItRunning)
{
    host.list = {Src("a.mpc"), Src("b.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    MakeOutput(Src("a.mpc"));
    job.ProcessEnded(0);
    host.list.clear();
    job.TimerFired();
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.controls, TranscodeJob::IdleControls(true));
}

TEST_F(JobTest, StartWhileRunningIsIgnored)
{
    host.list = {Src("a.mpc"), Src("b.mpc")};
    TranscodeJob job(host, platform);
    job.Start();
    job.Start();
    EXPECT_EQ(host.processCount, 1);
}

}  // namespace
}  // namespace trackmill
