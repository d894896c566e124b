#include "engine/JobFigures.h"

#include "engine/Wording.h"

#include <algorithm>
#include <cmath>

namespace trackmill {

int TJobFigures::OverallPercent() const
{
    if (total <= 0) return 100;
    long long sum = 100LL * Done();
    for (const auto &[id, percent] : running) sum += percent;
    return int(std::min<long long>(100, sum / total));
}

double TJobFigures::SecondsElapsed(Clock::time_point now) const
{
    return std::chrono::duration<double>(now - started).count();
}

double TJobFigures::SecondsLeft(Clock::time_point now) const
{
    const int percent = OverallPercent();
    if (percent <= 0 || percent >= 100 || total <= 0) return percent >= 100 ? 0 : -1;
    return SecondsElapsed(now) * (100 - percent) / percent;
}

std::string TimeLeftText(double seconds, const TTimeLeftWords &words)
{
    if (seconds < 60) return words.underAMinute;
    const long minutes = std::lround(seconds / 60);
    if (minutes < 120) return FillIn(words.minutes, {std::to_string(minutes)});
    return FillIn(words.hours, {std::to_string(minutes / 60), std::to_string(minutes % 60)});
}

std::string ElapsedText(double seconds)
{
    const long total = seconds > 0 ? long(seconds) : 0;
    const auto two = [](long n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    if (total < 3600) return std::to_string(total / 60) + ":" + two(total % 60);
    return std::to_string(total / 3600) + ":" + two(total / 60 % 60) + ":" + two(total % 60);
}

}  // namespace trackmill
