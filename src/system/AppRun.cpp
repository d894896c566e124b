#include "system/AppRun.h"

#include "system/Platform.h"

#include <QMetaObject>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

extern char **environ;

namespace trackmill {

namespace {

constexpr int kOutputWaitMs = TAppRunner::PollInterval - 10;
constexpr std::size_t kReadChunk = 64 * 1024;
// A descendant that keeps the pipe open and writes on must not delay the end for ever.
constexpr std::size_t kFinalReadLimit = 16 * 1024 * 1024;

// Length of the tail that may be the start of a UTF-8 sequence still to come, so a
// chunk never ends inside a character. Invalid bytes are passed on as they are.
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

std::uint32_t StatusToExitCode(int status)
{
    if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
    return 255;
}

void ReportHandlerError(const char *what)
{
    std::fprintf(stderr, "trackmill: an event handler of the process runner failed: %s\n", what);
}

// The parent's SIGPIPE disposition is what the child inherits across exec; ignoring it
// only around the spawn keeps the rest of the program as it was.
std::mutex gSpawnMutex;

}  // namespace

struct TAppRunner::Shared {
    std::mutex m;
    std::condition_variable cv;
    bool stop = false;
    bool watching = false;
    std::uint64_t generation = 0;   // one per successful Run
    pid_t pid = -1;                 // process of `generation`
    int fd = -1;                    // its output pipe, until the worker takes it
    std::vector<pid_t> abandoned;   // replaced before their end was seen; reaped quietly
    std::uint64_t postedTicket = 0;
    std::uint64_t doneTicket = 0;
    TAppRunner *runner = nullptr;   // main thread only; null once destruction began
    QObject *relay = nullptr;       // lives in the main thread, receives the hand-overs
    std::thread worker;

    bool StopRequested()
    {
        std::lock_guard lock(m);
        return stop;
    }

    // Runs `call` on the main thread and waits until it has run. Gives up (false) when
    // the runner is being destroyed, so a destructor on the main thread never waits for
    // a worker that waits for the main thread.
    bool HandOver(const std::shared_ptr<Shared> &self, std::uint64_t forGeneration,
                  std::function<void(TAppRunner &)> call)
    {
        std::unique_lock lock(m);
        if (stop) return false;
        const std::uint64_t ticket = ++postedTicket;
        QObject *target = relay;
        lock.unlock();
        QMetaObject::invokeMethod(
            target,
            [self, ticket, forGeneration, call = std::move(call)]() {
                TAppRunner *owner = self->runner;
                bool current;
                {
                    std::lock_guard guard(self->m);
                    current = self->generation == forGeneration;
                }
                if (owner && current) {
                    ++owner->HandlerDepth_;
                    try {
                        call(*owner);
                    } catch (const std::exception &e) {
                        ReportHandlerError(e.what());
                    } catch (...) {
                        ReportHandlerError("unknown exception");
                    }
                    // The handler may have destroyed the runner.
                    if (self->runner) --owner->HandlerDepth_;
                }
                std::lock_guard guard(self->m);
                self->doneTicket = std::max(self->doneTicket, ticket);
                self->cv.notify_all();
            },
            Qt::QueuedConnection);
        lock.lock();
        cv.wait(lock, [&] { return stop || doneTicket >= ticket; });
        return !stop;
    }

    static void Loop(std::shared_ptr<Shared> self);
};

void TAppRunner::Shared::Loop(std::shared_ptr<Shared> self)
{
    Shared &s = *self;
    std::uint64_t myGeneration = 0;
    pid_t pid = -1;
    bool reaped = true;
    int fd = -1;
    std::string pending;  // output not yet handed over

    auto closeFd = [&] {
        if (fd >= 0) ::close(fd);
        fd = -1;
    };
    // Reads what is there now; false at end of file.
    auto readAvailable = [&](std::size_t limit) {
        char buffer[8192];
        std::size_t total = 0;
        while (fd >= 0 && total < limit) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                pending.append(buffer, static_cast<std::size_t>(got));
                total += static_cast<std::size_t>(got);
            } else if (got == 0) {
                closeFd();
                return false;
            } else if (errno == EINTR) {
                continue;
            } else {
                if (errno != EAGAIN && errno != EWOULDBLOCK) closeFd();
                break;
            }
        }
        return true;
    };
    auto handOverOutput = [&](bool all) {
        const std::size_t keep = all ? 0 : IncompleteUtf8Tail(pending);
        if (pending.size() <= keep) return true;
        std::string text = pending.substr(0, pending.size() - keep);
        pending.erase(0, pending.size() - keep);
        return s.HandOver(self, myGeneration,
                          [generation = myGeneration, text = std::move(text)](TAppRunner &r) { r.NotifyOutput(generation, text); });
    };

    std::unique_lock lock(s.m);
    while (true) {
        s.cv.wait(lock, [&] { return s.stop || s.watching; });
        if (s.stop) break;
        if (s.generation != myGeneration) {
            closeFd();
            if (!reaped) s.abandoned.push_back(pid);
            myGeneration = s.generation;
            pid = s.pid;
            fd = s.fd;
            s.fd = -1;
            reaped = false;
            pending.clear();
        }
        std::vector<pid_t> abandoned;
        abandoned.swap(s.abandoned);
        lock.unlock();

        for (pid_t old : abandoned) {
            if (::waitpid(old, nullptr, WNOHANG) == 0) {
                lock.lock();
                s.abandoned.push_back(old);
                lock.unlock();
            }
        }

        // Wait up to 90 ms for output, then look at the process.
        if (fd >= 0) {
            pollfd p{fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, kOutputWaitMs);
            if (ready > 0) readAvailable(kReadChunk);
        } else {
            lock.lock();
            s.cv.wait_for(lock, std::chrono::milliseconds(kOutputWaitMs),
                          [&] { return s.stop || s.generation != myGeneration; });
            lock.unlock();
        }
        if (s.StopRequested()) {
            lock.lock();
            break;
        }
        if (!handOverOutput(false)) {
            lock.lock();
            break;
        }

        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(pid, &status, WNOHANG);
        } while (result < 0 && errno == EINTR);
        bool ended = false;
        std::uint32_t exitCode = StillActive;
        if (result == pid) {
            ended = true;
            exitCode = StatusToExitCode(status);
        } else if (result < 0 && errno == ECHILD && ::kill(pid, 0) < 0 && errno == ESRCH) {
            // Reaped elsewhere (SIGCHLD ignored by the program): it has ended, the status
            // is lost.
            ended = true;
            exitCode = 255;
        }
        if (ended) {
            reaped = true;
            // Output written just before the end; a background child that keeps the pipe
            // open must not hold up the end event, so only what is there now.
            if (fd >= 0) readAvailable(kFinalReadLimit);
            closeFd();
            const bool delivered =
                handOverOutput(true) &&
                s.HandOver(self, myGeneration, [generation = myGeneration, exitCode](TAppRunner &r) {
                    r.NotifyTerminated(generation, exitCode);
                });
            lock.lock();
            if (!delivered) break;
            // Park, unless a new run was started from inside the end event.
            if (s.generation == myGeneration) s.watching = false;
            continue;
        }
        lock.lock();
    }
    lock.unlock();
    // The process keeps running; it only loses its reader (and ignores SIGPIPE).
    closeFd();
}

