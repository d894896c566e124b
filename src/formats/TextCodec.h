// Text conversions at the file boundary. Every text inside the program is UTF-8;
// files hold Latin-1, UTF-16 (either byte order) or UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace trackmill {

// Each byte is one character U+0000..U+00FF.
std::string Latin1ToUtf8(std::string_view latin1);

// A character that Latin-1 lacks, or a byte that is not valid UTF-8, becomes "?".
std::string Utf8ToLatin1(std::string_view utf8);

// True when the text is valid UTF-8 and every character fits Latin-1.
bool IsLatin1(std::string_view utf8);

// UTF-16 code units from raw bytes (an odd last byte is ignored). Surrogate pairs are
// joined; a lone surrogate becomes U+FFFD. Decoding stops at the first 0 unit.
std::string Utf16ToUtf8(const std::uint8_t *data, std::size_t size, bool bigEndian);

// UTF-16LE bytes without byte-order mark; invalid UTF-8 bytes become U+FFFD.
std::string Utf8ToUtf16LE(std::string_view utf8);

// Length in bytes of the longest prefix that is valid UTF-8 (no overlongs, no surrogates,
// nothing above U+10FFFF).
std::size_t ValidUtf8Prefix(std::string_view bytes);

// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string &out, char32_t code);

}  // namespace trackmill
