// Waiting helpers for tests of asynchronous system components.
#pragma once

#include <QDeadlineTimer>
#include <QTest>

#include <functional>

namespace tmtest {

// Lets the event loop run until the condition holds; false when it did not within the
// time-out.
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMs = 15000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(5);
    }
    return true;
}

// Runs the event loop for a while, for checks that something does NOT happen.
inline void KeepEventLoopRunning(int ms) { QTest::qWait(ms); }

}  // namespace tmtest
