// Writing ID3v2.3 tags: the exact bytes of the tag, the sizing rules (in place, rebuild,
// oversized), and that the audio after the tag is never touched, also when writing fails.
#include "formats/ID3v2.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <random>

using namespace trackmill;
using tmtest::Bytes;
namespace fs = std::filesystem;

namespace {

using tmtest::B;
using tmtest::Cat;

const Bytes kAudio = [] {
    Bytes a{0xFF, 0xFB, 0x90, 0x44};
    std::mt19937 rng(11);
    while (a.size() < 5000) a.push_back(static_cast<std::uint8_t>(rng()));
    return a;
}();

// A version 3 tag of exactly `total` bytes holding one title frame, then padding.
Bytes OldTag(std::size_t total, std::string_view title = "Old")
{
    const std::size_t n = total - 10;
    Bytes t = B("ID3");
    t.insert(t.end(), {3, 0, 0, std::uint8_t((n >> 21) & 0x7F), std::uint8_t((n >> 14) & 0x7F),
                       std::uint8_t((n >> 7) & 0x7F), std::uint8_t(n & 0x7F)});
    t.insert(t.end(), {'T', 'I', 'T', '2', 0, 0, 0, std::uint8_t(title.size() + 1), 0, 0, 0});
    t.insert(t.end(), title.begin(), title.end());
    t.resize(total, 0);
    return t;
}

std::uint32_t SynchsafeAt(const Bytes &b, std::size_t at)
{
    return (std::uint32_t{b[at]} << 21) | (std::uint32_t{b[at + 1]} << 14) | (std::uint32_t{b[at + 2]} << 7) |
           b[at + 3];
}

Bytes Tail(const Bytes &b, std::size_t from) { return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.end()); }

class ID3v2Write : public ::testing::Test {
protected:
    std::string path() const { return tmtest::U8(dir_ / "song.mp3"); }
    TID3v2 Reload() const
    {
        TID3v2 t;
        EXPECT_TRUE(t.LoadFromFile(path()));
        return t;
    }
    tmtest::TempDir dir_;
};

TEST_F(ID3v2Write, TitleOnlyIntoUntaggedFileGives4096ByteTag)
{
    tmtest::WriteBytes(path(), kAudio);
    TID3v2 tag;
    tag.SetTitle("Song");
    ASSERT_TRUE(tag.WriteToFile(path()));
    const Bytes out = tmtest::ReadBytes(path());
    ASSERT_EQ(out.size(), kAudio.size() + 4096);
    const Bytes expectedStart{'I', 'D', '3', 3, 0, 0, 0x00, 0x00, 0x1F, 0x76,  // 4086
                              'T', 'I', 'T', '2', 0, 0, 0, 5, 0, 0, 0, 'S', 'o', 'n', 'g'};
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 25), expectedStart);
    EXPECT_EQ(Bytes(out.begin() + 25, out.begin() + 4096), Bytes(4096 - 25, 0));
    EXPECT_EQ(Tail(out, 4096), kAudio);
    const auto back = Reload();
    EXPECT_EQ(back.Title(), "Song");
    EXPECT_EQ(back.TagSize(), 4096);
    EXPECT_EQ(back.TagVersion(), 3);
}

TEST_F(ID3v2Write, FrameLayoutOfEveryField)
{
    tmtest::WriteBytes(path(), kAudio);
    TID3v2 tag;
    tag.SetTitle("T");
    tag.SetArtist("\xD0\x96");  // Cyrillic: UTF-16 with byte-order mark
    tag.SetTrack(7);
    tag.SetComment("Nice");
    tag.SetGenre("Rock");
    ASSERT_TRUE(tag.WriteToFile(path()));
    const Bytes out = tmtest::ReadBytes(path());
    const Bytes frames = Cat({
        {'T', 'I', 'T', '2', 0, 0, 0, 2, 0, 0, 0, 'T'},
        {'T', 'P', 'E', '1', 0, 0, 0, 5, 0, 0, 1, 0xFF, 0xFE, 0x16, 0x04},
        {'T', 'R', 'C', 'K', 0, 0, 0, 2, 0, 0, 0, '7'},
        {'T', 'C', 'O', 'N', 0, 0, 0, 5, 0, 0, 0, 'R', 'o', 'c', 'k'},
        {'C', 'O', 'M', 'M', 0, 0, 0, 9, 0, 0, 0, 'e', 'n', 'g', 0, 'N', 'i', 'c', 'e'}});
    EXPECT_EQ(Bytes(out.begin() + 10, out.begin() + 10 + static_cast<std::ptrdiff_t>(frames.size())), frames);
    EXPECT_EQ(out[10 + frames.size()], 0);

    // Track 0 and empty texts write no frame at all.
    tag.Clear();
    tag.SetTitle("x");
    ASSERT_TRUE(tag.WriteToFile(path()));
    const Bytes again = tmtest::ReadBytes(path());
    EXPECT_EQ(again.size(), out.size());
    EXPECT_EQ(again[21], 'x');
    EXPECT_EQ(again[22], 0);  // nothing after the one TIT2 frame
}

