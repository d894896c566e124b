// Ogg Opus files made by the real opusenc: their head and sample count read, their comments
// rewritten and read back by opusinfo, ffprobe and mutagen with the audio untouched; and
// damaged or hostile files refused.
#include "formats/OggOpus.h"

#include "support/HostileFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>
#include <map>
#include <random>
#include <regex>
#include <sstream>

using namespace trackmill;
using tmtest::B;
using tmtest::Bytes;
using tmtest::Cat;
namespace fs = std::filesystem;

namespace {

// Prints what mutagen reads: the vendor, the comments in order, each picture's fields
// and the MD5 of its data, and the length in seconds.
constexpr const char *kMutagenRead = R"PY(
import sys, json, base64, hashlib, mutagen.oggopus, mutagen.flac
f = mutagen.oggopus.OggOpus(sys.argv[1])
out = {'vendor': f.tags.vendor, 'comments': [[k, v] for k, v in f.tags], 'pictures': [],
       'length': f.info.length}
for k, v in f.tags:
    if k.upper() == 'METADATA_BLOCK_PICTURE':
        p = mutagen.flac.Picture(base64.b64decode(v))
        out['pictures'].append([p.type, p.mime, p.desc, p.width, p.height, p.depth, p.colors,
                                hashlib.md5(p.data).hexdigest()])
print(json.dumps(out))
)PY";

const std::string kCyrillic = "\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F";  // Песня
const std::string kCjk = "\xE6\xAD\x8C";                                      // 歌
const std::string kEmoji = "\xF0\x9F\x8E\xB5";                                // U+1F3B5

QString Q(const std::string &s) { return QString::fromStdString(s); }

