#include "config/ProfileFile.h"

#include "os/Files.h"
#include "os/Path.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

namespace trackmill {

namespace {

enum class LineKind { Blank, Other, Section, Key };

// One line of the file as offsets into its text, plus the parsed name and raw value.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;   // before the line break (a CR of CR LF excluded)
    std::size_t next = 0;  // start of the following line
    bool hasBreak = false;
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) { return SameProfileName(a, b); }

}  // namespace

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool SameProfileName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

namespace {

std::vector<Line> Parse(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        const std::size_t nl = text.find('\n', pos);
        line.hasBreak = nl != std::string_view::npos;
        std::size_t end = line.hasBreak ? nl : text.size();
        line.next = line.hasBreak ? nl + 1 : text.size();
        if (end > pos && text[end - 1] == '\r') --end;
        line.end = end;
        const std::string_view body = Trim(text.substr(pos, end - pos));
        if (body.empty()) {
            line.kind = LineKind::Blank;
        } else if (body.front() == '[') {
            // A header without "]" still opens a section, so the keys under it stay
            // apart from the section before.
            const std::size_t close = body.find(']');
            line.kind = LineKind::Section;
            line.name = Trim(body.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        } else if (body.front() != ';') {
            const std::size_t eq = body.find('=');
            if (eq != std::string_view::npos && eq > 0) {
                line.kind = LineKind::Key;
                line.name = Trim(body.substr(0, eq));
                line.value = body.substr(eq + 1);
            }
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// Index of the first key line that a read of section/key finds, or -1.
long FindKey(const std::vector<Line> &lines, std::string_view section, std::string_view key)
{
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        if (l.kind == LineKind::Section) inSection = SameName(l.name, section);
        else if (inSection && l.kind == LineKind::Key && SameName(l.name, key)) return static_cast<long>(i);
    }
    return -1;
}

std::string CutToChars(std::string_view v, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto c = static_cast<unsigned char>(v[i]);
        if ((c & 0xC0) != 0x80) {  // a character starts here
            if (chars == maxChars) return std::string(v.substr(0, i));
            ++chars;
        }
    }
    return std::string(v);
}

enum class Load { Ok, Missing, Unusable };

Load LoadFile(const std::string &fileName, std::string &out)
{
    out.clear();
    const os::TFileInfo info = os::Stat(fileName);
    if (info.kind == os::TKind::None)
        return info.error == ENOENT || info.error == ENOTDIR ? (os::Exists(fileName) ? Load::Unusable : Load::Missing)
                                                             : Load::Unusable;
    if (info.kind != os::TKind::File || info.size > TIniFile::kMaxFileSize) return Load::Unusable;
    os::TFile file;
    if (!file.Open(fileName)) return file.Error() == ENOENT ? Load::Missing : Load::Unusable;
    // The file may have grown since it was looked at; take what fits under the limit and
    // check the rest.
    std::size_t got = 0;
    out.resize(static_cast<std::size_t>(info.size) + 4096);
    while (true) {
        got += file.ReadSomeAt(static_cast<std::int64_t>(got), out.data() + got, out.size() - got);
        if (file.Error() != 0 || got > TIniFile::kMaxFileSize) {
            out.clear();
            return Load::Unusable;
        }
        if (got < out.size()) break;
        out.resize(std::min<std::size_t>(out.size() * 2, TIniFile::kMaxFileSize + 1));
    }
    out.resize(got);
    return Load::Ok;
}

std::string Clean(std::string_view s)
{
    std::string r(s);
    for (char &c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return r;
}

std::string DetectBreak(std::string_view text)
{
    const std::size_t nl = text.find('\n');
    return (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') ? "\r\n" : "\n";
}

}  // namespace

std::string ProtectQuotes(std::string_view value)
{
    const bool quoted = value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
    return quoted ? '"' + std::string(value) + '"' : std::string(value);
}

bool ParseProfileInteger(std::string_view text, int &value)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t v = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return false;
            v = v * 16 + static_cast<std::uint64_t>(d);
            if (v > 0xFFFFFFFFull) return false;
        }
        // Eight hex digits cover the whole 32-bit pattern, negative values included.
        value = static_cast<int>(static_cast<std::uint32_t>(v));
        return true;
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
    value = static_cast<int>(v);
    return true;
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    std::string text;
    if (LoadFile(fileName_, text) != Load::Ok) return std::string(defaultValue);
    const std::vector<Line> lines = Parse(text);
    const long i = FindKey(lines, section, key);
    if (i < 0) return std::string(defaultValue);
    std::string_view v = Trim(lines[static_cast<std::size_t>(i)].value);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return CutToChars(v, kMaxValueChars);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    int value = 0;
    return ParseProfileInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    std::string text;
    if (LoadFile(fileName_, text) != Load::Ok) return keys;
    bool inSection = false;
    for (const Line &l : Parse(text)) {
        if (l.kind == LineKind::Section) inSection = SameName(l.name, section);
        if (!inSection || l.kind != LineKind::Key) continue;
        bool seen = false;
        for (const std::string &k : keys) seen = seen || SameName(k, l.name);
        if (!seen) keys.emplace_back(l.name);
    }
    return keys;
}

bool TIniFile::SectionExists(std::string_view section) const
{
    std::string text;
    if (LoadFile(fileName_, text) != Load::Ok) return false;
    for (const Line &l : Parse(text))
        if (l.kind == LineKind::Section && SameName(l.name, section)) return true;
    return false;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string text = LoadForWrite();
    const std::string sec = Clean(section), k = Clean(key), v = Clean(value);
    const std::vector<Line> lines = Parse(text);
    const std::string br = DetectBreak(text);

    const long found = FindKey(lines, sec, k);
    if (found >= 0) {
        const Line &l = lines[static_cast<std::size_t>(found)];
        const std::string replacement = std::string(l.name) + "=" + v;
        text.replace(l.begin, l.end - l.begin, replacement);
        Store(text);
        return;
    }
    // The new key goes after the last non-blank line of the first section of that name.
    long last = -1;
    bool inFirst = false, seenFirst = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        if (l.kind == LineKind::Section) {
            if (inFirst) break;
            if (!seenFirst && SameName(l.name, sec)) inFirst = seenFirst = true;
        }
        if (inFirst && l.kind != LineKind::Blank) last = static_cast<long>(i);
    }
    if (last >= 0) {
        const Line &l = lines[static_cast<std::size_t>(last)];
        std::string insert = (l.hasBreak ? "" : br) + k + "=" + v + br;
        text.insert(l.next, insert);
    } else {
        if (!text.empty() && text.back() != '\n') text += br;
        if (!text.empty() && !lines.empty() && lines.back().kind != LineKind::Blank) text += br;
        text += "[" + sec + "]" + br + k + "=" + v + br;
    }
    Store(text);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section)
{
    std::string text;
    const Load state = LoadFile(fileName_, text);
    if (state == Load::Missing) return;
    if (state == Load::Unusable) FailWrite();
    std::string out;
    out.reserve(text.size());
    bool erasing = false, erased = false;
    for (const Line &l : Parse(text)) {
        if (l.kind == LineKind::Section) erasing = SameName(l.name, section);
        if (erasing) erased = true;
        else out.append(text, l.begin, l.next - l.begin);
    }
    if (erased) Store(out);
}

