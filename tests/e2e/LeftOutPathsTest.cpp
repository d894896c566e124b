// Paths that lead to no file to read: pipes, devices, broken links. Named one by one or
// found in a folder, each the user may have meant as music is named with its reason,
// counted, and never opened (a pipe would block the run).
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

class LeftOutPaths : public tmtest::ConvertFixture {};

TEST_F(LeftOutPaths, PipesDevicesAndBrokenLinksAreRefusedOrIgnoredByName)
{
    fs::create_directories(src / "album");
    ASSERT_TRUE(tmtest::MakeMpc(src / "album" / "good.mpc", 0.5));
    for (const fs::path &p : {src / "pipe.mpc", src / "pipe", src / "album" / "pipe.mpp", src / "album" / "pipe.mp3"})
        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0) << p;
    fs::create_symlink("/dev/null", src / "null.mpc");
    fs::create_symlink("/dev/zero", src / "album" / "zero.mpc");
    fs::create_symlink(src / "nowhere.mpc", src / "broken.mpc");
    fs::create_symlink(src / "nowhere.mpc", src / "album" / "broken.mp+");

    auto r = cli.Run({"--json", (src / "pipe.mpc").string(), (src / "pipe").string(), (src / "null.mpc").string(),
                      (src / "broken.mpc").string(), (src / "album").string()},
                     work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(fs::exists(src / "album" / "good.mp3")) << r.err;
    auto event = [&](const char *what, const fs::path &p, const std::string &reason) {
        return "{\"event\":\"" + std::string(what) + "\",\"source\":\"" + p.string() + "\",\"reason\":\"" + reason + "\"}";
    };
    const std::string notFile = "not a regular file (a pipe, device or socket)";
    for (const std::string &e : {event("refused", src / "pipe.mpc", notFile), event("refused", src / "null.mpc", notFile),
                                 event("refused", src / "broken.mpc", "a broken symbolic link"),
                                 event("refused", src / "album" / "pipe.mpp", notFile),
                                 event("refused", src / "album" / "zero.mpc", notFile),
                                 event("refused", src / "album" / "broken.mp+", "a broken symbolic link"),
                                 event("ignored", src / "pipe", "not a Musepack file")})
        EXPECT_TRUE(Contains(r.out, e)) << e << "\n" << r.out;
    EXPECT_FALSE(Contains(r.out, "pipe.mp3")) << r.out;  // in a folder, not a Musepack name
    EXPECT_TRUE(Contains(r.out, "\"converted\":1,\"skipped\":0,\"failed\":0,\"cancelled\":0,\"refused\":6,\"ignored\":1,"))
        << r.out;
    EXPECT_TRUE(Contains(r.err, "Converted 1 of 1 file, 6 refused, 1 ignored (not Musepack).")) << r.err;

    // Nothing left to convert: still named and counted, in text.
    r = cli.Run({(src / "album" / "pipe.mpp").string()}, work);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "trackmill-cli: refused " + (src / "album" / "pipe.mpp").string() + ": " + notFile))
        << r.err;
}

}  // namespace
