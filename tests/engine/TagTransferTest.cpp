#include "engine/Acceptance.h"
#include "engine/TagTransfer.h"

#include "engine/TagReadback.h"
#include "formats/ID3v1.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

namespace fs = std::filesystem;
using tmtest::ReadTags;

TEST(GenreIndexOf, ComparesWithAsciiUpperCaseOnly)
{
    EXPECT_EQ(GenreIndexOf("rock"), 17);
    EXPECT_EQ(GenreIndexOf("ROCK"), 17);
    EXPECT_EQ(GenreIndexOf("Rock"), 17);
    EXPECT_EQ(GenreIndexOf("hIP-hOp"), 7);
    EXPECT_EQ(GenreIndexOf("Other"), 12);
    EXPECT_EQ(GenreIndexOf(std::string(GenreName(kGenreCount - 1))), kGenreCount - 1);
}

TEST(GenreIndexOf, EmptyIsNoGenreUnknownIsOther)
{
    EXPECT_EQ(GenreIndexOf(""), 255);
    // A number is that number, as taggers write it: bare, in brackets, in front of the name.
    EXPECT_EQ(GenreIndexOf("17"), 17);
    EXPECT_EQ(GenreIndexOf("(17)"), 17);
    EXPECT_EQ(GenreIndexOf("(17)Rock"), 17);
    EXPECT_EQ(GenreIndexOf("148"), 12);
    EXPECT_EQ(GenreIndexOf("17a"), 12);
    EXPECT_EQ(GenreIndexOf("(17"), 12);
    // The usual spellings of entries the list spells otherwise.
    EXPECT_EQ(GenreIndexOf("Progressive Rock"), 92);
    EXPECT_EQ(GenreIndexOf("progessive rock"), 92);
    EXPECT_EQ(GenreIndexOf("Psychedelic"), 67);
    EXPECT_EQ(GenreIndexOf("Alternative Rock"), 40);
    EXPECT_EQ(GenreIndexOf(" Rock"), 12);  // no trimming
    EXPECT_EQ(GenreIndexOf("Roc"), 12);    // no partial match
    EXPECT_EQ(GenreIndexOf("Nonexistent Genre"), 12);
}

TEST(Acceptance, ExtensionAndHeader)
{
    EXPECT_TRUE(HasMusepackFileExtension("/a/b.mpc"));
    EXPECT_TRUE(HasMusepackFileExtension("/a/B.MPP"));
    EXPECT_TRUE(HasMusepackFileExtension("c.Mp+"));
    EXPECT_FALSE(HasMusepackFileExtension("/a/d.mp3"));
    EXPECT_FALSE(HasMusepackFileExtension("/a.mpc/file"));
    EXPECT_FALSE(HasMusepackFileExtension("/a/mpc"));

    TM_REQUIRE_TOOL("mpcenc");
    tmtest::TempDir dir;
    ASSERT_TRUE(tmtest::MakeMpc(dir / "real.mpc", 0.3));
    EXPECT_TRUE(IsAcceptableMusepackFile(tmtest::U8(dir / "real.mpc")));
    tmtest::WriteText(dir / "fake.mpc", std::string(4096, 'x'));
    EXPECT_FALSE(IsAcceptableMusepackFile(tmtest::U8(dir / "fake.mpc")));
    fs::create_directory(dir / "folder.mpc");
    EXPECT_FALSE(IsAcceptableMusepackFile(tmtest::U8(dir / "folder.mpc")));
    EXPECT_FALSE(IsAcceptableMusepackFile(tmtest::U8(dir / "gone.mpc")));
    fs::copy_file(dir / "real.mpc", dir / "real.mp3");
    EXPECT_FALSE(IsAcceptableMusepackFile(tmtest::U8(dir / "real.mp3")));
}

