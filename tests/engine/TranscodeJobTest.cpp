// The job driven through a recording host and a runner whose commands the test ends one
// by one: the plan, N files at once, the events of each file, Cancel, a system out of
// processes, and the ways back to idle. The scripts really run, with stand-in programs:
// a decoder that fails for sources named "bad", an encoder that copies a prepared MP3.
#include "engine/OptionsCheck.h"
#include "engine/TranscodeJob.h"
#include "os/Path.h"
#include "system/JobPlatform.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <set>

namespace trackmill {
namespace {

namespace fs = std::filesystem;

class ManualRunner : public TCommandRunner {
public:
    void SetHandlers(Handlers h) override { handlers = std::move(h); }
    StartResult Start(std::uint64_t id, const std::vector<std::string> &argv, const os::TOwnFolder *workFolder,
                      std::string *error) override
    {
        // The options check runs as the programs would run it; the system's shortages
        // below are the files'.
        if (id == kOptionsCheckId) {
            running[id] = tmtest::Run(argv, workFolder->Path()).exitCode;
            return StartResult::Started;
        }
        if (acceptFirst > 0) {
            --acceptFirst;
        } else if (refuseNext > 0) {
            --refuseNext;
            if (error) *error = "Resource temporarily unavailable";
            return StartResult::TryLater;
        }
        if (shellCannotFork > 0) {
            // What dash does when it cannot fork: status 2, the decoder never ran.
            --shellCannotFork;
            running[id] = 2;
            order.push_back(id);
            return StartResult::Started;
        }
        // The command runs now; its end is reported when the test says so.
        const tmtest::RunResult r = tmtest::Run(argv, workFolder ? workFolder->Path() : std::string());
        running[id] = r.exitCode < 0 ? 255 : r.exitCode;
        order.push_back(id);
        maxAtOnce = std::max(maxAtOnce, int(running.size()));
        return StartResult::Started;
    }
    void Stop(std::uint64_t id) override { stopped.insert(id); }
    // Ends the oldest running command (or the given one).
    void End(std::optional<std::uint64_t> which = {})
    {
        const std::uint64_t id = which ? *which : running.begin()->first;
        const int status = stopped.count(id) ? 143 : running.at(id);
        running.erase(id);
        handlers.output(id, "output of " + std::to_string(id) + "\n");
        handlers.ended(id, status);
    }

    Handlers handlers;
    std::map<std::uint64_t, int> running;
    std::vector<std::uint64_t> order;
    std::set<std::uint64_t> stopped;
    int shellCannotFork = 0;  // scripts that end at once as a shell out of processes does
    int acceptFirst = 0;  // starts accepted before refuseNext applies
    int refuseNext = 0;
    int maxAtOnce = 0;
};

class RecordingHost : public TJobHost, public TJobObserver {
public:
    TJobSettings settings;  // given to the job by Attach
    std::vector<std::string> log;  // the events, one line each
    std::vector<std::string> errorBoxes;
    std::vector<TJobEnd> ends;
    TJobState state = TJobState::Idle;
    int timerArmed = 0;
    bool polling = false;
    bool shutdownAccepted = true;
    bool giveNotice = false;

    void Attach(TranscodeJob &job)
    {
        job.SetObserver(this);
        job.SetSettings(settings);
        job.SetShutdownNotice(giveNotice);
    }
    void ArmTimer(int ms) override { ++timerArmed; log.push_back("timer " + std::to_string(ms)); }
    void SetProgressPolling(bool on) override { polling = on; }
    bool RequestShutdown() override { log.push_back("shutdown"); return shutdownAccepted; }
    void ShutdownNoticeDue() override { log.push_back("notice"); }
    void JobProblem(const std::string &m) override { errorBoxes.push_back(m); }
    void StateChanged(TJobState s) override { state = s; }
    void JobPlanned(const TJobFigures &f) override { log.push_back("planned " + std::to_string(f.total)); }
    void FileStarted(const TWorkItem &i, const std::string &) override { log.push_back("started " + Name(i)); }
    void FileOutput(const TWorkItem &i, const std::string &) override { log.push_back("output " + Name(i)); }
    void FileFinished(const TWorkItem &i, const TJobFigures &) override
    {
        log.push_back(std::string("finished ") + Name(i) + " " + ItemStateName(i.state));
        reasons[Name(i)] = i.reason;
    }
    void JobEnded(const TJobEnd &e) override { ends.push_back(e); log.push_back("ended"); }

