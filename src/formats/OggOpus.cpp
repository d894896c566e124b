#include "formats/OggOpus.h"

#include "formats/ByteUtil.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace trackmill {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kPageHeader = 27;
constexpr std::size_t kMaxSegments = 255;
constexpr std::size_t kMaxPage = kPageHeader + kMaxSegments + kMaxSegments * 255;
constexpr std::uint8_t kContinued = 1;
constexpr std::uint8_t kFirstPage = 2;
constexpr std::size_t kCopyChunk = 64 * 1024;
constexpr std::int64_t kTailChunk = 64 * 1024;
// Pages full of "OggS" that claim to be long could make the search for the last page
// checksum gigabytes: it gives up after this much.
constexpr std::int64_t kMaxChecksummed = 16 * 1024 * 1024;

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}();

std::uint32_t Crc(const std::uint8_t *p, std::size_t n, std::uint32_t crc)
{
    for (std::size_t i = 0; i < n; ++i) crc = (crc << 8) ^ kCrcTable[(crc >> 24) ^ p[i]];
    return crc;
}

// The checksum of a whole page, its own field taken as 0.
std::uint32_t PageCrc(const std::uint8_t *page, std::size_t size)
{
    static constexpr std::uint8_t kZero[4] = {};
    std::uint32_t crc = Crc(page, 22, 0);
    crc = Crc(kZero, 4, crc);
    return Crc(page + 26, size - 26, crc);
}

struct PageHeader {
    std::uint8_t flags = 0;
    std::int64_t granule = 0;
    std::uint32_t serial = 0;
    std::uint32_t sequence = 0;
    std::uint32_t crc = 0;
    std::size_t segments = 0;
    std::array<std::uint8_t, kMaxSegments> lacing{};
    std::size_t body = 0;

    std::size_t HeaderSize() const { return kPageHeader + segments; }
    std::size_t Size() const { return HeaderSize() + body; }
};

enum class PageState { Whole, Short, NoPage, BadChecksum };

// The header of a page whose first `avail` bytes are at p.
PageState ParseHeader(const std::uint8_t *p, std::size_t avail, PageHeader &h)
{
    if (std::memcmp(p, "OggS", std::min<std::size_t>(avail, 4)) != 0) return PageState::NoPage;
    if (avail < kPageHeader) return PageState::Short;
    if (p[4] != 0) return PageState::NoPage;
    h.flags = p[5];
    h.granule = static_cast<std::int64_t>(Le64(p + 6));
    h.serial = Le32(p + 14);
    h.sequence = Le32(p + 18);
    h.crc = Le32(p + 22);
    h.segments = p[26];
    if (avail < h.HeaderSize()) return PageState::Short;
    std::copy_n(p + kPageHeader, h.segments, h.lacing.begin());
    h.body = 0;
    for (std::size_t i = 0; i < h.segments; ++i) h.body += h.lacing[i];
    return PageState::Whole;
}

// The page at `at` of a stream of `size` bytes. With `page`, all its bytes are read
// into it and its checksum is checked.
PageState ReadPage(TStream &stream, std::int64_t at, std::int64_t size, PageHeader &h, Bytes *page)
{
    std::uint8_t head[kPageHeader + kMaxSegments];
    const std::size_t got = at < size ? stream.ReadSomeAt(at, head, sizeof head) : 0;
    if (got == 0) return PageState::Short;
    const PageState state = ParseHeader(head, got, h);
    if (state != PageState::Whole) return state;
    if (size - at < static_cast<std::int64_t>(h.Size())) return PageState::Short;
    if (!page) return PageState::Whole;
    page->assign(head, head + h.HeaderSize());
    page->resize(h.Size());
    if (!stream.ReadAt(at + static_cast<std::int64_t>(h.HeaderSize()), page->data() + h.HeaderSize(), h.body))
        return PageState::Short;
    return PageCrc(page->data(), page->size()) == h.crc ? PageState::Whole : PageState::BadChecksum;
}

bool ValidKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= 0x20 && c <= 0x7D && c != '='; });
}

