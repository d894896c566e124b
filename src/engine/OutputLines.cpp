#include "engine/OutputLines.h"

#include <algorithm>

namespace trackmill {

void TOutputLines::Add(std::string_view text, const Sink &sink)
{
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view part = text.substr(0, end);
        const std::size_t room = kMaxLine - std::min(kMaxLine, line_.size());
        line_.append(part.substr(0, room));
        dropped_ += part.size() - std::min(room, part.size());
        if (end == std::string_view::npos) return;
        End(sink);
        text.remove_prefix(end + 1);
    }
}

void TOutputLines::Flush(const Sink &sink)
{
    End(sink);
}

void TOutputLines::End(const Sink &sink)
{
    if (dropped_ > 0) line_ += " [... " + std::to_string(dropped_) + " more bytes of this line not shown]";
    if (!line_.empty() && sink) sink(line_);
    line_.clear();
    dropped_ = 0;
}

}  // namespace trackmill