    static std::string Name(const TWorkItem &i) { return tmtest::U8(tmtest::PathOf(i.source).filename()); }
    std::map<std::string, std::string> reasons;
};

class JobTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared_ = new tmtest::TempDir;
        const fs::path wav = *shared_ / "tone.wav";
        tmtest::MakeSineWav(wav, 1.0);
        ASSERT_EQ(tmtest::Run({"lame", "--quiet", tmtest::U8(wav), tmtest::U8(*shared_ / "tone.mp3")}).exitCode, 0);
        ASSERT_TRUE(tmtest::MakeMpc(*shared_ / "tone.mpc", 1.0));
    }
    static void TearDownTestSuite() { delete shared_; }

    void SetUp() override
    {
        const fs::path bin = dir / "bin";
        fs::create_directories(bin);
        tmtest::WriteText(bin / "dec", "#!/bin/sh\ncase \"$1\" in *bad*) exit 255;; esac\nexit 0\n");
        tmtest::WriteText(bin / "enc", "#!/bin/sh\nfor a; do last=$a; done\ncp '" + tmtest::U8(*shared_ / "tone.mp3") +
                                           "' \"$last\"\n");
        for (const char *p : {"dec", "enc"}) fs::permissions(bin / p, fs::perms::owner_all);
        platform.commandTemplate = "mpcdec %OPTIONSDEC %INFILE - | lame %OPTIONSENC - %OUTFILE";
        platform.scriptTemplate = "{ %DECODER %OPTIONSDEC %INFILE -; echo $? >%STATUSFILE; } | %ENCODER %OPTIONSENC - %OUTFILE";
        platform.quotePath = [](const std::string &s) { return "'" + s + "'"; };
        platform.shell = "/bin/sh";
        platform.judgeStatuses = trackmill::platform::JudgeShellStatuses;
        platform.encoder = {"enc", "ENCODER missing"};
        platform.decoder = {"dec", "DECODER missing"};
        platform.findProgram = [this, bin](const std::string &name) {
            return programs.count(name) ? tmtest::U8(bin / name) : std::string();
        };
        host.settings.tags = {false, false, false, 0};
    }

    void Add(std::initializer_list<const char *> names)
    {
        for (const char *n : names) {
            fs::copy_file(*shared_ / "tone.mpc", dir / n);
            queue.Add(tmtest::U8(dir / n));
        }
    }
    std::vector<std::string> EventsOf(const std::string &name) const
    {
        std::vector<std::string> out;
        for (const std::string &e : host.log)
            if (e.find(" " + name) != std::string::npos) out.push_back(e.substr(0, e.find(' ')));
        return out;
    }
    // Starts the job; the stand-in programs pass its options check.
    void Started(TranscodeJob &job)
    {
        job.Start();
        ASSERT_EQ(runner.running.count(kOptionsCheckId), 1u);
        runner.End(kOptionsCheckId);
    }
    std::vector<std::string> Queued() const
    {
        std::vector<std::string> out;
        for (const TWorkItem &i : queue.Items()) out.push_back(RecordingHost::Name(i));
        return out;
    }

    static tmtest::TempDir *shared_;
    tmtest::TempDir dir;
    std::set<std::string> programs{"dec", "enc"};
    TWorkQueue queue;
    ManualRunner runner;
    RecordingHost host;
    TJobPlatform platform;
};
tmtest::TempDir *JobTest::shared_ = nullptr;

