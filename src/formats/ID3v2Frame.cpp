#include "formats/ID3v2Frame.h"

#include "formats/TextCodec.h"

#include <cstring>

namespace trackmill::id3v2 {

namespace {

bool IsUtf16(std::uint8_t encoding) { return encoding == kUtf16Bom || encoding == kUtf16BE; }

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

std::string_view UpToZero(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) return {};  // data may be null then
    const auto *zero = static_cast<const std::uint8_t *>(std::memchr(data, 0, size));
    return {reinterpret_cast<const char *>(data), zero ? static_cast<std::size_t>(zero - data) : size};
}

ByteVector Rest(const ByteVector &data, std::size_t pos)
{
    return pos < data.size() ? ByteVector(data.begin() + static_cast<std::ptrdiff_t>(pos), data.end())
                             : ByteVector{};
}

}  // namespace

std::string DecodeString(std::uint8_t encoding, const std::uint8_t *data, std::size_t size)
{
    switch (encoding) {
    case kUtf16Bom: return DecodeUtf16(data, size, false);
    case kUtf16BE: return DecodeUtf16(data, size, true);
    case kUtf8: return SanitizeUtf8(UpToZero(data, size));
    default: return Latin1ToUtf8(UpToZero(data, size));
    }
}

std::string_view NextString(std::uint8_t encoding, const ByteVector &data, std::size_t &pos)
{
    const std::size_t start = pos;
    const auto *base = reinterpret_cast<const char *>(data.data());
    if (IsUtf16(encoding)) {
        for (std::size_t i = start; i + 1 < data.size(); i += 2) {
            if (data[i] == 0 && data[i + 1] == 0) {
                pos = i + 2;
                return {base + start, i - start};
            }
        }
    } else {
        for (std::size_t i = start; i < data.size(); ++i) {
            if (data[i] == 0) {
                pos = i + 1;
                return {base + start, i - start};
            }
        }
    }
    pos = data.size();
    return start < data.size() ? std::string_view(base + start, data.size() - start) : std::string_view();
}

std::uint8_t EncodingFor(std::initializer_list<std::string_view> texts)
{
    for (std::string_view t : texts)
        if (!IsLatin1(t)) return kUtf16Bom;
    return kLatin1;
}

void AppendString(ByteVector &out, std::uint8_t encoding, std::string_view utf8, bool terminated)
{
    if (encoding == kUtf16Bom) {
        const std::string units = Utf8ToUtf16LE(utf8);
        out.insert(out.end(), {0xFF, 0xFE});
        out.insert(out.end(), units.begin(), units.end());
        if (terminated) out.insert(out.end(), {0, 0});
    } else {
        const std::string latin1 = Utf8ToLatin1(utf8);
        out.insert(out.end(), latin1.begin(), latin1.end());
        if (terminated) out.push_back(0);
    }
}

std::vector<std::string> TextValues(const TID3v2Frame &frame)
{
    std::vector<std::string> values;
    if (frame.data.empty()) return values;
    const std::uint8_t enc = frame.data[0];
    for (std::size_t pos = 1; pos < frame.data.size();) {
        const std::string_view s = NextString(enc, frame.data, pos);
        values.push_back(DecodeString(enc, reinterpret_cast<const std::uint8_t *>(s.data()), s.size()));
    }
    while (!values.empty() && values.back().empty()) values.pop_back();
    return values;
}

std::string Text(const TID3v2Frame &frame)
{
    std::string out;
    for (const std::string &v : TextValues(frame)) {
        if (!out.empty()) out += '/';
        out += v;
    }
    return out;
}

std::optional<TDescribed> ReadDescribed(const TID3v2Frame &frame)
{
    const bool hasLanguage = frame.id == "COMM" || frame.id == "USLT";
    const ByteVector &d = frame.data;
    const std::size_t head = hasLanguage ? 4 : 1;
    if (d.size() < head) return std::nullopt;
    TDescribed out;
    const std::uint8_t enc = d[0];
    if (hasLanguage) out.language = Latin1ToUtf8(std::string_view(reinterpret_cast<const char *>(&d[1]), 3));
    std::size_t pos = head;
    const std::string_view desc = NextString(enc, d, pos);
    out.description = DecodeString(enc, reinterpret_cast<const std::uint8_t *>(desc.data()), desc.size());
    if (frame.id == "WXXX") {
        // The address is Latin-1 whatever the frame's encoding.
        const ByteVector rest = Rest(d, pos);
        out.text = DecodeString(kLatin1, rest.data(), rest.size());
        return out;
    }
    // Version 2.4 may give several values, each ended by a terminator.
    std::vector<std::string> values;
    while (pos < d.size()) {
        const std::string_view s = NextString(enc, d, pos);
        values.push_back(DecodeString(enc, reinterpret_cast<const std::uint8_t *>(s.data()), s.size()));
    }
    while (!values.empty() && values.back().empty()) values.pop_back();
    for (const std::string &v : values) out.text += (out.text.empty() ? "" : "/") + v;
    return out;
}

