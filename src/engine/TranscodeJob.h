// The transcode job: plans the outputs of the whole queue, then converts up to N files at
// once, each through its own script, judges every file by what the programs really did,
// carries the tags, and puts the MP3 in place only when all of that succeeded. Converted
// and skipped items leave the queue; failed ones stay, so the next job retries them.
// It owns the queue and the figures every front end shows, and no window, runner or timer:
// the window and trackmill-cli each give it a TJobHost and a TCommandRunner, forward the
// timers to TimerFired and PollProgress, and present what their TJobObserver hears.
#pragma once

#include "engine/Command.h"
#include "engine/CommandRunner.h"
#include "engine/Conversion.h"
#include "engine/FolderArt.h"
#include "engine/JobFigures.h"
#include "engine/OutputPlan.h"
#include "engine/TagTransfer.h"
#include "engine/Wording.h"
#include "engine/WorkQueue.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace trackmill {

// What the user chose, read by the job when it needs each: the folder choices when it
// plans, the option lines when a file starts, the tag switches when a file ends, the
// shutdown switch when the job ends; so a change during a job counts from then on.
struct TJobSettings {
    std::string decoderOptions;
    std::string encoderOptions;  // lame's
    std::string opusOptions;     // opusenc's
    // The encoder's line of the format.
    const std::string &EncoderOptions() const { return format == TOutputFormat::Opus ? opusOptions : encoderOptions; }
    bool useOutputDir = false;
    std::string outputDir;       // kept ending in the separator
    TTagSwitches tags;
    bool shutdownAfterJob = false;
    int jobs = 1;                // files converted at once
    TExistingPolicy existing = TExistingPolicy::Skip;
    TOutputLayout layout = TOutputLayout::Source;
    std::string libraryDir;      // kept ending in the separator; empty: none
    std::string namePattern = kDefaultNamePattern;
    bool copyFolderArt = true;   // a source folder's cover image copied beside its MP3s
    bool embedFolderArt = true;  // and embedded into an MP3 whose source has no picture
    TOutputFormat format = TOutputFormat::Mp3;  // taken when the job starts
};

// The plan's part of the settings.
TPlanOptions PlanOptionsOf(const TJobSettings &settings);

struct TRequiredProgram {
    std::string name;            // looked up through TJobPlatform::findProgram
    std::string missingMessage;  // shown when it is not found
};

// What the platform layer fixes; the callers fill it from there.
struct TJobPlatform {
    std::string commandTemplate;  // the line shown
    std::string scriptTemplate;   // the line run (see Conversion.h for its placeholders)
    PathQuoter quotePath;
    std::string shell;            // absolute path of the shell that runs the script
    TStatusJudge judgeStatuses;   // what the programs' exit statuses mean on this platform
    // The same for the options check, where a known good source makes any complaint about
    // an option count; none: judgeStatuses.
    TStatusJudge judgeCheck;
    // Why an option line cannot be run on this platform (empty when it can).
    std::function<std::string(const std::string &line)> checkOptions;
    TRequiredProgram encoder;     // checked first at start-up
    TRequiredProgram decoder;
    // The Opus encoder, and the line shown with it (the script template is the MP3's).
    TRequiredProgram opusEncoder;
    std::string opusCommandTemplate;
    // Absolute path of an external program, or "" when it is not installed.
    std::function<std::string(const std::string &name)> findProgram;
    // A line the programs printed, as UTF-8 (Windows programs print in their code page);
    // none: taken as it stands.
    std::function<std::string(const std::string &line)> programText;
    int pauseBetweenFilesMs = 0;  // the window keeps its 100 ms
};

struct TJobEnd {
    int converted = 0;
    int skipped = 0;
    int failed = 0;
    int cancelled = 0;           // not converted because the job was cancelled or stopped
    int outdated = 0;            // skipped, though converted before the source last changed
    int tagsUpdated = 0;         // converted before the source last changed, given its present tags
    int overallPercent = 100;
    int remaining = 0;           // items left in the queue
    bool cancelRequested = false;
    bool shutdownRequested = false;
};

enum class TJobState {
    Idle,
    Running,
    ShutdownRequested,  // the job ended; the notice runs or the system goes down
};

