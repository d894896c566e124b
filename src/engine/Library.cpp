#include "engine/Library.h"

#include "engine/Conversion.h"
#include "engine/TagTransfer.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"
#include "formats/ID3v2Read.h"
#include "formats/APEtag.h"
#include "formats/Stream.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"
#include "os/Files.h"
#include "os/Path.h"

#include <charconv>
#include <cstring>
#include <functional>
#include <vector>

namespace trackmill {

namespace {

constexpr std::size_t kNameMax = 255;
// Deeper than any library; a loop of bind mounts or a hostile tree ends here.
constexpr int kScanDepth = 64;
// Outputs sharing one size and time past which a source is no longer looked for as renamed.
constexpr std::ptrdiff_t kCrowdedIdentity = 16;

bool ParseNumber(std::string_view text, auto &value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string Escaped(std::string_view bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t valid = ValidUtf8Prefix(bytes);
        for (char c : bytes.substr(0, valid)) {
            if (c == '%') out += "%25";
            else out += c;
        }
        bytes.remove_prefix(valid);
        if (bytes.empty()) break;
        const auto b = static_cast<unsigned char>(bytes.front());
        out += '%';
        out += hex[b >> 4];
        out += hex[b & 15];
        bytes.remove_prefix(1);
    }
    return out;
}

std::optional<std::string> Unescaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size()) return std::nullopt;
        const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (ec != std::errc() || end != text.data() + i + 3) return std::nullopt;
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

// A value made fit for one name on any player's file system: the characters FAT and
// Windows refuse and every control character, C1 (U+0080 to U+009F) included, become "_".
std::string NameSafe(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const auto b = static_cast<unsigned char>(c);
        if (b == 0xC2 && i + 1 < value.size() && (static_cast<unsigned char>(value[i + 1]) & 0xE0) == 0x80) {
            out += '_';
            ++i;
            continue;
        }
        out += (b < 0x20 || b == 0x7f || std::strchr("/\\:*?\"<>|", c)) ? '_' : c;
    }
    return out;
}

// A tag's value in a name: also no leading dot, which would hide the name (and the scan
// for marks passes over hidden folders).
std::string ValueSafe(std::string_view value)
{
    std::string out = NameSafe(value);
    if (!out.empty() && out[0] == '.') out[0] = '_';
    return out;
}

// At most n bytes, cut between characters.
std::string FirstBytes(std::string_view utf8, std::size_t n)
{
    if (utf8.size() <= n) return std::string(utf8);
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    return std::string(utf8.substr(0, n));
}

