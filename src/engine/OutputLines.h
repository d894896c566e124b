// The commands' output cut into lines as it arrives, in time linear in its length. A line
// ends at a line feed or a carriage return (a progress counter redraws its line with the
// latter) and is handed on with that character, so that a console can still redraw it.
// A line longer than kMaxLine keeps its start, and a mark says how much of it was left
// out, so that a program printing without line breaks can fill neither the memory nor
// the screen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trackmill {

class TOutputLines {
public:
    static constexpr std::size_t kMaxLine = 64 * 1024;
    using Sink = std::function<void(const std::string &line)>;

    // Hands each line completed by `text` to the sink, its line end included.
    void Add(std::string_view text, const Sink &sink);
    // Hands on the unfinished line, if any, without a line end.
    void Flush(const Sink &sink);

    // The line without its line end.
    static std::string_view Text(std::string_view line);

private:
    void End(const Sink &sink, char lineEnd);

    std::string line_;
    std::uint64_t dropped_ = 0;  // bytes of the current line beyond kMaxLine
    bool full_ = false;          // the current line was cut
};

}  // namespace trackmill
