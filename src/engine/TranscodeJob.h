// The transcode job: takes entry 0 of the list, runs its command, transfers the tags
// into the new MP3, removes the entry and, 100 ms later, goes on with the next one,
// until the list is empty or Cancel was pressed. It owns no window, runner or timer:
// the main window and trackmill-cli each implement TTranscodeHost and forward their
// events (button clicks, the runner's end event, the timer) to the job's handlers.
#pragma once

#include "engine/Command.h"
#include "engine/TagTransfer.h"

#include <string>
#include <vector>

namespace trackmill {

// Enabled state of the window's controls that a job switches.
struct TControlStates {
    bool transcode = true;      // Button1
    bool clearAll = true;       // Button2
    bool deleteItems = true;    // Button3
    bool cancel = false;        // Button4
    bool outputDirEdit = true;  // DirectoryEdit1
    bool outputDirSwitch = true;  // cbOutputdir
    bool enableDrop = true;     // FileDrop1.EnableDrop
    bool operator==(const TControlStates &) const = default;
};

// The values of the window's controls, read by the job at the moment it needs each:
// option lines when a file starts, the tag switches in each file's end step, the
// shutdown switch when the job ends.
struct TJobSettings {
    std::string decoderOptions;  // Edit1
    std::string encoderOptions;  // Edit2
    bool useOutputDir = false;   // cbOutputdir
    std::string outputDir;       // DirectoryEdit1, kept ending in "/"
    TTagSwitches tags;           // cbID3v1, cbID3v2, cbApetag, ComboID3
    bool shutdownAfterJob = false;  // cbShutdown
};

struct TRequiredProgram {
    std::string name;            // looked up by the host
    std::string missingMessage;  // shown when it is not found
};

// What the platform layer fixes; the callers fill it from there.
struct TJobPlatform {
    std::string commandTemplate;
    PathQuoter quotePath;
    std::string scriptPath;      // the script, relative to the working folder
    std::string runApplication;  // what the runner starts, e.g. the shell ...
    std::string runCommandLine;  // ... and its command line, naming the script
    std::vector<TRequiredProgram> requiredPrograms;  // checked in this order at start-up
};

struct TFileStart {
    std::string source;
    std::string output;
    std::string command;
    int remaining = 0;  // entries in the list, this one included
};

struct TFileResult {
    std::string source;
    std::string output;
    bool ok = false;
    std::string why;        // empty when ok
    int exitCode = -1;      // -1 when no process ran
    TTransferResult tags;   // what the tag transfer wrote
};

struct TJobEnd {
    int converted = 0;
    int failed = 0;
    int remaining = 0;           // entries left in the list
    bool cancelled = false;
    bool stoppedByError = false;  // the job could not go on (script, process start)
    bool shutdownRequested = false;
};

class TTranscodeHost {
public:
    virtual ~TTranscodeHost() = default;

    // The transcode list; the job reads and removes only entry 0.
    virtual int ListCount() const = 0;
    virtual std::string ListEntry0() const = 0;
    virtual void RemoveListEntry0() = 0;
    // Moves the list's focus mark to entry 0 (the selection stays).
    virtual void FocusListEntry0() {}

    virtual TJobSettings Settings() const = 0;

    virtual bool ProgramFound(const std::string &name) = 0;
    // Sets the runner's application and command line and calls Run; false when the
    // process could not be started. When true, the host later calls ProcessEnded.
    virtual bool StartProcess(const std::string &application, const std::string &commandLine) = 0;
    // One-shot: after the delay the host calls TimerFired, once.
    virtual void ArmTimer(int milliseconds) = 0;
    virtual void ProcessEvents() = 0;
    // The shutdown request; false when the system refused it.
    virtual bool RequestShutdown() = 0;

    // The program's own failure messages ("An error occured" box).
    virtual void ShowErrorBox(const std::string &message) = 0;
    // The application's standard error display (a file that cannot be created).
    virtual void ShowStandardError(const std::string &message) = 0;
    virtual void ShowFileInfo(const std::string &path) = 0;
    virtual void ClearFileInfo() = 0;
    virtual void SetControlStates(const TControlStates &states) = 0;

    // Progress, for the window's status or the terminal.
    virtual void FileStarted(const TFileStart &) {}
    virtual void FileFinished(const TFileResult &) {}
    virtual void JobEnded(const TJobEnd &) {}
};

inline constexpr int kNextFileDelayMs = 100;
inline constexpr const char *kListEmptyMessage = "The list of files to transcode is empty";

class TranscodeJob {
public:
    enum class State { Idle, Running, BetweenFiles, ShutdownRequested };

    TranscodeJob(TTranscodeHost &host, TJobPlatform platform);

    // The window's creation: one error box per missing program, in order; the
    // Transcode button is enabled only when all were found. Returns that.
    bool Startup();
    bool ProgramsFound() const { return programsFound_; }

    // The Transcode button.
    void Start();
    // The runner's end event, with the process's exit status.
    void ProcessEnded(int exitCode);
    // The one-shot timer between two files.
    void TimerFired();
    // The Cancel button: the job ends after the current file.
    void Cancel() { cancelRequested_ = true; }

    State CurrentState() const { return state_; }
    bool CancelRequested() const { return cancelRequested_; }
    bool Running() const { return state_ == State::Running || state_ == State::BetweenFiles; }

    static TControlStates RunningControls();
    static TControlStates IdleControls(bool programsFound);

private:
    bool StartStep(bool fromTimer);
    void EndJob(bool stoppedByError);
    void ReturnToIdle();

    TTranscodeHost &host_;
    TJobPlatform platform_;
    State state_ = State::Idle;
    bool programsFound_ = true;
    bool cancelRequested_ = false;
    int converted_ = 0;
    int failed_ = 0;
};

}  // namespace trackmill
