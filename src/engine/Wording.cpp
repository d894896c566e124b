#include "engine/Wording.h"

#include <vector>

namespace trackmill {

std::string FillIn(const std::string &text, std::initializer_list<std::string> args)
{
    // One pass, so that a value holding "%2" stays as it is.
    const std::vector<std::string> values(args);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next >= '1' && next <= '9' && std::size_t(next - '1') < values.size()) {
            out += values[std::size_t(next - '1')];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace trackmill