TEST_F(ID3v2Write, InPlaceKeepsLengthAndAudioAnd5000ByteTagShrinksTo4096)
{
    tmtest::WriteBytes(path(), Cat({OldTag(4096), kAudio}));
    TID3v2 tag;
    tag.SetTitle("New title");
    ASSERT_TRUE(tag.WriteToFile(path()));
    Bytes out = tmtest::ReadBytes(path());
    EXPECT_EQ(out.size(), 4096 + kAudio.size());
    EXPECT_EQ(Tail(out, 4096), kAudio);
    EXPECT_EQ(Reload().Title(), "New title");

    // A smaller existing tag that still fits is rewritten at its own size.
    tmtest::WriteBytes(path(), Cat({OldTag(300), kAudio}));
    ASSERT_TRUE(tag.WriteToFile(path()));
    out = tmtest::ReadBytes(path());
    EXPECT_EQ(out.size(), 300 + kAudio.size());
    EXPECT_EQ(SynchsafeAt(out, 6), 290u);
    EXPECT_EQ(Tail(out, 300), kAudio);

    // Too small: rebuilt with 4096 bytes.
    tmtest::WriteBytes(path(), Cat({OldTag(25), kAudio}));
    ASSERT_TRUE(tag.WriteToFile(path()));
    out = tmtest::ReadBytes(path());
    EXPECT_EQ(out.size(), 4096 + kAudio.size());
    EXPECT_EQ(Tail(out, 4096), kAudio);

    // Larger than 4096: rebuilt to 4096, 904 bytes shorter.
    tmtest::WriteBytes(path(), Cat({OldTag(5000), kAudio}));
    ASSERT_TRUE(tag.WriteToFile(path()));
    out = tmtest::ReadBytes(path());
    EXPECT_EQ(out.size(), 5000 + kAudio.size() - 904);
    EXPECT_EQ(SynchsafeAt(out, 6), 4086u);
    EXPECT_EQ(Tail(out, 4096), kAudio);
    EXPECT_EQ(Reload().Title(), "New title");
}

TEST_F(ID3v2Write, OversizedTagIsWrittenAtExactlyItsSize)
{
    tmtest::WriteBytes(path(), Cat({OldTag(4096), kAudio}));
    TID3v2 tag;
    const std::string longText(3000, 'x');
    tag.SetTitle(longText);
    tag.SetComment(longText);
    ASSERT_TRUE(tag.WriteToFile(path()));
    const std::size_t expected = 10 + (11 + 3000) + (11 + 4 + 3000);
    Bytes out = tmtest::ReadBytes(path());
    ASSERT_EQ(out.size(), expected + kAudio.size());
    EXPECT_EQ(SynchsafeAt(out, 6), expected - 10);
    EXPECT_EQ(Tail(out, expected), kAudio);
    auto back = Reload();
    EXPECT_EQ(back.TagSize(), static_cast<int>(expected));
    EXPECT_EQ(back.Title(), longText);

    // A small tag then goes back to 4096 bytes.
    tag.Clear();
    tag.SetTitle("short");
    ASSERT_TRUE(tag.WriteToFile(path()));
    out = tmtest::ReadBytes(path());
    EXPECT_EQ(out.size(), 4096 + kAudio.size());
    EXPECT_EQ(Tail(out, 4096), kAudio);
}