TEST_F(JobTest, StartupReportsEachMissingProgramEncoderFirstAndAnEmptyListChangesNothing)
{
    programs.clear();
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    EXPECT_FALSE(job.Startup());
    EXPECT_EQ(host.errorBoxes, (std::vector<std::string>{"ENCODER missing", "DECODER missing"}));
    EXPECT_FALSE(job.ProgramsFound());

    programs = {"dec", "enc"};
    host.errorBoxes.clear();
    EXPECT_TRUE(job.Startup());
    job.Start();
    EXPECT_EQ(host.errorBoxes, std::vector<std::string>{kListEmptyMessage});
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::Idle);
}

// A failing file, a skipped file and two good ones, one at a time and three at once: each
// file's events, the counts, and what stays in the queue.
TEST_F(JobTest, EventsAndCountsForOneAndForThreeAtOnce)
{
    for (int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        queue.Clear();
        host.log.clear();
        host.ends.clear();
        for (const auto &e : fs::directory_iterator(dir.path()))
            if (e.is_regular_file()) fs::remove(e.path());
        Add({"a.mpc", "bad.mpc", "c.mpc", "d.mpc"});
        tmtest::WriteText(dir / "c.mp3", "the user's own");
        host.settings.jobs = jobs;
        TranscodeJob job(runner, host, platform, &queue);
        host.Attach(job);
        ASSERT_TRUE(job.Startup());
        Started(job);
        EXPECT_EQ(host.state, TJobState::Running);
        EXPECT_EQ(int(runner.running.size()), std::min(jobs, 3));
        while (!runner.running.empty()) runner.End();
        EXPECT_EQ(host.timerArmed, 0);  // no pause: each next file started as one ended
        EXPECT_FALSE(job.Running());
        EXPECT_LE(runner.maxAtOnce, jobs);
        EXPECT_EQ(EventsOf("a.mpc"), (std::vector<std::string>{"started", "output", "finished"}));
        EXPECT_EQ(EventsOf("bad.mpc"), (std::vector<std::string>{"started", "output", "finished"}));
        EXPECT_EQ(EventsOf("c.mpc"), (std::vector<std::string>{"finished"}));
        EXPECT_EQ(host.log.front(), "planned 4");
        EXPECT_EQ(host.log.back(), "ended");
        EXPECT_NE(std::find(host.log.begin(), host.log.end(), "finished bad.mpc failed"), host.log.end());
        EXPECT_NE(std::find(host.log.begin(), host.log.end(), "finished c.mpc skipped"), host.log.end());
        EXPECT_EQ(host.reasons["bad.mpc"], "the decoder stopped with exit status 255");
        EXPECT_EQ(host.reasons["c.mpc"], "exists: " + os::Native(tmtest::U8(dir / "c.mp3")));
        ASSERT_EQ(host.ends.size(), 1u);
        EXPECT_EQ(host.ends[0].converted, 2);
        EXPECT_EQ(host.ends[0].skipped, 1);
        EXPECT_EQ(host.ends[0].failed, 1);
        EXPECT_EQ(host.ends[0].cancelled, 0);
        // Only the failed file stays, for the next job to retry; nothing else was touched.
        EXPECT_EQ(Queued(), std::vector<std::string>{"bad.mpc"});
        EXPECT_FALSE(fs::exists(dir / "bad.mp3"));
        EXPECT_EQ(tmtest::ReadText(dir / "c.mp3"), "the user's own");
        EXPECT_TRUE(fs::exists(dir / "a.mp3") && fs::exists(dir / "d.mp3"));
        EXPECT_EQ(host.state, TJobState::Idle);
        EXPECT_FALSE(host.polling);
    }
}