// One Musepack source with all three tag kinds and one plain MP3 from lame; every
// switch combination that changes the result is applied to a fresh copy of the MP3
// and read back by independent readers.
class TransferTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!tmtest::HaveTool("mpcenc") || !tmtest::HaveTool("lame") || !tmtest::HaveMutagen()) return;
        dir_ = new tmtest::TempDir;
        const fs::path d = dir_->path();
        ok_ = tmtest::MakeMpc(d / "all.mpc", 0.5,
                              {"--tag", "Title=" + std::string(kLongTitle), "--tag", "Artist=Ärtist Ünïcode",
                               "--tag", "Album=APE album", "--tag", "Year=2001", "--tag", "Track=7/12",
                               "--tag", "Genre=hip-hop", "--tag", "Comment=APE comment"}) &&
              tmtest::AddId3v2(d / "all.mpc", "v2 title", "v2 artist", "v2 album", "Jazz", "3") &&
              tmtest::MakeMpc(d / "apeonly.mpc", 0.5,
                              {"--tag", "Title=Plain", "--tag", "Genre=Nonexistent Genre"}) &&
              tmtest::MakeMpc(d / "nogenre.mpc", 0.5, {"--tag", "Title=No genre"}) &&
              tmtest::MakeMpc(d / "numbered.mpc", 0.5, {"--tag", "Title=Numbered", "--tag", "Genre=92"}) &&
              tmtest::MakeMpc(d / "edges.mpc", 0.5,
                              {"--tag", "Title=Edges", "--tag", "Genre=  rock ", "--tag",
                               "Year=2001-05-03", "--tag", "Comment=" + std::string(kLongComment),
                               "--tag", "Track=3"});
        if (ok_) tmtest::AppendId3v1(d / "all.mpc", "v1 title", "v1 artist", 5, 17);
        tmtest::MakeSineWav(d / "tone.wav", 0.5);
        ok_ = ok_ && tmtest::Run({"lame", "--quiet", tmtest::U8(d / "tone.wav"), tmtest::U8(d / "plain.mp3")})
                             .exitCode == 0;
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override
    {
        if (!dir_) GTEST_SKIP() << "mpcenc, lame or mutagen missing";
        ASSERT_TRUE(ok_);
    }

    // Transfers into a fresh copy of the plain MP3 and reads it back.
    QJsonObject Transfer(const std::string &source, TTagSwitches switches, TTransferResult *result = nullptr)
    {
        const fs::path mp3 = dir_->path() / ("out" + std::to_string(++counter_) + ".mp3");
        fs::copy_file(dir_->path() / "plain.mp3", mp3);
        const TTransferResult r = TransferTags(tmtest::U8(dir_->path() / source), tmtest::U8(mp3), switches);
        if (result) *result = r;
        return ReadTags(mp3);
    }

    static constexpr const char *kLongTitle = "A title of exactly forty characters long";
    static constexpr const char *kLongComment = "A comment that runs past twenty-eight chars";
    static tmtest::TempDir *dir_;
    static bool ok_;
    static inline int counter_ = 0;
};
tmtest::TempDir *TransferTest::dir_ = nullptr;
bool TransferTest::ok_ = false;

TEST_F(TransferTest, AllSwitchesApeToId3v1)
{
    TTransferResult r;
    const QJsonObject t = Transfer("all.mpc", {true, true, true, 0}, &r);
    EXPECT_TRUE(r.id3v1Copied && r.id3v2Copied && r.apeConverted);
    EXPECT_EQ(r.writesFailed, 0);
    // The ID3v1 tag is the one built from APE; it replaced the copied one.
    const QJsonObject v1 = t["v1"].toObject();
    EXPECT_EQ(v1["title"].toString(), QString(kLongTitle).left(30));
    EXPECT_EQ(v1["artist"].toString(), "Ärtist Ünïcode");
    EXPECT_EQ(v1["album"].toString(), "APE album");
    EXPECT_EQ(v1["year"].toString(), "2001");
    EXPECT_EQ(v1["comment"].toString(), "APE comment");
    EXPECT_EQ(v1["track"].toInt(), 7);
    EXPECT_TRUE(v1["v11"].toBool());
    EXPECT_EQ(v1["genre"].toInt(), 7);  // hip-hop -> "Hip-Hop"
    // The ID3v2 tag is the source's, written as 2.3.
    const QJsonObject v2 = t["v2"].toObject();
    EXPECT_EQ(v2["version"].toInt(), 3);
    EXPECT_EQ(v2["title"].toString(), "v2 title");
    EXPECT_EQ(v2["artist"].toString(), "v2 artist");
    EXPECT_EQ(v2["genre"].toString(), "Jazz");
}

TEST_F(TransferTest, AllSwitchesApeToId3v2)
{
    for (int target : {1, -1}) {  // "ID3V2.3", or no entry selected
        const QJsonObject t = Transfer("all.mpc", {true, true, true, target});
        const QJsonObject v1 = t["v1"].toObject();
        EXPECT_EQ(v1["title"].toString(), "v1 title") << target;
        EXPECT_EQ(v1["track"].toInt(), 5);
        EXPECT_EQ(v1["genre"].toInt(), 17);
        const QJsonObject v2 = t["v2"].toObject();
        EXPECT_EQ(v2["version"].toInt(), 3);
        EXPECT_EQ(v2["title"].toString(), kLongTitle);
        EXPECT_EQ(v2["artist"].toString(), "Ärtist Ünïcode");
        EXPECT_EQ(v2["album"].toString(), "APE album");
        EXPECT_EQ(v2["year"].toString(), "2001");
        EXPECT_EQ(v2["track"].toString(), "7/12");  // the total is kept
        EXPECT_EQ(v2["genre"].toString(), "hip-hop");  // carried as text, no lookup
        EXPECT_EQ(v2["comment"].toString(), "APE comment");
    }
}

