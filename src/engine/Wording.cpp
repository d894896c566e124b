#include "engine/Wording.h"

namespace trackmill {

std::string FillIn(std::string text, std::initializer_list<std::string> args)
{
    int n = 0;
    for (const std::string &arg : args) {
        const std::string mark = "%" + std::to_string(++n);
        if (const std::size_t at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), arg);
    }
    return text;
}

}  // namespace trackmill
