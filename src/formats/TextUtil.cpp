#include "formats/TextUtil.h"

#include "formats/TextCodec.h"

#include <algorithm>
#include <cstdio>

namespace trackmill {

namespace {

void AppendHex(std::string &out, const char *prefix, unsigned value, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%0*X", prefix, digits, value);
    out += buf;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return TrimBlanksRight(text);
}

std::string_view TrimBlanksRight(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}

bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsAsciiNoCase(text.substr(0, prefix.size()), prefix);
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out) c = UpperChar(c);
    return out;
}

namespace {

char32_t LowerLetter(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    // Latin Extended-A pairs capital and small letters, mostly capital first.
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

}  // namespace

std::string FoldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        // Only the letters folded live in one or two bytes; anything else is copied.
        if (b >= 0xC2 && b <= 0xDF && i + 1 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            const char32_t c = char32_t(b & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            AppendUtf8(out, LowerLetter(c));
            i += 2;
            continue;
        }
        out += b < 0x80 ? char(LowerLetter(b)) : char(b);
        ++i;
    }
    return out;
}

std::optional<std::int32_t> ParseInteger(std::string_view s)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const bool hex = i < s.size() && s[i] == '$';
    if (hex) ++i;
    if (i == s.size()) return std::nullopt;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return std::nullopt;
        v = v * (hex ? 16 : 10) + digit;
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    if (!hex && v > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
    const auto u = static_cast<std::uint32_t>(v);
    return static_cast<std::int32_t>(negative ? 0u - u : u);
}

std::string FirstChars(std::string_view utf8, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t chars = 0; chars < n && i < utf8.size(); ++chars) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (len > 1 && ValidUtf8Prefix(utf8.substr(i, len)) != len) len = 1;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

bool HasMusepackExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot);
    return EqualsAsciiNoCase(ext, ".mpc") || EqualsAsciiNoCase(ext, ".mpp") || EqualsAsciiNoCase(ext, ".mp+");
}

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

std::string SizeText(std::uint64_t bytes)
{
    constexpr std::uint64_t kKiB = 1024, kMiB = 1024 * 1024;
    const std::uint64_t unit = bytes >= kMiB ? kMiB : bytes >= kKiB ? kKiB : 1;
    const char *name = unit == kMiB ? "MiB" : unit == kKiB ? "KiB" : "bytes";
    char buf[48];
    // A limit reads "16 MiB"; a size just past it "16.0 MiB".
    if (bytes % unit == 0)
        std::snprintf(buf, sizeof buf, "%llu %s", static_cast<unsigned long long>(bytes / unit), name);
    else
        std::snprintf(buf, sizeof buf, "%.1f %s", static_cast<double>(bytes) / static_cast<double>(unit), name);
    return buf;
}

std::string CountText(std::uint64_t n)
{
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
    return digits;
}

std::string Base64(std::string_view bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) out += k <= n ? digits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

}  // namespace trackmill
