// The MP3s as the players and taggers people use read them: beets' reader (mediafile),
// eyeD3 and ffprobe (ffmpeg, and with it MPD's view), on sources tagged by mutagen.
#include "e2e/ConvertSupport.h"
#include "e2e/PlayersSupport.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// A rich APE tag: every kind of field a library carries, text in three scripts, two covers.
constexpr const char *kRichSource = R"PY(
import sys
from mutagen.apev2 import APEv2, APEValue, BINARY
t = APEv2()
for k, v in {"Title": "Nocturne ночь 夜", "Artist": "Artist", "Album": "Album", "Album Artist": "Band",
             "Track": "3/12", "Disc": "1/2", "Year": "2004", "Genre": "Progressive Rock",
             "Composer": "Composer", "Comment": "A comment", "Lyrics": "Line one\nLine two",
             "ArtistSort": "Artist, The", "AlbumSort": "Album, The", "AlbumArtistSort": "Band, The",
             "MUSICBRAINZ_TRACKID": "8f3471b5-7e6a-48da-86a9-c1c07a0f47ae",
             "MUSICBRAINZ_ALBUMID": "9e873859-8aa4-4790-b985-5a953e8ef628",
             "MUSICBRAINZ_ARTISTID": "7e84f845-ac16-41fe-9ff8-df12eb32af55",
             "MUSICBRAINZ_ALBUMARTISTID": "b10bbbfc-cf9e-42e0-be17-e2c3e1d2600d", "Compilation": "1",
             "REPLAYGAIN_TRACK_GAIN": "-6.50 dB", "REPLAYGAIN_TRACK_PEAK": "0.912345"}.items():
    t[k] = v
t["Cover Art (Front)"] = APEValue(b"front.jpg\0\xff\xd8\xff\xe0" + bytes(300), BINARY)
t["Cover Art (Back)"] = APEValue(b"back.png\0\x89PNG\r\n\x1a\n" + bytes(300), BINARY)
t.save(sys.argv[1])
)PY";

using tmtest::Said;

QJsonObject Readers(const fs::path &file) { return tmtest::PlayersRead(file); }

class PlayersRead : public tmtest::ConvertFixture {};

TEST_F(PlayersRead, EveryFieldOfARichSourceWithEachApeTarget)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "rich.mpc", 0.5));
    ASSERT_EQ(tmtest::Run({tmtest::SystemPython(), "-c", kRichSource, (src / "rich.mpc").string()}).exitCode, 0);

    auto r = cli.Run({"--encoder-options", "--quiet", "--ape-to", "id3v2", (src / "rich.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    QJsonObject seen = Readers(src / "rich.mp3");
    std::map<std::string, std::string> beets = tmtest::kRichFieldsForBeets;
    beets.insert({{"rg_track_gain", "[-6.5]"},
                  {"rg_track_peak", "[0.912345]"},
                  {"images", "[[[3,\"front.jpg\"],[4,\"back.png\"]]]"}});
    for (const auto &[field, want] : beets) EXPECT_EQ(Said(seen, "mediafile", field.c_str()), want) << field;
    const std::map<std::string, std::string> ffprobe = {
        {"title", "Nocturne ночь 夜"}, {"artist", "Artist"}, {"album", "Album"}, {"album_artist", "Band"},
        {"track", "3/12"}, {"disc", "1/2"}, {"date", "2004"}, {"genre", "Progressive Rock"},
        {"composer", "Composer"}, {"comment", "A comment"}, {"artist-sort", "Artist, The"},
        {"album-sort", "Album, The"}};
    for (const auto &[field, want] : ffprobe) EXPECT_EQ(Said(seen, "ffprobe", field.c_str()), want) << field;
    const std::map<std::string, std::string> eyed3 = {
        {"title", "Nocturne ночь 夜"}, {"artist", "Artist"}, {"album", "Album"}, {"album_artist", "Band"},
        {"track", "[[3,12]]"}, {"disc", "[[1,2]]"}, {"date", "2004"}, {"genre", "Progressive Rock"},
        {"images", "[[[3,\"front.jpg\"],[4,\"back.png\"]]]"}};
    for (const auto &[field, want] : eyed3) EXPECT_EQ(Said(seen, "eyed3", field.c_str()), want) << field;

    // To ID3v1.1: what it holds reaches every reader through the ID3v2 tag beside it (it
    // carries the mark), and what it cannot hold is named.
    fs::remove(src / "rich.mp3");
    r = cli.Run({"--encoder-options", "--quiet", "--ape-to", "id3v1", (src / "rich.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const std::size_t note = r.out.find("(the ID3v1.1 tag has no field for the APE items ");
    ASSERT_NE(note, std::string::npos) << r.out;
    for (const char *item : {"\"Disc\"", "\"Composer\"", "\"Lyrics\"", " more: not carried)"})
        EXPECT_NE(r.out.find(item, note), std::string::npos) << item << r.out;
    seen = Readers(src / "rich.mp3");
    for (const char *reader : {"ffprobe", "eyed3", "mediafile"}) {
        EXPECT_EQ(Said(seen, reader, "title"), "Nocturne ночь 夜") << reader;
        EXPECT_EQ(Said(seen, reader, "artist"), "Artist") << reader;
        EXPECT_EQ(Said(seen, reader, "album"), "Album") << reader;
    }
    EXPECT_EQ(Said(seen, "ffprobe", "genre"), "Progressive Rock");
}

TEST_F(PlayersRead, AnId3v1OnlySourceIsSeenByEveryReader)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "old.mpc", 0.5));
    tmtest::AppendId3v1(src / "old.mpc", "Old title", "Old artist", 5, 17);
    const auto r = cli.Run({"--encoder-options", "--quiet", (src / "old.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const QJsonObject seen = Readers(src / "old.mp3");
    for (const char *reader : {"ffprobe", "eyed3", "mediafile"}) {
        EXPECT_EQ(Said(seen, reader, "title"), "Old title") << reader;
        EXPECT_EQ(Said(seen, reader, "artist"), "Old artist") << reader;
        EXPECT_EQ(Said(seen, reader, "genre"), "Rock") << reader;
    }
    EXPECT_EQ(Said(seen, "ffprobe", "track"), "5");
}

}  // namespace
