// A source folder's cover image: embedded as the front cover where a source brings no
// picture, copied once beside the album's MP3s under each existing-files policy, left out
// of the embedding when large, and never copied for a flat output or a failed album.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// "3 image/jpeg same" for each APIC frame, as mutagen reads it; "same" when its data are
// the bytes of `reference`.
std::string Pictures(const fs::path &mp3, const fs::path &reference)
{
    return tmtest::Run({tmtest::SystemPython(), "-c",
                        "import sys\nfrom mutagen.id3 import ID3\nref = open(sys.argv[2], 'rb').read()\n"
                        "for f in ID3(sys.argv[1]).getall('APIC'):\n"
                        "    print(int(f.type), f.mime, 'same' if f.data == ref else 'other')\n",
                        mp3.string(), reference.string()})
        .out;
}

// Every file in a folder (not below it) that is not an MP3.
std::vector<std::string> Others(const fs::path &folder)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto &e : fs::directory_iterator(folder, ec))
        if (e.path().extension() != ".mp3") out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

tmtest::Bytes Image(const std::string &magic, std::size_t size, std::uint8_t fill)
{
    tmtest::Bytes b(size, fill);
    std::copy(magic.begin(), magic.end(), b.begin());
    return b;
}

class FolderArt : public tmtest::ConvertFixture {
protected:
    // An album of two sources without pictures and one with its own, beside `image`.
    void MakeAlbum(const fs::path &folder, const std::string &image, const tmtest::Bytes &bytes)
    {
        fs::create_directories(folder);
        ASSERT_TRUE(tmtest::MakeMpc(dir / "tone.mpc", 0.3));
        fs::copy_file(dir / "tone.mpc", folder / "01.mpc");
        fs::copy_file(dir / "tone.mpc", folder / "02.mpc");
        fs::copy_file(dir / "tone.mpc", folder / "03.mpc");
        ASSERT_TRUE(tmtest::AddApeTitleAndCover(folder / "03.mpc", "Own", 1000));
        tmtest::WriteBytes(folder / image, bytes);
        fs::remove(dir / "tone.mpc");
    }
    const tmtest::Bytes jpeg = Image("\xFF\xD8\xFF\xE0", 3000, 0x41);
};

