// Reading only the texts of a tag, as naming a file from its tags does: a cover of
// megabytes between the text items is passed over by its size, and the texts after it
// are still read.
#include "formats/APEtag.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace trackmill;

namespace {

// A file in memory that counts what is read of it.
class CountingStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n) override
    {
        const std::size_t got = TMemoryStream::ReadSomeAt(offset, buf, n);
        bytesRead += got;
        return got;
    }
    std::size_t bytesRead = 0;
};

void Put32(std::vector<std::uint8_t> &b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

constexpr std::size_t kCover = 2 * 1024 * 1024;
constexpr std::size_t kReadAtMost = 64 * 1024;

}  // namespace

TEST(TagTexts, APictureIsPassedOverAndTheTextsAfterItAreRead)
{
    // An APE tag whose cover stands between its texts, as a tagger that sorts keys puts it.
    std::vector<std::uint8_t> file(4000, 0x55);
    std::vector<std::uint8_t> items;
    const std::vector<std::uint8_t> cover(kCover, 0xAB);
    auto item = [&](const std::string &key, const std::vector<std::uint8_t> &value, std::uint32_t flags) {
        Put32(items, static_cast<std::uint32_t>(value.size()));
        Put32(items, flags);
        items.insert(items.end(), key.begin(), key.end());
        items.push_back(0);
        items.insert(items.end(), value.begin(), value.end());
    };
    auto text = [](const std::string &s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };
    item("Album", text("Before"), 0);
    item("Cover Art (Front)", cover, 2);  // binary
    item("Title", text("After the cover"), 0);
    item("Track", text("7/12"), 0);
    file.insert(file.end(), items.begin(), items.end());
    const std::string footer = "APETAGEX";
    file.insert(file.end(), footer.begin(), footer.end());
    Put32(file, 2000);
    Put32(file, static_cast<std::uint32_t>(items.size() + 32));
    Put32(file, 4);
    Put32(file, 0x80000000);
    file.resize(file.size() + 8, 0);

    CountingStream ape(file);
    TAPEtag tag;
    ASSERT_TRUE(tag.LoadFromStream(ape, TTagRead::Texts));
    EXPECT_EQ(tag.Album(), "Before");
    EXPECT_EQ(tag.Title(), "After the cover");
    EXPECT_EQ(tag.Track(), 7);
    ASSERT_NE(tag.Find("Cover Art (Front)"), nullptr);
    EXPECT_TRUE(tag.Find("Cover Art (Front)")->IsBinary());
    EXPECT_TRUE(tag.Find("Cover Art (Front)")->value.empty());
    EXPECT_LT(ape.bytesRead, kReadAtMost);
    // Read whole, the same tag gives the picture too.
    TAPEtag whole;
    ASSERT_TRUE(whole.LoadFromStream(ape));
    EXPECT_EQ(whole.Find("Cover Art (Front)")->value.size(), kCover);
    EXPECT_EQ(whole.Title(), "After the cover");

    // An ID3v2.3 tag with an APIC frame between its text frames, before the audio.
    TID3v2 written;
    written.SetFrames({id3v2::MakeText("TIT2", "Before the picture"),
                       id3v2::MakePicture({"image/jpeg", 3, "front", ByteVector(kCover, 0xCD)}),
                       id3v2::MakeText("TALB", "After the picture"), id3v2::MakeText("TRCK", "3"),
                       id3v2::MakeUserText("MusicBrainz Album Id", "b1a9c0e9")});
    CountingStream v2(std::vector<std::uint8_t>(6000, 0x11));
    ASSERT_TRUE(written.WriteToStream(v2));
    v2.bytesRead = 0;
    TID3v2 texts;
    ASSERT_TRUE(texts.LoadFromStream(v2, TTagRead::Texts));
    EXPECT_EQ(texts.Title(), "Before the picture");
    EXPECT_EQ(texts.Album(), "After the picture");
    EXPECT_EQ(texts.Track(), 3);
    ASSERT_EQ(texts.Frames().size(), 4u);
    EXPECT_EQ(texts.Frames().back().id, "TXXX");
    EXPECT_LT(v2.bytesRead, kReadAtMost);
}
