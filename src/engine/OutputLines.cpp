#include "engine/OutputLines.h"

#include <algorithm>

namespace trackmill {

void TOutputLines::Add(std::string_view text, const Sink &sink)
{
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view part = text.substr(0, end);
        std::size_t room = kMaxLine - std::min(kMaxLine, line_.size());
        if (full_) {
            // The rest of a cut line is only counted.
            dropped_ += part.size();
        } else if (room < part.size()) {
            // Never half a character: the cut goes before a UTF-8 sequence that would not fit.
            while (room > 0 && (static_cast<unsigned char>(part[room]) & 0xC0) == 0x80) --room;
            line_.append(part.substr(0, room));
            dropped_ += part.size() - room;
            full_ = true;
        } else {
            line_.append(part);
        }
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
    full_ = false;
}

std::string_view TOutputLines::Text(std::string_view line)
{
    if (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

}  // namespace trackmill
