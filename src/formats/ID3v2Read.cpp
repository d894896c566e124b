#include "formats/ID3v2Read.h"

#include "formats/ByteUtil.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace trackmill::id3v2 {

namespace {

constexpr std::size_t kHeaderSize = 10;

enum : std::uint8_t { kUnsync = 0x80, kExtended = 0x40 };

ByteVector Resynchronise(const std::uint8_t *p, std::size_t n)
{
    ByteVector out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(p[i]);
        if (p[i] == 0xFF && i + 1 < n && p[i + 1] == 0) ++i;
    }
    return out;
}

bool IsIdChar(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool IsFrameId(const std::uint8_t *p, std::size_t n)
{
    if (p[0] < 'A' || p[0] > 'Z') return false;
    return std::all_of(p + 1, p + n, IsIdChar);
}

// After a frame that ends at `at`: the end of the frames, padding, or the next frame.
bool IsFrameBoundary(const ByteVector &body, std::uint64_t at)
{
    if (at == body.size()) return true;
    if (at > body.size()) return false;
    if (body[at] == 0) return true;
    return body.size() - at >= kHeaderSize && IsFrameId(&body[at], 4);
}

bool IsTextLike(std::string_view id)
{
    return id[0] == 'T' || id == "COMM" || id == "USLT" || id == "WXXX";
}

// The frame's own flags undone: what remains is the plain content, or nothing when it
// cannot be carried (encrypted, or compressed in a form 2.3 cannot hold).
bool UndoFrameFlags(int version, bool tagUnsync, std::uint16_t flags, ByteVector &data,
                    std::uint16_t &keptFlags)
{
    keptFlags = 0;
    if (version == 3) {
        if (flags & 0x0040) return false;
        if (flags & 0x0080) {
            if (data.size() < 4) return false;
            keptFlags = 0x0080;
            if (flags & 0x0020) {
                if (data.size() < 5) return false;
                data.erase(data.begin() + 4);
            }
        } else if (flags & 0x0020) {
            if (data.empty()) return false;
            data.erase(data.begin());
        }
        return true;
    }
    if (version == 4) {
        std::size_t skip = 0;
        if (flags & 0x0040) skip += 1;
        if (flags & 0x0004) return false;
        if (flags & 0x0001) skip += 4;
        if (skip > data.size()) return false;
        data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(skip));
        if ((flags & 0x0002) || tagUnsync) data = Resynchronise(data.data(), data.size());
        return (flags & 0x0008) == 0;
    }
    return true;
}

// Where the frames begin behind an extended header; 0 without one, npos when it is broken.
std::size_t FramesStart(int version, std::uint8_t flags, const ByteVector &body)
{
    if (version == 2 || !(flags & kExtended)) return 0;
    if (body.size() < 4) return std::string::npos;
    const std::uint64_t size = version == 3 ? std::uint64_t{Be32(body.data())} + 4 : Synchsafe32(body.data());
    return size < 6 || size > body.size() ? std::string::npos : static_cast<std::size_t>(size);
}

}  // namespace

