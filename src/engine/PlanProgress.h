// How far a plan being made has come, read from another thread while it runs, and the
// request to give it up: a large library is planned off the window's thread.
#pragma once

#include <atomic>

namespace trackmill {

struct TPlanProgress {
    std::atomic<bool> stop{false};
    std::atomic<int> marksRead{0};  // outputs below the output folder read for their marks
    std::atomic<int> sources{0};    // sources whose outputs were named

    bool Stopped() const { return stop.load(std::memory_order_relaxed); }
};

// A moment's reading of it, for the front ends.
struct TPlanCount {
    int marksRead = 0;
    int sources = 0;
    int total = 0;  // sources in the plan
};

}  // namespace trackmill
