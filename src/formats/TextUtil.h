// Small text helpers shared by every layer above the formats: what reaches a terminal.
#pragma once

#include <string>
#include <string_view>

namespace trackmill {

// A text as it may safely reach a terminal: C0 controls, DEL and the C1 controls
// (U+0080..U+009F, which some terminals obey as escape sequences) are written as
// "\n", "\t", "\r" or "\xNN" / "\u0085"; a byte that is not valid UTF-8 becomes "\xNN".
// Everything else, backslashes included, passes unchanged.
std::string EscapeControls(std::string_view text);

}  // namespace trackmill