TEST_F(TransferTest, SwitchesOffLeaveTheirKindOut)
{
    // No APE conversion: both copies.
    QJsonObject t = Transfer("all.mpc", {true, true, false, 0});
    EXPECT_EQ(t["v1"].toObject()["title"].toString(), "v1 title");
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), "v2 title");
    // No ID3v1 copy, APE to ID3v2: no ID3v1 tag at all.
    t = Transfer("all.mpc", {false, true, true, 1});
    EXPECT_TRUE(t["v1"].isNull());
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), kLongTitle);
    // No ID3v2 copy, APE to ID3v1: no ID3v2 tag at all.
    t = Transfer("all.mpc", {true, false, true, 0});
    EXPECT_TRUE(t["v2"].isNull());
    EXPECT_EQ(t["v1"].toObject()["track"].toInt(), 7);
    // Only the ID3v2 copy.
    t = Transfer("all.mpc", {false, true, false, 0});
    EXPECT_TRUE(t["v1"].isNull());
    EXPECT_EQ(t["v2"].toObject()["artist"].toString(), "v2 artist");
    // Nothing: the MP3 keeps only what the encoder wrote.
    const auto before = tmtest::ReadBytes(dir_->path() / "plain.mp3");
    t = Transfer("all.mpc", {false, false, false, 0});
    EXPECT_TRUE(t["v1"].isNull());
    EXPECT_TRUE(t["v2"].isNull());
    EXPECT_EQ(t["size"].toInt(), int(before.size()));
}

TEST_F(TransferTest, ApeGenreAndTrackEdgeCases)
{
    // Unknown genre -> "Other"; no track -> a v1.0 layout although ID3v1.1 was chosen.
    QJsonObject v1 = Transfer("apeonly.mpc", {true, true, true, 0})["v1"].toObject();
    EXPECT_EQ(v1["genre"].toInt(), 12);
    EXPECT_FALSE(v1["v11"].toBool());
    EXPECT_EQ(v1["title"].toString(), "Plain");
    // No genre at all -> 255.
    v1 = Transfer("nogenre.mpc", {true, true, true, 0})["v1"].toObject();
    EXPECT_EQ(v1["genre"].toInt(), 255);
    // APE present, switch on, but the source has no ID3 tags: only the conversion.
    const QJsonObject t = Transfer("nogenre.mpc", {true, true, true, 1});
    EXPECT_TRUE(t["v1"].isNull());
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), "No genre");
    // A genre number is that genre in ID3v1, and its name as players spell it in ID3v2.3.
    EXPECT_EQ(Transfer("numbered.mpc", {true, true, true, 0})["v1"].toObject()["genre"].toInt(), 92);
    EXPECT_EQ(Transfer("numbered.mpc", {true, true, true, 1})["v2"].toObject()["genre"].toString(), "Progressive Rock");
}

TEST_F(TransferTest, ApeFieldsCutPerTarget)
{
    // ID3v1.1: year cut to 4, comment to 28 because a track is stored.
    const QJsonObject v1 = Transfer("edges.mpc", {true, true, true, 0})["v1"].toObject();
    EXPECT_EQ(v1["title"].toString(), "Edges");
    EXPECT_EQ(v1["year"].toString(), "2001");
    EXPECT_EQ(v1["comment"].toString(), QString(kLongComment).left(28));
    EXPECT_EQ(v1["track"].toInt(), 3);
    EXPECT_TRUE(v1["v11"].toBool());
    EXPECT_EQ(v1["genre"].toInt(), 17);  // the APE value arrives without its blanks

    // ID3v2.3: nothing cut, the genre text carried as it is.
    const QJsonObject v2 = Transfer("edges.mpc", {true, true, true, 1})["v2"].toObject();
    EXPECT_EQ(v2["comment"].toString(), kLongComment);
    EXPECT_EQ(v2["track"].toString(), "3");
    EXPECT_EQ(v2["genre"].toString(), "rock");
}

TEST_F(TransferTest, MissingOutputStaysMissing)
{
    const fs::path missing = dir_->path() / "never-written.mp3";
    const TTransferResult r = TransferTags(tmtest::U8(dir_->path() / "all.mpc"), tmtest::U8(missing),
                                           {true, true, true, 0});
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(r.writesFailed, 3);
}

TEST_F(TransferTest, NonMusepackSourceOnlyCopiesId3v2)
{
    // An MP3 posing as the source: no valid stream header, so only the ID3v2 copy runs.
    const fs::path fake = dir_->path() / "fake.mpc";
    fs::copy_file(dir_->path() / "plain.mp3", fake, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(tmtest::AddId3v2(fake, "fake title", "a", "b", "Rock", "1"));
    tmtest::AppendId3v1(fake, "fake v1", "x", 1, 1);
    const QJsonObject t = Transfer("fake.mpc", {true, true, true, 0});
    EXPECT_TRUE(t["v1"].isNull());
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), "fake title");
}

}  // namespace
}  // namespace trackmill