TEST_F(ID3v2Write, AudioSurvivesAnySequenceOfWrites)
{
    // Also a tag of another version with a footer, and a version 2.2 tag, are replaced cleanly.
    Bytes v24 = OldTag(600);
    v24[3] = 4;
    v24[5] = 0x10;  // footer: the tag is 610 bytes
    v24.resize(610, 0);
    tmtest::WriteBytes(path(), Cat({v24, kAudio}));
    TID3v2 tag;
    tag.SetArtist("A");
    ASSERT_TRUE(tag.WriteToFile(path()));
    Bytes out = tmtest::ReadBytes(path());
    EXPECT_EQ(out.size(), 610 + kAudio.size());
    EXPECT_EQ(Tail(out, 610), kAudio);

    std::mt19937 rng(5);
    std::int64_t tagSize = 610;
    for (int i = 0; i < 12; ++i) {
        TID3v2 t;
        t.SetTitle(std::string(rng() % 2500, 't'));
        t.SetAlbum(std::string(rng() % 2500, 'a'));
        t.SetComment(i % 3 ? "\xE2\x82\xAC" : "");
        ASSERT_TRUE(t.WriteToFile(path()));
        const auto back = Reload();
        ASSERT_TRUE(back.Present());
        out = tmtest::ReadBytes(path());
        ASSERT_EQ(out.size(), static_cast<std::size_t>(back.TagSize()) + kAudio.size()) << i;
        EXPECT_EQ(Tail(out, static_cast<std::size_t>(back.TagSize())), kAudio) << i;
        EXPECT_TRUE(back.TagSize() == tagSize || back.TagSize() >= 4096) << i;
        tagSize = back.TagSize();
    }
}

