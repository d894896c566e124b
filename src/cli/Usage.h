// What a usage error says: its one line, a guess at what was meant, and where the help
// is; not the whole help, which would push the error off the screen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

// The one known word that `typed` most likely misspells (at most two letters off, or the
// start of exactly one), or "" when none or several fit.
std::string ClosestWord(std::string_view typed, const std::vector<std::string_view> &known);

// Prints "<who>: <message>", "Did you mean <guess>?" when there is one, and
// "See <help>." to standard error; returns the usage error's exit status, 2.
int UsageError(const std::string &who, const std::string &message, const std::string &guess,
               const std::string &help);

}  // namespace trackmill
