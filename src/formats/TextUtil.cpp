#include "formats/TextUtil.h"

#include "formats/TextCodec.h"

#include <cstdio>

namespace trackmill {

namespace {

void AppendHex(std::string &out, const char *prefix, unsigned value, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%0*X", prefix, digits, value);
    out += buf;
}

}  // namespace

std::string EscapeControls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t valid = ValidUtf8Prefix(text);
        for (std::size_t i = 0; i < valid; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '\n') {
                out += "\\n";
            } else if (c == '\t') {
                out += "\\t";
            } else if (c == '\r') {
                out += "\\r";
            } else if (c < 0x20 || c == 0x7F) {
                AppendHex(out, "\\x", c, 2);
            } else if (c == 0xC2 && i + 1 < valid && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
                // U+0080..U+009F: a valid two-byte sequence C2 80..C2 9F.
                AppendHex(out, "\\u", static_cast<unsigned char>(text[i + 1]), 4);
                ++i;
            } else {
                out += static_cast<char>(c);
            }
        }
        text.remove_prefix(valid);
        if (!text.empty()) {
            AppendHex(out, "\\x", static_cast<unsigned char>(text[0]), 2);
            text.remove_prefix(1);
        }
    }
    return out;
}

}  // namespace trackmill
