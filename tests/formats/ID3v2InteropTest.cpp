// Tags written by independent taggers (eyeD3, id3v2, mutagen) read field for field, and
// our ID3v2.3 output read back by mutagen and eyeD3; the MP3s come from lame.
#include "formats/ID3v2.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace trackmill;
using tmtest::Bytes;
namespace fs = std::filesystem;

namespace {

// Writes frames with mutagen. Arguments: path, major version, encoding, JSON object of
// frame id -> text ("COMM" -> [desc, text], "WXXX" -> [desc, url]).
constexpr const char *kMutagenWrite = R"PY(
import sys, json, mutagen.id3 as id3
path, version, enc, wanted = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), json.loads(sys.argv[4])
tag = id3.ID3()
for key, value in wanted.items():
    cls = getattr(id3, key)
    if key == 'COMM':
        tag.add(cls(encoding=enc, lang='eng', desc=value[0], text=value[1]))
    elif key == 'WXXX':
        tag.add(cls(encoding=enc, desc=value[0], url=value[1]))
    else:
        tag.add(cls(encoding=enc, text=value))
tag.save(path, v2_version=version)
)PY";

// Prints the tag as JSON: version, size, and each frame's text and encoding.
constexpr const char *kMutagenRead = R"PY(
import sys, json, mutagen.id3 as id3
tag = id3.ID3(sys.argv[1], translate=False)
out = {'version': list(tag.version), 'size': tag.size, 'frames': {}}
for f in tag.values():
    if f.FrameID == 'COMM':
        value = [f.lang, f.desc, f.text[0]]
    elif f.FrameID == 'WXXX':
        value = [f.desc, f.url]
    else:
        value = str(f.text[0])
    out['frames'][f.FrameID] = {'value': value, 'encoding': int(getattr(f, 'encoding', 0))}
print(json.dumps(out))
)PY";

const std::string kCyrillic = "\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F";  // Песня
const std::string kCjk = "\xE6\xAD\x8C\xE4\xBB\xBF";                          // 歌仿 (仿 is U+4EFF)
const std::string kEmoji = "\xF0\x9F\x8E\xB5";                                // U+1F3B5
const std::string kLatin1Text = "Caf\xC3\xA9 \xC3\x9C\xC3\x9F";               // Café Üß

class ID3v2Interop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!tmtest::HaveTool("lame")) return;
        shared_ = new tmtest::TempDir;
        const fs::path wav = *shared_ / "tone.wav";
        tmtest::MakeSineWav(wav, 0.3);
        const auto r = tmtest::Run({"lame", "--quiet", tmtest::U8(wav), tmtest::U8(*shared_ / "tone.mp3")});
        if (r.exitCode == 0) mp3_ = tmtest::ReadBytes(*shared_ / "tone.mp3");
    }
    static void TearDownTestSuite()
    {
        delete shared_;
        shared_ = nullptr;
    }
    void SetUp() override
    {
        if (mp3_.empty()) GTEST_SKIP() << "lame could not make an MP3";
    }

    // A fresh untagged MP3 in the test's folder.
    std::string FreshMp3(const std::string &name = "song.mp3") const
    {
        const fs::path p = dir_ / name;
        tmtest::WriteBytes(p, mp3_);
        return tmtest::U8(p);
    }

    static void Check(const tmtest::RunResult &r)
    {
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    }

    static void MutagenWrite(const std::string &path, int version, int encoding, const QJsonObject &wanted)
    {
        Check(tmtest::Run({tmtest::SystemPython(), "-c", kMutagenWrite, path, std::to_string(version),
                           std::to_string(encoding),
                           QJsonDocument(wanted).toJson(QJsonDocument::Compact).toStdString()}));
    }

    static QJsonObject MutagenRead(const std::string &path)
    {
        const auto r = tmtest::Run({tmtest::SystemPython(), "-c", kMutagenRead, path});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }

    static TID3v2 Load(const std::string &path)
    {
        TID3v2 t;
        EXPECT_TRUE(t.LoadFromFile(path));
        EXPECT_TRUE(t.Present());
        return t;
    }

    // The bytes after the tag are the untagged MP3, unchanged.
    static void ExpectAudioIntact(const std::string &path, const TID3v2 &t)
    {
        const Bytes b = tmtest::ReadBytes(path);
        ASSERT_GE(b.size(), static_cast<std::size_t>(t.TagSize()));
        const Bytes tail(b.begin() + t.TagSize(), b.end());
        EXPECT_EQ(tail, mp3_);
    }

    static inline tmtest::TempDir *shared_ = nullptr;
    static inline Bytes mp3_;
    tmtest::TempDir dir_;
};

QString Q(const std::string &s) { return QString::fromStdString(s); }

