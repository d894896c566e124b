// Small text helpers shared by every layer: trimming, case-blind comparison, number
// parsing, cutting UTF-8 by characters, the Musepack extension test, and what may reach
// a terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trackmill {

// A text as it may safely reach a terminal: C0 controls, DEL and the C1 controls
// (U+0080..U+009F, which some terminals obey as escape sequences) are written as
// "\n", "\t", "\r" or "\xNN" / "\u0085"; a byte that is not valid UTF-8 becomes "\xNN".
// Everything else, backslashes included, passes unchanged.
std::string EscapeControls(std::string_view text);

// Without the characters of code 0x20 or less (blanks, controls, 0 bytes) at both ends,
// or only at the end.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimBlanksRight(std::string_view text);

// Equal when only the letters a-z and A-Z differ in case; every other byte exactly.
bool EqualsAsciiNoCase(std::string_view a, std::string_view b);
bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix);
// The text with a-z made A-Z, every other byte kept: a key for case-blind lookups.
std::string UpperAscii(std::string_view text);
// Lower case for comparing names as FAT, exFAT and Windows do: the letters of ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic; every other byte as it stands.
std::string FoldCase(std::string_view utf8);

// An optional sign, then decimal digits, or "$" and hexadecimal digits; nothing else.
// The result is a 32-bit number (hexadecimal up to FFFFFFFF, read as its bit pattern).
std::optional<std::int32_t> ParseInteger(std::string_view text);

// The first n characters of a UTF-8 text; a byte that starts no valid sequence counts
// as one character.
std::string FirstChars(std::string_view utf8, std::size_t n);

// A size as a message gives it: "16 MiB" when whole, else "16.0 MiB", "100.5 KiB";
// "512 bytes".
std::string SizeText(std::uint64_t bytes);
// A count with its thousands grouped: "65,536".
std::string CountText(std::uint64_t n);
// The standard base64 alphabet, padded with "=".
std::string Base64(std::string_view bytes);

// The extension (from the last "." that no "/" follows) is ".mpc", ".mpp" or ".mp+",
// in any letter case.
bool HasMusepackExtension(std::string_view name);

}  // namespace trackmill