TAppRunner::TAppRunner(QObject *Owner) : QObject(Owner), Shared_(std::make_shared<Shared>())
{
    Shared_->runner = this;
    Shared_->relay = new QObject;
    Shared_->worker = std::thread(&Shared::Loop, Shared_);
}

TAppRunner::~TAppRunner()
{
    QObject *relay;
    {
        std::lock_guard lock(Shared_->m);
        Shared_->stop = true;
        Shared_->runner = nullptr;
        relay = Shared_->relay;
        if (Shared_->fd >= 0) {
            ::close(Shared_->fd);
            Shared_->fd = -1;
        }
    }
    Shared_->cv.notify_all();
    if (Shared_->worker.joinable()) Shared_->worker.join();
    // Inside one of our own hand-overs the relay is still delivering it.
    if (HandlerDepth_ > 0)
        relay->deleteLater();
    else
        delete relay;
}

bool TAppRunner::Run()
{
    IdleNotified_ = false;
    Finished_ = false;
    ExitCode_ = StillActive;
    LastError_.clear();

    auto words = platform::SplitCommandLine(CommandLine_);
    if (!words) {
        LastError_ = "the command line has an unclosed quote";
        return false;
    }
    if (words->empty()) {
        if (ApplicationName_.empty()) {
            LastError_ = "no program to start";
            return false;
        }
        words->push_back(ApplicationName_);
    }
    const std::string &program = ApplicationName_.empty() ? words->front() : ApplicationName_;
    const std::string &workDir = CurrentDirectory_;
    if (!workDir.empty()) {
        struct stat info {};
        if (::stat(workDir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            LastError_ = "the working folder does not exist: " + workDir;
            return false;
        }
    }
    const std::string path = platform::FindProgram(program, workDir);
    if (path.empty()) {
        LastError_ = "program not found: " + program;
        return false;
    }

    std::vector<char *> argv;
    for (auto &w : *words) argv.push_back(w.data());
    argv.push_back(nullptr);

    const char *inheritedPath = std::getenv("PATH");
    std::string pathEntry = "PATH=" + platform::ChildPath(workDir, inheritedPath);
    std::vector<char *> envp;
    for (char **e = environ; e && *e; ++e) {
        if (std::strncmp(*e, "PATH=", 5) != 0) envp.push_back(*e);
    }
    envp.push_back(pathEntry.data());
    envp.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        LastError_ = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
    // Nothing of ours leaks into the child beyond its three standard streams.
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
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int error;
    {
        std::lock_guard guard(gSpawnMutex);
        struct sigaction ignore {}, previous {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGPIPE, &ignore, &previous);
        error = ::posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), envp.data());
        ::sigaction(SIGPIPE, &previous, nullptr);
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        LastError_ = "cannot start " + path + ": " + std::strerror(error);
        return false;
    }
    ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);

    ProcessId_ = pid;
    Running_ = true;
    {
        std::lock_guard lock(Shared_->m);
        if (Shared_->fd >= 0) {
            // A run the worker never picked up.
            ::close(Shared_->fd);
            Shared_->abandoned.push_back(Shared_->pid);
        }
        ++Shared_->generation;
        Shared_->pid = pid;
        Shared_->fd = pipeFds[0];
        Shared_->watching = true;
    }
    Shared_->cv.notify_all();
    return true;
}

void TAppRunner::NotifyTerminated(std::uint64_t, std::uint32_t Status)
{
    Finished_ = true;
    ExitCode_ = Status;
    Running_ = false;
    DoTerminated();
}

void TAppRunner::NotifyOutput(std::uint64_t, const std::string &Text)
{
    DoOutput(Text);
}

// Each handler is called through a copy: it may destroy the runner, and with it the
// stored handler, while it runs.
void TAppRunner::DoIdle()
{
    if (auto handler = OnIdle_) handler(*this);
}

void TAppRunner::DoTerminated()
{
    if (auto handler = OnTerminated_) handler(*this);
}

void TAppRunner::DoOutput(const std::string &Text)
{
    if (auto handler = OnOutput_) handler(*this, Text);
}

}  // namespace trackmill