// What a job needs of the platform it runs on.
class TJobHost {
public:
    virtual ~TJobHost() = default;
    // One-shot: after the delay the host calls TimerFired, once. Arming again restarts it.
    virtual void ArmTimer(int milliseconds) = 0;
    // While on, the host calls PollProgress every few hundred milliseconds.
    virtual void SetProgressPolling(bool on) = 0;
    // The shutdown request; false when the system refused it.
    virtual bool RequestShutdown() { return false; }
    // Runs `work` where it does not hold up the host's own thread, then `done` on that
    // thread. By default both at once, here: a terminal waits for its plan.
    virtual void RunAside(std::function<void()> work, std::function<void()> done)
    {
        work();
        done();
    }
};

// The job's events; the front ends only present them.
class TJobObserver {
public:
    virtual ~TJobObserver() = default;
    // Why the job cannot start or go on as asked: a missing program, an empty list, a
    // refused option line, a refused shutdown.
    virtual void JobProblem(const std::string & /*message*/) {}
    // The programs refused the option lines on the check before the first file, saying
    // why (as a failed file's reason says it): the job ended without starting any file.
    virtual void OptionsRefused(const std::string &reason) { JobProblem(reason); }
    virtual void StateChanged(TJobState) {}
    // The job ended with the shutdown switch on and a notice is wanted: the front end
    // counts down, then calls TranscodeJob::ShutdownNoticeEnded.
    virtual void ShutdownNoticeDue() {}
    // The plan is being made (aside, where the host can): how far it has come.
    virtual void JobPlanning(const TPlanCount &) {}
    // The plan was given up before it was made: no file started, and the job is over.
    virtual void PlanningStopped() {}
    virtual void JobPlanned(const TJobFigures &) {}
    virtual void FileStarted(const TWorkItem &, const std::string & /*shownCommand*/) {}
    virtual void FileProgress(const TWorkItem &, const TJobFigures &) {}
    // One line of the commands' output with its line end, "\n" or "\r" (see OutputLines.h).
    virtual void FileOutput(const TWorkItem &, const std::string & /*line*/) {}
    virtual void FileFinished(const TWorkItem &, const TJobFigures &) {}
    virtual void JobEnded(const TJobEnd &) {}
};

inline constexpr int kNextFileDelayMs = 100;
inline constexpr int kRetryStartDelayMs = 250;
// How long a file waits for the system to have processes again before it fails.
inline constexpr int kStartAttempts = 40;
// How often a file whose script could not start its programs is tried again.
inline constexpr int kRetriesInScript = 5;
// Temporary files and private folders of a killed run that nothing touched for this long
// are removed when the next job starts.
inline constexpr std::int64_t kAbandonedAfterSeconds = 3600;
inline constexpr const char *kListEmptyMessage = Word("trackmill::TForm1", "The list of files to transcode is empty");

// Why the option lines cannot be used, naming the line, or empty when both can.
std::string OptionLinesProblem(const TJobPlatform &platform, const TJobSettings &settings);

class TranscodeJob {
public:
    using State = TJobState;

    // The job keeps its own queue, or works on one that outlives it.
    TranscodeJob(TCommandRunner &runner, TJobHost &host, TJobPlatform platform, TWorkQueue *queue = nullptr);
    ~TranscodeJob();
    TranscodeJob(const TranscodeJob &) = delete;
    TranscodeJob &operator=(const TranscodeJob &) = delete;

    TWorkQueue &Queue() { return queue_; }
    const TWorkQueue &Queue() const { return queue_; }
    const TJobFigures &Figures() const { return figures_; }
    void SetObserver(TJobObserver *observer) { observer_ = observer ? observer : &silent_; }
    const TJobSettings &Settings() const { return settings_; }
    void SetSettings(TJobSettings settings) { settings_ = std::move(settings); }
    // Why the settings' option lines cannot be run here, or empty.
    std::string OptionsProblem() const { return OptionLinesProblem(platform_, settings_); }
    // Whether the observer counts down before the shutdown is requested.
    void SetShutdownNotice(bool give) { shutdownNotice_ = give; }

    // Looks for the programs: one problem per missing one, encoder first. A job starts
    // only when both were found. Returns that.
    bool Startup();
    // The decoder and the encoder of the format chosen now were found at start-up.
    bool ProgramsFound() const;

