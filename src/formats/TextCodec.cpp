#include "formats/TextCodec.h"

namespace trackmill {

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

// Decodes one UTF-8 character at s[i]; returns its length, or 0 when the bytes there
// are not a valid sequence.
std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t &code)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, code = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, code = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) AppendUtf8(out, static_cast<unsigned char>(ch));
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        std::size_t len = DecodeOne(utf8, i, code);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        out += code <= 0xFF ? static_cast<char>(code) : '?';
        i += len;
    }
    return out;
}

bool IsLatin1(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        std::size_t len = DecodeOne(utf8, i, code);
        if (len == 0 || code > 0xFF) return false;
        i += len;
    }
    return true;
}

std::string Utf16ToUtf8(const std::uint8_t *data, std::size_t size, bool bigEndian)
{
    std::string out;
    const std::size_t units = size / 2;
    auto unit = [&](std::size_t k) -> char16_t {
        const std::uint8_t a = data[2 * k], b = data[2 * k + 1];
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t k = 0; k < units; ++k) {
        const char16_t u = unit(k);
        if (u == 0) break;
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const char16_t lo = unit(k + 1);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (lo - 0xDC00));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    return out;
}

std::string Utf8ToUtf16LE(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    auto put = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        std::size_t len = DecodeOne(utf8, i, code);
        if (len == 0) {
            code = 0xFFFD;
            len = 1;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        } else {
            put(code);
        }
        i += len;
    }
    return out;
}

std::size_t ValidUtf8Prefix(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {  // the common case, kept quick
            ++i;
            continue;
        }
        char32_t code = 0;
        std::size_t len = DecodeOne(bytes, i, code);
        if (len == 0) break;
        i += len;
    }
    return i;
}

std::string SanitizeUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    while (!s.empty()) {
        const std::size_t ok = ValidUtf8Prefix(s);
        out.append(s.substr(0, ok));
        if (ok == s.size()) break;
        AppendUtf8(out, U'\uFFFD');
        s.remove_prefix(ok + 1);
    }
    return out;
}

}  // namespace trackmill
