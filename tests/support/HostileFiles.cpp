#include "support/HostileFiles.h"

#include <cstring>

namespace tmtest {

namespace {

void Append(Bytes &to, const Bytes &b) { to.insert(to.end(), b.begin(), b.end()); }

Bytes Le32(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }
Bytes Be32(std::uint32_t v) { return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)}; }
Bytes Synchsafe(std::uint32_t v)
{
    return {std::uint8_t((v >> 21) & 0x7F), std::uint8_t((v >> 14) & 0x7F), std::uint8_t((v >> 7) & 0x7F),
            std::uint8_t(v & 0x7F)};
}

// Filler that no reader mistakes for a header.
Bytes Audio(std::size_t n) { return Bytes(n, 0x55); }

Bytes Noise(std::size_t n, std::uint32_t seed)
{
    Bytes b(n);
    for (auto &x : b) {
        seed = seed * 1664525u + 1013904223u;
        x = std::uint8_t(seed >> 24);
    }
    return b;
}

// --- ID3v2 ---

Bytes Id3Header(int version, std::uint8_t flags, std::uint32_t bodySize)
{
    return Cat({B("ID3"), {std::uint8_t(version), 0, flags}, Synchsafe(bodySize)});
}
Bytes Id3Tag(int version, const Bytes &body, std::uint8_t flags = 0)
{
    return Cat({Id3Header(version, flags, std::uint32_t(body.size())), body});
}
// A frame whose size field says `claimed` (by default the true size).
Bytes Frame(int version, const char *id, const Bytes &data, std::int64_t claimed = -1, std::uint16_t flags = 0)
{
    const std::uint32_t size = claimed < 0 ? std::uint32_t(data.size()) : std::uint32_t(claimed);
    if (version == 2)
        return Cat({B(std::string_view(id, 3)), {std::uint8_t(size >> 16), std::uint8_t(size >> 8), std::uint8_t(size)}, data});
    return Cat({B(std::string_view(id, 4)), version == 4 ? Synchsafe(size) : Be32(size),
                {std::uint8_t(flags >> 8), std::uint8_t(flags)}, data});
}
Bytes Text(const char *latin1) { return Cat({{0}, B(latin1)}); }

// --- APE ---

struct ApeItem {
    std::string key, value;
    std::int64_t claimedSize = -1;
    bool terminated = true;
};
Bytes ApeItems(const std::vector<ApeItem> &items)
{
    Bytes b;
    for (const ApeItem &i : items) {
        Append(b, Le32(i.claimedSize < 0 ? std::uint32_t(i.value.size()) : std::uint32_t(i.claimedSize)));
        Append(b, Le32(0));
        Append(b, B(i.key));
        if (i.terminated) b.push_back(0);
        Append(b, B(i.value));
    }
    return b;
}
Bytes ApeFrame(std::uint32_t version, std::uint32_t size, std::uint32_t count, std::uint32_t flags)
{
    return Cat({B("APETAGEX"), Le32(version), Le32(size), Le32(count), Le32(flags), Bytes(8, 0)});
}
// Items with a footer (and for version 2 a header); size and count may be made to lie.
Bytes ApeTag(const std::vector<ApeItem> &items, std::uint32_t version = 2000, std::int64_t size = -1,
             std::int64_t count = -1)
{
    const Bytes body = ApeItems(items);
    const std::uint32_t s = size < 0 ? std::uint32_t(body.size() + 32) : std::uint32_t(size);
    const std::uint32_t c = count < 0 ? std::uint32_t(items.size()) : std::uint32_t(count);
    const std::uint32_t hasHeader = version == 2000 ? 0x80000000u : 0;
    Bytes b;
    if (hasHeader) Append(b, ApeFrame(version, s, c, hasHeader | 0x20000000u));
    Append(b, body);
    Append(b, ApeFrame(version, s, c, hasHeader));
    return b;
}

// --- ID3v1 ---

Bytes Field(const std::string &s, std::size_t n)
{
    Bytes b = B(s.substr(0, n));
    b.resize(n, 0);
    return b;
}
Bytes Id3v1(const std::string &title, std::uint8_t track, std::uint8_t genre)
{
    Bytes comment = Field("own comment", 28);
    comment.push_back(0);
    comment.push_back(track);
    return Cat({B("TAG"), Field(title, 30), Field("Own artist", 30), Field("Own album", 30), B("2001"), comment,
                {genre}});
}

