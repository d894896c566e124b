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
        End(sink, text[end]);
        text.remove_prefix(end + 1);
    }
}

void TOutputLines::Flush(const Sink &sink)
{
    if (!line_.empty() || dropped_ > 0) End(sink, 0);
}

void TOutputLines::End(const Sink &sink, char lineEnd)
{
    if (dropped_ > 0) line_ += " [... " + std::to_string(dropped_) + " more bytes of this line not shown]";
    if (lineEnd) line_ += lineEnd;
    if (sink) sink(line_);
    line_.clear();
    dropped_ = 0;
}

std::string_view TOutputLines::Text(std::string_view line)
{
    if (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

}  // namespace trackmill
