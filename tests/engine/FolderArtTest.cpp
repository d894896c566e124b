// Which file of a folder is its cover image and what of it may be embedded: the order of
// names, letter case, and names held by a folder, a pipe, a link or a file that is no image.
#include "engine/FolderArt.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace trackmill {
namespace {

namespace fs = std::filesystem;

TEST(FolderArt, OnlyARegularImageFileOfTheFirstNameIsTaken)
{
    tmtest::TempDir dir;
    const fs::path a = dir / "a";
    fs::create_directories(a / "FOLDER.jpg");                         // a folder
    ASSERT_EQ(::mkfifo((a / "folder.jpeg").c_str(), 0600), 0);        // a pipe: never opened
    fs::create_symlink(a / "folder.jpeg", a / "Folder.png");          // a link to it
    tmtest::WriteBytes(dir / "art", tmtest::B("\x89PNG\r\n\x1A\n-png-"));
    fs::create_symlink(dir / "art", a / "Cover.png");                  // a link to an image
    tmtest::WriteText(a / "album.jpg", "\xFF\xD8\xFF later");
    EXPECT_EQ(FindFolderImage(a.string()), "Cover.png");
    TFolderArt art;
    TTagAdditions additions;
    art.AddTo(a.string(), additions);
    EXPECT_EQ(additions.folderArt, "\x89PNG\r\n\x1A\n-png-");
    EXPECT_EQ(additions.folderArtMime, "image/png");

    // A name of ours whose content is no image is found (and would be copied) but not embedded.
    const fs::path b = dir / "b";
    fs::create_directories(b);
    tmtest::WriteText(b / "front.JPEG", "not a picture");
    EXPECT_EQ(FindFolderImage(b.string()), "front.JPEG");
    additions = {};
    art.AddTo(b.string(), additions);
    EXPECT_TRUE(additions.folderArt.empty());
    EXPECT_EQ(FindFolderImage((dir / "missing").string()), "");
}

// Two source folders whose MP3s share an output folder: under Overwrite the second's image
// does not replace the one this job copied from the first.
TEST(FolderArt, AJobNeverReplacesAnImageItCopied)
{
    tmtest::TempDir dir;
    const fs::path a = dir / "a", b = dir / "b", out = dir / "out";
    fs::create_directories(a), fs::create_directories(b), fs::create_directories(out);
    tmtest::WriteText(a / "cover.jpg", "\xFF\xD8\xFF first");
    tmtest::WriteText(b / "cover.jpg", "\xFF\xD8\xFF second");
    TFolderArt art;
    EXPECT_EQ(art.CopyOnce(a.string(), out.string(), TExistingPolicy::Overwrite), "");
    EXPECT_NE(art.CopyOnce(b.string(), out.string(), TExistingPolicy::Overwrite), "");
    EXPECT_EQ(tmtest::ReadText(out / "cover.jpg"), "\xFF\xD8\xFF first");
    // The next job may replace it.
    art.Reset();
    EXPECT_EQ(art.CopyOnce(b.string(), out.string(), TExistingPolicy::Overwrite), "");
    EXPECT_EQ(tmtest::ReadText(out / "cover.jpg"), "\xFF\xD8\xFF second");
}

}  // namespace
}  // namespace trackmill