TEST_F(FolderArt, TheAlbumImageIsEmbeddedWhereNoPictureCameAndCopiedOnce)
{
    MakeAlbum(src / "Album", "Folder.JPG", jpeg);
    tmtest::WriteBytes(src / "Album" / "folder.jpg", Image("\xFF\xD8\xFF\xE1", 2000, 0x42));
    tmtest::WriteText(src / "Album" / "cover.jpg", "a later name, not taken");

    auto r = cli.Run({"--dry-run", "--output-dir", (dir / "out").string(), (src / "Album").string()}, work);
    EXPECT_TRUE(Contains(r.out, "folder image " + (src / "Album" / "Folder.JPG").string() + " -> " +
                                    (dir / "out" / "Album" / "Folder.JPG").string()))
        << r.out;
    r = cli.Run({"--output-dir", (dir / "out").string(), (src / "Album").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const fs::path album = dir / "out" / "Album";
    // Of two names alike but for case, the first in byte order.
    for (const char *name : {"01.mp3", "02.mp3"})
        EXPECT_EQ(Pictures(album / name, src / "Album" / "Folder.JPG"), "3 image/jpeg same\n") << name;
    EXPECT_EQ(Pictures(album / "03.mp3", src / "Album" / "Folder.JPG"), "3 image/jpeg other\n");
    EXPECT_EQ(Others(album), std::vector<std::string>{"Folder.JPG"});
    EXPECT_EQ(tmtest::ReadBytes(album / "Folder.JPG"), jpeg);

}

TEST_F(FolderArt, ALargeImageIsOnlyCopiedAFlatOutputGetsNoneAndAFailedAlbumLeavesNone)
{
    const tmtest::Bytes png = Image("\x89PNG\r\n\x1A\n", 2 * 1024 * 1024 + 1, 0x50);
    MakeAlbum(src / "Big", "cover.png", png);
    MakeAlbum(src / "Small", "front.jpeg", jpeg);
    MakeAlbum(src / "Bad", "album.jpg", jpeg);
    tmtest::WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ncase \"$1\" in */Bad/*) exit 3;; esac\nexec " +
                                                      tmtest::Installed("mpcdec") + " \"$@\"\n");

    auto r = cli.Run({"--output-dir", (dir / "out").string(), src.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_EQ(Pictures(dir / "out" / "src" / "Big" / "01.mp3", src / "Big" / "cover.png"), "");
    EXPECT_EQ(tmtest::ReadBytes(dir / "out" / "src" / "Big" / "cover.png"), png);
    EXPECT_EQ(Pictures(dir / "out" / "src" / "Small" / "02.mp3", src / "Small" / "front.jpeg"), "3 image/jpeg same\n");
    EXPECT_FALSE(fs::exists(dir / "out" / "src" / "Bad"));

    // Flat: the albums' images would collide, so none is copied; the embedding still applies.
    r = cli.Run({"--flat", "--output-dir", (dir / "flat").string(), (src / "Small").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(Others(dir / "flat"), std::vector<std::string>{});
    EXPECT_EQ(Pictures(dir / "flat" / "01.mp3", src / "Small" / "front.jpeg"), "3 image/jpeg same\n");
}

TEST_F(FolderArt, AnImageAlreadyThereUnderEachPolicy)
{
    MakeAlbum(src / "Album", "folder.jpg", jpeg);
    fs::remove(src / "Album" / "02.mpc");
    fs::remove(src / "Album" / "03.mpc");
    const tmtest::Bytes theirs = Image("\xFF\xD8\xFF\xE0", 100, 0x55);
    auto run = [&](const std::string &out, const std::string &policy) {
        fs::create_directories(dir / out / "Album");
        if (!fs::exists(dir / out / "Album" / "folder.jpg")) tmtest::WriteBytes(dir / out / "Album" / "folder.jpg", theirs);
        fs::remove(dir / out / "Album" / "01.mp3");
        const auto r = cli.Run({"--existing", policy, "--output-dir", (dir / out).string(), (src / "Album").string()}, work);
        EXPECT_EQ(r.exitCode, 0) << r.out;
        return Others(dir / out / "Album");
    };
    EXPECT_EQ(run("skip", "skip"), std::vector<std::string>{"folder.jpg"});
    EXPECT_EQ(tmtest::ReadBytes(dir / "skip" / "Album" / "folder.jpg"), theirs);

    EXPECT_EQ(run("both", "keep-both"), (std::vector<std::string>{"folder (2).jpg", "folder.jpg"}));
    EXPECT_EQ(tmtest::ReadBytes(dir / "both" / "Album" / "folder (2).jpg"), jpeg);
    EXPECT_EQ(tmtest::ReadBytes(dir / "both" / "Album" / "folder.jpg"), theirs);
    // Again: the same image is there under its number, so no third one.
    EXPECT_EQ(run("both", "keep-both"), (std::vector<std::string>{"folder (2).jpg", "folder.jpg"}));

    // Overwrite replaces MP3s, never an image: it may be a source folder's own.
    EXPECT_EQ(run("over", "overwrite"), std::vector<std::string>{"folder.jpg"});
    EXPECT_EQ(tmtest::ReadBytes(dir / "over" / "Album" / "folder.jpg"), theirs);
    // Nor a folder of that name.
    fs::create_directories(dir / "odd" / "Album" / "folder.jpg" / "inside");
    const auto r = cli.Run({"--existing", "overwrite", "--output-dir", (dir / "odd").string(), (src / "Album").string()},
                           work);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(fs::exists(dir / "odd" / "Album" / "folder.jpg" / "inside"));
    EXPECT_TRUE(tmtest::Leftovers(dir.path()).empty());
}

}  // namespace