// Writes the packet as pages from sequence number `sequence` on: 255 segments a page,
// the first without the continuation flag, granule position 0 where it ends and -1 on
// the pages before, where no packet ends. Returns the next sequence number, or nothing
// when a write failed.
std::optional<std::uint32_t> WritePages(TStream &out, std::int64_t &at, const Bytes &packet, std::uint32_t serial,
                                        std::uint32_t sequence)
{
    const std::size_t segments = packet.size() / 255 + 1;
    std::size_t done = 0;  // segments written
    std::size_t from = 0;  // packet bytes written
    Bytes page;
    for (bool first = true; done < segments; first = false, ++sequence) {
        const std::size_t take = std::min(kMaxSegments, segments - done);
        const bool ends = done + take == segments;
        page.clear();
        page.insert(page.end(), {'O', 'g', 'g', 'S', 0, static_cast<std::uint8_t>(first ? 0 : kContinued)});
        PutLe64(page, ends ? 0 : ~std::uint64_t{0});
        PutLe32(page, serial);
        PutLe32(page, sequence);
        PutLe32(page, 0);
        page.push_back(static_cast<std::uint8_t>(take));
        std::size_t body = 0;
        for (std::size_t i = done; i < done + take; ++i) {
            const std::size_t lacing = i + 1 < segments ? 255 : packet.size() % 255;
            page.push_back(static_cast<std::uint8_t>(lacing));
            body += lacing;
        }
        page.insert(page.end(), packet.begin() + static_cast<std::ptrdiff_t>(from),
                    packet.begin() + static_cast<std::ptrdiff_t>(from + body));
        const std::uint32_t crc = PageCrc(page.data(), page.size());
        for (int i = 0; i < 4; ++i) page[22 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
        if (!out.WriteAt(at, page.data(), page.size())) return std::nullopt;
        at += static_cast<std::int64_t>(page.size());
        done += take;
        from += body;
    }
    return sequence;
}

// Copies the stream's pages from `from` on, those of `serial` with their sequence
// numbers moved by `shift` and their checksums made again. A checksum that was wrong
// stays as wrong as it was. Whatever does not read as a page is copied as it stands.
bool CopyPages(TStream &in, std::int64_t from, TStream &out, std::int64_t at, std::uint32_t serial, std::uint32_t shift)
{
    const std::int64_t size = in.Size();
    Bytes bytes;
    while (shift != 0 && from < size) {
        PageHeader h;
        const PageState state = ReadPage(in, from, size, h, &bytes);
        if (state == PageState::Short || state == PageState::NoPage) break;
        if (h.serial == serial) {
            const std::uint32_t damage = h.crc ^ PageCrc(bytes.data(), bytes.size());
            const std::uint32_t sequence = h.sequence + shift;
            for (int i = 0; i < 4; ++i) bytes[18 + i] = static_cast<std::uint8_t>(sequence >> (8 * i));
            const std::uint32_t crc = PageCrc(bytes.data(), bytes.size()) ^ damage;
            for (int i = 0; i < 4; ++i) bytes[22 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
        }
        if (!out.WriteAt(at, bytes.data(), bytes.size())) return false;
        from += static_cast<std::int64_t>(bytes.size());
        at += static_cast<std::int64_t>(bytes.size());
    }
    bytes.resize(kCopyChunk);
    while (from < size) {
        const std::size_t n = in.ReadSomeAt(from, bytes.data(), bytes.size());
        if (n == 0 || !out.WriteAt(at, bytes.data(), n)) return false;
        from += static_cast<std::int64_t>(n);
        at += static_cast<std::int64_t>(n);
    }
    return true;
}

}  // namespace

void TOggOpus::Clear()
{
    *this = TOggOpus();
}

bool TOggOpus::Fail(std::string why)
{
    Clear();
    error_ = std::move(why);
    return false;
}

std::int64_t TOggOpus::SampleCount() const
{
    return lastGranule_ > head_.preSkip ? lastGranule_ - head_.preSkip : 0;
}

std::vector<std::string> TOggOpus::Values(std::string_view key) const
{
    std::vector<std::string> out;
    for (const TVorbisComment &c : comments_)
        if (EqualsAsciiNoCase(c.key, key)) out.push_back(c.value);
    return out;
}

std::string TOggOpus::Value(std::string_view key) const
{
    for (const TVorbisComment &c : comments_)
        if (EqualsAsciiNoCase(c.key, key)) return c.value;
    return {};
}

bool TOggOpus::LoadFromFile(const std::string &fileName, TPart part)
{
    Clear();
    TFileStream file;
    if (!file.Open(fileName)) return Fail(file.OpenError());
    return LoadFromStream(file, part);
}

bool TOggOpus::LoadFromStream(TStream &stream, TPart part)
{
    Clear();
    Bytes tags;
    const bool comments = part != TPart::NoComments;
    if (!ReadHeaders(stream, comments ? &tags : nullptr)) return false;
    if (comments && !ReadComments(tags)) return false;
    if (part != TPart::NoLastPage && !FindLastGranule(stream)) return false;
    valid_ = true;
    return true;
}

bool TOggOpus::ReadHeaders(TStream &stream, std::vector<std::uint8_t> *tags)
{
    const std::int64_t size = stream.Size();
    if (size < 0) return Fail("the file cannot be read");
    PageHeader h;
    Bytes page;
    switch (ReadPage(stream, 0, size, h, &page)) {
    case PageState::Whole: break;
    case PageState::Short: return Fail("the file ends inside its first page");
    case PageState::NoPage: return Fail("not an Ogg file");
    case PageState::BadChecksum: return Fail("the first page's checksum is wrong");
    }
    if (!(h.flags & kFirstPage)) return Fail("the first page does not begin a stream");
    // OpusHead stands alone on the first page.
    if (h.segments == 0 || h.lacing[h.segments - 1] == 255) return Fail("the first packet does not end on the first page");
    for (std::size_t i = 0; i + 1 < h.segments; ++i)
        if (h.lacing[i] != 255) return Fail("the first page holds more than one packet");
    const std::uint8_t *p = page.data() + h.HeaderSize();
    if (h.body < 8 || std::memcmp(p, "OpusHead", 8) != 0) return Fail("not an Opus stream");
    if (h.body < 19) return Fail("the OpusHead packet is cut short");
    head_.version = p[8];
    // A new major version would change the layout.
    if (head_.version > 15) return Fail("OpusHead version " + std::to_string(head_.version) + " is not known");
    head_.channels = p[9];
    head_.preSkip = Le16(p + 10);
    head_.inputSampleRate = Le32(p + 12);
    head_.outputGain = static_cast<std::int16_t>(Le16(p + 16));
    head_.mappingFamily = p[18];
    if (head_.channels == 0) return Fail("OpusHead gives no channels");
    if (head_.mappingFamily == 0 && head_.channels > 2)
        return Fail(std::to_string(head_.channels) + " channels without a channel mapping");
    if (head_.mappingFamily != 0) {
        if (h.body < 21u + head_.channels) return Fail("the channel mapping is cut short");
        if (p[19] == 0 || p[20] > p[19]) return Fail("the channel mapping is not valid");
    }
    serial_ = h.serial;
    headSequence_ = h.sequence;
    headPageEnd_ = static_cast<std::int64_t>(h.Size());

    // OpusTags from the second page on; the audio begins on a page of its own.
    std::int64_t at = headPageEnd_;
    std::uint32_t sequence = headSequence_;
    std::int64_t packet = 0;
    bool ended = false;
    for (std::size_t pages = 0; !ended; ++pages) {
        if (pages == kMaxTagsPages)
            return Fail("the comments run over more than " + CountText(kMaxTagsPages) + " pages");
        switch (ReadPage(stream, at, size, h, tags ? &page : nullptr)) {
        case PageState::Whole: break;
        case PageState::Short: return Fail("the file ends inside the comments");
        case PageState::NoPage: return Fail("no page where the comments go on");
        case PageState::BadChecksum: return Fail("a page of the comments has a wrong checksum");
        }
        if (h.serial != serial_) return Fail("another stream's page lies among the Opus headers");
        if (h.sequence != sequence + 1) return Fail("a page of the Opus headers is missing");
        sequence = h.sequence;
        if (((h.flags & kContinued) != 0) != (pages > 0))
            return Fail(pages > 0 ? "a page of the comments does not go on from the one before"
                                  : "the second page goes on from the first");
        std::size_t segments = 0;
        std::size_t taken = 0;
        while (segments < h.segments && !ended) {
            taken += h.lacing[segments];
            ended = h.lacing[segments++] < 255;
        }
        if (ended && segments < h.segments) return Fail("the audio begins on the page where the comments end");
        if (pages == 0) {
            char magic[8] = {};
            const std::int64_t body = at + static_cast<std::int64_t>(h.HeaderSize());
            if (taken < 8 || !stream.ReadAt(body, magic, 8) || std::memcmp(magic, "OpusTags", 8) != 0)
                return Fail("no OpusTags packet after OpusHead");
        }
        packet += static_cast<std::int64_t>(taken);
        if (packet > kMaxTagsBytes)
            return Fail("the OpusTags packet is larger than " + SizeText(kMaxTagsBytes));
        if (tags) {
            const auto body = page.begin() + static_cast<std::ptrdiff_t>(h.HeaderSize());
            tags->insert(tags->end(), body, body + static_cast<std::ptrdiff_t>(taken));
        }
        at += static_cast<std::int64_t>(h.Size());
        tagsPages_ = static_cast<std::uint32_t>(pages + 1);
    }
    audioOffset_ = at;
    return true;
}

bool TOggOpus::ReadComments(const std::vector<std::uint8_t> &tags)
{
    const std::uint8_t *p = tags.data();
    const std::size_t n = tags.size();
    std::size_t at = 8;
    auto left = [&] { return n - at; };
    if (left() < 4) return Fail("the OpusTags packet ends before its vendor");
    const std::uint32_t vendorLength = Le32(p + at);
    at += 4;
    if (vendorLength > left()) return Fail("the vendor string runs past the OpusTags packet");
    vendor_.assign(reinterpret_cast<const char *>(p + at), vendorLength);
    at += vendorLength;
    if (left() < 4) return Fail("the OpusTags packet ends before its comment count");
    const std::uint32_t count = Le32(p + at);
    at += 4;
    if (count > left() / 4)
        return Fail("the OpusTags packet claims " + CountText(count) + " comments, more than it can hold");
    if (count > kMaxComments)
        return Fail(CountText(count) + " comments are more than the " + CountText(kMaxComments) + " that are read");
    comments_.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (left() < 4) return Fail("comment " + CountText(i + 1) + " lies past the OpusTags packet");
        const std::uint32_t length = Le32(p + at);
        at += 4;
        if (length > left()) return Fail("comment " + CountText(i + 1) + " runs past the OpusTags packet");
        const std::string_view text(reinterpret_cast<const char *>(p + at), length);
        at += length;
        // One without "=" is kept as a key without a value.
        const std::size_t equals = text.find('=');
        comments_.push_back({std::string(text.substr(0, equals)),
                             equals == std::string_view::npos ? std::string() : std::string(text.substr(equals + 1))});
    }
    // Data after the list whose first bit is 0 is padding that may go.
    if (at < n && (p[at] & 1)) extra_.assign(reinterpret_cast<const char *>(p + at), n - at);
    return true;
}