// --- Musepack ---

Bytes FixedHeader(Bytes head, std::size_t total)
{
    head.resize(total, 0x55);
    return head;
}
Bytes Sv7(std::uint32_t frames, std::size_t total)
{
    // Profile "Standard" (0xB0 in byte 10), joint stereo (0x40 in byte 11).
    return FixedHeader(Cat({B("MP+\x07"), Le32(frames), {0, 0, 0xB0, 0x40}}), total);
}
void PutVarint(Bytes &b, std::uint64_t v)
{
    Bytes tmp{std::uint8_t(v & 0x7F)};
    while (v >>= 7) tmp.insert(tmp.begin(), std::uint8_t(0x80 | (v & 0x7F)));
    Append(b, tmp);
}
Bytes Packet(const char *key, const Bytes &payload)
{
    Bytes b{std::uint8_t(key[0]), std::uint8_t(key[1])};
    std::uint64_t size = 2 + 1 + payload.size();
    if (size > 127) ++size;
    PutVarint(b, size);
    Append(b, payload);
    return b;
}
Bytes Sh(std::uint64_t samples, std::uint8_t rateIndex, unsigned channels, bool midSide)
{
    Bytes p{0x12, 0x34, 0x56, 0x78, 8};
    PutVarint(p, samples);
    PutVarint(p, 0);
    p.push_back(std::uint8_t(rateIndex << 5 | 20));
    p.push_back(std::uint8_t((channels - 1) << 4 | (midSide ? 0x08 : 0) | 1));
    return Packet("SH", p);
}
Bytes Sv8Stream()
{
    return Cat({B("MPCK"), Sh(66014, 0, 2, true), Packet("EI", {0xB0 | 1, 1, 17, 3}), Packet("AP", Audio(300)),
                Packet("SE", {})});
}

}  // namespace

const std::vector<KnownStream> &KnownStreams()
{
    static const std::vector<KnownStream> known = {
        {"sv4-header.mpc", 4, 1010, 0, "Stereo"},
        {"sv5-header.mpc", 5, 1010, 0, "Stereo"},
        {"sv7-stream.mpc", 7, 100, 0, "Joint Stereo"},
        {"sv8-stream.mpc", 8, 58, 66014, "Joint Stereo"},
        {"sv8-after-id3v2.mpc", 8, 58, 66014, "Joint Stereo"},
    };
    return known;
}

