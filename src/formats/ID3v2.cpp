#include "formats/ID3v2.h"

#include "formats/BinaryFile.h"
#include "formats/TextCodec.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace trackmill {

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kContentCut = 500;
constexpr std::int64_t kRebuiltTagSize = 4096;
constexpr std::size_t kCopyChunk = 64 * 1024;

constexpr int kSlotCount = 16;
// Slot order is also the order frames are written in; slots 13 to 16 are only read,
// as second choices.
enum Slot {
    kTitle, kArtist, kAlbum, kTrack, kYear, kGenre, kComment, kComposer, kEncoder,
    kCopyright, kLanguage, kUrl, kRecordingTime, kOrigArtist, kContentGroup, kOrigAlbum,
};
constexpr int kWrittenSlots = kUrl + 1;

constexpr std::array<std::string_view, kSlotCount> kIds34 = {
    "TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON", "COMM", "TCOM",
    "TENC", "TCOP", "TLAN", "WXXX", "TDRC", "TOPE", "TIT1", "TOAL"};
constexpr std::array<std::string_view, kSlotCount> kIds2 = {
    "TT2", "TP1", "TAL", "TRK", "TYE", "TCO", "COM", "TCM",
    "TEN", "TCR", "TLA", "WXX", "TOR", "TOA", "TT1", "TOT"};

enum Encoding : std::uint8_t { kLatin1 = 0, kUtf16Bom = 1, kUtf16BE = 2, kUtf8 = 3 };

struct Header {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::int64_t fileSize = 0;