// Blanks at both ends and dots at the end go (a name ending in a dot or blank cannot be
// made on FAT); at most `limit` bytes, cut between characters.
std::string FinishedName(std::string name, std::size_t limit)
{
    name = std::string(TrimBlanks(name));
    name = FirstBytes(name, limit);
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

// The part of a name Windows reads as a device's: before the first dot, less blanks.
std::size_t DeviceStemLength(std::string_view name)
{
    std::size_t n = std::min(name.find('.'), name.size());
    while (n > 0 && name[n - 1] == ' ') --n;
    return n;
}

// "CON", "nul.txt", "COM1": names a Windows or FAT player cannot hold.
bool ReservedOnWindows(std::string_view name)
{
    std::string stem(name.substr(0, DeviceStemLength(name)));
    if (stem.size() != 3 && stem.size() != 4) return false;
    for (char &c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    for (const char *word : {"CON", "PRN", "AUX", "NUL"})
        if (stem == word) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

std::string NumberPart(std::string_view value, int width)
{
    // "3/12" counts 3 of 12; only the first number names the file.
    value = TrimBlanks(value.substr(0, value.find('/')));
    std::size_t digits = 0;
    while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
    if (digits == 0 || digits != value.size()) return std::string(value);
    std::string number(value.substr(value.find_first_not_of('0') == std::string_view::npos
                                         ? digits - 1
                                         : value.find_first_not_of('0')));
    while (int(number.size()) < width) number.insert(number.begin(), '0');
    return number;
}

}  // namespace

std::string MarkText(const TSourceMark &mark)
{
    return "size=" + std::to_string(mark.size) + "; modified=" + std::to_string(mark.modified) +
           "; path=" + Escaped(mark.path);
}

std::optional<TSourceMark> ParseMark(std::string_view text)
{
    TSourceMark mark;
    constexpr std::string_view size = "size=", modified = "; modified=", path = "; path=";
    if (!text.starts_with(size)) return std::nullopt;
    const std::size_t m = text.find(modified), p = text.find(path);
    if (m == std::string_view::npos || p == std::string_view::npos || p < m) return std::nullopt;
    if (!ParseNumber(text.substr(size.size(), m - size.size()), mark.size)) return std::nullopt;
    if (!ParseNumber(text.substr(m + modified.size(), p - m - modified.size()), mark.modified)) return std::nullopt;
    auto source = Unescaped(text.substr(p + path.size()));
    if (!source || source->empty()) return std::nullopt;
    mark.path = std::move(*source);
    return mark;
}

std::string LibraryRelativePath(const TWorkItem &item, const std::string &libraryDir)
{
    for (const std::string *root : {&libraryDir, &item.base}) {
        if (root->empty()) continue;
        const std::string base = os::WithSeparator(*root);
        if (os::IsInside(item.source, base)) return item.source.substr(base.size());
    }
    return os::FileName(item.source);
}

std::optional<TSourceMark> ReadMark(const std::string &path, const TOutputTarget &target)
{
    TFileStream file;
    if (!file.Open(path)) return std::nullopt;
    const auto text = target.MarkText(file);
    return text ? ParseMark(*text) : std::nullopt;
}

namespace {

// A renamed file keeps its size and time, not its name.
std::string IdentityKey(const TSourceMark &mark)
{
    return std::to_string(mark.size) + '\0' + std::to_string(mark.modified);
}

}  // namespace

TMarkMatch MatchMark(const TSourceMark &mark, const TSourceLookup &source, bool atPlannedPath)
{
    const bool sameFile = mark.size == source.mark.size && mark.modified == source.mark.modified;
    if (mark.path == source.mark.path) {
        if (sameFile) return TMarkMatch::Same;
        const bool namesOne = source.inLibrary || (atPlannedPath && mark.path.find('/') != std::string::npos);
        return namesOne ? TMarkMatch::Earlier : TMarkMatch::None;
    }
    if (!sameFile) return TMarkMatch::None;
    const std::string &s = source.source;
    if (s.size() > mark.path.size() && s.ends_with(mark.path) && os::IsSeparator(s[s.size() - mark.path.size() - 1]))
        return TMarkMatch::Same;
    // Renamed: the file the mark names, looked for where this source's own path is rooted,
    // is gone.
    if (!s.ends_with(source.mark.path)) return TMarkMatch::None;
    const std::string root = s.substr(0, s.size() - source.mark.path.size());
    return os::Exists(root + mark.path) ? TMarkMatch::None : TMarkMatch::Same;
}

void TMarkIndex::Scan(const std::string &folder, TPlanProgress *progress)
{
    // A home folder as the output folder holds more than a music library; past this the
    // rest is read only where the plan asks.
    constexpr std::size_t kEntries = 200000;
    std::size_t entries = 0;
    std::unordered_set<os::TFileId, os::TFileIdHash> seen;
    const std::function<void(const std::string &, int)> walk = [&](const std::string &dir, int depth) {
        if (progress && progress->Stopped()) return;
        os::TFileId id;
        if (!os::IdOf(dir, id) || !seen.insert(id).second) return;
        os::TFolderReader reader(dir);
        if (!reader.IsOpen()) return;
        std::vector<std::string> folders;
        bool whole = true;
        for (os::TFolderEntry entry; reader.Next(entry);) {
            if (progress && progress->Stopped()) return;
            if (++entries > kEntries) {
                whole = false;
                break;
            }
            std::string path = dir + entry.name;
            if (entry.kind == os::TKind::None) entry.kind = os::Stat(path, os::TFollow::NotLinks).kind;
            if (entry.kind == os::TKind::Folder) {
                if (!entry.name.starts_with('.')) folders.push_back(std::move(path));
                continue;
            }
            if (entry.kind != os::TKind::File || !target_->Names(entry.name) || entry.name.starts_with(kTemporaryPrefix))
                continue;
            auto mark = ReadMark(path, *target_);
            if (progress) ++progress->marksRead;
            if (mark) {
                byMarkPath_.emplace(mark->path, found_.size());
                byIdentity_.emplace(IdentityKey(*mark), found_.size());
                found_.push_back({*mark, path});
            }
            byPath_.insert_or_assign(std::move(path), std::move(mark));
        }
        if (whole) walked_.insert(dir);
        if (depth >= kScanDepth) return;
        for (const std::string &sub : folders) walk(sub + '/', depth + 1);
    };
    walk(os::WithSeparator(folder), 0);
}

const std::string *TMarkIndex::Find(const TSourceLookup &source, const std::string &preferred, bool *earlier) const
{
    const Found *best = nullptr;
    bool bestExact = false;
    auto consider = [&](std::size_t index) {
        const Found &f = found_[index];
        const TMarkMatch match = MatchMark(f.mark, source);
        if (match == TMarkMatch::None) return;
        const bool exact = match == TMarkMatch::Same;
        // The MP3 of this very source first, then the one at the planned path, then by name.
        if (!best || (exact && !bestExact) ||
            (exact == bestExact && (f.mp3 == preferred || (best->mp3 != preferred && f.mp3 < best->mp3)))) {
            best = &f;
            bestExact = exact;
        }
    };
    // The same path (in any version), then the same size and time (a path that is the end
    // of the source's, or a source renamed since).
    for (auto [it, last] = byMarkPath_.equal_range(source.mark.path); it != last; ++it) consider(it->second);
    // A size and time that many outputs share (files copied in one go) say nothing of which
    // source was renamed, and asking the disk of each would cost the square of a library:
    // there only the end of the source's path counts.
    const std::string identity = IdentityKey(source.mark);
    const auto [first, last] = byIdentity_.equal_range(identity);
    std::ptrdiff_t shared = 0;
    for (auto it = first; it != last && shared <= kCrowdedIdentity; ++it) ++shared;
    if (shared <= kCrowdedIdentity) {
        for (auto it = first; it != last; ++it) consider(it->second);
    } else {
        const std::string &s = source.source;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (!os::IsSeparator(s[i])) continue;
            for (auto [it, end] = byMarkPath_.equal_range(s.substr(i + 1)); it != end; ++it)
                if (IdentityKey(found_[it->second].mark) == identity) consider(it->second);
        }
    }
    if (earlier) *earlier = best && !bestExact;
    return best ? &best->mp3 : nullptr;
}

const std::optional<TSourceMark> &TMarkIndex::MarkAt(const std::string &path)
{
    const auto found = byPath_.find(path);
    if (found != byPath_.end()) return found->second;
    return byPath_.emplace(path, ReadMark(path, *target_)).first->second;
}

bool TMarkIndex::KnownAbsent(const std::string &path) const
{
    return !byPath_.count(path) && walked_.count(os::WithSeparator(os::FolderOf(path)));
}

namespace {

TPatternFields FieldsOf(const TAPEtag &ape, const TID3v2 &v2, const TID3v1 &v1)
{
    TPatternFields f;
    auto v2Text = [&](const char *id) {
        for (const TID3v2Frame &frame : v2.Frames())
            if (frame.id == id) return id3v2::Text(frame);
        return std::string();
    };
    auto pick = [](std::initializer_list<std::string> values) {
        for (const std::string &v : values)
            if (!TrimBlanks(v).empty()) return v;
        return std::string();
    };
    const bool a = ape.Present(), two = v2.Present(), one = v1.Present();
    f.title = pick({a ? ape.Title() : "", two ? v2.Title() : "", one ? v1.Title() : ""});
    f.artist = pick({a ? ape.Artist() : "", two ? v2.Artist() : "", one ? v1.Artist() : ""});
    f.album = pick({a ? ape.Album() : "", two ? v2.Album() : "", one ? v1.Album() : ""});
    f.albumArtist = pick({a ? ape.Value("Album Artist") : "", a ? ape.Value("AlbumArtist") : "",
                          two ? v2Text("TPE2") : ""});
    f.year = pick({a ? ape.Year() : "", two ? v2.Year() : "", one ? v1.Year() : ""});
    f.track = pick({a ? ape.Value("Track") : "", two ? v2Text("TRCK") : "",
                    one && v1.Track() ? std::to_string(v1.Track()) : ""});
    f.disc = pick({a ? ape.Value("Disc") : "", two ? v2Text("TPOS") : ""});
    f.genre = pick({a ? ape.Genre() : "", two ? v2.Genre() : "",
                    one && v1.GenreIndex() < kGenreCount ? std::string(GenreName(v1.GenreIndex())) : ""});
    return f;
}

}  // namespace

TPatternFields ReadPatternFields(const std::string &path)
{
    TFileStream file;
    TAPEtag ape;
    TID3v2 v2;
    TID3v1 v1;
    if (file.Open(path)) {
        // The texts alone: a cover of megabytes is read when the file is converted, not to name it.
        v2.LoadFromStream(file, TTagRead::Texts);
        ape.LoadFromStream(file, TTagRead::Texts);
        v1.LoadFromStream(file);
    }
    return FieldsOf(ape, v2, v1);
}

namespace {

// A pattern read once: its text, its fields and its folder breaks, each with the optional
// part ("[...]") it stands in, if any.
struct TPatternPiece {
    enum class Kind { Text, Field, Folder } kind;
    std::string text;  // a character, or a field's name in lower case
    int group = -1;
};

std::string LowerAscii(std::string text)
{
    for (char &c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::vector<TPatternPiece> ParsePattern(const std::string &pattern, const auto &isField)
{
    using Kind = TPatternPiece::Kind;
    std::vector<TPatternPiece> pieces;
    int group = -1, groups = 0;
    std::size_t opened = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        // "[[" and "]]" are the brackets themselves.
        if ((c == '[' || c == ']') && i + 1 < pattern.size() && pattern[i + 1] == c) {
            pieces.push_back({Kind::Text, std::string(1, c), group});
            ++i;
        } else if (c == '[' && group < 0) {
            group = groups++;
            opened = pieces.size();
        } else if (c == ']' && group >= 0) {
            group = -1;
        } else if (c == '/') {
            pieces.push_back({Kind::Folder, {}, group});
        } else if (const std::size_t close = c == '%' ? pattern.find('%', i + 1) : std::string::npos;
                   close != std::string::npos && isField(LowerAscii(pattern.substr(i + 1, close - i - 1)))) {
            pieces.push_back({Kind::Field, LowerAscii(pattern.substr(i + 1, close - i - 1)), group});
            i = close;
        } else {
            pieces.push_back({Kind::Text, std::string(1, c), group});
        }
    }
    // A "[" never closed is text.
    if (group >= 0) {
        for (std::size_t i = opened; i < pieces.size(); ++i) pieces[i].group = -1;
        pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(opened), {Kind::Text, "[", -1});
    }
    return pieces;
}

}  // namespace

std::optional<std::string> ExpandNamePattern(const std::string &pattern, const TPatternFields &fields,
                                             const std::string &sourceName, std::string_view extension)
{
    const std::string stem = os::ReplaceExtension(sourceName, "");
    auto value = [&](std::string_view key) -> std::optional<std::string> {
        if (key == "artist") return fields.artist;
        if (key == "albumartist") return TrimBlanks(fields.albumArtist).empty() ? fields.artist : fields.albumArtist;
        if (key == "album") return fields.album;
        if (key == "title") return TrimBlanks(fields.title).empty() ? stem : fields.title;
        if (key == "track") return NumberPart(fields.track, 2);
        if (key == "disc") return NumberPart(fields.disc, 1);
        if (key == "year") return fields.year;
        if (key == "genre") return fields.genre;
        if (key == "filename") return stem;
        return std::nullopt;
    };
    using Kind = TPatternPiece::Kind;
    const std::vector<TPatternPiece> pieces =
        ParsePattern(pattern, [&](const std::string &key) { return value(key).has_value(); });
    auto empty = [&](const TPatternPiece &p) { return TrimBlanks(*value(p.text)).empty(); };
    // An optional part goes whole when any of its fields is empty.
    std::vector<bool> dropped;
    for (const TPatternPiece &p : pieces) {
        if (p.group < 0) continue;
        if (dropped.size() <= std::size_t(p.group)) dropped.resize(std::size_t(p.group) + 1, false);
        if (p.kind == Kind::Field && empty(p)) dropped[std::size_t(p.group)] = true;
    }

    // The pattern's own "/" separate folders; everything else, values included, is one name.
    struct TLevel {
        std::string name;
        bool needsTags = false;  // it holds a field outside any optional part
        bool tagsGiven = false;  // and one of those is not empty
    };
    std::vector<TLevel> levels(1);
    for (const TPatternPiece &p : pieces) {
        if (p.group >= 0 && dropped[std::size_t(p.group)]) continue;
        switch (p.kind) {
        case Kind::Folder: levels.emplace_back(); break;
        case Kind::Text: levels.back().name += NameSafe(p.text); break;
        case Kind::Field:
            levels.back().name += ValueSafe(*value(p.text));
            if (p.group < 0) {
                levels.back().needsTags = true;
                levels.back().tagsGiven = levels.back().tagsGiven || !empty(p);
            }
            break;
        }
    }
    std::string path;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const bool last = i + 1 == levels.size();
        // Room for " (999)" and the extension after the file's name.
        const std::size_t limit = last ? kNameMax - 6 - extension.size() : kNameMax;
        std::string name = FinishedName(levels[i].name, limit);
        const bool leftEmpty = levels[i].needsTags && (!levels[i].tagsGiven || name.empty());
        // A folder the tags leave empty would gather every such source in one odd folder:
        // the source goes by its own folders instead. A name they leave empty is the source's.
        if (leftEmpty && !last) return std::nullopt;
        if (last && (leftEmpty || name.empty())) name = FinishedName(ValueSafe(stem), limit);
        if (name.empty() && !last) continue;  // a level of the pattern's own text only, or optional
        if (name.empty() || name == "." || name == "..") name = "_";
        if (name[0] == '.') name[0] = '_';  // a value behind blanks would hide it still
        // After the stem, which is what Windows reads: "Nul_.Point", not "Nul.Point_".
        if (ReservedOnWindows(name)) name.insert(DeviceStemLength(name), "_");
        if (!path.empty()) path += '/';
        path += name;
    }
    return path;
}

}  // namespace trackmill
