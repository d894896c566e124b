// The INI file the settings live in, with the semantics of the Windows profile-file
// functions: every call opens the file, reads or rewrites it, and closes it again, so
// the object holds no data and every write is on disk when the call returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

// Raised when a write cannot reach the file; the message is "Unable to write to <file>".
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TIniFile {
public:
    // Values longer than this are cut when read (the Windows reader's buffer).
    static constexpr std::size_t kMaxValueChars = 2047;
    // A larger file is not read (reads give their defaults) and never rewritten.
    static constexpr std::uintmax_t kMaxFileSize = 64u * 1024u * 1024u;

    explicit TIniFile(std::string fileName);

    const std::string &FileName() const { return fileName_; }

    // Sections and keys compare without regard to ASCII case. Blanks around the value
    // and one pair of enclosing quotes (" or ') are removed. Missing file, section or
    // key gives the default.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // "0x"/"0X" followed by hex digits is hexadecimal; anything that is not a 32-bit
    // integer gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // Key names of a section in file order (first occurrence of each).
    std::vector<std::string> ReadSection(std::string_view section) const;
    bool SectionExists(std::string_view section) const;

    // An existing key keeps its line; a new key goes after the last line of its section;
    // file and section are created as needed. Line breaks in the arguments become
    // blanks, so a value can never add lines of its own. Throws EIniFileException.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // Removes the section header and all its lines. Throws EIniFileException.
    void EraseSection(std::string_view section);

private:
    [[noreturn]] void FailWrite() const;
    std::string LoadForWrite() const;
    void Store(const std::string &content) const;

    std::string fileName_;
};

// Names of sections and keys compare like this: ASCII letters without regard to case.
bool SameProfileName(std::string_view a, std::string_view b);
// Blanks (space, tab, vertical tab, form feed) removed at both ends, as the reader does.
std::string_view Trim(std::string_view text);

// A value whose first and last characters are both " or both ' in one more pair of double
// quotes, which ReadString removes again; any other value as it is.
std::string ProtectQuotes(std::string_view value);

// The text to int conversion of the INI reader; false when the text is no valid integer.
bool ParseProfileInteger(std::string_view text, int &value);

}  // namespace trackmill
