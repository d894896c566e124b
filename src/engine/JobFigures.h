// What every front end shows of a job: how many files ended how, how far the whole job
// has got, and how long it may still take. The job keeps them; the window and the
// terminal only present them, so both tell the same.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

namespace trackmill {

struct TJobFigures {
    using Clock = std::chrono::steady_clock;

    int total = 0;  // files in the job's plan
    int converted = 0;
    int skipped = 0;
    int failed = 0;
    int cancelled = 0;  // not converted because the job was cancelled or stopped
    int outdated = 0;     // skipped, though made before the source last changed
    int tagsUpdated = 0;  // made before the source last changed, given its present tags
    std::map<std::uint64_t, int> running;  // the percent of each file in progress
    Clock::time_point started{};

    // Files that reached an end other than a cancel.
    int Done() const { return converted + skipped + failed + outdated + tagsUpdated; }
    // A job without files has nothing left to do: 100.
    int OverallPercent() const;
    // Estimated from the pace so far; negative while it cannot be told yet.
    double SecondsLeft(Clock::time_point now) const;
    double SecondsElapsed(Clock::time_point now) const;
};

// "under a minute left", "about 12 min left", "about 2 h 5 min left"; a front end gives
// its own words, %1 the hours or minutes and %2 the minutes.
struct TTimeLeftWords {
    std::string underAMinute = "under a minute left";
    std::string minutes = "about %1 min left";
    std::string hours = "about %1 h %2 min left";
};
std::string TimeLeftText(double seconds, const TTimeLeftWords &words = {});
// "0:42", "12:05", "1:02:03".
std::string ElapsedText(double seconds);

}  // namespace trackmill