std::string Md5(const Bytes &b)
{
    return QCryptographicHash::hash(QByteArrayView(b.data(), static_cast<qsizetype>(b.size())),
                                    QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

void Check(const tmtest::RunResult &r) { ASSERT_EQ(r.exitCode, 0) << r.out << r.err; }

// A sine tone of exactly n samples, encoded by opusenc.
fs::path Encode(const fs::path &dir, std::int64_t n, int rate = 44100, int channels = 2)
{
    const fs::path wav = dir / "source.wav";
    const fs::path out = dir / ("tone-" + std::to_string(n) + "-" + std::to_string(rate) + ".opus");
    tmtest::MakeSineWav(wav, static_cast<double>(n) / rate, rate, channels);
    Check(tmtest::Run({"opusenc", "--quiet", tmtest::U8(wav), tmtest::U8(out)}));
    return out;
}

fs::path MakeImage(const fs::path &dir, const std::string &name, const std::string &source,
                   const std::vector<std::string> &extra = {})
{
    std::vector<std::string> argv{"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", source, "-frames:v", "1"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(tmtest::U8(dir / name));
    Check(tmtest::Run(argv));
    return dir / name;
}

// The pages of an Ogg file as they stand, walked by their headers.
struct Page {
    std::size_t offset = 0, size = 0;
    std::uint8_t flags = 0;
    std::int64_t granule = 0;
    std::uint32_t sequence = 0;
    Bytes lacing;
};

std::vector<Page> Pages(const Bytes &b)
{
    auto le = [&](std::size_t at, int n) {
        std::uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
        return v;
    };
    std::vector<Page> out;
    for (std::size_t at = 0; at + 27 <= b.size() && std::memcmp(&b[at], "OggS", 4) == 0;) {
        Page p;
        p.offset = at;
        p.flags = b[at + 5];
        p.granule = static_cast<std::int64_t>(le(at + 6, 8));
        p.sequence = static_cast<std::uint32_t>(le(at + 18, 4));
        p.lacing.assign(b.begin() + static_cast<std::ptrdiff_t>(at + 27),
                        b.begin() + static_cast<std::ptrdiff_t>(at + 27 + b[at + 26]));
        p.size = 27 + p.lacing.size();
        for (std::uint8_t l : p.lacing) p.size += l;
        out.push_back(p);
        at += p.size;
    }
    return out;
}

// The bytes from `offset` on with each page's sequence number and checksum blanked: what
// a rewrite keeps of the audio.
Bytes AudioWithoutNumbers(Bytes b, std::size_t offset)
{
    for (const Page &p : Pages(b))
        if (p.offset >= offset) std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(p.offset + 18), 8, 0);
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(offset), b.end());
}

std::string DecodedMd5(const fs::path &file)
{
    const auto r = tmtest::Run({"ffmpeg", "-v", "error", "-i", tmtest::U8(file), "-map", "0:a", "-f", "md5", "-"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
}

std::map<std::string, std::string> OpusinfoFacts(const fs::path &file)
{
    const auto r = tmtest::Run({"opusinfo", tmtest::U8(file)});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_FALSE(std::regex_search(r.out + r.err, std::regex("(WARNING|ERROR)", std::regex::icase))) << r.out << r.err;
    std::map<std::string, std::string> facts;
    const std::regex line("^\\s*(Pre-skip|Playback gain|Channels|Original sample rate): (.*)$");
    std::smatch m;
    std::istringstream in(r.out);
    for (std::string s; std::getline(in, s);)
        if (std::regex_match(s, m, line)) facts[m[1]] = m[2];
    return facts;
}

// Builds Ogg pages for damaged files: its own checksum, so that a reader gets past it.
std::uint32_t OggCrc(const Bytes &page)
{
    std::uint32_t crc = 0;
    for (std::uint8_t byte : page) {
        crc ^= std::uint32_t{byte} << 24;
        for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

void PutLe(Bytes &b, std::uint64_t v, int n)
{
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes LacingOf(std::size_t packet)
{
    Bytes l(packet / 255, 255);
    l.push_back(static_cast<std::uint8_t>(packet % 255));
    return l;
}

// One page of `body`; its lacing a whole packet unless given.
Bytes OggPage(std::uint8_t flags, std::uint32_t sequence, const Bytes &body, std::optional<Bytes> given = std::nullopt,
              std::int64_t granule = 0, std::uint32_t serial = 7)
{
    const Bytes lacing = given ? *given : LacingOf(body.size());
    Bytes p = B("OggS");
    p.insert(p.end(), {0, flags});
    PutLe(p, static_cast<std::uint64_t>(granule), 8);
    PutLe(p, serial, 4);
    PutLe(p, sequence, 4);
    PutLe(p, 0, 4);
    p.push_back(static_cast<std::uint8_t>(lacing.size()));
    p.insert(p.end(), lacing.begin(), lacing.end());
    p.insert(p.end(), body.begin(), body.end());
    const std::uint32_t crc = OggCrc(p);
    for (int i = 0; i < 4; ++i) p[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
    return p;
}

Bytes OpusHead(std::uint8_t channels = 2, std::uint8_t family = 0, std::uint8_t version = 1)
{
    Bytes h = B("OpusHead");
    h.insert(h.end(), {version, channels});
    PutLe(h, 312, 2);
    PutLe(h, 44100, 4);
    PutLe(h, 0, 2);
    h.push_back(family);
    return h;
}

Bytes OpusTags(const std::string &vendor, const std::vector<std::string> &comments,
               std::optional<std::uint32_t> count = std::nullopt)
{
    Bytes t = B("OpusTags");
    PutLe(t, vendor.size(), 4);
    t.insert(t.end(), vendor.begin(), vendor.end());
    PutLe(t, count.value_or(static_cast<std::uint32_t>(comments.size())), 4);
    for (const std::string &c : comments) {
        PutLe(t, c.size(), 4);
        t.insert(t.end(), c.begin(), c.end());
    }
    return t;
}

// A packet over pages of `perPage` segments from sequence number `sequence` on.
Bytes Paged(const Bytes &packet, std::uint32_t sequence, std::size_t perPage = 255)
{
    const Bytes lacing = LacingOf(packet.size());
    Bytes out;
    for (std::size_t seg = 0, at = 0; seg < lacing.size(); seg += perPage, ++sequence) {
        const Bytes l(lacing.begin() + static_cast<std::ptrdiff_t>(seg),
                      lacing.begin() + static_cast<std::ptrdiff_t>(std::min(lacing.size(), seg + perPage)));
        std::size_t body = 0;
        for (std::uint8_t v : l) body += v;
        const bool last = seg + perPage >= lacing.size();
        out = Cat({out, OggPage(seg > 0 ? 1 : 0, sequence,
                                Bytes(packet.begin() + static_cast<std::ptrdiff_t>(at),
                                      packet.begin() + static_cast<std::ptrdiff_t>(at + body)),
                                l, last ? 0 : -1)});
        at += body;
    }
    return out;
}

// A whole stream: head page, the comments' page(s), two audio pages of 20 ms and 1 s.
Bytes Stream(const Bytes &head, const Bytes &tagPages, std::uint32_t nextSequence = 2)
{
    return Cat({OggPage(2, 0, head), tagPages, OggPage(0, nextSequence, Bytes(10, 0xAA), {}, 960 + 312),
                OggPage(4, nextSequence + 1, Bytes(20, 0xBB), {}, 48000 + 312)});
}

TOggOpus Load(const Bytes &bytes, TOggOpus::TPart part = TOggOpus::TPart::Everything)
{
    TMemoryStream stream(bytes);
    TOggOpus o;
    o.LoadFromStream(stream, part);
    return o;
}

TEST(OggOpusRead, HeadAndSampleCountOfOpusencFiles)
{
    TM_REQUIRE_TOOL("opusenc");
    TM_REQUIRE_TOOL("opusinfo");
    tmtest::TempDir dir;
    struct Case {
        std::int64_t samples;
        int rate, channels;
        std::int64_t expected;  // ceil(samples x 48000 / rate)
    };
    for (const Case c : {Case{1, 44100, 2, 2}, Case{1153, 44100, 2, 1255}, Case{441001, 44100, 1, 480002},
                         Case{96000, 48000, 2, 96000}}) {
        SCOPED_TRACE(std::to_string(c.samples) + " at " + std::to_string(c.rate));
        ASSERT_EQ((c.samples * 48000 + c.rate - 1) / c.rate, c.expected);
        const fs::path file = Encode(dir.path(), c.samples, c.rate, c.channels);
        TOggOpus o;
        ASSERT_TRUE(o.LoadFromFile(tmtest::U8(file))) << o.Error();
        EXPECT_TRUE(o.Error().empty());
        EXPECT_EQ(o.SampleCount(), c.expected);
        EXPECT_DOUBLE_EQ(o.Duration(), static_cast<double>(c.expected) / 48000);
        EXPECT_EQ(o.LastGranule(), c.expected + o.Head().preSkip);

        const auto facts = OpusinfoFacts(file);
        EXPECT_EQ(facts.at("Pre-skip"), std::to_string(o.Head().preSkip));
        EXPECT_EQ(facts.at("Channels"), std::to_string(c.channels));
        EXPECT_EQ(facts.at("Original sample rate"), std::to_string(c.rate) + " Hz");
        EXPECT_EQ(facts.at("Playback gain"), "0 dB");
        EXPECT_EQ(o.Head().channels, c.channels);
        EXPECT_EQ(o.Head().inputSampleRate, static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(o.Head().outputGain, 0);
        EXPECT_EQ(o.Head().mappingFamily, 0);
        EXPECT_EQ(o.Head().version, 1);
        EXPECT_TRUE(o.Vendor().starts_with("libopus")) << o.Vendor();
        EXPECT_EQ(o.Value("encoder").rfind("opusenc", 0), 0u);

        // The first audio page: the third, whose first packet is no header.
        const Bytes bytes = tmtest::ReadBytes(file);
        const std::vector<Page> pages = Pages(bytes);
        ASSERT_GE(pages.size(), 3u);
        EXPECT_EQ(o.AudioOffset(), static_cast<std::int64_t>(pages[2].offset));

        TOggOpus head;
        ASSERT_TRUE(head.LoadFromFile(tmtest::U8(file), TOggOpus::TPart::NoComments)) << head.Error();
        EXPECT_EQ(head.SampleCount(), c.expected);
        EXPECT_EQ(head.Head().preSkip, o.Head().preSkip);
        EXPECT_EQ(head.AudioOffset(), o.AudioOffset());
        EXPECT_TRUE(head.Comments().empty());
    }
}

TEST(OggOpusWrite, CommentsAndPicturesReadBackByOthersAudioUntouched)
{
    TM_REQUIRE_TOOL("opusenc");
    TM_REQUIRE_TOOL("opusinfo");
    tmtest::TempDir dir;
    const fs::path file = Encode(dir.path(), 44100);
    const std::string path = tmtest::U8(file);
    const std::string audioMd5 = DecodedMd5(file);
    ASSERT_NE(audioMd5.find("MD5="), std::string::npos);
    TOggOpus original;
    ASSERT_TRUE(original.LoadFromFile(path)) << original.Error();
    const Bytes audio = AudioWithoutNumbers(tmtest::ReadBytes(file), static_cast<std::size_t>(original.AudioOffset()));

    // A noisy PNG of some 300 KB takes the comments over several pages.
    const Bytes cover = tmtest::ReadBytes(
        MakeImage(dir.path(), "cover.png", "color=c=gray:s=400x300,noise=alls=100:allf=t"));
    ASSERT_GT(cover.size(), 250000u);
    const Bytes back = tmtest::ReadBytes(MakeImage(dir.path(), "back.jpg", "color=c=red:s=64x48"));
    TOpusPicture front;
    front.mime = "image/png";
    front.data = cover;
    TOpusPicture rear;
    rear.type = 4;
    rear.mime = "image/jpeg";
    rear.description = "R\xC3\xBC" "ckseite";
    rear.data = back;

    std::vector<TVorbisComment> many{
        {"TITLE", kCyrillic + " " + kCjk + " " + kEmoji},
        {"ARTIST", "First"},
        {"ARTIST", "Second \xC3\x9C"},
        {"ALBUM", "Caf\xC3\xA9"},
        {"TRACKNUMBER", "3"},
        {"DATE", "2003"},
        {"COMMENT", "two\nlines = and equals"},
        {"R128_TRACK_GAIN", "-1280"},
        {"TRACKMILL_SOURCE", "album/song.mpc|1234|2020-01-01T00:00:00Z"},
        {"METADATA_BLOCK_PICTURE", opus::PictureValue(front)},
        {"METADATA_BLOCK_PICTURE", opus::PictureValue(rear)},
    };
    for (int i = 0; i < 40; ++i) many.push_back({"EXTRA" + std::to_string(i), std::string(static_cast<std::size_t>(i), 'x')});
    std::vector<TVorbisComment> few = {{"TITLE", "Short"}, {"artist", "Only \xC3\xA9"}};

    // In each round the comments are written over those of the round before: many over
    // opusenc's own, few over many, many again. The pages after the comments are
    // renumbered each time their count changes.
    std::size_t headerPages = 0;
    for (const std::vector<TVorbisComment> *comments : {&many, &few, &many}) {
        SCOPED_TRACE(comments->size());
        TOggOpus o;
        o.SetComments(*comments);
        std::string why;
        ASSERT_TRUE(o.WriteToFile(path, &why)) << why;

        TOggOpus read;
        ASSERT_TRUE(read.LoadFromFile(path)) << read.Error();
        EXPECT_EQ(read.Comments(), *comments);
        EXPECT_EQ(read.Vendor(), original.Vendor());
        EXPECT_EQ(read.SampleCount(), original.SampleCount());
        EXPECT_EQ(read.Head().preSkip, original.Head().preSkip);

        const Bytes bytes = tmtest::ReadBytes(file);
        EXPECT_EQ(AudioWithoutNumbers(bytes, static_cast<std::size_t>(read.AudioOffset())), audio);
        EXPECT_EQ(DecodedMd5(file), audioMd5);
        const std::vector<Page> pages = Pages(bytes);
        std::size_t header = 0;
        while (header < pages.size() && pages[header].offset < static_cast<std::size_t>(read.AudioOffset())) ++header;
        EXPECT_NE(header, headerPages);
        headerPages = header;
        for (std::size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i].sequence, i);
        OpusinfoFacts(file);

        // mutagen: every comment in order, the pictures with their facts.
        const auto r = tmtest::Run({tmtest::SystemPython(), "-c", kMutagenRead, path});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const QJsonObject m = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
        EXPECT_EQ(m["vendor"].toString(), Q(original.Vendor()));
        EXPECT_NEAR(m["length"].toDouble(), 1.0, 1e-9);
        QJsonArray expected;
        for (const TVorbisComment &c : *comments) expected.append(QJsonArray{Q(c.key), Q(c.value)});
        EXPECT_EQ(m["comments"].toArray(), expected);
        const QJsonArray pictures = m["pictures"].toArray();
        if (comments == &many) {
            ASSERT_EQ(pictures.size(), 2);
            EXPECT_EQ(pictures[0].toArray(),
                      (QJsonArray{3, "image/png", "", 400, 300, 24, 0, Q(Md5(cover))}));
            EXPECT_EQ(pictures[1].toArray(),
                      (QJsonArray{4, "image/jpeg", Q(rear.description), 64, 48, 24, 0, Q(Md5(back))}));
        } else {
            EXPECT_TRUE(pictures.isEmpty());
        }

        // ffprobe: the stream's tags, and each picture as an attached picture of its size.
        const auto p = tmtest::Run({"ffprobe", "-v", "error", "-show_format", "-show_streams", "-print_format",
                                    "json", path});
        ASSERT_EQ(p.exitCode, 0) << p.err;
        const QJsonObject probe = QJsonDocument::fromJson(QByteArray::fromStdString(p.out)).object();
        EXPECT_NEAR(probe["format"]["duration"].toString().toDouble(), 1.0, 0.01);
        const QJsonArray streams = probe["streams"].toArray();
        const QJsonObject tags = streams[0]["tags"].toObject();
        EXPECT_EQ(tags["TITLE"].toString(), Q((*comments)[0].value));
        if (comments == &many) {
            EXPECT_EQ(tags["ARTIST"].toString(), Q("First;Second \xC3\x9C"));
            EXPECT_EQ(tags["COMMENT"].toString(), Q("two\nlines = and equals"));
            EXPECT_EQ(tags["EXTRA39"].toString(), Q(std::string(39, 'x')));
            ASSERT_EQ(streams.size(), 3);
            EXPECT_EQ(streams[1]["width"].toInt(), 400);
            EXPECT_EQ(streams[2]["height"].toInt(), 48);
        } else {
            EXPECT_EQ(tags["artist"].toString() + tags["ARTIST"].toString(), Q("Only \xC3\xA9"));
            EXPECT_EQ(streams.size(), 1);
        }
    }
}

TEST(OggOpusWrite, CommentsOfEverySizeAroundPageAndSegmentEdges)
{
    TM_REQUIRE_TOOL("opusenc");
    TM_REQUIRE_TOOL("opusinfo");
    tmtest::TempDir dir;
    const fs::path file = Encode(dir.path(), 4410);
    const std::string path = tmtest::U8(file);
    TOggOpus original;
    ASSERT_TRUE(original.LoadFromFile(path)) << original.Error();
    const Bytes audio = AudioWithoutNumbers(tmtest::ReadBytes(file), static_cast<std::size_t>(original.AudioOffset()));
    // The packet: "OpusTags", vendor length and vendor, count, then "PAD=" and its value.
    const std::size_t fixed = 8 + 4 + original.Vendor().size() + 4 + 4 + 4;
    for (std::size_t packet : {255u * 2 - 1, 255u * 2, 255u * 2 + 1, 255u * 255 - 1, 255u * 255, 255u * 255 + 1,
                               255u * 255 * 2, 255u * 255 * 2 + 255}) {
        SCOPED_TRACE(packet);
        TOggOpus o;
        o.SetComments({{"PAD", std::string(packet - fixed, 'p')}});
        std::string why;
        ASSERT_TRUE(o.WriteToFile(path, &why)) << why;
        OpusinfoFacts(file);
        TOggOpus read;
        ASSERT_TRUE(read.LoadFromFile(path)) << read.Error();
        EXPECT_EQ(read.Comments(), o.Comments());
        EXPECT_EQ(read.SampleCount(), original.SampleCount());
        const Bytes bytes = tmtest::ReadBytes(file);
        EXPECT_EQ(AudioWithoutNumbers(bytes, static_cast<std::size_t>(read.AudioOffset())), audio);

        // Full pages of 255 segments; a packet of a multiple of 255 bytes ends with a 0
        // lacing value, on a page of its own when the one before is full; granule 0 where
        // the packet ends, -1 before.
        std::vector<Page> tagPages;
        for (const Page &p : Pages(bytes))
            if (p.offset > 0 && p.offset < static_cast<std::size_t>(read.AudioOffset())) tagPages.push_back(p);
        const std::size_t segments = packet / 255 + 1;
        ASSERT_EQ(tagPages.size(), (segments + 254) / 255);
        for (std::size_t i = 0; i < tagPages.size(); ++i) {
            const bool last = i + 1 == tagPages.size();
            EXPECT_EQ(tagPages[i].lacing.size(), last ? segments - 255 * i : 255u);
            EXPECT_EQ(tagPages[i].flags, i == 0 ? 0 : 1);
            EXPECT_EQ(tagPages[i].granule, last ? 0 : -1);
        }
        EXPECT_EQ(tagPages.back().lacing.back(), packet % 255);
    }
}

TEST(OggOpusWrite, FailuresLeaveTheFileAsItWasAndSayWhy)
{
    TM_REQUIRE_TOOL("opusenc");
    tmtest::TempDir dir;
    const fs::path file = Encode(dir.path(), 4410);
    const std::string path = tmtest::U8(file);
    const Bytes original = tmtest::ReadBytes(file);
    auto refused = [&](const std::vector<TVorbisComment> &comments, const std::string &reason,
                       const std::string &target) {
        TOggOpus o;
        o.SetComments(comments);
        std::string why;
        EXPECT_FALSE(o.WriteToFile(target, &why));
        EXPECT_NE(why.find(reason), std::string::npos) << why;
        EXPECT_EQ(tmtest::ReadBytes(file), original);
    };
    // Keys that a comment cannot carry; a list beyond the cap.
    for (const std::string key : {"", "A=B", "T\x7F", "\xC3\x9C", "T\n"})
        refused({{"TITLE", "ok"}, {key, "value"}}, "is not valid", path);
    refused({{"BIG", std::string(static_cast<std::size_t>(TOggOpus::kMaxTagsBytes), 'b')}}, "more than the 64 MiB", path);

    // A file that is no Ogg Opus takes no comments.
    const fs::path mp3 = dir / "not.opus";
    tmtest::WriteBytes(mp3, B("ID3 not an ogg file at all"));
    TOggOpus o;
    o.SetComments({{"TITLE", "x"}});
    std::string why;
    EXPECT_FALSE(o.WriteToFile(tmtest::U8(mp3), &why));
    EXPECT_EQ(why, "not an Ogg file");
    EXPECT_FALSE(o.WriteToFile(tmtest::U8(dir / "missing.opus"), &why));
    EXPECT_EQ(why, "no such file");

    // The system's own words: a disk that is full, a file we may not write.
    o.SetComments({{"BIG", std::string(200000, 'b')}});
    const int full = tmtest::UnderFileSizeLimit(original.size() + 1000, [&] {
        std::string reason;
        if (o.WriteToFile(path, &reason)) return 1;
        return reason == "File too large" ? 0 : 2;
    });
    EXPECT_EQ(full, 0);
    EXPECT_EQ(tmtest::ReadBytes(file), original);
    tmtest::ShareWithEveryone(dir.path());
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(file, readOnly);
    const int denied = tmtest::AsUnprivilegedUser([&] {
        std::string reason;
        if (o.WriteToFile(path, &reason)) return 1;
        return reason == "Permission denied" ? 0 : 2;
    });
    EXPECT_EQ(denied, 0);
    EXPECT_EQ(fs::status(file).permissions(), readOnly);
    EXPECT_EQ(tmtest::ReadBytes(file), original);
    for (const auto &entry : fs::directory_iterator(dir.path()))
        EXPECT_NE(tmtest::U8(entry.path().filename()).rfind(".tm-", 0), 0u) << entry.path();
}

TEST(OggOpusRead, DamagedAndHostileFilesAreRefused)
{
    const Bytes tags = OpusTags("vendor", {"TITLE=t", "ARTIST=a"});
    const Bytes good = Stream(OpusHead(), OggPage(0, 1, tags));
    {
        const TOggOpus o = Load(good);
        ASSERT_TRUE(o.Valid()) << o.Error();
        EXPECT_EQ(o.SampleCount(), 48000);
        EXPECT_EQ(o.Value("title"), "t");
    }
    // A rewrite keeps the data after the list when its first bit says so, else drops it
    // as padding; the vendor stays unless another is given.
    for (const std::uint8_t first : {1, 0}) {
        TMemoryStream stream(Stream(OpusHead(), OggPage(0, 1, Cat({tags, {first, 'x', 'y'}}))));
        TOggOpus w;
        w.SetComments({{"A", "b"}});
        if (!first) w.SetVendor("given");
        ASSERT_TRUE(w.WriteToStream(stream));
        const Page page = Pages(stream.Bytes())[1];
        const auto body = stream.Bytes().begin() + static_cast<std::ptrdiff_t>(page.offset + 27 + page.lacing.size());
        EXPECT_EQ(Bytes(body, stream.Bytes().begin() + static_cast<std::ptrdiff_t>(page.offset + page.size)),
                  first ? Cat({OpusTags("vendor", {"A=b"}), {1, 'x', 'y'}}) : OpusTags("given", {"A=b"}));
    }
    // The comments over three pages of 4 KiB, as some taggers page them, read too.
    {
        const TOggOpus o = Load(Stream(OpusHead(), Paged(OpusTags("v", {"TITLE=" + std::string(9000, 't')}), 1, 16), 4));
        ASSERT_TRUE(o.Valid()) << o.Error();
        EXPECT_EQ(o.Value("TITLE"), std::string(9000, 't'));
    }

    struct Case {
        const char *name;
        Bytes bytes;
        const char *reason;
    };
    Bytes badHeadCrc = good;
    badHeadCrc[30] ^= 1;
    Bytes badTagsCrc = good;
    badTagsCrc[OggPage(2, 0, OpusHead()).size() + 40] ^= 1;
    const Bytes audioOnTagsPage = Cat({tags, Bytes(5, 0xAA)});
    Bytes manyCounts = OpusTags("v", {}, 70000);
    manyCounts.resize(manyCounts.size() + 70000 * 4);
    const std::vector<Case> cases = {
        {"empty", {}, "ends inside its first page"},
        {"garbage", B("RIFF....WAVEfmt "), "not an Ogg file"},
        {"a wrong checksum on the first page", badHeadCrc, "checksum is wrong"},
        {"a wrong checksum on the comments", badTagsCrc, "wrong checksum"},
        {"a Vorbis stream", Stream(B(std::string_view("\x01vorbis\0\0\0\0\x02\x44\xAC\0\0", 16)), OggPage(0, 1, tags)), "not an Opus stream"},
        {"no channels", Stream(OpusHead(0), OggPage(0, 1, tags)), "no channels"},
        {"six channels without a mapping", Stream(OpusHead(6), OggPage(0, 1, tags)), "without a channel mapping"},
        {"a mapping cut short", Stream(OpusHead(6, 1), OggPage(0, 1, tags)), "cut short"},
        {"an unknown major version", Stream(OpusHead(2, 0, 0x10), OggPage(0, 1, tags)), "not known"},
        {"no OpusTags", Stream(OpusHead(), OggPage(0, 1, B("OpusHead..."))), "no OpusTags"},
        {"a page missing", Stream(OpusHead(), OggPage(0, 2, tags), 3), "missing"},
        {"another stream's page", Stream(OpusHead(), OggPage(0, 1, tags, {}, 0, 99)), "another stream"},
        {"a continued second page", Stream(OpusHead(), OggPage(1, 1, tags)), "goes on from the first"},
        {"audio on the page the comments end",
         Stream(OpusHead(), OggPage(0, 1, audioOnTagsPage, Cat({LacingOf(tags.size()), {5}}))), "audio begins"},
        {"a vendor past the packet", Stream(OpusHead(), OggPage(0, 1, Cat({B("OpusTags"), {200, 0, 0, 0}, B("v")}))),
         "vendor string runs past"},
        {"a comment past the packet",
         Stream(OpusHead(), OggPage(0, 1, Cat({OpusTags("v", {}, 1), {100, 0, 0, 0}, B("TITLE=x")}))), "runs past"},
        {"a count of four thousand million", Stream(OpusHead(), OggPage(0, 1, OpusTags("v", {"A=b"}, 0xFFFFFFFF))),
         "more than it can hold"},
        {"70,000 empty comments", Stream(OpusHead(), Paged(manyCounts, 1), 6), "more than the 65,536"},
        {"no audio page", Cat({OggPage(2, 0, OpusHead()), OggPage(0, 1, tags)}), "no audio page"},
        {"no intact audio page", Cat({OggPage(2, 0, OpusHead()), OggPage(0, 1, tags), B("OggS\0\0\0\0garbage")}),
         "no intact audio page"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TOggOpus o = Load(c.bytes);
        EXPECT_FALSE(o.Valid());
        EXPECT_NE(o.Error().find(c.reason), std::string::npos) << o.Error();
        EXPECT_TRUE(o.Comments().empty());
        // No comments are written into them, and they stay as they were.
        TMemoryStream stream(c.bytes);
        TOggOpus w;
        w.SetComments({{"TITLE", "x"}});
        EXPECT_FALSE(w.WriteToStream(stream));
        EXPECT_EQ(stream.Bytes(), c.bytes);
    }

    // The caps: more pages than 65,536, and a packet beyond 64 MiB (stepped over by the
    // headers alone when the comments are not wanted).
    {
        // Pages without segments: each goes on with the packet and adds nothing to it.
        Bytes pages = OggPage(0, 1, Cat({B("OpusTags"), Bytes(247, 0)}), Bytes{255}, -1);
        for (std::uint32_t i = 0; i < TOggOpus::kMaxTagsPages; ++i) {
            const Bytes empty = OggPage(1, i + 2, {}, Bytes{}, -1);
            pages.insert(pages.end(), empty.begin(), empty.end());
        }
        const TOggOpus o = Load(Stream(OpusHead(), pages, TOggOpus::kMaxTagsPages + 2));
        EXPECT_NE(o.Error().find("more than 65,536 pages"), std::string::npos) << o.Error();
    }
    {
        const std::size_t n = TOggOpus::kMaxTagsBytes / (255 * 255) + 1;
        Bytes huge = OggPage(2, 0, OpusHead());
        const Bytes fullLacing(255, 255);
        Bytes page = OggPage(0, 1, Cat({B("OpusTags"), Bytes(255 * 255 - 8, 0)}), fullLacing, -1);
        huge.reserve(huge.size() + (n + 1) * page.size());
        for (std::uint32_t i = 1; i <= n + 1; ++i) {
            page[5] = i > 1 ? 1 : 0;
            for (int k = 0; k < 4; ++k) page[18 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(i >> (8 * k));
            huge.insert(huge.end(), page.begin(), page.end());
        }
        TMemoryStream stream(std::move(huge));
        TOggOpus o;
        EXPECT_FALSE(o.LoadFromStream(stream, TOggOpus::TPart::NoComments));
        EXPECT_NE(o.Error().find("larger than 64 MiB"), std::string::npos) << o.Error();
    }

    // Every cut of a real file and damage anywhere in it: refused, or read with what is
    // whole; never a crash. A rewrite of what reads gives what it was given.
    if (!tmtest::HaveTool("opusenc")) return;
    tmtest::TempDir dir;
    const Bytes real = tmtest::ReadBytes(Encode(dir.path(), 44100));
    const TOggOpus whole = Load(real);
    ASSERT_TRUE(whole.Valid()) << whole.Error();
    for (std::size_t len = 0; len < real.size(); len += len < static_cast<std::size_t>(whole.AudioOffset()) + 64 ? 1 : 97) {
        const TOggOpus o = Load(Bytes(real.begin(), real.begin() + static_cast<std::ptrdiff_t>(len)));
        if (o.Valid()) EXPECT_LT(o.SampleCount(), whole.SampleCount()) << len;
        else EXPECT_FALSE(o.Error().empty()) << len;
        // A library's marks are read from the comments alone, whatever became of the end.
        const TOggOpus marks = Load(Bytes(real.begin(), real.begin() + static_cast<std::ptrdiff_t>(len)),
                                    TOggOpus::TPart::NoLastPage);
        EXPECT_EQ(marks.Valid(), len >= static_cast<std::size_t>(whole.AudioOffset())) << len;
        if (marks.Valid()) {
            EXPECT_EQ(marks.Comments().size(), whole.Comments().size()) << len;
        }
    }
    std::mt19937 rng(4711);
    for (int round = 0; round < 300; ++round) {
        Bytes b = real;
        const std::size_t span = round % 2 ? b.size() : static_cast<std::size_t>(whole.AudioOffset());
        for (int k = 0; k < 4; ++k) b[rng() % span] = static_cast<std::uint8_t>(rng());
        TMemoryStream stream(b);
        TOggOpus w;
        w.SetComments({{"TITLE", "x"}, {"METADATA_BLOCK_PICTURE", std::string(70000, 'A')}});
        if (w.WriteToStream(stream)) {
            const TOggOpus back = Load(stream.Bytes());
            ASSERT_TRUE(back.Valid()) << back.Error();
            EXPECT_EQ(back.Comments(), w.Comments());
        } else {
            EXPECT_EQ(stream.Bytes(), b);
        }
    }
    for (const tmtest::HostileFile &h : tmtest::HostileFiles()) {
        EXPECT_FALSE(Load(h.bytes).Valid()) << h.name;
        TMemoryStream stream(h.bytes);
        EXPECT_FALSE(TOggOpus().WriteToStream(stream)) << h.name;
    }
}

TEST(OggOpusPicture, ValuesCarryTheFactsOfTheirImages)
{
    TM_REQUIRE_TOOL("ffmpeg");
    tmtest::TempDir dir;
    struct Case {
        const char *name, *source;
        std::vector<std::string> extra;
        std::uint32_t width, height, depth, colours;
    };
    const Case cases[] = {
        {"rgb.png", "color=c=red:s=40x30", {}, 40, 30, 24, 0},
        {"grey.png", "color=c=white:s=20x10", {"-pix_fmt", "gray"}, 20, 10, 8, 0},
        {"rgba.png", "color=c=blue:s=6x4", {"-pix_fmt", "rgba"}, 6, 4, 32, 0},
        {"indexed.png", "testsrc=s=32x16", {"-pix_fmt", "pal8"}, 32, 16, 8, 256},
        {"photo.jpg", "color=c=red:s=64x48", {}, 64, 48, 24, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TOpusPicture in;
        in.type = 3;
        in.mime = "image/x";
        in.description = "Vorderseite \xE2\x80\x94 " + kEmoji;
        in.data = tmtest::ReadBytes(MakeImage(dir.path(), c.name, c.source, c.extra));
        const auto out = opus::ReadPictureValue(opus::PictureValue(in));
        ASSERT_TRUE(out);
        EXPECT_EQ(out->type, 3u);
        EXPECT_EQ(out->mime, in.mime);
        EXPECT_EQ(out->description, in.description);
        EXPECT_EQ(out->data, in.data);
        EXPECT_EQ(std::vector<std::uint32_t>({out->width, out->height, out->depth, out->colours}),
                  std::vector<std::uint32_t>({c.width, c.height, c.depth, c.colours}));
    }
    // Facts given are kept; data of no known kind leaves them 0.
    TOpusPicture given;
    given.data = tmtest::ReadBytes(dir / "rgb.png");
    given.width = 1;
    given.depth = 2;
    auto out = opus::ReadPictureValue(opus::PictureValue(given));
    ASSERT_TRUE(out);
    EXPECT_EQ(std::vector<std::uint32_t>({out->width, out->height, out->depth}), std::vector<std::uint32_t>({1, 30, 2}));
    given = {};
    given.data = B("GIF89a....");
    out = opus::ReadPictureValue(opus::PictureValue(given));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->width + out->height + out->depth + out->colours, 0u);

    // Values that are no whole picture block.
    const std::string value = opus::PictureValue(given);
    for (const std::string &bad : std::vector<std::string>{value.substr(0, value.size() - 8), value + "!", "@@@@",
                                                          "AAAA", "A", std::string("AAAA\0AAA", 8)})
        EXPECT_FALSE(opus::ReadPictureValue(bad)) << bad;
    EXPECT_TRUE(opus::ReadPictureValue(value.substr(0, value.find('='))));
}

}  // namespace
