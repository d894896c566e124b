// Opus as the output format: what players and taggers read from the files, exact
// playing times, and the library's marks and options check as for MP3.
#include "e2e/ConvertSupport.h"
#include "e2e/PlayersSupport.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// A rich APE tag with two real pictures, in three scripts.
constexpr const char *kRichSource = R"PY(
import subprocess, sys
from mutagen.apev2 import APEv2, APEValue, BINARY
def image(ext):
    return subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "color=red:s=16x8", "-frames:v", "1",
                           "-f", "image2pipe", "-c:v", "mjpeg" if ext == "jpg" else "png", "-"],
                          capture_output=True, check=True).stdout
t = APEv2()
for k, v in {"Title": "Nocturne ночь 夜", "Artist": "Artist", "Album": "Album", "Album Artist": "Band",
             "Track": "3/12", "Disc": "1/2", "Year": "2004", "Genre": "Progressive Rock",
             "Composer": "Composer", "Comment": "A comment", "Lyrics": "Line one\nLine two",
             "ArtistSort": "Artist, The", "AlbumArtistSort": "Band, The",
             "MUSICBRAINZ_TRACKID": "8f3471b5-7e6a-48da-86a9-c1c07a0f47ae",
             "MUSICBRAINZ_ALBUMID": "9e873859-8aa4-4790-b985-5a953e8ef628",
             "MUSICBRAINZ_ARTISTID": "7e84f845-ac16-41fe-9ff8-df12eb32af55",
             "MUSICBRAINZ_ALBUMARTISTID": "b10bbbfc-cf9e-42e0-be17-e2c3e1d2600d", "Compilation": "1",
             "REPLAYGAIN_TRACK_GAIN": "-6.50 dB", "REPLAYGAIN_TRACK_PEAK": "0.912345",
             "REPLAYGAIN_ALBUM_GAIN": "+1.25 dB", "Mood": "Calm"}.items():
    t[k] = v
t["Cover Art (Front)"] = APEValue(b"front.jpg\0" + image("jpg"), BINARY)
t["Cover Art (Back)"] = APEValue(b"back.png\0" + image("png"), BINARY)
t.save(sys.argv[1])
)PY";

using tmtest::Said;

QJsonObject Readers(const fs::path &file) { return tmtest::PlayersRead(file); }

// The Opus facts trackmill-cli info gives.
QJsonObject OpusInfo(const tmtest::IsolatedCli &cli, const fs::path &file)
{
    const auto r = tmtest::Run({cli.Program().string(), "info", "--json", file.string()});
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object()["opus"].toObject();
}

class OpusOutput : public tmtest::ConvertFixture {
protected:
    void SetUp() override
    {
        TM_REQUIRE_TOOL("opusenc");
        TM_REQUIRE_TOOL("opusinfo");
        ConvertFixture::SetUp();
    }
};