TEST_F(ID3v2Interop, Eyed3TagsInEveryVersionAndEncoding)
{
    TM_REQUIRE_TOOL("eyeD3");
    struct Case {
        const char *version;
        const char *encoding;
        std::string text;
        int major;
    };
    const Case cases[] = {
        {"--to-v2.3", "latin1", kLatin1Text, 3},
        {"--to-v2.3", "utf16", kCyrillic + " " + kCjk + " " + kEmoji, 3},
        {"--to-v2.4", "latin1", kLatin1Text, 4},
        {"--to-v2.4", "utf16", kCjk + kEmoji, 4},
        {"--to-v2.4", "utf8", kCyrillic + " " + kEmoji, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.encoding);
        const std::string path = FreshMp3();
        Check(tmtest::Run({"eyeD3", "--quiet", "--no-color", c.version, "--encoding", c.encoding, "-t", c.text,
                           "-a", "Artist " + c.text, "-A", "Album", "-n", "3", "-N", "12", "--recording-date",
                           "2003", "-G", "Rock", "-c", "Comment " + c.text, path}));
        const TID3v2 t = Load(path);
        EXPECT_EQ(t.TagVersion(), c.major);
        EXPECT_EQ(t.Title(), c.text);
        EXPECT_EQ(t.Artist(), "Artist " + c.text);
        EXPECT_EQ(t.Album(), "Album");
        EXPECT_EQ(t.Track(), 3);
        EXPECT_EQ(t.Year(), "2003");
        EXPECT_EQ(t.Genre(), "Rock");
        EXPECT_EQ(t.Comment(), "Comment " + c.text);
        ExpectAudioIntact(path, t);
    }
}

TEST_F(ID3v2Interop, Id3v2ToolTag)
{
    TM_REQUIRE_TOOL("id3v2");
    const std::string path = FreshMp3();
    Check(tmtest::Run({"id3v2", "--id3v2-only", "-t", "Title", "-a", "Artist", "-A", "Album", "-y", "1999", "-T", "4/9", "-g", "17",
                       "-c", "Comm", path}));
    const TID3v2 t = Load(path);
    EXPECT_EQ(t.TagVersion(), 3);
    EXPECT_EQ(t.Title(), "Title");
    EXPECT_EQ(t.Artist(), "Artist");
    EXPECT_EQ(t.Album(), "Album");
    EXPECT_EQ(t.Year(), "1999");
    EXPECT_EQ(t.Track(), 4);
    EXPECT_EQ(t.Genre(), "Rock");  // written as "(17)": a reference to the ID3v1 list only
    EXPECT_EQ(t.Comment(), "Comm");
    ExpectAudioIntact(path, t);
}

TEST_F(ID3v2Interop, MutagenTagsWithEveryFieldAndEncoding)
{
    const std::string text = kCyrillic + " " + kCjk + " " + kEmoji;
    struct Case {
        int version;
        int encoding;
        std::string text;
    };
    const Case cases[] = {{3, 0, kLatin1Text}, {3, 1, text}, {4, 0, kLatin1Text}, {4, 1, text}, {4, 2, text}, {4, 3, text}};
    for (const Case &c : cases) {
        SCOPED_TRACE("v2." + std::to_string(c.version) + " encoding " + std::to_string(c.encoding));
        const std::string path = FreshMp3();
        QJsonObject wanted{{"TIT2", Q(c.text)},
                         {"TPE1", Q("A " + c.text)},
                         {"TALB", Q("B " + c.text)},
                         {"TRCK", "7/10"},
                         {"TCON", "(8)Jazz"},
                         {"COMM", QJsonArray{Q("desc " + c.text), Q("C " + c.text)}},
                         {"TCOM", Q("D " + c.text)},
                         {"TENC", Q("E " + c.text)},
                         {"TCOP", Q("F " + c.text)},
                         {"TLAN", "eng"},
                         {"WXXX", QJsonArray{Q("home " + c.text), "http://example.org/a"}},
                         {c.version == 3 ? "TYER" : "TDRC", "2004"}};
        MutagenWrite(path, c.version, c.encoding, wanted);
        const TID3v2 t = Load(path);
        EXPECT_EQ(t.TagVersion(), c.version);
        EXPECT_EQ(t.Title(), c.text);
        EXPECT_EQ(t.Artist(), "A " + c.text);
        EXPECT_EQ(t.Album(), "B " + c.text);
        EXPECT_EQ(t.Track(), 7);
        EXPECT_EQ(t.Genre(), "Jazz");
        EXPECT_EQ(t.Comment(), "C " + c.text);
        EXPECT_EQ(t.Composer(), "D " + c.text);
        EXPECT_EQ(t.Encoder(), "E " + c.text);
        EXPECT_EQ(t.Copyright(), "F " + c.text);
        EXPECT_EQ(t.Language(), "eng");
        EXPECT_EQ(t.URL(), "http://example.org/a");
        EXPECT_EQ(t.Year(), "2004");
        ExpectAudioIntact(path, t);
    }
}