bool TOggOpus::FindLastGranule(TStream &stream)
{
    const std::int64_t size = stream.Size();
    const std::int64_t floor = std::max(audioOffset_, size - kLastPageSearch);
    if (floor >= size) return Fail("there is no audio page");
    std::int64_t checksummed = 0;
    Bytes buffer;
    for (std::int64_t end = size; end > floor && checksummed <= kMaxChecksummed;) {
        // A page that starts in [start, end) ends before end + kMaxPage.
        const std::int64_t start = std::max(floor, end - kTailChunk);
        buffer.resize(static_cast<std::size_t>(std::min(size, end + static_cast<std::int64_t>(kMaxPage)) - start));
        buffer.resize(stream.ReadSomeAt(start, buffer.data(), buffer.size()));
        for (std::int64_t pos = std::min(end, start + static_cast<std::int64_t>(buffer.size())) - 1; pos >= start; --pos) {
            const std::size_t i = static_cast<std::size_t>(pos - start);
            if (buffer[i] != 'O') continue;
            PageHeader h;
            if (ParseHeader(buffer.data() + i, buffer.size() - i, h) != PageState::Whole) continue;
            if (h.Size() > buffer.size() - i || h.serial != serial_ || h.granule < 0) continue;
            checksummed += static_cast<std::int64_t>(h.Size());
            if (checksummed > kMaxChecksummed) break;
            if (PageCrc(buffer.data() + i, h.Size()) != h.crc) continue;
            lastGranule_ = h.granule;
            return true;
        }
        end = start;
    }
    return Fail(size - floor < kLastPageSearch ? "no intact audio page at the end"
                                               : "no intact audio page in the last " + SizeText(kLastPageSearch));
}