TEST_F(JobTest, TheWindowsPauseAndTheSettingsOfEachStep)
{
    platform.pauseBetweenFilesMs = kNextFileDelayMs;
    Add({"a.mpc", "b.mpc"});
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    job.Startup();
    Started(job);
    // Option lines are read when each file starts: a change applies from the next one. The
    // format is the job's: its files were planned for it.
    host.settings.encoderOptions = "--bad-option";
    host.settings.format = trackmill::TOutputFormat::Opus;
    job.SetSettings(host.settings);
    runner.End();
    EXPECT_EQ(host.log.back(), "timer 100");
    EXPECT_TRUE(runner.running.empty());
    job.TimerFired();
    ASSERT_EQ(runner.running.size(), 1u);
    job.TimerFired();  // a second tick starts nothing
    EXPECT_EQ(runner.order.size(), 2u);
    runner.End();
    EXPECT_FALSE(job.Running());
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "finished b.mpc converted"), host.log.end());
}

TEST_F(JobTest, CancelLetsTheRunningFilesFinishAndKeepsTheRest)
{
    Add({"a.mpc", "b.mpc", "c.mpc", "d.mpc"});
    host.settings.jobs = 2;
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    job.Startup();
    Started(job);
    job.Cancel();
    runner.End();
    EXPECT_TRUE(job.Running());  // the second file still runs
    EXPECT_EQ(runner.running.size(), 1u);
    runner.End();
    EXPECT_FALSE(job.Running());
    ASSERT_EQ(host.ends.size(), 1u);
    EXPECT_EQ(host.ends[0].converted, 2);
    EXPECT_EQ(host.ends[0].cancelled, 2);
    EXPECT_TRUE(host.ends[0].cancelRequested);
    EXPECT_EQ(Queued(), (std::vector<std::string>{"c.mpc", "d.mpc"}));
    EXPECT_EQ(queue.At(0).state, TItemState::Waiting);

    // Transcode again goes on with them; a Cancel in the window's pause ends the job at the tick.
    platform.pauseBetweenFilesMs = kNextFileDelayMs;
    host.settings.jobs = 1;
    TranscodeJob next(runner, host, platform, &queue);
    host.Attach(next);
    next.Startup();
    Started(next);
    runner.End();
    next.Cancel();
    next.TimerFired();
    EXPECT_FALSE(next.Running());
    EXPECT_EQ(Queued(), std::vector<std::string>{"d.mpc"});
}

TEST_F(JobTest, AbortStopsTheCommandsAndLeavesNoMp3)
{
    Add({"a.mpc", "b.mpc"});
    host.settings.jobs = 2;
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    job.Startup();
    Started(job);
    job.Abort();
    EXPECT_EQ(runner.stopped.size(), 2u);
    runner.End();
    runner.End();
    EXPECT_FALSE(job.Running());
    EXPECT_EQ(host.ends.at(0).cancelled, 2);
    EXPECT_EQ(Queued(), (std::vector<std::string>{"a.mpc", "b.mpc"}));
    for (const auto &e : fs::directory_iterator(dir.path()))
        EXPECT_NE(e.path().extension(), ".mp3") << e.path();

    // Stopped during the options check: no file starts, and both wait for the next job.
    TranscodeJob early(runner, host, platform, &queue);
    host.Attach(early);
    early.Startup();
    early.Start();
    early.Abort();
    EXPECT_TRUE(runner.stopped.count(kOptionsCheckId));
    runner.End(kOptionsCheckId);
    EXPECT_FALSE(early.Running());
    EXPECT_TRUE(runner.running.empty());
    EXPECT_EQ(host.ends.back().cancelled, 2);
    EXPECT_EQ(Queued(), (std::vector<std::string>{"a.mpc", "b.mpc"}));
}

