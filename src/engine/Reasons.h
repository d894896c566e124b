// The reasons given for a file (by the job, the plan, the collection and the platform
// layer) stay English wherever they are kept or printed for programs: the queue, --json,
// the events. A person reads them through ReasonSaid, which recognises each one by its
// fixed words and says those in the user's language, keeping paths, numbers and the
// programs' own words as they are.
#pragma once

#include "engine/Wording.h"

#include <string>

namespace trackmill {

// The catalogue context of the reasons' fixed words.
inline constexpr const char *kReasonContext = "Reason";

// `reason` as `say` words it (reasons joined by "; " each on its own). A reason not
// recognised, or a part of one, stays as it is.
std::string ReasonSaid(const std::string &reason, const Wording &say);

}  // namespace trackmill