bool TOggOpus::WriteToFile(const std::string &fileName, std::string *error) const
{
    TFileStream file;
    return OpenForWriting(file, fileName, error) && WriteToStream(file, error);
}

bool TOggOpus::WriteToStream(TStream &stream, std::string *error) const
{
    auto fail = [&](const std::string &reason) {
        if (error) *error = reason;
        return false;
    };
    // The layout as the stream has it now, whatever was read into this object.
    TOggOpus now;
    if (!now.LoadFromStream(stream)) return fail(now.Error());
    const std::string &vendor = newVendor_ ? *newVendor_ : now.vendor_;

    // No more than a reader of ours takes back: the mark among them must be found again.
    if (comments_.size() > kMaxComments)
        return fail(CountText(comments_.size()) + " comments are more than the " + CountText(kMaxComments) +
                    " that are read");
    std::uint64_t total = 8 + 4 + vendor.size() + 4 + now.extra_.size();
    for (const TVorbisComment &c : comments_) {
        if (!ValidKey(c.key)) return fail("the comment key \"" + EscapeControls(FirstChars(c.key, 64)) + "\" is not valid");
        total += 4 + c.key.size() + 1 + c.value.size();
    }
    if (total > static_cast<std::uint64_t>(kMaxTagsBytes))
        return fail("the comments come to " + SizeText(total) + ", more than the " + SizeText(kMaxTagsBytes) +
                    " of an OpusTags packet");
    Bytes packet;
    packet.reserve(static_cast<std::size_t>(total));
    packet.insert(packet.end(), {'O', 'p', 'u', 's', 'T', 'a', 'g', 's'});
    PutLe32(packet, static_cast<std::uint32_t>(vendor.size()));
    packet.insert(packet.end(), vendor.begin(), vendor.end());
    PutLe32(packet, static_cast<std::uint32_t>(comments_.size()));
    for (const TVorbisComment &c : comments_) {
        PutLe32(packet, static_cast<std::uint32_t>(c.key.size() + 1 + c.value.size()));
        packet.insert(packet.end(), c.key.begin(), c.key.end());
        packet.push_back('=');
        packet.insert(packet.end(), c.value.begin(), c.value.end());
    }
    packet.insert(packet.end(), now.extra_.begin(), now.extra_.end());

    const Bytes head = stream.ReadVectorAt(0, static_cast<std::size_t>(now.headPageEnd_));
    const bool ok = stream.Rewrite([&](TStream &out) {
        std::int64_t at = 0;
        if (head.size() != static_cast<std::size_t>(now.headPageEnd_) || !out.WriteAt(0, head.data(), head.size()))
            return false;
        at = static_cast<std::int64_t>(head.size());
        const std::optional<std::uint32_t> next = WritePages(out, at, packet, now.serial_, now.headSequence_ + 1);
        if (!next) return false;
        const std::uint32_t shift = *next - (now.headSequence_ + 1 + now.tagsPages_);
        return CopyPages(stream, now.audioOffset_, out, at, now.serial_, shift);
    });
    return ok || fail(stream.ErrorText());
}