void TIniFile::FailWrite() const { throw EIniFileException("Unable to write to " + fileName_); }

std::string TIniFile::LoadForWrite() const
{
    std::string text;
    // A file we cannot read completely is never rewritten: that would lose what is in it.
    if (LoadFile(fileName_, text) == Load::Unusable) FailWrite();
    return text;
}

void TIniFile::Store(const std::string &content) const
{
    std::string target = fileName_;
    // Write through a symbolic link rather than replacing the link with a file.
    if (os::Stat(target, os::TFollow::NotLinks).link) {
        target = os::ResolveLinks(target);
        if (target.empty()) FailWrite();
    }
    const os::TFileInfo info = os::Stat(target);
    if (info.kind == os::TKind::None) {
        os::TFile file;
        if (!file.Create(target)) FailWrite();
        const bool ok = file.WriteAt(0, content.data(), content.size());
        if (file.Close() != 0 || !ok) {
            os::RemoveFile(target);
            FailWrite();
        }
        return;
    }
    // A read-only file stays as it is, even for a user whom the system would let write.
    if (info.kind != os::TKind::File || info.readOnly || os::CheckWritable(target) != 0) FailWrite();

    // The new text goes to a sibling file that then replaces the old one in one step,
    // so a full disk or a crash leaves either the old or the new file, never half of one.
    os::TFile temp;
    std::string tempPath;
    if (!temp.CreateUnique(os::FolderOf(target), "." + os::FileName(target) + ".", "", &tempPath,
                           os::TFile::Access::Private))
        FailWrite();
    // Keeping the owner needs privileges we may lack; the content is what matters.
    bool ok = temp.WriteAt(0, content.data(), content.size()) && temp.TakeOwnerAndMode(target);
    ok = temp.Close() == 0 && ok;
    if (!ok || os::Replace(tempPath, target) != 0) {
        os::RemoveFile(tempPath);
        FailWrite();
    }
}

}  // namespace trackmill
