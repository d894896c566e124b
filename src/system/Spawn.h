// Starting one command the way every runner here does: its output and errors merged into
// one pipe, no input, none of our descriptors, SIGPIPE ignored (closing our end of the
// pipe does not end it), its signals at their defaults, and a process group of its own so
// that a terminal's Ctrl-C reaches only us.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace trackmill::platform {

struct SpawnedProcess {
    pid_t pid = -1;     // also the id of its process group
    int outputFd = -1;  // read end, non-blocking, close-on-exec
};

// argv[0] must be the program's path. 0 on success, else the errno value of what failed
// (EAGAIN or EMFILE when the system is only short of processes or descriptors for now).
int SpawnCommand(const std::string &program, const std::vector<std::string> &argv, const std::string &workDir,
                 SpawnedProcess &process);

// True for errors that may go away by themselves (processes, descriptors, memory).
bool IsTransientSpawnError(int error);

// Exit status, or 128 + the signal number.
int ExitStatusOf(int waitStatus);

// How long a stopped command's process group may take to end before it is killed.
inline constexpr int kStopGraceMs = 1000;
// Asks the whole process group to end (SIGTERM).
void AskGroupToEnd(pid_t group);
// Kills what is left of the process group (SIGKILL): a program that ignores the request
// must not outlive the stop.
void KillGroup(pid_t group);

// Length of the tail that may be the start of a UTF-8 sequence still to come, so that
// output is never handed on cut inside a character.
std::size_t IncompleteUtf8Tail(const std::string &text);

}  // namespace trackmill::platform