std::vector<HostileFile> HostileFiles()
{
    std::vector<HostileFile> f;
    const Bytes id3Title = Id3Tag(3, Frame(3, "TIT2", Text("Own title")));
    const Bytes ape = ApeTag({{"Title", "Own title"}, {"Artist", "Own artist"}, {"Track", "3/9"}});

    // Streams whose facts are known.
    f.push_back({"sv4-header.mpc", FixedHeader(Cat({{0x00, 0x06, 0x00, 0x00}, Le32(1010u << 16)}), 2000)});
    f.push_back({"sv5-header.mpc", FixedHeader(Cat({{0x00, 0x0E, 0x00, 0x00}, Le32(1010)}), 2000)});
    f.push_back({"sv7-stream.mpc", Cat({Sv7(100, 3000), ape})});
    f.push_back({"sv8-stream.mpc", Sv8Stream()});
    f.push_back({"sv8-after-id3v2.mpc", Cat({id3Title, Sv8Stream(), Id3v1("V1 title", 4, 17)})});

    // Musepack headers that lie or stop short.
    f.push_back({"sv8-packet-size-zero.mpc", Cat({B("MPCK"), B("SH"), {0}, Audio(40)})});
    f.push_back({"sv8-packet-size-below-its-head.mpc", Cat({B("MPCK"), B("SH"), {2}, Audio(40)})});
    f.push_back({"sv8-packet-size-huge.mpc",
                 Cat({B("MPCK"), B("SH"), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, Audio(40)})});
    f.push_back({"sv8-varint-never-ends.mpc", Cat({B("MPCK"), B("SH"), Bytes(40, 0x80)})});
    {
        Bytes tiny = B("MPCK");
        for (int i = 0; i < 5000; ++i) Append(tiny, Packet("XX", {}));
        f.push_back({"sv8-endless-tiny-packets.mpc", tiny});
    }
    {
        Bytes cut = Cat({B("MPCK"), Sh(66014, 0, 2, true)});
        cut.resize(cut.size() - 3);
        f.push_back({"sv8-stream-header-cut.mpc", cut});
    }
    f.push_back({"sv8-zero-samples-no-rate.mpc", Cat({B("MPCK"), Sh(0, 5, 2, false), Packet("SE", {})})});
    f.push_back({"sv7-frame-count-huge.mpc", Sv7(0xFFFFFFFFu, 64)});
    f.push_back({"sv7-no-frames.mpc", Sv7(0, 64)});
    f.push_back({"mpc-six-bytes.mpc", Bytes{'M', 'P', '+', 7, 1, 0}});
    f.push_back({"mpc-nineteen-bytes.mpc", Cat({B("MPCK"), B("SH"), {17}, Bytes(12, 0)})});
    f.push_back({"id3v2-size-past-end.mpc", Cat({Id3Header(3, 0, 0x0FFFFFFF), Sv7(10, 64)})});
    f.push_back({"empty.mpc", {}});

    // ID3v2 tags that lie.
    f.push_back({"id3v2-frame-size-past-tag.mp3",
                 Cat({Id3Tag(3, Cat({Frame(3, "TIT2", Text("Short"), 5000), Bytes(10, 0)})), Audio(500)})});
    f.push_back({"id3v24-frame-size-not-synchsafe.mp3",
                 Cat({Id3Tag(4, Cat({Cat({B("TIT2"), Be32(200), {0, 0}}), Text(std::string(200, 'x').c_str()),
                                     Frame(4, "TPE1", Text("After"))})),
                      Audio(500)})});
    {
        // 0xFF bytes in the text force unsynchronisation; the tag ends inside a frame.
        Bytes body = Frame(3, "TIT2", Cat({{0}, {'A', 0xFF, 0xE0, 'B', 0xFF, 0x00, 'C'}}));
        Bytes unsynced;
        for (std::size_t i = 0; i < body.size(); ++i) {
            unsynced.push_back(body[i]);
            if (body[i] == 0xFF && i + 1 < body.size() && (body[i + 1] >= 0xE0 || body[i + 1] == 0)) unsynced.push_back(0);
        }
        f.push_back({"id3v23-unsynchronised.id3", Id3Tag(3, unsynced, 0x80)});
        Bytes cut = Id3Tag(3, unsynced, 0x80);
        cut.resize(cut.size() - 4);
        f.push_back({"id3v23-unsynchronised-cut.id3", cut});
    }
    f.push_back({"id3v24-frame-unsynch-length-lies.id3",
                 Id3Tag(4, Cat({Frame(4, "TIT2", Cat({Be32(0x7FFFFFFF), Bytes{0, 'A', 0xFF, 0x00, 'B'}}), -1, 0x0003),
                                Bytes(4, 0)}))});
    f.push_back({"id3v2-extended-header-lies.mp3",
                 Cat({Id3Tag(3, Cat({Be32(0x7FFFFFFF), {0, 0}, Frame(3, "TIT2", Text("Behind"))}), 0x40), Audio(100)})});
    f.push_back({"id3v24-extended-header-tiny.mp3",
                 Cat({Id3Tag(4, Cat({Synchsafe(1), {1, 0}, Frame(4, "TIT2", Text("Behind"))}), 0x40), Audio(100)})});
    f.push_back({"id3v23-compressed-frame-lies.mp3",
                 Cat({Id3Tag(3, Cat({Frame(3, "TIT2", Cat({Be32(0xFFFFFFFF), Noise(30, 7)}), -1, 0x0080),
                                     Frame(3, "TPE1", Text("Plain"))})),
                      Audio(100)})});
    f.push_back({"id3v22-frame-size-huge.mp3",
                 Cat({Id3Tag(2, Cat({Frame(2, "TT2", Text("T"), 0xFFFFFF), Frame(2, "TP1", Text("A"))})), Audio(100)})});
    f.push_back({"id3v2-bad-encodings.id3",
                 Id3Tag(3, Cat({Frame(3, "TENC", Cat({{9}, B("what")})),
                                Frame(3, "TIT2", Cat({{1}, {'a', 0, 'b'}})),           // odd UTF-16, no BOM
                                Frame(3, "TPE1", Cat({{1}, {0xFF, 0xFE, 0x00, 0xD8}})),  // lone surrogate
                                Frame(3, "COMM", Cat({{0}, B("en")})),                  // language cut short
                                Frame(3, "TALB", Cat({{3}, {0xC3, 0x28, 0xF0, 0x9F}})),  // bad UTF-8
                                Frame(3, "TRCK", {})}))});
    f.push_back({"id3v2-two-tags.mp3", Cat({id3Title, Id3Tag(4, Frame(4, "TIT2", Text("Second"))), Audio(100)})});
    f.push_back({"id3v2-claims-256mb.mp3", Cat({Id3Header(3, 0, 0x0FFFFFFF), Frame(3, "TIT2", Text("x")), Audio(60)})});
    f.push_back({"id3v2-chapter-table-claims-255-children.mp3",
                 Cat({Id3Tag(3, Frame(3, "CTOC", Cat({B("toc"), {0}, {0x03, 0xFF}, B("c1"), {0}}))), Audio(100)})});
    f.push_back({"id3v2-zero-size-frames.mp3",
                 Cat({Id3Tag(3, Cat({Frame(3, "TIT2", {}), Frame(3, "TPE1", {}), Bytes(30, 0)})), Audio(100)})});
    f.push_back({"id3v2-frame-id-garbage.mp3",
                 Cat({Id3Tag(3, Cat({Frame(3, "\x01\xFFzz", Text("?")), Frame(3, "TIT2", Text("Unseen"))})), Audio(100)})});
    f.push_back({"id3v2-unknown-version.mp3", Cat({Id3Tag(9, Frame(4, "TIT2", Text("Nine"))), Audio(100)})});
    {
        Bytes header = id3Title;
        header.resize(8);
        f.push_back({"id3v2-header-cut.mp3", header});
    }

    // APE tags that lie.
    f.push_back({"ape-item-count-lies.mp3", Cat({Audio(400), ApeTag({{"Title", "Counted"}, {"Album", "x"}}, 2000, -1, 100000)})});
    f.push_back({"ape-size-huge.mp3", Cat({Audio(400), ApeTag({{"Title", "Huge"}}, 2000, 0xFFFFFFF0)})});
    f.push_back({"ape-size-below-footer.mp3", Cat({Audio(400), ApeTag({{"Title", "Small"}}, 2000, 5)})});
    f.push_back({"ape-size-past-file-start.mp3", Cat({Audio(10), ApeTag({{"Title", "Far"}}, 1000, 5000)})});
    f.push_back({"ape-value-size-huge.mp3",
                 Cat({Audio(400), ApeTag({{"Title", "Big", 0x7FFFFFFF}, {"Artist", "Next"}})})});
    f.push_back({"ape-key-unterminated.mp3", Cat({Audio(400), ApeTag({{"Title", "", 0, false}})})});
    f.push_back({"ape-footer-only.mp3", Cat({Audio(400), ApeFrame(2000, 32, 0, 0)})});
    f.push_back({"ape-with-id3v1.mp3", Cat({Audio(400), ape, Id3v1("V1 title", 7, 80)})});
    f.push_back({"ape-version1.mp3", Cat({Audio(400), ApeTag({{"Title", "Old tag"}}, 1000)})});
    {
        Bytes cut = Cat({Audio(400), ape});
        cut.erase(cut.begin() + 420, cut.begin() + 440);
        f.push_back({"ape-items-cut-out.mp3", cut});
    }

    // ID3v1 and plain garbage.
    f.push_back({"id3v1-only.mp3", Cat({Audio(1000), Id3v1("V1 only", 12, 17)})});
    f.push_back({"id3v1-no-terminators.mp3", Cat({Audio(1000), B("TAG"), Bytes(125, 'Z')})});
    f.push_back({"id3v1-cut.mp3", Cat({Audio(1000), B("TAG"), Field("Cut", 50)})});
    f.push_back({"tag-marker-alone.mp3", B("TAG")});
    f.push_back({"garbage.mp3", Noise(4000, 42)});
    f.push_back({"garbage-with-markers.mp3", Cat({Noise(300, 5), B("ID3"), Noise(300, 6), B("APETAGEX"),
                                                  Noise(40, 7), B("MPCK"), Noise(200, 8), B("TAG")})});
    return f;
}

std::vector<fs::path> WriteHostileFiles(const fs::path &folder)
{
    fs::create_directories(folder);
    std::vector<fs::path> paths;
    for (const HostileFile &file : HostileFiles()) {
        paths.push_back(folder / file.name);
        WriteBytes(paths.back(), file.bytes);
    }
    return paths;
}

}  // namespace tmtest