    // Tries the option lines on a short silence (the job's first command), then plans the
    // whole queue and starts converting, unless the programs refused them.
    void Start();
    // The one-shot timer (the pause between files, a retry after a refused start).
    void TimerFired();
    // No new file starts; the running ones finish. A plan being made is given up.
    void Cancel();
    // Ends the running commands at once; their MP3s are removed and they count as cancelled.
    // A plan being made is given up.
    void Abort();
    // Gives up the plan being made: no file starts, and the job ends (PlanningStopped).
    // False when no plan is being made.
    bool StopPlanning();
    bool Planning() const { return planning_ != nullptr; }
    // Follows the MP3s being written; the host calls it every few hundred ms while running.
    void PollProgress();
    // The notice before the shutdown has ended: ran out (proceed) or was cancelled, which
    // returns the window to idle with the computer left running.
    void ShutdownNoticeEnded(bool proceed);
    bool ShutdownNoticeShown() const { return noticeShown_; }

    State CurrentState() const { return state_; }
    bool CancelRequested() const { return cancel_; }
    bool Running() const { return state_ == State::Running; }
    int RunningCount() const { return int(active_.size()); }
    // The header and tags of a converting file's source as read when it started, or null.
    const TMPEGplus *SourceRead(std::uint64_t id) const;
    // The number of files run at once now (lowered when the system ran out of processes).
    int Limit() const { return limit_; }

private:
    struct Active;
    // The lines the decoder has added to its error file since last shown.
    void ShowDecoderOutput(std::uint64_t id, Active &active, bool ended);
    // Done: ended without a command (its tags updated, or failed).
    enum class StartOutcome { Started, TryLater, Failed, Done };

    TConversionSetup SetupFor(const TJobSettings &settings) const;
    // A line the programs printed, as UTF-8.
    std::string ProgramLine(const std::string &printed) const;
    bool StartOptionsCheck();
    void OptionsCheckEnded(int status);
    // Plans the whole queue (aside, on a copy of it), then starts its files.
    struct PlanAside;
    void Begin();
    void Planned(const std::shared_ptr<PlanAside> &planning);
    void FillSlots();
    StartOutcome StartItem(int index);
    void CommandEnded(std::uint64_t id, int status);
    void CommandOutput(std::uint64_t id, const std::string &text);
    void OutputLine(std::uint64_t id, Active &active, const std::string &line);
    void UpdateItemTags(int index, const os::TFileInfo &info);
    void AddFolderArt(const std::string &source, const TJobSettings &settings, TTagAdditions &additions);
    // `outdated`: a skipped file made before its source last changed, counted apart.
    void FinishItem(int index, TItemState state, const std::string &reason, bool outdated = false);
    bool InThisJob(const TWorkItem &item) const;
    int NextWaiting() const;
    void ContinueOrEnd();
    void EndJob();
    void RequestShutdownNow();
    void ReturnToIdle();
    void SetState(State state);

    std::unique_ptr<TWorkQueue> ownQueue_;
    TWorkQueue &queue_;
    TCommandRunner &runner_;
    TJobHost &host_;
    TJobObserver silent_;
    TJobObserver *observer_ = &silent_;
    TJobSettings settings_;
    bool shutdownNotice_ = false;
    TJobPlatform platform_;
    State state_ = State::Idle;
    const TRequiredProgram &EncoderOf(TOutputFormat format) const;
    std::string FindProgram(const TRequiredProgram &program) const;
    std::string &EncoderPathOf(TOutputFormat format);
    const std::string &EncoderPathOf(TOutputFormat format) const;

    bool startedUp_ = false;
    std::string decoderPath_;
    std::string mp3EncoderPath_;   // each format's, as start-up found them
    std::string opusEncoderPath_;
    bool cancel_ = false;
    bool aborting_ = false;
    bool timerPending_ = false;
    bool filling_ = false;
    bool noticeShown_ = false;
    int limit_ = 1;
    int startAttempts_ = 0;
    // The newest item the plan covered; ids grow, so a later one was queued during the job.
    std::uint64_t lastPlannedId_ = 0;
    TJobSettings jobSettings_;  // as planned
    TJobFigures figures_;
    TScratchFolder scratch_;
    std::vector<std::string> createdFolders_;  // in the order made
    TFolderArt folderArt_;
    std::map<std::uint64_t, std::unique_ptr<Active>> active_;
    std::unique_ptr<Active> check_;  // the options check while it runs
    std::map<std::uint64_t, int> retries_;
    std::set<std::uint64_t> tagUpdates_;  // planned for new tags, not for a conversion
    std::shared_ptr<PlanAside> planning_;  // while the plan is being made
    std::shared_ptr<int> life_ = std::make_shared<int>();  // what comes back from aside asks it first
};

}  // namespace trackmill
