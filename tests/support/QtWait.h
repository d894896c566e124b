// Waiting for the event loop to bring something about. Qt Test's QTRY_ macros only log a
// wait that runs out when no Qt Test run is going on, and the test passes; these fail it.
#pragma once

#include <QTest>

#include <gtest/gtest.h>

// Serves events until the condition holds, at most `ms` milliseconds; fails the test if not.
#define TM_TRY_VERIFY(condition, ms) \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, ms)) << "waited " << (ms) << " ms for " #condition

// The same until `actual` equals `expected`; on failure both values are shown.
#define TM_TRY_COMPARE(actual, expected, ms)                                 \
    do {                                                                     \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, ms);   \
        ASSERT_EQ(actual, expected) << "after waiting " << (ms) << " ms"; \
    } while (0)
