#include "system/ProcessPool.h"

#include "system/Spawn.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace trackmill {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// A descendant that keeps the pipe open and writes on must not delay the end for ever.
constexpr std::size_t kFinalReadLimit = 16 * 1024 * 1024;
constexpr int kFallbackPollMs = 10;

int OpenPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

}  // namespace

struct TProcessPool::Process {
    pid_t pid = -1;
    int outputFd = -1;
    int pidFd = -1;
    std::unique_ptr<QSocketNotifier> outputNotifier;
    std::unique_ptr<QSocketNotifier> endNotifier;
    std::string pending;

    ~Process()
    {
        outputNotifier.reset();
        endNotifier.reset();
        if (outputFd >= 0) ::close(outputFd);
        if (pidFd >= 0) ::close(pidFd);
    }
};

TProcessPool::TProcessPool(QObject *parent) : QObject(parent) {}

TProcessPool::~TProcessPool()
{
    // Reap nothing: the commands finish on their own; only our watching ends.
    processes_.clear();
    KillStragglers(true);
}

void TProcessPool::KillStragglers(bool wait)
{
    std::vector<Stopping> left;
    for (const Stopping &s : stopping_) {
        const qint64 remaining = s.deadlineMs - QDeadlineTimer::current().deadline();
        if (remaining > 0 && !wait) {
            left.push_back(s);
            continue;
        }
        // Nothing left of the group: nothing to wait for.
        while (remaining > 0 && ::kill(-s.group, 0) == 0 && QDeadlineTimer::current().deadline() < s.deadlineMs)
            ::usleep(10000);
        platform::KillGroup(s.group);
    }
    stopping_ = std::move(left);
}

TCommandRunner::StartResult TProcessPool::Start(std::uint64_t id, const std::vector<std::string> &argv,
                                                std::string *error)
{
    if (argv.empty()) {
        if (error) *error = "no program to start";
        return StartResult::Failed;
    }
    platform::SpawnedProcess spawned;
    if (const int err = platform::SpawnCommand(argv.front(), argv, {}, spawned); err != 0) {
        if (error) *error = "cannot start " + argv.front() + ": " + std::strerror(err);
        return platform::IsTransientSpawnError(err) ? StartResult::TryLater : StartResult::Failed;
    }
    auto p = std::make_unique<Process>();
    p->pid = spawned.pid;
    p->outputFd = spawned.outputFd;
    p->pidFd = OpenPidFd(spawned.pid);
    p->outputNotifier = std::make_unique<QSocketNotifier>(p->outputFd, QSocketNotifier::Read);
    Process *raw = p.get();
    connect(p->outputNotifier.get(), &QSocketNotifier::activated, this, [this, id, raw] {
        ReadOutput(*raw, kReadChunk);
        if (raw->outputFd < 0) raw->outputNotifier->setEnabled(false);
        // Output seen after the end was noticed is delivered before the end itself.
        CheckEnded(id);
    });
    if (p->pidFd >= 0) {
        p->endNotifier = std::make_unique<QSocketNotifier>(p->pidFd, QSocketNotifier::Read);
        connect(p->endNotifier.get(), &QSocketNotifier::activated, this, [this, id] { CheckEnded(id); });
    } else if (!pollTimer_) {
        pollTimer_ = new QTimer(this);
        connect(pollTimer_, &QTimer::timeout, this, &TProcessPool::Poll);
        pollTimer_->start(kFallbackPollMs);
    }
    processes_[id] = std::move(p);
    return StartResult::Started;
}

void TProcessPool::ReadOutput(Process &p, std::size_t limit)
{
    char buffer[8192];
    std::size_t total = 0;
    while (p.outputFd >= 0 && total < limit) {
        const ssize_t got = ::read(p.outputFd, buffer, sizeof buffer);
        if (got > 0) {
            p.pending.append(buffer, static_cast<std::size_t>(got));
            total += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                p.outputNotifier->setEnabled(false);
                ::close(p.outputFd);
                p.outputFd = -1;
            }
            break;
        }
    }
}

void TProcessPool::CheckEnded(std::uint64_t id)
{
    auto it = processes_.find(id);
    if (it == processes_.end()) return;
    Process &p = *it->second;
    int status = 0;
    pid_t result;
    do result = ::waitpid(p.pid, &status, WNOHANG);
    while (result < 0 && errno == EINTR);
    const bool ended = result == p.pid || (result < 0 && errno == ECHILD);
    if (!ended) {
        // Output only: hand on what is whole.
        const std::size_t keep = platform::IncompleteUtf8Tail(p.pending);
        if (p.pending.size() > keep && handlers_.output) {
            std::string text = p.pending.substr(0, p.pending.size() - keep);
            p.pending.erase(0, p.pending.size() - keep);
            handlers_.output(id, text);
        }
        return;
    }
    const int exitStatus = result == p.pid ? platform::ExitStatusOf(status) : 255;
    ReadOutput(p, kFinalReadLimit);
    std::string text = std::move(p.pending);
    processes_.erase(it);
    // The handlers may start the next command, which changes processes_.
    QPointer<TProcessPool> alive(this);
    if (!text.empty() && handlers_.output) handlers_.output(id, text);
    if (alive && handlers_.ended) handlers_.ended(id, exitStatus);
}

void TProcessPool::Poll()
{
    std::vector<std::uint64_t> ids;
    for (const auto &[id, p] : processes_) ids.push_back(id);
    for (std::uint64_t id : ids) CheckEnded(id);
    if (processes_.empty() && pollTimer_) {
        pollTimer_->deleteLater();
        pollTimer_ = nullptr;
    }
}

void TProcessPool::Stop(std::uint64_t id)
{
    const auto it = processes_.find(id);
    if (it == processes_.end()) return;
    platform::AskGroupToEnd(it->second->pid);
    stopping_.push_back({it->second->pid, QDeadlineTimer::current().deadline() + platform::kStopGraceMs});
    QTimer::singleShot(platform::kStopGraceMs, this, [this] { KillStragglers(false); });
}

}  // namespace trackmill
