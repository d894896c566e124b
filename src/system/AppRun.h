// TAppRunner starts one external program at a time and reports its end on the thread
// that created the runner (the main thread). A worker thread, parked between runs,
// polls the process (a platform::TPipeline) about ten times a second while it runs and
// forwards its output.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace trackmill {

namespace os {
class TOwnFolder;
}

class TAppRunner;
using TAppRunnerEvent = std::function<void(TAppRunner &Sender)>;
// Receives the command's standard output and standard error, merged as a console
// would show them, in chunks that never split a UTF-8 sequence.
using TAppRunnerOutputEvent = std::function<void(TAppRunner &Sender, const std::string &Text)>;

class TAppRunner : public QObject {
    Q_OBJECT
public:
    // Poll period while watching: up to PollInterval - 10 ms waiting for output, then a
    // status check.
    static constexpr int PollInterval = 100;
    // ExitCode while the process runs.
    static constexpr std::uint32_t StillActive = 259;

    explicit TAppRunner(QObject *Owner = nullptr);
    // Stops the worker within about one poll cycle; a running process is not stopped
    // and no event is raised once destruction has begun.
    ~TAppRunner() override;
    TAppRunner(const TAppRunner &) = delete;
    TAppRunner &operator=(const TAppRunner &) = delete;

    // Program to start; empty means it is taken from the command line's first word.
    const std::string &ApplicationName() const { return ApplicationName_; }
    void SetApplicationName(const std::string &Value) { ApplicationName_ = Value; }
    // The full command line; words are split by the shell's quoting rules, without any
    // expansion, and become the program's arguments (the first is its argv[0]). A program
    // named without "/" is looked up in the absolute folders of PATH, never in the working
    // folder; the child's PATH is the caller's.
    const std::string &CommandLine() const { return CommandLine_; }
    void SetCommandLine(const std::string &Value) { CommandLine_ = Value; }
    // Working folder of the new process; empty means the caller's current folder.
    const std::string &CurrentDirectory() const { return CurrentDirectory_; }
    void SetCurrentDirectory(const std::string &Value) { CurrentDirectory_ = Value; }
    // A held folder of ours to run in instead, entered through its handle (it must stay
    // open until Run returns); null for CurrentDirectory.
    const os::TOwnFolder *WorkFolder() const { return WorkFolder_; }
    void SetWorkFolder(const os::TOwnFolder *Value) { WorkFolder_ = Value; }

    // Starts the process and wakes the worker. False, with no event to follow, when the
    // program cannot be found or started or the working folder is missing.
    bool Run();

    // True from a successful Run until its end event has been raised.
    bool Running() const { return Running_; }
    // The last started process has ended (set before OnTerminated is raised).
    bool Finished() const { return Finished_; }
    // Exit status of the last started process, 128 + the signal number when a signal
    // ended it, StillActive while it runs.
    std::uint32_t ExitCode() const { return ExitCode_; }
    // Never set here: there is no input-idle state to observe.
    bool IdleNotified() const { return IdleNotified_; }
    // Process id of the last started process, 0 before the first run.
    std::int64_t ProcessId() const { return ProcessId_; }
    // The process group of the last started process (each run gets one of its own), 0
    // before the first run.
    std::int64_t ProcessGroup() const { return ProcessGroup_; }
    // Why the last Run returned false (for the owner's message); empty after a success.
    const std::string &LastError() const { return LastError_; }
    // The errno value behind LastError, 0 when none applies.
    int LastErrno() const { return LastErrno_; }

    // Sends the signal to the running command's whole process group (each run gets a
    // group of its own). False when nothing runs.
    bool Stop(int Signal);

    // Raised on the main thread once per successful run, after the process has ended,
    // while the worker waits. Starting a new run from inside it is allowed: the worker
    // goes on watching the new process.
    void SetOnTerminated(TAppRunnerEvent Handler) { OnTerminated_ = std::move(Handler); }
    // Kept for the component's interface; never raised.
    void SetOnIdle(TAppRunnerEvent Handler) { OnIdle_ = std::move(Handler); }
    // Raised on the main thread with each piece of output, while the worker waits.
    void SetOnOutput(TAppRunnerOutputEvent Handler) { OnOutput_ = std::move(Handler); }

protected:
    virtual void DoIdle();
    virtual void DoTerminated();
    virtual void DoOutput(const std::string &Text);

private:
    struct Shared;
    void NotifyTerminated(std::uint64_t Generation, std::uint32_t Status);
    void NotifyOutput(std::uint64_t Generation, const std::string &Text);

    std::string ApplicationName_;
    std::string CommandLine_;
    std::string CurrentDirectory_;
    const os::TOwnFolder *WorkFolder_ = nullptr;
    bool IdleNotified_ = false;
    bool Finished_ = false;
    bool Running_ = false;
    std::uint32_t ExitCode_ = StillActive;
    std::int64_t ProcessId_ = 0;
    std::int64_t ProcessGroup_ = 0;
    std::string LastError_;
    int LastErrno_ = 0;
    TAppRunnerEvent OnIdle_;
    TAppRunnerEvent OnTerminated_;
    TAppRunnerOutputEvent OnOutput_;
    int HandlerDepth_ = 0;  // > 0 while a notification runs on the main thread
    std::shared_ptr<Shared> Shared_;
};

}  // namespace trackmill