    bool HasId3() const { return bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3'; }
};

// False when fewer than 10 bytes could be read.
bool ReadHeader(const fs::path &path, Header &header)
{
    BinaryFile file;
    if (!file.Open(path)) return false;
    header.fileSize = file.Size();
    return header.fileSize >= 0 && file.ReadAt(0, header.bytes.data(), kHeaderSize);
}

// The size bytes are taken whole, top bits included; 0 when the tag would pass the file's end.
std::int64_t TagSizeOf(const Header &h)
{
    const auto *b = h.bytes.data();
    std::int64_t size = (std::int64_t{b[6]} << 21) + (std::int64_t{b[7]} << 14) +
                        (std::int64_t{b[8]} << 7) + b[9] + 10;
    if (b[5] & 0x10) size += 10;
    return size > h.fileSize ? 0 : size;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string Trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

// Invalid bytes become U+FFFD so that no broken UTF-8 enters the program.
std::string SanitizeUtf8(std::string_view s)
{
    std::string out;
    while (!s.empty()) {
        const std::size_t ok = ValidUtf8Prefix(s);
        out.append(s.substr(0, ok));
        if (ok == s.size()) break;
        AppendUtf8(out, U'\uFFFD');
        s.remove_prefix(ok + 1);
    }
    return out;
}

std::string DecodeUtf16(const std::uint8_t *p, std::size_t n, bool bigEndian)
{
    // A byte-order mark decides the order; repeated marks from sloppy writers are dropped too.
    while (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
        bigEndian = p[0] == 0xFE;
        p += 2;
        n -= 2;
    }
    return Utf16ToUtf8(p, n, bigEndian);
}

// text[0] is the encoding byte. Latin-1 and UTF-8 keep every byte (the trailing zeros
// of the cut buffer are trimmed away); UTF-16 ends at its first zero unit.
std::string DecodeText(const Bytes &text)
{
    if (text.empty()) return {};
    const std::uint8_t *p = text.data() + 1;
    const std::size_t n = text.size() - 1;
    const auto chars = std::string_view(reinterpret_cast<const char *>(p), n);
    switch (text[0]) {
    case kUtf16Bom: return Trim(DecodeUtf16(p, n, false));
    case kUtf16BE: return Trim(DecodeUtf16(p, n, true));
    case kUtf8: return Trim(SanitizeUtf8(chars));
    default: return Trim(Latin1ToUtf8(chars));
    }
}

// For COMM and WXXX: skips the language (when there is one) and the description, and
// returns the encoding byte followed by the remaining text.
Bytes SkipDescription(const Bytes &slot, std::size_t languageBytes)
{
    if (slot.empty()) return {};
    const std::uint8_t enc = slot[0];
    const std::size_t start = 1 + languageBytes;
    Bytes out{enc};
    if (start > slot.size()) return out;
    // UTF-16 terminators sit on code-unit boundaries; an unaligned search would cut a
    // description such as "A" (41 00 00 00) one byte short and garble the text after it.
    const std::size_t unit = (enc == kUtf16Bom || enc == kUtf16BE) ? 2 : 1;
    for (std::size_t i = start; i + unit <= slot.size(); i += unit) {
        if (slot[i] == 0 && (unit == 1 || slot[i + 1] == 0)) {
            out.insert(out.end(), slot.begin() + static_cast<std::ptrdiff_t>(i + unit), slot.end());
            return out;
        }
    }
    return out;
}

// Optional sign, "$" for hexadecimal, nothing else; the result is a 32-bit integer.
bool ParseInteger(std::string_view s, std::int32_t &value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const bool hex = i < s.size() && s[i] == '$';
    if (hex) ++i;
    if (i == s.size()) return false;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        v = v * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (v > 0xFFFFFFFFull) return false;
    }
    if (!hex && v > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    const auto u = static_cast<std::uint32_t>(negative ? 0u - static_cast<std::uint32_t>(v)
                                                       : static_cast<std::uint32_t>(v));
    value = static_cast<std::int32_t>(u);
    return true;
}

// First n characters (not bytes) of a UTF-8 text.
std::string FirstChars(const std::string &s, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t count = 0; i < s.size() && count < n; ++count) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return s.substr(0, i);
}

std::array<Bytes, kSlotCount> ReadFrames(const fs::path &path, int version, std::int64_t tagSize)
{
    std::array<Bytes, kSlotCount> slots;
    BinaryFile file;
    if (!file.Open(path)) return slots;
    const std::int64_t fileSize = file.Size();
    const auto &ids = version == 2 ? kIds2 : kIds34;
    const std::size_t idLength = version == 2 ? 3 : 4;
    const std::size_t frameHeader = version == 2 ? 6 : 10;

    std::int64_t pos = kHeaderSize;
    std::array<std::uint8_t, 10> h{};
    while (pos < tagSize && pos < fileSize) {
        if (!file.ReadAt(pos, h.data(), frameHeader)) break;
        if (h[0] < 'A' || h[0] > 'Z') break;  // padding, or a structure we do not know
        std::int64_t size;
        if (version == 2) {
            size = (std::int64_t{h[3]} << 16) | (std::int64_t{h[4]} << 8) | h[5];
        } else if (version == 4) {
            size = (std::int64_t{h[4] & 0x7Fu} << 21) | (std::int64_t{h[5] & 0x7Fu} << 14) |
                   (std::int64_t{h[6] & 0x7Fu} << 7) | (h[7] & 0x7Fu);
        } else {
            const std::uint32_t raw = (std::uint32_t{h[4]} << 24) | (std::uint32_t{h[5]} << 16) |
                                      (std::uint32_t{h[6]} << 8) | h[7];
            size = static_cast<std::int32_t>(raw);
            if (size < 0) break;
        }
        const std::int64_t content = pos + static_cast<std::int64_t>(frameHeader);
        Bytes buffer(kContentCut, 0);
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(size, kContentCut));
        if (!file.ReadAt(content, buffer.data(), want)) break;
        const std::string_view id(reinterpret_cast<const char *>(h.data()), idLength);
        for (int s = 0; s < kSlotCount; ++s) {
            if (ids[static_cast<std::size_t>(s)] == id && buffer[0] <= kUtf8) {
                slots[static_cast<std::size_t>(s)] = buffer;
                break;
            }
        }
        pos = content + size;
    }
    return slots;
}

void AppendString(Bytes &out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }

// Frame content (encoding byte included): Latin-1 when every character fits, else
// UTF-16LE with its byte-order mark.
Bytes EncodeText(const std::string &prefixLatin1, const std::string *description,
                 const std::string &text)
{
    const bool latin1 = IsLatin1(text);
    Bytes out{latin1 ? kLatin1 : kUtf16Bom};
    AppendString(out, prefixLatin1);
    if (description) {
        if (latin1) {
            out.push_back(0);
        } else {
            out.insert(out.end(), {0xFF, 0xFE, 0, 0});
        }
    }
    if (latin1) {
        AppendString(out, Utf8ToLatin1(text));
    } else {
        out.insert(out.end(), {0xFF, 0xFE});
        AppendString(out, Utf8ToUtf16LE(text));
    }
    return out;
}

