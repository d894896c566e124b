#include "formats/APEtag.h"

#include "formats/BinaryFile.h"
#include "formats/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace trackmill {

namespace {

constexpr std::int64_t kFooterSize = 32;
constexpr std::int64_t kId3v1Size = 128;
constexpr std::size_t kValueBuffer = 250;
// No key of the table is near this long; a longer key is read past but never matches.
constexpr std::size_t kMaxKeyKept = 1024;

constexpr std::array<std::string_view, 8> kKeys = {"Title", "Artist", "Album", "Track",
                                                   "Year", "Genre", "Comment", "Copyright"};
enum Slot { kTitle, kArtist, kAlbum, kTrack, kYear, kGenre, kComment, kCopyright };

std::int32_t Le32(const std::uint8_t *p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) |
                                     static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 |
                                     static_cast<std::uint32_t>(p[3]) << 24);
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

bool SameKey(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        if (up(a[i]) != up(b[i])) return false;
    }
    return true;
}

// Text before the first "/", as a signed decimal or "$"-hexadecimal 32-bit number,
// kept to its low 8 bits; 0 when it is not a number.
std::uint8_t TrackNumber(std::string_view text)
{
    text = text.substr(0, text.find('/'));
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;
    std::int64_t value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return 0;
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL) return 0;
    }
    if (base == 10 && value > (negative ? 0x80000000LL : 0x7FFFFFFFLL)) return 0;
    if (negative) value = -value;
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Positioned reads served from one small window, so walking the items costs a few reads.
class WindowReader {
public:
    explicit WindowReader(BinaryFile &file) : file_(file) {}

    bool Read(std::int64_t pos, void *out, std::size_t n)
    {
        if (pos < 0) return false;
        auto *dst = static_cast<std::uint8_t *>(out);
        while (n > 0) {
            if (pos < start_ || pos >= start_ + static_cast<std::int64_t>(data_.size())) {
                data_.resize(kWindow);
                data_.resize(file_.ReadSomeAt(pos, data_.data(), kWindow));
                start_ = pos;
                if (data_.empty()) return false;
            }
            const auto at = static_cast<std::size_t>(pos - start_);
            const std::size_t take = std::min(n, data_.size() - at);
            std::memcpy(dst, data_.data() + at, take);
            dst += take, pos += static_cast<std::int64_t>(take), n -= take;
        }
        return true;
    }

private:
    static constexpr std::size_t kWindow = 8192;
    BinaryFile &file_;
    std::vector<std::uint8_t> data_;
    std::int64_t start_ = 0;
};

}  // namespace

void TAPEtag::Clear()
{
    present_ = false;
    tagVersion_ = 0;
    tagSize_ = 0;
    title_.clear();
    artist_.clear();
    album_.clear();
    track_ = 0;
    year_.clear();
    genre_.clear();
    comment_.clear();
    copyright_.clear();
}

bool TAPEtag::LoadFromFile(const std::string &fileName)
{
    Clear();
    BinaryFile file;
    if (!file.Open(fileName)) return false;
    const std::int64_t size = file.Size();
    if (size < kId3v1Size) return false;

    char mark[3];
    if (!file.ReadAt(size - kId3v1Size, mark, sizeof mark)) return false;
    const std::int64_t end = size - (std::memcmp(mark, "TAG", 3) == 0 ? kId3v1Size : 0);
    std::uint8_t footer[kFooterSize];
    if (end < kFooterSize || !file.ReadAt(end - kFooterSize, footer, sizeof footer)) return false;
    if (std::memcmp(footer, "APETAGEX", 8) != 0) return true;

    present_ = true;
    tagVersion_ = Le32(footer + 8);
    tagSize_ = Le32(footer + 12);
    const std::int32_t itemCount = Le32(footer + 16);

    std::array<std::string, kKeys.size()> slots;
    WindowReader in(file);
    // The footer itself is never an item, so the walk stops where it begins.
    const std::int64_t footerAt = end - kFooterSize;
    std::int64_t pos = end - tagSize_;
    for (std::int32_t item = 0; item < itemCount && pos < footerAt; ++item) {
        std::uint8_t head[8];
        if (!in.Read(pos, head, sizeof head)) break;
        const std::int32_t valueSize = Le32(head);
        if (valueSize < 0) break;
        pos += 8;

        std::string key;
        bool keyEnded = false;
        for (char c; in.Read(pos, &c, 1);) {
            ++pos;
            if (c == '\0') {
                keyEnded = true;
                break;
            }
            if (key.size() <= kMaxKeyKept) key += c;
        }
        if (!keyEnded) break;

        char buffer[kValueBuffer] = {};
        const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(valueSize), kValueBuffer);
        if (!in.Read(pos, buffer, take)) break;
        const std::string_view value = Trim({buffer, kValueBuffer});
        const std::string_view trimmedKey = Trim(key);
        for (std::size_t k = 0; k < kKeys.size(); ++k) {
            if (!SameKey(trimmedKey, kKeys[k])) continue;
            // Later versions hold UTF-8: keep its valid part whole; 1.0 holds Latin-1.
            slots[k] = tagVersion_ > 1000 ? std::string(value.substr(0, ValidUtf8Prefix(value)))
                                          : Latin1ToUtf8(value);
        }
        pos += valueSize;
    }

    title_ = slots[kTitle];
    artist_ = slots[kArtist];
    album_ = slots[kAlbum];
    track_ = TrackNumber(slots[kTrack]);
    year_ = slots[kYear];
    genre_ = slots[kGenre];
    comment_ = slots[kComment];
    copyright_ = slots[kCopyright];
    return true;
}

}  // namespace trackmill