std::vector<TID3v2Frame> ReadFrames(const std::uint8_t *tag, std::size_t size, std::vector<std::string> *omitted)
{
    std::vector<TID3v2Frame> frames;
    if (size < kHeaderSize) return frames;
    const int version = tag[3];
    const std::uint8_t flags = tag[5];
    if (version < 2 || version > 4 || (version == 2 && (flags & 0x40))) return frames;

    // Read as the tag's size is, so the frames are those inside it; the size counts
    // neither the header nor a footer.
    const std::uint64_t declared = WholeSizeBytes32(tag + 6);
    const std::size_t bodySize = static_cast<std::size_t>(std::min<std::uint64_t>(declared, size - kHeaderSize));
    const std::uint8_t *bodyStart = tag + kHeaderSize;
    const bool tagUnsync = (flags & kUnsync) != 0;
    const ByteVector body = tagUnsync && version < 4 ? Resynchronise(bodyStart, bodySize)
                                                     : ByteVector(bodyStart, bodyStart + bodySize);

    std::size_t pos = FramesStart(version, flags, body);
    if (pos == std::string::npos) return frames;
    std::optional<ByteVector> recordingTime;  // the last one
    std::vector<TID3v2Frame> people;
    const std::size_t idLength = version == 2 ? 3 : 4;
    const std::size_t headerLength = version == 2 ? 6 : 10;
    std::uint64_t beyondCap = 0;
    std::vector<std::pair<std::string, std::size_t>> cutTexts;
    while (body.size() - pos >= headerLength) {
        const std::uint8_t *h = &body[pos];
        if (h[0] < 'A' || h[0] > 'Z') break;  // padding, or a structure we do not know
        std::uint64_t frameSize = version == 2 ? Be24(h + 3) : version == 3 ? Be32(h + 4) : Synchsafe32(h + 4);
        const std::size_t content = pos + headerLength;
        if (version == 4 && !IsFrameBoundary(body, content + frameSize) &&
            IsFrameBoundary(body, content + std::uint64_t{Be32(h + 4)}))
            frameSize = Be32(h + 4);
        if (frameSize > body.size() - content) break;
        pos = content + static_cast<std::size_t>(frameSize);

        // A damaged name loses its own frame, not the ones after it.
        if (!IsFrameId(h, idLength)) continue;
        const std::string_view id(reinterpret_cast<const char *>(h), idLength);
        if (frameSize > kMaxBinaryFrame && omitted)
            omitted->push_back((id == "APIC" || id == "PIC" ? std::string("the cover picture")
                                                            : "the ID3v2 frame " + std::string(id)) +
                               " of " + SizeText(frameSize) + " exceeds the " + SizeText(kMaxBinaryFrame) +
                               " limit and was not carried");
        if (frameSize == 0 || frameSize > kMaxBinaryFrame) continue;
        if (frames.size() >= kMaxFrames) {
            ++beyondCap;
            continue;
        }
        ByteVector data(body.begin() + static_cast<std::ptrdiff_t>(content),
                        body.begin() + static_cast<std::ptrdiff_t>(pos));
        std::uint16_t kept = 0;
        if (!UndoFrameFlags(version, tagUnsync, version == 2 ? 0 : Be16(h + 8), data, kept) || data.empty())
            continue;
        if (kept == 0 && IsTextLike(id) && data.size() > kMaxTextFrame) {
            cutTexts.emplace_back(id, data.size());
            const bool utf16 = data[0] == kUtf16Bom || data[0] == kUtf16BE;
            data.resize(utf16 ? kMaxTextFrame - 1 : kMaxTextFrame);  // whole code units
        }
        if (kept == 0 && version > 2 && id == "TDRC") {
            recordingTime = std::move(data);
            continue;
        }
        if (kept == 0 && version > 2 && (id == "IPLS" || id == "TIPL" || id == "TMCL")) {
            people.push_back({std::string(id), std::move(data), 0});
            continue;
        }
        AppendAsVersion3(version, id, std::move(data), kept, frames);
    }
    if (omitted && cutTexts.size() == 1)
        omitted->push_back("the ID3v2 frame " + cutTexts[0].first + " of " + SizeText(cutTexts[0].second) +
                           " exceeds the " + SizeText(kMaxTextFrame) + " limit for a text; its first " +
                           SizeText(kMaxTextFrame) + " were carried");
    if (omitted && cutTexts.size() > 1)
        omitted->push_back(CountText(cutTexts.size()) + " ID3v2 texts exceed the " + SizeText(kMaxTextFrame) +
                           " limit for a text; the first " + SizeText(kMaxTextFrame) + " of each were carried");
    if (omitted && beyondCap > 0)
        omitted->push_back(CountText(beyondCap) + " ID3v2 frames beyond the limit of " + CountText(kMaxFrames) +
                           " were not carried");
    // The recording time fills only the date fields the tag does not give itself.
    if (recordingTime) AppendAsVersion3(version, "TDRC", std::move(*recordingTime), 0, frames);
    if (!people.empty()) frames.push_back(PeopleList(people));
    DropDuplicates(frames);
    return frames;
}

