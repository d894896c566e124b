// One started command, as every runner here starts and watches it: its output and errors
// merged into one pipe, no input, none of our descriptors, a process group of its own (so
// a terminal's Ctrl-C reaches only us), and it keeps running when we stop reading (closing
// our end of the pipe does not end it). The runners differ only in how they wait: a
// worker thread that polls, or an event loop that watches the handles.
//
// The platform's part is in posix/ (a windows/ implementation would sit beside it).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace trackmill::os {
class TOwnFolder;
}

namespace trackmill::platform {

// A command's process group, as the platform names it.
using GroupId = std::int64_t;

// How long a stopped command's process group may take to end before it is killed.
inline constexpr int kStopGraceMs = 1000;

class TPipeline {
public:
    // What Collect found.
    struct Progress {
        // Output to hand on; never cut inside a UTF-8 sequence while the command runs.
        std::string output;
        bool ended = false;
        // The exit status, or 128 + the signal number; 255 when it was lost.
        int exitStatus = 0;
    };

    // Starts `program` (its path) with `argv` (argv[0] included) in `workDir` (empty: ours),
    // or in `workFolder` when given: entered through its descriptor on POSIX, so that
    // nothing swapped for its name is entered; on Windows by its path, which the held
    // folder keeps from being renamed. Null with the platform's error number in `error`
    // when it cannot start.
    static std::unique_ptr<TPipeline> Start(const std::string &program, const std::vector<std::string> &argv,
                                            const std::string &workDir, int &error,
                                            const os::TOwnFolder *workFolder = nullptr);
    // Stops watching: the command runs on, and is neither stopped nor waited for.
    ~TPipeline();
    TPipeline(const TPipeline &) = delete;
    TPipeline &operator=(const TPipeline &) = delete;

    // Reads what output is there now and looks whether the command has ended; with its
    // end comes the rest of its output (what a descendant still holding the pipe writes
    // later is not waited for). After the end it reports nothing more.
    Progress Collect();

    // Waits up to `ms` for output; false at once when the output has ended.
    bool WaitForOutput(int ms);
    bool OutputOpen() const;
    // Gives up the output; the command may still write (it is not ended by that).
    void CloseOutput();

    // For an event loop: a handle that becomes readable with output (-1 once it has
    // ended), and one that becomes readable when the command ends (-1 where the system
    // has none: then Collect must be called from time to time).
    std::intptr_t OutputHandle() const;
    std::intptr_t EndHandle() const;

    std::int64_t ProcessId() const;
    GroupId Group() const;

private:
    struct Native;
    explicit TPipeline(std::unique_ptr<Native> native);
    // Appends up to about `limit` bytes of what is there to pending_.
    void ReadAvailable(std::size_t limit);
    // Non-blocking; true once the command has ended, with its status.
    bool PollEnd(int &exitStatus);

    std::unique_ptr<Native> native_;
    std::string pending_;
    bool ended_ = false;
};

// True for start errors that may go away by themselves (processes, descriptors, memory).
bool IsTransientStartError(int error);
// What a start error means, for a message.
std::string StartErrorText(int error);

// Asks the whole process group to end.
void AskGroupToEnd(GroupId group);
// Kills what is left of the process group.
void KillGroup(GroupId group);
// Sends a signal of the platform's to the whole group; false when it could not be sent.
bool SignalGroup(GroupId group, int signal);
// True while any process of the group is left.
bool GroupExists(GroupId group);

// The groups asked to end, each killed once its grace has passed: a program that ignores
// the request must not outlive the stop.
class TStoppedGroups {
public:
    // What is left is given the rest of its grace, then killed.
    ~TStoppedGroups();
    // Asks the group to end; KillOverdue should run kStopGraceMs later.
    void Stop(GroupId group);
    void KillOverdue();

private:
    void Kill(bool waitOutGrace);
    struct Stopped {
        GroupId group;
        std::chrono::steady_clock::time_point deadline;
    };
    std::vector<Stopped> stopped_;
};

// Length of the tail that may be the start of a UTF-8 sequence still to come.
std::size_t IncompleteUtf8Tail(const std::string &text);

}  // namespace trackmill::platform
