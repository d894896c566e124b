// TAppRunner: the window's process runner. It is the pool that runs every command of the
// job, with the face of a single-program component besides: a command line, a working
// folder, Run, and one end event per run on the thread that owns it. The end is noticed
// when it happens; nothing polls.
#pragma once

#include "system/ProcessPool.h"

#include <cstdint>
#include <functional>
#include <string>

namespace trackmill {

class TAppRunner;
using TAppRunnerEvent = std::function<void(TAppRunner &Sender)>;

class TAppRunner : public TProcessPool {
    Q_OBJECT
public:
    // ExitCode while the process runs.
    static constexpr std::uint32_t StillActive = 259;

    explicit TAppRunner(QObject *Owner = nullptr);

    // Program to start; empty means it is taken from the command line's first word.
    void SetApplicationName(const std::string &Value) { ApplicationName_ = Value; }
    // The full command line; words are split by the shell's quoting rules, without any
    // expansion, and become the program's arguments (the first is its argv[0]). A program
    // named without "/" is looked up in the absolute folders of PATH, never in the working
    // folder; the child's PATH is the caller's.
    void SetCommandLine(const std::string &Value) { CommandLine_ = Value; }
    // Working folder of the new process; empty means the caller's current folder.
    void SetCurrentDirectory(const std::string &Value) { CurrentDirectory_ = Value; }

    // Starts the program. False, with no event to follow, when it cannot be found or
    // started or the working folder is missing. A run started while another is watched
    // replaces it: the earlier one's end is not reported.
    bool Run();

    // True from a successful Run until its end event has been raised.
    bool Running() const { return Running_; }
    // The last started process has ended (set before OnTerminated is raised).
    bool Finished() const { return Finished_; }
    // Exit status of the last started process, 128 + the signal number when a signal
    // ended it, StillActive while it runs.
    std::uint32_t ExitCode() const { return ExitCode_; }
    // Why the last Run returned false (for the owner's message); empty after a success.
    const std::string &LastError() const { return LastError_; }

    // Raised once per successful run, after the process has ended. The handler may start
    // the next run, or destroy the runner.
    void SetOnTerminated(TAppRunnerEvent Handler) { OnTerminated_ = std::move(Handler); }
    // Kept for the component's interface; never raised: no input-idle state to observe.
    void SetOnIdle(TAppRunnerEvent Handler) { OnIdle_ = std::move(Handler); }

    // The job's commands run beside Run's own, each reported to these handlers.
    void SetHandlers(Handlers handlers) override { commands_ = std::move(handlers); }

protected:
    virtual void DoIdle();
    virtual void DoTerminated();

private:
    void Ended(std::uint64_t id, int status);

    std::string ApplicationName_;
    std::string CommandLine_;
    std::string CurrentDirectory_;
    bool Finished_ = false;
    bool Running_ = false;
    std::uint32_t ExitCode_ = StillActive;
    std::string LastError_;
    std::uint64_t run_ = 0;  // the id of Run's current command: a range no job reaches
    TAppRunnerEvent OnIdle_;
    TAppRunnerEvent OnTerminated_;
    Handlers commands_;
};

}  // namespace trackmill