TEST_F(ID3v2Write, ReadOnlyFileIsRefusedAndLinksAreWrittenThrough)
{
    tmtest::ShareWithEveryone(dir_.path());
    const Bytes original = Cat({OldTag(30), kAudio});
    tmtest::WriteBytes(path(), original);
    const auto mode = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(path(), mode);
    // Both ways of writing (in place, and the rebuild through a temporary copy) refuse a
    // file the user may not write; its permissions are never changed.
    for (std::size_t length : {5u, 100u}) {
        const int result = tmtest::AsUnprivilegedUser([&] {
            TID3v2 tag;
            tag.SetTitle(std::string(length, 's'));
            std::string why;
            if (tag.WriteToFile(path(), &why)) return 1;
            return why == "Permission denied" ? 0 : 2;
        });
        EXPECT_EQ(result, 0) << length;
        EXPECT_EQ(tmtest::ReadBytes(path()), original);
        EXPECT_EQ(fs::status(path()).permissions(), mode);
    }
    fs::permissions(path(), fs::perms::owner_write, fs::perm_options::add);

    // A link is written through: the target gets the tag and the link stays a link.
    const std::string link = tmtest::U8(dir_ / "link.mp3");
    fs::create_symlink(path(), link);
    TID3v2 tag;
    tag.SetTitle("Via link");
    tmtest::WriteBytes(path(), kAudio);
    ASSERT_TRUE(tag.WriteToFile(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Reload().Title(), "Via link");
}

TEST_F(ID3v2Write, RebuildNeverTouchesTheUsersFilesBesideIt)
{
    const Bytes original = Cat({OldTag(30), kAudio});
    TID3v2 tag;
    tag.SetTitle("A title longer than the old tag");

    // A user's backup "name~", a folder and a link under that name all stay as they were.
    tmtest::WriteBytes(path(), original);
    tmtest::WriteBytes(path() + "~", Bytes{7, 7});
    ASSERT_TRUE(tag.WriteToFile(path()));
    EXPECT_EQ(Reload().Title(), "A title longer than the old tag");
    EXPECT_EQ(tmtest::ReadBytes(path() + "~"), (Bytes{7, 7}));
    fs::remove(path() + "~");
    const fs::path victim = dir_ / "victim";
    tmtest::WriteBytes(victim, Bytes{9});
    fs::create_symlink(victim, path() + "~");
    tmtest::WriteBytes(path(), original);
    ASSERT_TRUE(tag.WriteToFile(path()));
    EXPECT_EQ(tmtest::ReadBytes(victim), Bytes{9});
    EXPECT_TRUE(fs::is_symlink(path() + "~"));

    // A name of 255 bytes, the longest a folder entry may have, is rebuilt too.
    const fs::path longName = dir_ / (std::string(251, 'n') + ".mp3");
    tmtest::WriteBytes(longName, original);
    ASSERT_TRUE(tag.WriteToFile(tmtest::U8(longName)));
    EXPECT_EQ(tmtest::ReadBytes(longName).size(), 4096 + kAudio.size());

    // Nothing of ours is left behind.
    for (const auto &entry : fs::directory_iterator(dir_.path()))
        EXPECT_NE(tmtest::U8(entry.path().filename()).rfind(".tm-", 0), 0u) << entry.path();
}

TEST_F(ID3v2Write, FailedRebuildLeavesTheFileUntouched)
{
    const Bytes original = Cat({OldTag(30), kAudio});
    tmtest::WriteBytes(path(), original);
    TID3v2 tag;
    tag.SetTitle("A title longer than the old tag");

    // A folder where no file can be made, for an ordinary user.
    tmtest::ShareWithEveryone(dir_.path());
    fs::permissions(path(), fs::perms::all);
    fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    const int result = tmtest::AsUnprivilegedUser([&] {
        std::string why;
        if (tag.WriteToFile(path(), &why)) return 1;
        return why.find("Permission denied") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(tmtest::ReadBytes(path()), original);

    // Missing files, folders and files shorter than a header take no tag.
    EXPECT_FALSE(tag.WriteToFile(tmtest::U8(dir_ / "missing.mp3")));
    EXPECT_FALSE(fs::exists(dir_ / "missing.mp3"));
    EXPECT_FALSE(tag.WriteToFile(tmtest::U8(dir_.path())));
    tmtest::WriteBytes(dir_ / "tiny.mp3", Bytes{1, 2, 3});
    EXPECT_FALSE(tag.WriteToFile(tmtest::U8(dir_ / "tiny.mp3")));
    EXPECT_EQ(tmtest::ReadBytes(dir_ / "tiny.mp3"), (Bytes{1, 2, 3}));
    for (const auto &entry : fs::directory_iterator(dir_.path()))
        EXPECT_NE(tmtest::U8(entry.path().filename()).rfind(".tm-", 0), 0u) << entry.path();
}

TEST_F(ID3v2Write, WritingChangesNoPropertyAndRoundTripsEveryField)
{
    tmtest::WriteBytes(path(), kAudio);
    TID3v2 tag;
    tag.SetTitle("Ti\xC3\xA9");
    tag.SetArtist("\xD0\x90\xD1\x80\xD1\x82");
    tag.SetAlbum("\xE5\x90\x8D\xE4\xBB\xBF");
    tag.SetYear("2001");
    tag.SetGenre("Jazz");
    tag.SetComment("\xF0\x9F\x8E\xB5 note");
    tag.SetTrack(12);
    ASSERT_TRUE(tag.WriteToFile(path()));
    EXPECT_FALSE(tag.Present());
    EXPECT_EQ(tag.TagSize(), 0);
    const auto back = Reload();
    EXPECT_EQ(back.Title(), tag.Title());
    EXPECT_EQ(back.Artist(), tag.Artist());
    EXPECT_EQ(back.Album(), tag.Album());
    EXPECT_EQ(back.Year(), "2001");
    EXPECT_EQ(back.Genre(), "Jazz");
    EXPECT_EQ(back.Comment(), tag.Comment());
    EXPECT_EQ(back.Track(), 12);

    // Fields set only by reading are carried over when the same object writes another file.
    Bytes withExtras = B("ID3");
    const Bytes frames = Cat({
        {'T', 'C', 'O', 'M', 0, 0, 0, 2, 0, 0, 0, 'C'}, {'T', 'E', 'N', 'C', 0, 0, 0, 2, 0, 0, 0, 'E'},
        {'T', 'C', 'O', 'P', 0, 0, 0, 2, 0, 0, 0, 'P'}, {'T', 'L', 'A', 'N', 0, 0, 0, 4, 0, 0, 0, 'e', 'n', 'g'},
        {'W', 'X', 'X', 'X', 0, 0, 0, 6, 0, 0, 0, 0, 'h', 't', 't', 'p'}});
    withExtras.insert(withExtras.end(), {3, 0, 0, 0, 0, 0, std::uint8_t(frames.size())});
    withExtras = Cat({withExtras, frames, kAudio});
    tmtest::WriteBytes(path(), withExtras);
    TID3v2 src;
    ASSERT_TRUE(src.LoadFromFile(path()));
    const std::string other = tmtest::U8(dir_ / "other.mp3");
    tmtest::WriteBytes(other, kAudio);
    ASSERT_TRUE(src.WriteToFile(other));
    TID3v2 copy;
    ASSERT_TRUE(copy.LoadFromFile(other));
    EXPECT_EQ(copy.Composer(), "C");
    EXPECT_EQ(copy.Encoder(), "E");
    EXPECT_EQ(copy.Copyright(), "P");
    EXPECT_EQ(copy.Language(), "eng");
    EXPECT_EQ(copy.URL(), "http");
}

}  // namespace