bool CopyRest(BinaryFile &source, std::int64_t from, std::FILE *target)
{
    std::vector<std::uint8_t> chunk(kCopyChunk);
    for (std::int64_t pos = from;;) {
        const std::size_t n = source.ReadSomeAt(pos, chunk.data(), chunk.size());
        if (n == 0) return pos >= source.Size();
        if (std::fwrite(chunk.data(), 1, n, target) != n) return false;
        pos += static_cast<std::int64_t>(n);
    }
}

// Writes the new tag and the old file's bytes from `from` on into a short, unique
// temporary name beside the file (created exclusively, so nothing of the user's is ever
// overwritten there), then renames it over the file in one step, so the file is whole at
// every moment.
bool Rebuild(const fs::path &path, const Bytes &image, std::int64_t from, std::string &error)
{
    struct stat original {};
    if (::stat(path.c_str(), &original) != 0) {
        error = ErrnoText(errno);
        return false;
    }
    // The file must be writable by us: its permissions are never changed.
    if (::access(path.c_str(), W_OK) != 0) {
        error = ErrnoText(errno);
        return false;
    }
    BinaryFile source;
    if (!source.Open(path)) {
        error = ErrnoText(source.Error());
        return false;
    }
    std::string temp = (path.parent_path() / ".tm-XXXXXX").string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot create a temporary file beside it: " + ErrnoText(errno);
        return false;
    }
    // Only root may give the file away; otherwise it stays with whoever writes it.
    [[maybe_unused]] const int chowned = ::fchown(fd, original.st_uid, original.st_gid);
    int err = ::fchmod(fd, original.st_mode & 07777) == 0 ? 0 : errno;
    std::FILE *out = ::fdopen(fd, "wb");
    if (!out) {
        err = errno;
        ::close(fd);
    } else {
        errno = 0;
        const bool copied = std::fwrite(image.data(), 1, image.size(), out) == image.size() &&
                            CopyRest(source, from, out);
        if (!copied && err == 0) err = errno ? errno : EIO;
        if (std::fclose(out) != 0 && err == 0) err = errno;
    }
    source.Close();
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        error = ErrnoText(err);
        return false;
    }
    return true;
}

}  // namespace

TID3v2::TID3v2() = default;

void TID3v2::Clear()
{
    present_ = false;
    tagVersion_ = 0;
    tagSize_ = 0;
    track_ = 0;
    for (std::string *s : {&title_, &artist_, &album_, &year_, &genre_, &comment_, &composer_,
                           &encoder_, &copyright_, &language_, &url_})
        s->clear();
}

bool TID3v2::LoadFromFile(const std::string &fileName)
{
    Clear();
    const fs::path path(fileName);
    Header header;
    if (!ReadHeader(path, header)) return false;
    if (!header.HasId3()) return true;
    present_ = true;
    tagVersion_ = header.bytes[3];
    tagSize_ = static_cast<std::int32_t>(TagSizeOf(header));
    if (tagVersion_ < 2 || tagVersion_ > 4 || tagSize_ == 0) return true;

    const auto slots = ReadFrames(path, tagVersion_, tagSize_);
    auto text = [&](Slot s) { return DecodeText(slots[s]); };
    auto choose = [&](Slot first, Slot second) {
        std::string v = text(first);
        return v.empty() ? text(second) : v;
    };

    title_ = choose(kTitle, kContentGroup);
    artist_ = choose(kArtist, kOrigArtist);
    album_ = choose(kAlbum, kOrigAlbum);

    const std::string track = text(kTrack);
    std::int32_t number = 0;
    if (ParseInteger(std::string_view(track).substr(0, track.find('/')), number))
        track_ = static_cast<std::uint16_t>(number);

    year_ = text(kYear);
    if (year_.empty()) year_ = FirstChars(text(kRecordingTime), 4);

    genre_ = text(kGenre);
    if (const auto close = genre_.rfind(')'); close != std::string::npos) genre_.erase(0, close + 1);

    comment_ = DecodeText(SkipDescription(slots[kComment], 3));
    // The address after the description is Latin-1 whatever the frame's encoding.
    Bytes url = SkipDescription(slots[kUrl], 0);
    if (!url.empty()) url[0] = kLatin1;
    url_ = DecodeText(url);

    composer_ = text(kComposer);
    encoder_ = text(kEncoder);
    copyright_ = text(kCopyright);
    language_ = text(kLanguage);
    return true;
}