ByteVector TextFramesOf(TStream &stream, std::size_t size)
{
    constexpr std::size_t kWindow = 8 * 1024;
    TStreamWindow tag(stream, 0, static_cast<std::int64_t>(size), kWindow);
    auto bytesAt = [&](std::size_t at, std::size_t n) { return tag.At(static_cast<std::int64_t>(at), n); };
    const auto header = bytesAt(0, kHeaderSize);
    if (header.size() < kHeaderSize) return ByteVector(header.begin(), header.end());
    ByteVector out(header.begin(), header.end());
    const int version = out[3];
    const std::uint8_t flags = out[5];
    if (version < 2 || version > 4 || (version == 2 && (flags & 0x40))) return out;
    if ((flags & kUnsync) && version < 4) return stream.ReadVectorAt(0, size);
    const std::size_t bodySize =
        static_cast<std::size_t>(std::min<std::uint64_t>(WholeSizeBytes32(&out[6]), size - kHeaderSize));
    auto done = [&] {
        // The size of what is kept, so that the frames are read to its end.
        ByteVector kept;
        PutSynchsafe32(kept, static_cast<std::uint32_t>(out.size() - kHeaderSize));
        std::copy(kept.begin(), kept.end(), out.begin() + 6);
        return out;
    };
    std::size_t pos = 0;  // in the body
    if (version != 2 && (flags & kExtended)) {
        const auto ext = bytesAt(kHeaderSize, 4);
        if (ext.size() < 4) return done();
        const std::uint64_t extSize = version == 3 ? std::uint64_t{Be32(ext.data())} + 4 : Synchsafe32(ext.data());
        if (extSize < 6 || extSize > bodySize) return done();
        const auto whole = bytesAt(kHeaderSize, static_cast<std::size_t>(extSize));
        out.insert(out.end(), whole.begin(), whole.end());
        pos = static_cast<std::size_t>(extSize);
    }
    const std::size_t idLength = version == 2 ? 3 : 4;
    const std::size_t headerLength = version == 2 ? 6 : 10;
    // As IsFrameBoundary, on the stream.
    auto boundary = [&](std::uint64_t at) {
        if (at == bodySize) return true;
        if (at > bodySize) return false;
        const auto next = bytesAt(kHeaderSize + static_cast<std::size_t>(at),
                                  static_cast<std::size_t>(std::min<std::uint64_t>(kHeaderSize, bodySize - at)));
        if (!next.empty() && next[0] == 0) return true;
        return next.size() == kHeaderSize && IsFrameId(next.data(), 4);
    };
    while (bodySize - pos >= headerLength) {
        const auto frameHeader = bytesAt(kHeaderSize + pos, headerLength);
        if (frameHeader.size() < headerLength) break;
        std::uint8_t h[10] = {};
        std::copy(frameHeader.begin(), frameHeader.end(), h);
        if (h[0] < 'A' || h[0] > 'Z') break;
        std::uint64_t frameSize = version == 2 ? Be24(h + 3) : version == 3 ? Be32(h + 4) : Synchsafe32(h + 4);
        const std::size_t content = pos + headerLength;
        if (version == 4 && !boundary(content + frameSize) && boundary(content + std::uint64_t{Be32(h + 4)}))
            frameSize = Be32(h + 4);
        if (frameSize > bodySize - content) break;
        pos = content + static_cast<std::size_t>(frameSize);
        const std::string_view id(reinterpret_cast<const char *>(h), idLength);
        const bool text = id[0] == 'T' || id[0] == 'W' || id == "COMM" || id == "COM" || id == "USLT" ||
                          id == "ULT" || id == "IPLS" || id == "IPL";
        if (!IsFrameId(h, idLength) || !text || frameSize == 0 || frameSize > kMaxBinaryFrame) continue;
        const auto data = bytesAt(kHeaderSize + content, static_cast<std::size_t>(frameSize));
        if (data.size() < frameSize) break;
        // Its size written anew the way its version reads it, now that the frames around it may be gone.
        const std::size_t at = out.size();
        out.insert(out.end(), h, h + headerLength);
        const auto n = static_cast<std::uint32_t>(frameSize);
        if (version == 2) {
            out[at + 3] = static_cast<std::uint8_t>(n >> 16);
            out[at + 4] = static_cast<std::uint8_t>(n >> 8);
            out[at + 5] = static_cast<std::uint8_t>(n);
        } else {
            ByteVector sizeBytes;
            version == 4 ? PutSynchsafe32(sizeBytes, n) : PutBe32(sizeBytes, n);
            std::copy(sizeBytes.begin(), sizeBytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 4));
        }
        out.insert(out.end(), data.begin(), data.end());
    }
    return done();
}

std::optional<std::string> FindUserText(TStream &stream, std::string_view description)
{
    std::uint8_t header[10];
    if (!stream.ReadAt(0, header, sizeof header) || std::memcmp(header, "ID3", 3) != 0) return std::nullopt;
    const int version = header[3];
    const std::uint8_t flags = header[5];
    if ((version != 3 && version != 4) || (flags & 0x80)) return std::nullopt;
    const std::int64_t end = 10 + std::int64_t(Synchsafe32(header + 6));
    std::int64_t pos = 10;
    if (flags & 0x40) {
        std::uint8_t ext[4];
        if (!stream.ReadAt(pos, ext, 4)) return std::nullopt;
        pos += version == 3 ? 4 + std::int64_t(Be32(ext)) : std::int64_t(Synchsafe32(ext));
    }
    constexpr int kFramesLooked = 256;
    constexpr std::uint32_t kTextMax = 64 * 1024;
    for (int n = 0; n < kFramesLooked && pos + 10 <= end; ++n) {
        std::uint8_t frame[10];
        if (!stream.ReadAt(pos, frame, sizeof frame) || frame[0] == 0) return std::nullopt;
        const std::uint32_t size = version == 4 ? Synchsafe32(frame + 4) : Be32(frame + 4);
        const std::uint16_t frameFlags = Be16(frame + 8);
        if (std::memcmp(frame, "TXXX", 4) == 0 && size <= kTextMax && frameFlags == 0) {
            TID3v2Frame txxx{"TXXX", ByteVector(size), 0};
            if (!stream.ReadAt(pos + 10, txxx.data.data(), size)) return std::nullopt;
            const auto described = ReadDescribed(txxx);
            if (described && EqualsAsciiNoCase(described->description, description)) return described->text;
        }
        pos += 10 + std::int64_t(size);
    }
    return std::nullopt;
}

}  // namespace trackmill::id3v2
