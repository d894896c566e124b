// Which file of a folder is its cover image and what of it may be embedded: the order of
// names, letter case, and names held by a folder, a pipe, a link or a file that is no image.
#include "engine/FolderArt.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

namespace fs = std::filesystem;

TEST(FolderArt, OnlyARegularImageFileOfTheFirstNameIsTaken)
{
    tmtest::TempDir dir;
    const fs::path a = dir / "a";
    fs::create_directories(a / "FOLDER.jpg");                         // a folder
    ASSERT_TRUE(tmtest::MakeFifo(a / "folder.jpeg"));                 // a pipe: never opened
    fs::create_symlink(a / "folder.jpeg", a / "Folder.png");          // a link to it
    tmtest::WriteBytes(dir / "key", tmtest::B("\x89PNG\r\n\x1A\n-private-"));
    fs::permissions(dir / "key", fs::perms{0600});
    fs::create_symlink(dir / "key", a / "Cover.png");                  // a link to a private file
    tmtest::WriteText(a / "front.jpg", "not a picture");
    tmtest::WriteText(a / "album.jpg", "\xFF\xD8\xFF later");
    EXPECT_EQ(FindFolderImage(tmtest::U8(a)), "album.jpg");
    TFolderArt art;
    TTagAdditions additions;
    art.AddTo(tmtest::U8(a), additions);
    EXPECT_EQ(additions.folderArt, "\xFF\xD8\xFF later");
    EXPECT_EQ(additions.folderArtMime, "image/jpeg");
    const fs::path out = dir / "out";
    fs::create_directories(out);
    EXPECT_EQ(art.CopyOnce(tmtest::U8(a), tmtest::U8(out), TExistingPolicy::Overwrite), "");
    EXPECT_EQ(tmtest::ReadText(out / "album.jpg"), "\xFF\xD8\xFF later");
    EXPECT_FALSE(fs::exists(out / "Cover.png"));

    // Nothing of ours that is an image: none.
    const fs::path b = dir / "b";
    fs::create_directories(b);
    tmtest::WriteText(b / "front.JPEG", "not a picture");
    EXPECT_EQ(FindFolderImage(tmtest::U8(b)), "");
    EXPECT_EQ(FindFolderImage(tmtest::U8(dir / "missing")), "");
}

// An image at the copy's place is never replaced, whatever the policy: a source folder's
// own (an output folder inside the library), the user's, or one this job copied.
TEST(FolderArt, AnImageThereIsNeverReplacedAndAPrivateOneStaysPrivate)
{
    tmtest::TempDir dir;
    const fs::path a = dir / "a", b = dir / "b", out = dir / "out";
    fs::create_directories(a), fs::create_directories(b), fs::create_directories(out);
    tmtest::WriteText(a / "cover.jpg", "\xFF\xD8\xFF first");
    tmtest::WriteText(b / "cover.jpg", "\xFF\xD8\xFF second");
    fs::permissions(a / "cover.jpg", fs::perms{0600});
    TFolderArt art;
    EXPECT_EQ(art.CopyOnce(tmtest::U8(a), tmtest::U8(out), TExistingPolicy::Overwrite), "");
    EXPECT_EQ(fs::status(out / "cover.jpg").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    for (int job = 0; job < 2; ++job) {
        EXPECT_EQ(art.CopyOnce(tmtest::U8(b), tmtest::U8(out), TExistingPolicy::Overwrite), "");
        EXPECT_EQ(art.CopyOnce(tmtest::U8(b), tmtest::U8(a), TExistingPolicy::Overwrite), "");
        art.Reset();
    }
    EXPECT_EQ(tmtest::ReadText(out / "cover.jpg"), "\xFF\xD8\xFF first");
    EXPECT_EQ(tmtest::ReadText(a / "cover.jpg"), "\xFF\xD8\xFF first");

    // A file far larger than any cover (sparse here) is not copied.
    const fs::path big = dir / "big";
    fs::create_directories(big);
    tmtest::WriteText(big / "cover.jpg", "\xFF\xD8\xFF");
    fs::resize_file(big / "cover.jpg", 65 * 1024 * 1024);
    fs::create_directories(dir / "out2");
    EXPECT_EQ(art.CopyOnce(tmtest::U8(big), tmtest::U8(dir / "out2"), TExistingPolicy::Skip),
              "the folder image cover.jpg was not copied: it exceeds the 64 MiB limit for an image");
    EXPECT_FALSE(fs::exists(dir / "out2" / "cover.jpg"));
}

}  // namespace
}  // namespace trackmill