std::optional<TPicture> ReadPicture(const TID3v2Frame &frame)
{
    const ByteVector &d = frame.data;
    if (d.size() < 2) return std::nullopt;
    TPicture out;
    const std::uint8_t enc = d[0];
    std::size_t pos = 1;
    const std::string_view mime = NextString(kLatin1, d, pos);
    out.mime = Latin1ToUtf8(mime);
    if (pos >= d.size()) return std::nullopt;
    out.type = d[pos++];
    const std::string_view desc = NextString(enc, d, pos);
    out.description = DecodeString(enc, reinterpret_cast<const std::uint8_t *>(desc.data()), desc.size());
    out.bytes = Rest(d, pos);
    return out;
}

TID3v2Frame MakeText(std::string_view id, std::string_view text)
{
    TID3v2Frame f{std::string(id), {EncodingFor({text})}, 0};
    AppendString(f.data, f.data[0], text, false);
    return f;
}

std::optional<TUniqueId> ReadUniqueId(const TID3v2Frame &frame)
{
    if (frame.id != "UFID") return std::nullopt;
    std::size_t pos = 0;
    const std::string owner = Latin1ToUtf8(NextString(kLatin1, frame.data, pos));
    const ByteVector rest = Rest(frame.data, pos);
    return TUniqueId{owner, std::string(rest.begin(), rest.end())};
}

std::optional<TID3v2Frame> MakeUniqueId(std::string_view owner, std::string_view identifier)
{
    if (identifier.empty() || identifier.size() > kMaxUniqueId) return std::nullopt;
    TID3v2Frame f{"UFID", {}, 0};
    AppendString(f.data, kLatin1, owner, true);
    f.data.insert(f.data.end(), identifier.begin(), identifier.end());
    return f;
}

TID3v2Frame MakeUserText(std::string_view description, std::string_view value)
{
    TID3v2Frame f{"TXXX", {EncodingFor({description, value})}, 0};
    AppendString(f.data, f.data[0], description, true);
    AppendString(f.data, f.data[0], value, false);
    return f;
}

TID3v2Frame MakeComment(std::string_view id, std::string_view language, std::string_view description,
                        std::string_view text)
{
    TID3v2Frame f{std::string(id), {EncodingFor({description, text})}, 0};
    std::string lang = Utf8ToLatin1(language);
    lang.resize(3, ' ');
    f.data.insert(f.data.end(), lang.begin(), lang.end());
    AppendString(f.data, f.data[0], description, true);
    AppendString(f.data, f.data[0], text, false);
    return f;
}

TID3v2Frame MakeUrl(std::string_view description, std::string_view url)
{
    TID3v2Frame f{"WXXX", {EncodingFor({description})}, 0};
    AppendString(f.data, f.data[0], description, true);
    AppendString(f.data, kLatin1, url, false);
    return f;
}

TID3v2Frame MakePicture(const TPicture &p)
{
    TID3v2Frame f{"APIC", {EncodingFor({p.description})}, 0};
    AppendString(f.data, kLatin1, p.mime, true);
    f.data.push_back(p.type);
    AppendString(f.data, f.data[0], p.description, true);
    f.data.insert(f.data.end(), p.bytes.begin(), p.bytes.end());
    return f;
}

void AppendDateFrames(std::string_view time, std::string_view otherwise, std::vector<TID3v2Frame> &out)
{
    auto digits = [&](std::size_t at, std::size_t n) {
        if (time.size() < at + n) return std::string_view();
        for (std::size_t i = at; i < at + n; ++i)
            if (time[i] < '0' || time[i] > '9') return std::string_view();
        return time.substr(at, n);
    };
    const std::string_view year = digits(0, 4);
    if (year.empty()) {
        out.push_back(MakeUserText(otherwise, time));
        return;
    }
    out.push_back(MakeText("TYER", year));
    const std::string_view month = digits(5, 2), day = digits(8, 2), hour = digits(11, 2), minute = digits(14, 2);
    if (month.empty() || day.empty()) return;
    out.push_back(MakeText("TDAT", std::string(day) + std::string(month)));
    if (!hour.empty() && !minute.empty()) out.push_back(MakeText("TIME", std::string(hour) + std::string(minute)));
}

}  // namespace trackmill::id3v2
