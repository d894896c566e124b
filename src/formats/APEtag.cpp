#include "formats/APEtag.h"

#include "formats/ByteUtil.h"
#include "formats/ID3v1.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace trackmill {

namespace {

constexpr std::int64_t kFooterSize = 32;
constexpr std::int64_t kId3v1Size = 128;
constexpr std::size_t kItemHead = 8;
// A key of the most characters APE allows, and its 0 byte.
constexpr std::size_t kKeyLook = 256;
// Reads when only the texts are wanted: a tag's text items fit one.
constexpr std::size_t kTextWindow = 8 * 1024;

// At most n bytes of UTF-8 text, never ending inside a character.
std::string_view CutUtf8(std::string_view s, std::size_t n)
{
    if (s.size() <= n) return s;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return s.substr(0, n);
}

}  // namespace

std::string TAPEitem::Text() const
{
    if (IsBinary()) return {};
    std::string out;
    std::string_view rest = value;
    while (true) {
        const std::size_t zero = rest.find('\0');
        const std::string_view part = TrimBlanks(rest.substr(0, zero));
        if (!part.empty()) {
            if (!out.empty()) out += '/';
            out += part;
        }
        if (zero == std::string_view::npos) break;
        rest.remove_prefix(zero + 1);
    }
    return out;
}

void TAPEtag::Clear()
{
    present_ = false;
    tagVersion_ = 0;
    tagSize_ = 0;
    items_.clear();
    omitted_.clear();
}

const TAPEitem *TAPEtag::Find(std::string_view key) const
{
    for (const TAPEitem &item : items_)
        if (EqualsAsciiNoCase(item.key, key)) return &item;
    return nullptr;
}

std::string TAPEtag::Value(std::string_view key) const
{
    const TAPEitem *item = Find(key);
    return item ? item->Text() : std::string();
}

std::uint16_t TAPEtag::Track() const
{
    const std::string text = Value("Track");
    const auto n = ParseInteger(std::string_view(text).substr(0, text.find('/')));
    return n && *n >= 0 && *n <= 0xFFFF ? static_cast<std::uint16_t>(*n) : 0;
}

bool TAPEtag::LoadFromFile(const std::string &fileName)
{
    Clear();
    TFileStream file;
    return file.Open(fileName) && LoadFromStream(file);
}

bool TAPEtag::LoadFromStream(TStream &file, TTagRead what)
{
    Clear();
    const std::int64_t size = file.Size();
    if (size < kId3v1Size) return false;
    const std::int64_t end = size - (EndsWithID3v1(file) ? kId3v1Size : 0);
    std::uint8_t footer[kFooterSize];
    if (end < kFooterSize || !file.ReadAt(end - kFooterSize, footer, sizeof footer)) return false;
    if (std::memcmp(footer, "APETAGEX", 8) != 0) return true;

    present_ = true;
    tagVersion_ = static_cast<std::int32_t>(Le32(footer + 8));
    tagSize_ = static_cast<std::int32_t>(Le32(footer + 12));
    const auto itemCount = static_cast<std::int32_t>(Le32(footer + 16));

    // A tag that claims more than the file holds has no items that can be found.
    const std::int64_t footerAt = end - kFooterSize;
    const std::int64_t start = end - tagSize_;
    if (tagSize_ < kFooterSize || start < 0 || itemCount <= 0) return true;
    const std::int64_t span = std::min(footerAt - start, kMaxItemBytes);
    // The whole tag in one read; its texts alone a few small reads, a cover passed over.
    const bool whole = what == TTagRead::All;
    TStreamWindow items(file, start, start + span, whole ? static_cast<std::size_t>(span) : kTextWindow);
    const std::size_t read = whole ? items.At(start, static_cast<std::size_t>(span)).size() : static_cast<std::size_t>(span);
    ReadItems(items, start, read, itemCount, footerAt - start > kMaxItemBytes, what);
    return true;
}

