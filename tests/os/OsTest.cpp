// The platform interface: paths split and joined by the platform's rules, the private
// folder that no other user can put anything into, and where the user's settings go.
#include "os/Files.h"
#include "os/Path.h"
#include "os/PrivateFolder.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

namespace fs = std::filesystem;
using tmtest::ScopedEnv;

TEST(OsPath, SplitAndJoin)
{
    EXPECT_EQ(os::FolderOf("/a/b"), "/a");
    EXPECT_EQ(os::FolderOf("/a"), "/");
    EXPECT_EQ(os::FolderOf("a"), ".");
    EXPECT_EQ(os::Join("/a", "b"), "/a/b");
    EXPECT_EQ(os::Join("/a/", "b"), "/a/b");
    EXPECT_EQ(os::WithoutSeparator("/a/b//"), "/a/b");
    EXPECT_EQ(os::WithoutSeparator("/"), "/");
    EXPECT_EQ(os::InsertBeforeExtension("/m.x/a.mp3", " (2)"), "/m.x/a (2).mp3");
    EXPECT_EQ(os::InsertBeforeExtension("/m.x/a", " (2)"), "/m.x/a (2)");
    // A backslash is a character of a name here, as the system sees it.
    EXPECT_EQ(os::FileName("/a/b\\c.mpc"), "b\\c.mpc");
}

// The runtime folder is used only when it is the user's own: in a folder others may
// write, another user could swap our folder for theirs and plant links in it.
TEST(PrivateFolder, OnlyInARuntimeFolderThatIsTheUsersAlone)
{
    tmtest::TempDir dir;
    const fs::path open = dir / "open", own = dir / "own";
    fs::create_directory(open);
    fs::create_directory(own);
    fs::permissions(open, fs::perms::all);  // 0777, no sticky bit
    fs::permissions(own, fs::perms::owner_all);

    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", tmtest::U8(open));
        os::TPrivateFolder folder;
        std::string error;
        ASSERT_TRUE(folder.Ensure(&error)) << error;
        EXPECT_NE(fs::path(folder.Path()).parent_path(), open);
        EXPECT_TRUE(fs::is_empty(open));
        EXPECT_EQ(fs::status(folder.Path()).permissions() & fs::perms::all, fs::perms::owner_all);
    }
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", tmtest::U8(own));
        os::TPrivateFolder folder;
        ASSERT_TRUE(folder.Ensure(nullptr));
        EXPECT_EQ(fs::path(folder.Path()).parent_path(), own);
    }
    // A temporary folder others may write without the sticky bit is not used either.
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", "");
        ScopedEnv tmp("TMPDIR", tmtest::U8(open));
        EXPECT_EQ(os::TPrivateFolder::BaseFolder(), "/tmp");
    }
}

TEST(PrivateFolder, FilesAreNewNeverThroughALinkAndGoWithTheFolder)
{
    tmtest::TempDir dir;
    tmtest::WriteText(dir / "target", "keep");
    std::string path;
    {
        os::TPrivateFolder folder;
        ASSERT_TRUE(folder.Ensure(nullptr));
        path = folder.Path();
        std::string error;
        ASSERT_TRUE(folder.WriteFile("1.sh", "mpcdec 'ä' - | lame - 'b'\n", &error)) << error;
        EXPECT_EQ(folder.ReadFile("1.sh"), "mpcdec 'ä' - | lame - 'b'\n");
        EXPECT_FALSE(folder.WriteFile("1.sh", "other", &error));
        EXPECT_EQ(folder.ReadFile("1.sh"), "mpcdec 'ä' - | lame - 'b'\n");
        // A link at a name is neither written through nor read through.
        fs::create_symlink(dir / "target", fs::path(path) / "2.status");
        EXPECT_FALSE(folder.WriteFile("2.status", "0", &error));
        EXPECT_FALSE(folder.ReadFile("2.status").has_value());
        EXPECT_EQ(tmtest::ReadText(dir / "target"), "keep");
        folder.RemoveFile("1.sh");
        EXPECT_FALSE(folder.ReadFile("1.sh").has_value());
        ASSERT_TRUE(folder.WriteFile("3.sh", "x", &error));
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(tmtest::ReadText(dir / "target"), "keep");
}

TEST(UserConfigFolder, XdgConfigHomeWhenAbsoluteElseDotConfig)
{
    ScopedEnv home("HOME", "/home/u");
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(os::UserConfigFolder(), "/xdg");
    }
    for (const char *value : {"", "relative/cfg"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", value);
        EXPECT_EQ(os::UserConfigFolder(), "/home/u/.config");
    }
}

}  // namespace
}  // namespace trackmill
