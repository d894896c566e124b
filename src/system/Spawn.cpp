#include "system/Spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

extern char **environ;

namespace trackmill::platform {

namespace {

// The parent's SIGPIPE disposition is what the child inherits across exec; ignoring it
// only around the spawn keeps the rest of the program as it was.
std::mutex gSpawnMutex;

}  // namespace

int SpawnCommand(const std::string &program, const std::vector<std::string> &argvIn, const std::string &workDir,
                 SpawnedProcess &process)
{
    std::vector<std::string> words = argvIn;
    std::vector<char *> argv;
    for (auto &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return errno;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
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
    int error;
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
        return error;
    }
    ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    process.pid = pid;
    process.outputFd = pipeFds[0];
    return 0;
}

void AskGroupToEnd(pid_t group)
{
    if (group > 0) ::kill(-group, SIGTERM);
}

void KillGroup(pid_t group)
{
    if (group > 0) ::kill(-group, SIGKILL);
}

bool IsTransientSpawnError(int error)
{
    return error == EAGAIN || error == EMFILE || error == ENFILE || error == ENOMEM;
}

int ExitStatusOf(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 255;
}

std::size_t IncompleteUtf8Tail(const std::string &text)
{
    const std::size_t n = text.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(text[n - back]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte: look further back
        std::size_t need = 0;
        if ((c & 0xE0) == 0xC0)
            need = 2;
        else if ((c & 0xF0) == 0xE0)
            need = 3;
        else if ((c & 0xF8) == 0xF0)
            need = 4;
        return need > back ? back : 0;
    }
    return 0;
}

}  // namespace trackmill::platform
