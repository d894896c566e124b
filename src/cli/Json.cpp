#include "cli/Json.h"

#include "formats/TextCodec.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace trackmill::json {

std::string String(std::string_view text)
{
    std::string out = "\"";
    while (!text.empty()) {
        const std::size_t valid = ValidUtf8Prefix(text);
        for (const char ch : text.substr(0, valid)) {
            const auto c = static_cast<unsigned char>(ch);
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
            }
        }
        text.remove_prefix(valid);
        if (!text.empty()) {
            out += "\\ufffd";
            text.remove_prefix(1);
        }
    }
    return out + "\"";
}

std::string Float(double value)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
    return s;
}

Object &Object::Path(const char *key, const char *rawKey, std::string_view path)
{
    Text(key, path);
    if (ValidUtf8Prefix(path) != path.size()) Text(rawKey, Base64(path));
    return *this;
}

Object &Object::Add(const char *key, const std::string &jsonValue)
{
    text_ += text_.empty() ? "{" : ",";
    text_ += String(key) + ":" + jsonValue;
    return *this;
}

}  // namespace trackmill::json
