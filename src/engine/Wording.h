// The engine's texts that a person reads in a front end (the information panel's lines):
// written in English, each marked for the translators, and said through a Wording that a
// front end may give to put them in the user's language. Reasons and --json stay English.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

namespace trackmill {

using Wording = std::function<std::string(const char *english)>;

// Marks `english` for the catalogue, under `context`; returns it as it is.
constexpr const char *Word(const char *context, const char *english)
{
    (void)context;
    return english;
}

// `english` as the wording says it, or as it is without one.
inline std::string Said(const Wording &say, const char *english) { return say ? say(english) : std::string(english); }

// `text` with %1, %2, ... replaced by the arguments in turn.
std::string FillIn(const std::string &text, std::initializer_list<std::string> args);

}  // namespace trackmill
