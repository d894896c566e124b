#include "system/AppRun.h"

#include "system/Platform.h"
#include "system/Spawn.h"

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


namespace trackmill {

namespace {

constexpr int kOutputWaitMs = TAppRunner::PollInterval - 10;
constexpr std::size_t kReadChunk = 64 * 1024;
// A descendant that keeps the pipe open and writes on must not delay the end for ever.
constexpr std::size_t kFinalReadLimit = 16 * 1024 * 1024;

std::uint32_t StatusToExitCode(int status) { return static_cast<std::uint32_t>(platform::ExitStatusOf(status)); }

void ReportHandlerError(const char *what)
{
    std::fprintf(stderr, "trackmill: an event handler of the process runner failed: %s\n", what);
}

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
        const std::size_t keep = all ? 0 : platform::IncompleteUtf8Tail(pending);
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
    LastErrno_ = 0;

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
    const std::string path = platform::FindCommand(program, workDir);
    if (path.empty()) {
        LastError_ = "program not found: " + program;
        LastErrno_ = ENOENT;
        return false;
    }
    platform::SpawnedProcess process;
    if (const int error = platform::SpawnCommand(path, *words, workDir, process); error != 0) {
        LastError_ = "cannot start " + path + ": " + std::strerror(error);
        LastErrno_ = error;
        return false;
    }
    const pid_t pid = process.pid;

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
        Shared_->fd = process.outputFd;
        Shared_->watching = true;
    }
    Shared_->cv.notify_all();
    return true;
}

bool TAppRunner::Stop(int Signal)
{
    if (!Running_ || ProcessId_ <= 0) return false;
    return ::kill(-static_cast<pid_t>(ProcessId_), Signal) == 0;
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