bool TID3v2::WriteToFile(const std::string &fileName, std::string *error) const
{
    std::string why;
    auto fail = [&](const std::string &reason) {
        if (error) *error = reason;
        return false;
    };
    const fs::path path(fileName);
    Header header;
    const bool headerRead = ReadHeader(path, header);
    const bool hasTag = headerRead && header.HasId3();
    const std::int64_t existing = hasTag ? TagSizeOf(header) : 0;

    std::array<Bytes, kWrittenSlots> frames;
    auto plain = [&](Slot s, const std::string &v) {
        if (!v.empty()) frames[s] = EncodeText({}, nullptr, v);
    };
    plain(kTitle, title_);
    plain(kArtist, artist_);
    plain(kAlbum, album_);
    if (track_ != 0) plain(kTrack, std::to_string(track_));
    plain(kYear, year_);
    plain(kGenre, genre_);
    if (!comment_.empty()) {
        const std::string emptyDescription;
        frames[kComment] = EncodeText("eng", &emptyDescription, comment_);
    }
    plain(kComposer, composer_);
    plain(kEncoder, encoder_);
    plain(kCopyright, copyright_);
    plain(kLanguage, language_);
    if (!url_.empty()) {
        frames[kUrl] = Bytes{kLatin1, 0};
        AppendString(frames[kUrl], Utf8ToLatin1(url_));  // read as Latin-1, so nothing is lost
    }

    std::int64_t needed = kHeaderSize;
    for (const Bytes &f : frames)
        if (!f.empty()) needed += 10 + static_cast<std::int64_t>(f.size());

    const bool rebuild = !hasTag || existing < needed || existing > kRebuiltTagSize;
    // A tag too large for the usual 4096 bytes is written at its own size, without padding.
    const std::int64_t total = rebuild ? std::max(kRebuiltTagSize, needed) : existing;
    const std::int64_t sizeField = total - 10;
    if (sizeField >= (std::int64_t{1} << 28)) return fail("the tag is too large for ID3v2");

    Bytes image;
    image.reserve(static_cast<std::size_t>(total));
    AppendString(image, "ID3");
    image.insert(image.end(), {3, 0, 0});
    for (int shift = 21; shift >= 0; shift -= 7)
        image.push_back(static_cast<std::uint8_t>((sizeField >> shift) & 0x7F));
    for (int s = 0; s < kWrittenSlots; ++s) {
        const Bytes &f = frames[static_cast<std::size_t>(s)];
        if (f.empty()) continue;
        AppendString(image, kIds34[static_cast<std::size_t>(s)]);
        const auto n = static_cast<std::uint32_t>(f.size());
        image.insert(image.end(), {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                                   static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n), 0, 0});
        image.insert(image.end(), f.begin(), f.end());
    }
    image.resize(static_cast<std::size_t>(total), 0);

    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return fail(ec ? ec.message() : "not a regular file");
    // Write through a link to its target rather than replace the link with a file.
    const fs::path target = fs::is_symlink(path, ec) ? fs::canonical(path, ec) : path;
    if (ec) return fail(ec.message());

    if (!rebuild) {
        BinaryFile file;
        if (file.Open(target, BinaryFile::Mode::ReadWrite) && file.WriteAt(0, image.data(), image.size()) &&
            file.Flush())
            return true;
        return fail(ErrnoText(file.Error()));
    }
    if (!headerRead) return fail("the file is shorter than a tag header");
    return Rebuild(target, image, hasTag ? existing : 0, why) || fail(why);
}

void TID3v2::SetTitle(const std::string &v) { title_ = Trim(v); }
void TID3v2::SetArtist(const std::string &v) { artist_ = Trim(v); }
void TID3v2::SetAlbum(const std::string &v) { album_ = Trim(v); }
void TID3v2::SetYear(const std::string &v) { year_ = Trim(v); }
void TID3v2::SetGenre(const std::string &v) { genre_ = Trim(v); }
void TID3v2::SetComment(const std::string &v) { comment_ = Trim(v); }

}  // namespace trackmill