TEST_F(OpusOutput, EveryFieldOfARichSourceAsPlayersAndTaggersReadIt)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "rich.mpc", 0.5));
    ASSERT_EQ(tmtest::Run({tmtest::SystemPython(), "-c", kRichSource, (src / "rich.mpc").string()}).exitCode, 0);

    auto r = cli.Run({"--format", "opus", (src / "rich.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const QJsonObject seen = Readers(src / "rich.opus");
    std::map<std::string, std::string> beets = tmtest::kRichFieldsForBeets;
    // ReplayGain less 5 dB, against -23 LUFS.
    beets.insert({{"r128_track_gain", "[-11.5]"}, {"r128_album_gain", "[-3.75]"}});
    for (const auto &[field, want] : beets) EXPECT_EQ(Said(seen, "mediafile", field.c_str()), want) << field;
    const std::string images = Said(seen, "mediafile", "images");
    EXPECT_NE(images.find("[3,\"front.jpg\",\"image/jpeg\","), std::string::npos) << images;
    EXPECT_NE(images.find("[4,\"back.png\",\"image/png\","), std::string::npos) << images;
    const std::map<std::string, std::string> ffprobe = {
        {"TITLE", "Nocturne ночь 夜"}, {"ARTIST", "Artist"}, {"album_artist", "Band"}, {"track", "3"},
        {"DATE", "2004"}, {"GENRE", "Progressive Rock"}, {"MOOD", "Calm"}, {"R128_TRACK_GAIN", "-2944"}};
    for (const auto &[field, want] : ffprobe) EXPECT_EQ(Said(seen, "ffprobe", field.c_str()), want) << field;
    EXPECT_FALSE(seen["ffprobe"].toObject().contains("REPLAYGAIN_TRACK_PEAK")) << "the peaks have no Opus field";
    EXPECT_EQ(seen["pictures"].toInt(), 2);
    EXPECT_EQ(Said(seen, "opusinfo", "status"), "[0]");
    EXPECT_EQ(Said(seen, "opusinfo", "complaints"), "[[]]");

    // Converted once: the mark finds it again wherever it is, under another name too.
    const fs::path out = dir / "out";
    r = cli.Run({"--format", "opus", "--output-dir", out.string(), (src / "rich.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    fs::rename(out / "rich.opus", out / "renamed.opus");
    r = cli.Run({"--format", "opus", "--output-dir", out.string(), (src / "rich.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Contains(r.out, "Converted 0 of 1 file, 1 skipped.")) << r.out;
    EXPECT_FALSE(fs::exists(out / "rich.opus"));
}

TEST_F(OpusOutput, EverySampleOfTheSourceAndNothingElse)
{
    // 1 s + 1 sample at 44.1 kHz makes ceil(44,101 x 48,000 / 44,100) samples at 48 kHz.
    ASSERT_TRUE(tmtest::MakeMpc(src / "odd.mpc", 44101 / 44100.0));
    // Cut off: the decoder stops early, and no Opus file is left.
    ASSERT_TRUE(tmtest::MakeMpc(src / "cut.mpc", 4.0));
    fs::resize_file(src / "cut.mpc", fs::file_size(src / "cut.mpc") / 2);
    auto r = cli.Run({"--format", "opus", "--output-dir", (dir / "out").string(), "--flat", (src / "odd.mpc").string(),
                      (src / "cut.mpc").string()},
                     work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(Contains(r.out, "Converted 1 of 2 files, 1 failed.")) << r.out;
    EXPECT_TRUE(Contains(r.out, "cut.mpc: the source is damaged")) << r.out;
    EXPECT_FALSE(fs::exists(dir / "out" / "cut.opus"));
    EXPECT_TRUE(tmtest::Leftovers(dir / "out").empty());
    EXPECT_EQ(OpusInfo(cli, dir / "out" / "odd.opus")["sampleCount"].toInt(), 48002);
    const auto decoded = tmtest::Run({"ffmpeg", "-v", "error", "-i", (dir / "out" / "odd.opus").string(), "-f", "s16le",
                                      "-ac", "1", "-"});
    EXPECT_EQ(decoded.out.size(), 48002u * 2);

    // An MP3 of the same source is another output: neither is taken for the other.
    r = cli.Run({"--output-dir", (dir / "out").string(), "--flat", (src / "odd.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(fs::exists(dir / "out" / "odd.mp3"));

    // What opusenc refuses ends the job before any file starts.
    r = cli.Run({"--format", "opus", "--encoder-options", "--bogus", "--existing", "overwrite", (src / "odd.mpc").string()},
                work);
    EXPECT_EQ(r.exitCode, 2) << r.out;
    EXPECT_TRUE(Contains(r.err, "opusenc did not accept the encoder options: unrecognized option '--bogus'"))
        << r.err;
}

TEST_F(OpusOutput, ARetaggedSourceGivesItsOpusFileItsNewTagsAudioUnchanged)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "song.mpc", 1.0));
    ASSERT_TRUE(tmtest::AddApeTitleAndCover(src / "song.mpc", "Old", 1000));
    const std::vector<std::string> args = {"--format", "opus", "--output-dir", (dir / "out").string(), "--flat",
                                           "--existing", "update-tags", src.string()};
    auto r = cli.Run(args, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const fs::path opus = dir / "out" / "song.opus";
    const auto audio = [&] { return tmtest::Run({"ffmpeg", "-v", "error", "-i", opus.string(), "-f", "md5", "-"}).out; };
    const std::string before = audio();
    ASSERT_EQ(tmtest::Run({tmtest::SystemPython(), "-c",
                           "import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2(sys.argv[1])\nt['Title'] = 'A newer title'\n"
                           "t.save()",
                           (src / "song.mpc").string()})
                  .exitCode,
              0);
    r = cli.Run(args, work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Contains(r.out, "Converted 0 of 1 file, 1 with tags updated.")) << r.out;
    const QJsonObject seen = Readers(opus);
    EXPECT_EQ(Said(seen, "mediafile", "title"), "A newer title");
    EXPECT_EQ(Said(seen, "mediafile", "images").substr(0, 6), "[[[3,\"");
    EXPECT_EQ(audio(), before);
    r = cli.Run(args, work);
    EXPECT_TRUE(Contains(r.out, "Converted 0 of 1 file, 1 skipped.")) << r.out;
}

// Tags no Opus file can take whole: a field without a name is left out and said, a copied
// mark is not carried beside ours, and more comments than a reader takes back fail the
// file rather than leave one whose mark cannot be found.
TEST_F(OpusOutput, OddAndCrowdedTagsNeitherSinkTheRestNorLeaveAnUnreadableFile)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "odd.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(src / "crowded.mpc", 0.5));
    ASSERT_EQ(tmtest::Run({tmtest::SystemPython(), "-c",
                           "import sys\nfrom mutagen.apev2 import APEv2\nfrom mutagen.id3 import ID3, TXXX, TIT2\n"
                           "t = APEv2()\nt['Artist'] = 'Kept'\nt['TRACKMILL_SOURCE'] = 'size=1; modified=1; path=x.mpc'\n"
                           "t.save(sys.argv[1])\n"
                           "i = ID3()\ni.add(TIT2(encoding=3, text=['Title']))\ni.add(TXXX(encoding=3, desc='', text=['x']))\n"
                           "i.save(sys.argv[1])\n"
                           "c = APEv2()\nfor k in range(3): c['Many%d' % k] = '\\0'.join(['v'] * 30000)\nc.save(sys.argv[2])",
                           (src / "odd.mpc").string(), (src / "crowded.mpc").string()})
                  .exitCode,
              0);
    const auto r = cli.Run({"--format", "opus", "--output-dir", (dir / "out").string(), "--flat", "--verbose",
                            src.string()},
                           work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(Contains(r.out, "an Opus file has no place for the ID3v2 frame TXXX: not carried")) << r.out;
    EXPECT_TRUE(Contains(r.out, "crowded.mpc: the tags could not be written: Opus comments: 90,00")) << r.out;
    EXPECT_TRUE(Contains(r.out, " comments are more than the 65,536 that are read")) << r.out;
    EXPECT_FALSE(fs::exists(dir / "out" / "crowded.opus"));
    const QJsonObject seen = Readers(dir / "out" / "odd.opus");
    EXPECT_EQ(Said(seen, "mediafile", "title"), "Title");
    EXPECT_EQ(Said(seen, "mediafile", "artist"), "Kept");
    const auto marks = tmtest::Run({tmtest::SystemPython(), "-c",
                                    "import sys, mutagen.oggopus\n"
                                    "print(mutagen.oggopus.OggOpus(sys.argv[1]).tags['TRACKMILL_SOURCE'])",
                                    (dir / "out" / "odd.opus").string()});
    EXPECT_TRUE(Contains(marks.out, "path=src/odd.mpc']")) << marks.out;
    EXPECT_FALSE(Contains(marks.out, "x.mpc")) << marks.out;
}

}  // namespace
