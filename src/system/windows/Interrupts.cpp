// The console's Ctrl-C and Ctrl-Break, its closing, and the session's end, as events of
// the program's event loop. The system calls the handler on a thread of its own.
#include "system/Interrupts.h"

#include <QMetaObject>
#include <QPointer>

#include <windows.h>

#include <atomic>
#include <mutex>

namespace trackmill {

namespace {

std::mutex gTargetMutex;
QPointer<TInterrupts> gTarget;
std::function<void(TInterrupts::Kind)> *gHandler = nullptr;
std::atomic<int> gInterrupts{0};

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    const bool interrupt = event == CTRL_C_EVENT;
    // A third Ctrl-C ends the program at once, for when the events are not being served.
    if (interrupt && ++gInterrupts >= 3) return FALSE;
    std::lock_guard lock(gTargetMutex);
    if (!gTarget || !gHandler) return FALSE;
    auto *handler = gHandler;
    const auto kind = interrupt ? TInterrupts::Kind::Interrupt : TInterrupts::Kind::Terminate;
    QMetaObject::invokeMethod(gTarget.data(), [handler, kind] { (*handler)(kind); }, Qt::QueuedConnection);
    // Closing the console ends us when this returns: give the loop a moment to clean up.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) ::Sleep(2000);
    return TRUE;
}

}  // namespace

TInterrupts::TInterrupts(std::function<void(Kind)> handler, QObject *parent)
    : QObject(parent), handler_(std::move(handler))
{
    {
        std::lock_guard lock(gTargetMutex);
        gTarget = this;
        gHandler = &handler_;
        gInterrupts = 0;
    }
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

TInterrupts::~TInterrupts()
{
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    std::lock_guard lock(gTargetMutex);
    gTarget = nullptr;
    gHandler = nullptr;
}

}  // namespace trackmill