// ---- pictures ----

namespace {

int Sextet(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

std::optional<Bytes> FromBase64(std::string_view text)
{
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() % 4 == 1) return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 4 * 3 + 2);
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const int sextet = Sextet(c);
        if (sextet < 0) return std::nullopt;
        bits = bits << 6 | static_cast<std::uint32_t>(sextet);
        if (++count == 4) {
            out.insert(out.end(), {static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
                                   static_cast<std::uint8_t>(bits)});
            bits = 0;
            count = 0;
        }
    }
    if (count == 2) out.push_back(static_cast<std::uint8_t>(bits >> 4));
    if (count == 3) out.insert(out.end(), {static_cast<std::uint8_t>(bits >> 10), static_cast<std::uint8_t>(bits >> 2)});
    return out;
}

struct ImageFacts {
    std::uint32_t width = 0, height = 0, depth = 0, colours = 0;
};

// From the IHDR chunk, and for an indexed picture its palette's size.
std::optional<ImageFacts> PngFacts(const Bytes &d)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (d.size() < 33 || std::memcmp(d.data(), kSignature, 8) != 0 || std::memcmp(d.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    ImageFacts f;
    f.width = Be32(d.data() + 16);
    f.height = Be32(d.data() + 20);
    const std::uint8_t bits = d[24];
    const std::uint8_t colourType = d[25];
    static constexpr std::uint8_t kSamples[7] = {1, 0, 3, 1, 2, 0, 4};
    f.depth = colourType < 7 ? bits * kSamples[colourType] : 0;
    if (colourType == 3)
        for (std::size_t at = 33; d.size() - at >= 8;) {
            const std::uint32_t length = Be32(d.data() + at);
            if (std::memcmp(d.data() + at + 4, "PLTE", 4) == 0) {
                f.colours = length / 3;
                break;
            }
            if (std::memcmp(d.data() + at + 4, "IDAT", 4) == 0 || length > d.size() - at - 8) break;
            at += 8 + std::size_t{length} + 4;
            if (at > d.size()) break;
        }
    return f;
}

// From the first start-of-frame segment.
std::optional<ImageFacts> JpegFacts(const Bytes &d)
{
    if (d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8) return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= d.size()) {
        if (d[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = d[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;
        const std::size_t length = Be16(d.data() + at + 2);
        if (length < 2 || length > d.size() - at - 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && length >= 8) {
            const std::uint8_t *p = d.data() + at + 4;
            return ImageFacts{Be16(p + 3), Be16(p + 1), std::uint32_t{p[0]} * p[5], 0};
        }
        at += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

namespace opus {

std::string PictureValue(TOpusPicture picture)
{
    std::optional<ImageFacts> facts = PngFacts(picture.data);
    if (!facts) facts = JpegFacts(picture.data);
    if (facts) {
        if (picture.width == 0) picture.width = facts->width;
        if (picture.height == 0) picture.height = facts->height;
        if (picture.depth == 0) picture.depth = facts->depth;
        if (picture.colours == 0) picture.colours = facts->colours;
    }
    Bytes block;
    block.reserve(32 + picture.mime.size() + picture.description.size() + picture.data.size());
    PutBe32(block, picture.type);
    PutBe32(block, static_cast<std::uint32_t>(picture.mime.size()));
    block.insert(block.end(), picture.mime.begin(), picture.mime.end());
    PutBe32(block, static_cast<std::uint32_t>(picture.description.size()));
    block.insert(block.end(), picture.description.begin(), picture.description.end());
    for (std::uint32_t v : {picture.width, picture.height, picture.depth, picture.colours}) PutBe32(block, v);
    PutBe32(block, static_cast<std::uint32_t>(picture.data.size()));
    block.insert(block.end(), picture.data.begin(), picture.data.end());
    return Base64(std::string_view(reinterpret_cast<const char *>(block.data()), block.size()));
}

std::optional<TOpusPicture> ReadPictureValue(std::string_view value)
{
    const std::optional<Bytes> block = FromBase64(value);
    if (!block) return std::nullopt;
    const std::uint8_t *p = block->data();
    std::size_t at = 0;
    auto left = [&] { return block->size() - at; };
    auto number = [&](std::uint32_t &v) {
        if (left() < 4) return false;
        v = Be32(p + at);
        at += 4;
        return true;
    };
    auto text = [&](std::string &s) {
        std::uint32_t length = 0;
        if (!number(length) || length > left()) return false;
        s.assign(reinterpret_cast<const char *>(p + at), length);
        at += length;
        return true;
    };
    TOpusPicture picture;
    std::uint32_t length = 0;
    if (!number(picture.type) || !text(picture.mime) || !text(picture.description) || !number(picture.width) ||
        !number(picture.height) || !number(picture.depth) || !number(picture.colours) || !number(length) ||
        length > left())
        return std::nullopt;
    picture.data.assign(p + at, p + at + length);
    return picture;
}

}  // namespace opus
}  // namespace trackmill