void TAPEtag::ReadItems(TStreamWindow &items, std::int64_t start, std::size_t size, std::int64_t count,
                        bool cutAtLimit, TTagRead what)
{
    std::unordered_map<std::string, std::size_t> indexOfKey;
    std::size_t pos = 0;
    std::uint64_t beyondCap = 0;
    std::vector<std::pair<std::string, std::size_t>> cutTexts;
    auto keyText = [&](std::string_view key) {
        const std::string text = tagVersion_ > 1000 ? SanitizeUtf8(key) : Latin1ToUtf8(key);
        return StartsWithAsciiNoCase(text, "Cover Art") ? std::string("the cover picture")
                                                        : "the APE item \"" + FirstChars(text, 64) + "\"";
    };
    // The items past the count cap are walked, not kept, to say how many were left out.
    std::int64_t n = 0;
    bool named = false;  // the item the byte cap cut off is named
    auto bytesAt = [&](std::size_t offset, std::size_t length) { return items.At(start + std::int64_t(offset), length); };
    for (; n < count && size - pos >= kItemHead; ++n) {
        const auto head = bytesAt(pos, kItemHead);
        if (head.size() < kItemHead) break;
        const std::uint32_t valueSize = Le32(head.data());
        const std::uint32_t flags = Le32(head.data() + 4);
        pos += kItemHead;
        // A key is short; one that is not is looked for further, in ever larger reads.
        std::string rawKey;
        bool keyEnds = false;
        for (std::size_t look = std::min(kKeyLook, size - pos); !keyEnds; look = std::min(look * 16, size - pos)) {
            const auto bytes = bytesAt(pos, look);
            if (bytes.empty()) break;
            if (const void *zero = std::memchr(bytes.data(), 0, bytes.size())) {
                rawKey.assign(reinterpret_cast<const char *>(bytes.data()),
                              static_cast<std::size_t>(static_cast<const std::uint8_t *>(zero) - bytes.data()));
                keyEnds = true;
            } else if (bytes.size() < look || look == size - pos) {
                break;
            }
        }
        if (!keyEnds) break;
        pos += rawKey.size() + 1;
        if (valueSize > size - pos) {
            named = cutAtLimit;
            if (cutAtLimit)
                omitted_.push_back(keyText(TrimBlanks(rawKey)) + " of " + SizeText(valueSize) +
                                   (valueSize > std::uint64_t(kMaxItemBytes) ? " exceeds the " : " lies past the ") +
                                   SizeText(kMaxItemBytes) + " limit and was not carried");
            break;
        }
        const std::size_t valueAt = pos;
        pos += valueSize;
        auto value = [&](std::size_t length) {
            const auto bytes = bytesAt(valueAt, length);
            return std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size());
        };

        const std::string_view key = TrimBlanks(rawKey);
        if (key.empty()) continue;
        if (n >= std::int64_t{kMaxItems}) {
            ++beyondCap;
            continue;
        }
        TAPEitem item;
        item.key = tagVersion_ > 1000 ? SanitizeUtf8(key) : Latin1ToUtf8(key);
        // Version 1.0 knows no item flags: every item is text.
        item.flags = tagVersion_ > 1000 ? flags : 0;
        if (item.IsBinary()) {
            if (what == TTagRead::All) item.value = value(valueSize);
        } else {
            // A character cut at the limit is seen by the byte after it.
            const std::string_view raw = value(std::min<std::size_t>(valueSize, kMaxTextBytes + 1));
            if (valueSize > kMaxTextBytes) cutTexts.emplace_back(item.key, valueSize);
            item.value = tagVersion_ > 1000 ? SanitizeUtf8(CutUtf8(raw, kMaxTextBytes))
                                            : Latin1ToUtf8(raw.substr(0, kMaxTextBytes));
        }
        const auto [at, added] = indexOfKey.try_emplace(UpperAscii(item.key), items_.size());
        if (added) items_.push_back(std::move(item));
        else items_[at->second] = std::move(item);
    }
    if (named && n + 1 < count) omitted_.push_back("the APE items after it were not carried");
    if (cutAtLimit && !named && n < count)
        omitted_.push_back("the APE items past the " + SizeText(kMaxItemBytes) + " limit were not carried");
    if (cutTexts.size() == 1)
        omitted_.push_back("the APE item \"" + FirstChars(cutTexts[0].first, 64) + "\" of " +
                           SizeText(cutTexts[0].second) + " exceeds the " + SizeText(kMaxTextBytes) +
                           " limit for a text; its first " + SizeText(kMaxTextBytes) + " were carried");
    if (cutTexts.size() > 1)
        omitted_.push_back(CountText(cutTexts.size()) + " APE texts exceed the " + SizeText(kMaxTextBytes) +
                           " limit for a text; the first " + SizeText(kMaxTextBytes) + " of each were carried");
    if (beyondCap > 0)
        omitted_.push_back(CountText(beyondCap) + " APE items beyond the limit of " + CountText(kMaxItems) +
                           " were not carried");
}

}  // namespace trackmill
