// The POSIX side of a pipeline: posix_spawn into a process group of its own, a pipe for
// the merged output, waitpid for the end and a pidfd to watch it where Linux has one.
#include "system/Pipeline.h"

#include "os/OwnFolder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

extern char **environ;

namespace trackmill::platform {

namespace {

// The parent's SIGPIPE disposition is what the child inherits across exec; ignoring it
// only around the spawn keeps the rest of the program as it was.
std::mutex gSpawnMutex;

int OpenPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

int ExitStatusOf(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 255;
}

}  // namespace

struct TPipeline::Native {
    pid_t pid = -1;      // also the id of its process group
    int outputFd = -1;   // read end, non-blocking, close-on-exec
    int pidFd = -1;
};

TPipeline::TPipeline(std::unique_ptr<Native> native) : native_(std::move(native)) {}

TPipeline::~TPipeline()
{
    CloseOutput();
    if (native_->pidFd >= 0) ::close(native_->pidFd);
}

std::unique_ptr<TPipeline> TPipeline::Start(const std::string &program, const std::vector<std::string> &argvIn,
                                            const std::string &workDir, int &error,
                                            const os::TOwnFolder *workFolder)
{
    std::vector<std::string> words = argvIn;
    std::vector<char *> argv;
    for (auto &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = errno;
        return nullptr;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    if (workFolder)
        posix_spawn_file_actions_addfchdir_np(&actions, static_cast<int>(workFolder->Handle()));
    else if (!workDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    sigdelset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = -1;
    {
        std::lock_guard guard(gSpawnMutex);
        struct sigaction ignore {}, previous {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGPIPE, &ignore, &previous);
        error = ::posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
        ::sigaction(SIGPIPE, &previous, nullptr);
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        return nullptr;
    }
    ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    auto native = std::make_unique<Native>();
    native->pid = pid;
    native->outputFd = pipeFds[0];
    native->pidFd = OpenPidFd(pid);
    return std::unique_ptr<TPipeline>(new TPipeline(std::move(native)));
}

void TPipeline::ReadAvailable(std::size_t limit)
{
    char buffer[8192];
    std::size_t total = 0;
    while (native_->outputFd >= 0 && total < limit) {
        const ssize_t got = ::read(native_->outputFd, buffer, sizeof buffer);
        if (got > 0) {
            pending_.append(buffer, static_cast<std::size_t>(got));
            total += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) CloseOutput();
            break;
        }
    }
}

bool TPipeline::PollEnd(int &exitStatus)
{
    int status = 0;
    pid_t result;
    do result = ::waitpid(native_->pid, &status, WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result == native_->pid) {
        exitStatus = ExitStatusOf(status);
        return true;
    }
    if (result < 0 && errno == ECHILD) {
        // Reaped elsewhere (SIGCHLD ignored by the program): it has ended, the status is lost.
        exitStatus = 255;
        return true;
    }
    return false;
}

bool TPipeline::WaitForOutput(int ms)
{
    if (native_->outputFd < 0) return false;
    pollfd p{native_->outputFd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

bool TPipeline::OutputOpen() const { return native_->outputFd >= 0; }

void TPipeline::CloseOutput()
{
    if (native_->outputFd >= 0) ::close(native_->outputFd);
    native_->outputFd = -1;
}

std::intptr_t TPipeline::OutputHandle() const { return native_->outputFd; }
std::intptr_t TPipeline::EndHandle() const { return ended_ ? -1 : native_->pidFd; }
std::int64_t TPipeline::ProcessId() const { return native_->pid; }
GroupId TPipeline::Group() const { return native_->pid; }

bool IsTransientStartError(int error)
{
    return error == EAGAIN || error == EMFILE || error == ENFILE || error == ENOMEM;
}

std::string StartErrorText(int error) { return std::strerror(error); }

void AskGroupToEnd(GroupId group)
{
    if (group > 0) ::kill(-static_cast<pid_t>(group), SIGTERM);
}

void KillGroup(GroupId group)
{
    if (group > 0) ::kill(-static_cast<pid_t>(group), SIGKILL);
}

bool SignalGroup(GroupId group, int signal)
{
    return group > 0 && ::kill(-static_cast<pid_t>(group), signal) == 0;
}

bool GroupExists(GroupId group)
{
    return group > 0 && ::kill(-static_cast<pid_t>(group), 0) == 0;
}

}  // namespace trackmill::platform