TEST_F(ID3v2Interop, OurTagReadByMutagenAndEyed3)
{
    // Every field, read from a mutagen tag, carried into a fresh MP3 by our writer.
    const std::string text = kCyrillic + " " + kCjk + " " + kEmoji;
    const std::string source = FreshMp3("source.mp3");
    MutagenWrite(source, 4, 3,
                 QJsonObject{{"TCOM", Q("Comp " + text)},
                             {"TENC", Q(kLatin1Text)},
                             {"TCOP", Q("2004 " + text)},
                             {"TLAN", "rus"},
                             {"WXXX", QJsonArray{"", Q("http://example.org/caf\xC3\xA9")}}});
    TID3v2 tag = Load(source);
    tag.SetTitle(text);
    tag.SetArtist(kLatin1Text);
    tag.SetAlbum(kCjk);
    tag.SetYear("1999");
    tag.SetGenre("Rock");
    tag.SetComment("Note " + kEmoji);
    tag.SetTrack(65535);

    const std::string path = FreshMp3();
    ASSERT_TRUE(tag.WriteToFile(path));
    const QJsonObject read = MutagenRead(path);
    EXPECT_EQ(read["version"].toArray(), (QJsonArray{2, 3, 0}));
    EXPECT_EQ(read["size"].toInt(), 4096);
    const QJsonObject frames = read["frames"].toObject();
    auto value = [&](const char *id) -> QJsonValue { return frames[id].toObject().value("value"); };
    auto encoding = [&](const char *id) { return frames[id].toObject()["encoding"].toInt(); };
    EXPECT_EQ(value("TIT2").toString(), Q(text));
    EXPECT_EQ(encoding("TIT2"), 1);
    EXPECT_EQ(value("TPE1").toString(), Q(kLatin1Text));
    EXPECT_EQ(encoding("TPE1"), 0);
    EXPECT_EQ(value("TALB").toString(), Q(kCjk));
    EXPECT_EQ(value("TYER").toString(), "1999");
    EXPECT_EQ(value("TCON").toString(), "Rock");
    EXPECT_EQ(value("TRCK").toString(), "65535");
    EXPECT_EQ(value("COMM").toArray(), (QJsonArray{"eng", "", Q("Note " + kEmoji)}));
    EXPECT_EQ(value("TCOM").toString(), Q("Comp " + text));
    EXPECT_EQ(value("TENC").toString(), Q(kLatin1Text));
    EXPECT_EQ(value("TCOP").toString(), Q("2004 " + text));
    EXPECT_EQ(value("TLAN").toString(), "rus");
    EXPECT_EQ(value("WXXX").toArray(), (QJsonArray{"", Q("http://example.org/caf\xC3\xA9")}));
    EXPECT_EQ(encoding("WXXX"), 0);
    EXPECT_EQ(frames.size(), 12);

    if (tmtest::HaveTool("eyeD3")) {
        const auto r = tmtest::Run({"eyeD3", "--no-color", path});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("ID3 v2.3"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("title: " + text), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("album: " + kCjk), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Note " + kEmoji), std::string::npos) << r.out;
    }
    ExpectAudioIntact(path, Load(path));
}

TEST_F(ID3v2Interop, RewritingAnEyed3TagKeepsTheMp3Playable)
{
    TM_REQUIRE_TOOL("eyeD3");
    const std::string path = FreshMp3();
    // eyeD3 leaves padding, so a short tag of ours fits in place.
    Check(tmtest::Run({"eyeD3", "--quiet", "--to-v2.4", "--encoding", "utf8", "-t", "Old " + kCjk, "-a",
                       std::string(300, 'a'), path}));
    const TID3v2 old = Load(path);
    const auto oldSize = fs::file_size(path);
    TID3v2 tag;
    tag.SetTitle("New " + kCyrillic);
    ASSERT_TRUE(tag.WriteToFile(path));
    EXPECT_EQ(fs::file_size(path), oldSize);
    const TID3v2 now = Load(path);
    EXPECT_EQ(now.TagSize(), old.TagSize());
    EXPECT_EQ(now.TagVersion(), 3);
    EXPECT_EQ(now.Title(), "New " + kCyrillic);
    EXPECT_EQ(now.Artist(), "");
    ExpectAudioIntact(path, now);
    const QJsonObject read = MutagenRead(path);
    EXPECT_EQ(read["frames"].toObject()["TIT2"].toObject()["value"].toString(), Q("New " + kCyrillic));
    EXPECT_EQ(read["frames"].toObject().size(), 1);

    if (tmtest::HaveTool("lame")) {
        const auto r = tmtest::Run({"lame", "--quiet", "--decode", path, tmtest::U8(dir_ / "out.wav")});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_GT(fs::file_size(dir_ / "out.wav"), 40000u);
    }
}

}  // namespace
