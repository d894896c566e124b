#include "system/Interrupts.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace trackmill {

namespace {

// The signal handler may only write to a pipe; the event loop reads the other end.
int gSignalPipe[2] = {-1, -1};
std::atomic<int> gInterrupts{0};

void OnSignal(int signal)
{
    if (signal == SIGINT && ++gInterrupts >= 3) {
        ::signal(SIGINT, SIG_DFL);
        ::raise(SIGINT);
    }
    const char c = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &c, 1);
}

constexpr int kSignals[] = {SIGINT, SIGHUP, SIGTERM};

}  // namespace

TInterrupts::TInterrupts(std::function<void(Kind)> handler, QObject *parent)
    : QObject(parent), handler_(std::move(handler))
{
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    gInterrupts = 0;
    notifier_ = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c;
        while (::read(gSignalPipe[0], &c, 1) > 0)
            if (handler_) handler_(c == SIGINT ? Kind::Interrupt : Kind::Terminate);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

TInterrupts::~TInterrupts()
{
    for (int s : kSignals) ::signal(s, SIG_DFL);
    delete notifier_;
    for (int &fd : gSignalPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace trackmill
