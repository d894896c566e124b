// The terminal's messages in the user's language. The English texts are the source
// texts; a translated printf format keeps its source's conversions, which the catalogue
// test checks. Paths and the engine's reasons stay bytes and go in as arguments.
#pragma once

#include "engine/Reasons.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

namespace trackmill {

class Cli {
    Q_DECLARE_TR_FUNCTIONS(Cli)

public:
    static std::string Tr(const char *text) { return tr(text).toStdString(); }
};

// A reason the engine gave, in the user's language (--json keeps it English).
inline std::string ReasonText(const std::string &reason)
{
    return ReasonSaid(reason, [](const char *english) {
        return QCoreApplication::translate(kReasonContext, english).toStdString();
    });
}

// printf into a string, for a translated format.
template <typename... Args>
std::string Formatted(const std::string &format, Args... args)
{
    if constexpr (sizeof...(Args) == 0) {
        return format;
    } else {
        const int n = std::snprintf(nullptr, 0, format.c_str(), args...);
        if (n <= 0) return n == 0 ? std::string() : format;
        std::string out(static_cast<std::size_t>(n), '\0');
        std::snprintf(out.data(), out.size() + 1, format.c_str(), args...);
        return out;
    }
}

}  // namespace trackmill