TEST_F(JobTest, ASystemOutOfProcessesSlowsTheJobAndFailsNoFile)
{
    Add({"a.mpc", "b.mpc", "c.mpc"});
    host.settings.jobs = 3;
    runner.acceptFirst = 1;
    runner.refuseNext = 1;  // the second start is refused
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    job.Startup();
    Started(job);
    EXPECT_EQ(runner.running.size(), 1u);
    EXPECT_EQ(job.Limit(), 1);
    while (!runner.running.empty()) runner.End();
    EXPECT_EQ(host.ends.at(0).converted, 3);

    // With nothing running, a refused start is retried on the timer, and only a system that
    // never recovers fails the file.
    Add({"e.mpc"});
    runner.refuseNext = 2;
    TranscodeJob retry(runner, host, platform, &queue);
    host.Attach(retry);
    retry.Startup();
    Started(retry);
    EXPECT_TRUE(runner.running.empty());
    EXPECT_EQ(host.log.back(), "timer " + std::to_string(kRetryStartDelayMs));
    retry.TimerFired();
    retry.TimerFired();
    ASSERT_EQ(runner.running.size(), 1u);
    runner.End();
    EXPECT_EQ(host.ends.back().converted, 1);

    Add({"f.mpc"});
    runner.refuseNext = kStartAttempts;
    TranscodeJob never(runner, host, platform, &queue);
    host.Attach(never);
    never.Startup();
    Started(never);
    for (int i = 0; i < kStartAttempts && never.Running(); ++i) never.TimerFired();
    EXPECT_FALSE(never.Running());
    EXPECT_EQ(host.ends.back().failed, 1);
}

TEST_F(JobTest, AScriptOutOfProcessesIsTriedAgainAndAnMp3OfAnotherRunWins)
{
    Add({"a.mpc", "b.mpc"});
    host.settings.jobs = 2;
    runner.shellCannotFork = 1;
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    job.Startup();
    Started(job);
    runner.End(runner.order.front());  // the script that could not fork
    EXPECT_EQ(job.Limit(), 1);
    EXPECT_EQ(runner.running.size(), 1u);  // nothing new beside the one still running
    while (!runner.running.empty()) runner.End();
    EXPECT_EQ(host.ends.at(0).converted, 2);
    EXPECT_EQ(host.ends.at(0).failed, 0);

    // A system that never recovers fails the file after a few tries, with the reason.
    Add({"c.mpc"});
    runner.shellCannotFork = kRetriesInScript;
    TranscodeJob never(runner, host, platform, &queue);
    host.Attach(never);
    never.Startup();
    Started(never);
    for (int i = 0; i < kRetriesInScript && never.Running(); ++i) {
        runner.End();
        never.TimerFired();
    }
    EXPECT_FALSE(never.Running());
    EXPECT_EQ(host.reasons["c.mpc"], "the system could not start the programs");

    // An MP3 that another run put at the output meanwhile is left alone: this file is skipped.
    fs::remove(dir / "c.mpc");
    queue.Clear();
    Add({"d.mpc"});
    TranscodeJob other(runner, host, platform, &queue);
    host.Attach(other);
    other.Startup();
    Started(other);
    tmtest::WriteText(dir / "d.mp3", "made by another run");
    runner.End();
    EXPECT_EQ(host.ends.back().skipped, 1);
    EXPECT_EQ(host.reasons["d.mpc"], "exists: " + os::Native(tmtest::U8(dir / "d.mp3")));
    EXPECT_EQ(tmtest::ReadText(dir / "d.mp3"), "made by another run");
}

TEST_F(JobTest, ShutdownAtTheEndAndARefusedOne)
{
    Add({"a.mpc"});
    host.settings.shutdownAfterJob = true;
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    job.Startup();
    Started(job);
    runner.End();
    EXPECT_EQ(host.log.back(), "shutdown");
    EXPECT_EQ(job.CurrentState(), TranscodeJob::State::ShutdownRequested);
    EXPECT_EQ(host.state, TJobState::ShutdownRequested);  // the controls stay while the system goes down

    Add({"b.mpc"});
    host.shutdownAccepted = false;
    TranscodeJob refused(runner, host, platform, &queue);
    host.Attach(refused);
    refused.Startup();
    Started(refused);
    runner.End();
    EXPECT_EQ(refused.CurrentState(), TranscodeJob::State::Idle);
    EXPECT_EQ(host.errorBoxes.size(), 1u);
    EXPECT_EQ(host.state, TJobState::Idle);
}

// A drop still being scanned when Transcode is pressed goes on adding files: they were not
// planned, so they wait for the next job instead of running without an output.
TEST_F(JobTest, AFileQueuedAfterThePlanWaitsForTheNextJob)
{
    Add({"a.mpc"});
    TranscodeJob job(runner, host, platform, &queue);
    host.Attach(job);
    ASSERT_TRUE(job.Startup());
    Started(job);
    Add({"late.mpc"});
    while (!runner.running.empty()) runner.End();
    EXPECT_FALSE(job.Running());
    EXPECT_TRUE(EventsOf("late.mpc").empty());
    EXPECT_EQ(host.ends.back().converted, 1);
    EXPECT_EQ(host.ends.back().cancelled, 0);
    EXPECT_EQ(Queued(), std::vector<std::string>{"late.mpc"});

    Started(job);
    while (!runner.running.empty()) runner.End();
    EXPECT_EQ(host.ends.back().converted, 1) << host.reasons["late.mpc"];
    EXPECT_TRUE(fs::exists(dir / "late.mp3"));
}

TEST_F(JobTest, ANoticeComesBeforeTheShutdownAndCanCancelIt)
{
    host.settings.shutdownAfterJob = true;
    host.giveNotice = true;
    for (bool proceed : {false, true}) {
        SCOPED_TRACE(proceed);
        host.log.clear();
        Add({proceed ? "b.mpc" : "a.mpc"});
        TranscodeJob job(runner, host, platform, &queue);
        host.Attach(job);
        job.Startup();
        Started(job);
        runner.End();
        EXPECT_EQ(host.log.back(), "notice");
        EXPECT_TRUE(job.ShutdownNoticeShown());
        EXPECT_EQ(host.state, TJobState::ShutdownRequested);
        job.Start();  // nothing starts while the notice runs
        job.ShutdownNoticeEnded(proceed);
        job.ShutdownNoticeEnded(proceed);  // a second end changes nothing
        EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "shutdown"), proceed ? 1 : 0);
        EXPECT_EQ(job.CurrentState(), proceed ? TranscodeJob::State::ShutdownRequested : TranscodeJob::State::Idle);
    }
}

// What both front ends show: cancelled files are not done, running ones count by their
// percent, a job without files is complete, and the time left follows the pace so far.
TEST(JobFigures, OverallPercentAndTimeLeft)
{
    TJobFigures f;
    EXPECT_EQ(f.OverallPercent(), 100);
    f.total = 4;
    f.converted = f.failed = f.cancelled = 1;
    f.running = {{7, 50}};
    EXPECT_EQ(f.OverallPercent(), 62);
    const auto now = TJobFigures::Clock::now();
    f.started = now - std::chrono::seconds(124);
    EXPECT_NEAR(f.SecondsLeft(now), 124.0 * 38 / 62, 0.5);
    EXPECT_EQ(TimeLeftText(f.SecondsLeft(now)), "about 1 min left");
    EXPECT_EQ(TimeLeftText(59), "under a minute left");
    EXPECT_EQ(TimeLeftText(125 * 60), "about 2 h 5 min left");
    // A front end's own words, the hours after the minutes; a value's "%2" stays as it is.
    EXPECT_EQ(TimeLeftText(125 * 60, {"", "", "noch %2 min %1 h"}), "noch 5 min 2 h");
    EXPECT_EQ(FillIn("%1 and %2", {"50%2", "x"}), "50%2 and x");
    f.converted = f.failed = 0;
    f.running.clear();
    EXPECT_LT(f.SecondsLeft(now), 0);  // nothing to go by yet
}

}  // namespace
}  // namespace trackmill
