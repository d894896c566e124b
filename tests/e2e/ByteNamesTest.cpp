// Names that are not UTF-8, as Latin-1 names copied from an old Windows disk are: the
// file is converted with its bytes, a person reads U+FFFD, and --json stays JSON that
// still leads to the file.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

class ByteNames : public tmtest::ConvertFixture {};

TEST_F(ByteNames, ALatin1NameIsConvertedWithItsBytesAndKnownOnTheRerun)
{
    // Our helpers hand arguments to programs as text, so the names with the Latin-1 byte
    // are made, read and named here, and the programs get only UTF-8 paths.
    const std::string folder = "Caf\xE9", name = "d\xE9j\xE0 vu";
    const fs::path lib = src / "lib", album = lib / folder, source = album / (name + ".mpc");
    fs::create_directories(album);
    ASSERT_TRUE(tmtest::MakeMpc(src / "plain.mpc", 0.5));
    fs::rename(src / "plain.mpc", source);
    auto decodes = [&](const fs::path &mp3) {
        fs::copy_file(mp3, dir / "copy.mp3", fs::copy_options::overwrite_existing);
        return tmtest::DecodesWithLame(dir / "copy.mp3", dir.path());
    };

    // Found in a folder, converted beside itself: the MP3 has the source's bytes, and plays.
    auto r = cli.Run({"--json", lib.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const fs::path beside = album / (name + ".mp3");
    ASSERT_TRUE(fs::exists(beside));
    EXPECT_TRUE(decodes(beside));
    // The summary shows the name with U+FFFD where its bytes are not UTF-8.
    EXPECT_TRUE(Contains(r.err, "Caf\xEF\xBF\xBD/d\xEF\xBF\xBDj\xEF\xBF\xBD vu.mp3")) << r.err;

    // Every line is strict UTF-8 JSON; the finished event shows the name replaced and gives
    // the bytes of the source and of the MP3 in base64; every event with a source has them.
    tmtest::WriteText(dir / "events.json", r.out);
    const auto check = tmtest::Run(
        {tmtest::SystemPython(), "-c",
         "import base64, json, os, sys\n"
         "events = [json.loads(l) for l in open(sys.argv[1], encoding='utf-8', errors='strict')]\n"
         "done = [e for e in events if e['event'] == 'finished']\n"
         "e = done[0]\n"
         "stem = os.fsencode(sys.argv[2]) + b'/Caf\\xe9/d\\xe9j\\xe0 vu'\n"
         "print(len(done), e['state'], '\\ufffd' in e['source'], '\\ufffd' in e['output'],\n"
         "      base64.b64decode(e['rawSource']) == stem + b'.mpc',\n"
         "      base64.b64decode(e['rawOutput']) == stem + b'.mp3',\n"
         "      all('rawSource' in e for e in events if 'source' in e))\n",
         (dir / "events.json").string(), lib.string()});
    EXPECT_EQ(check.out, "1 converted True True True True True\n") << check.err << r.out;

    // Named itself, into an output folder below the library folder: the folder keeps its
    // bytes too, and the mark names the source.
    const fs::path out = dir / "out";
    tmtest::Started named = tmtest::StartInOwnGroup(
        cli, {"--library-folder", lib.string(), "--output-dir", out.string(), source.string()}, work, dir / "named.txt");
    ASSERT_EQ(named.Wait(), 0) << tmtest::ReadText(dir / "named.txt");
    const fs::path mp3 = out / folder / (name + ".mp3");
    ASSERT_TRUE(fs::exists(mp3)) << tmtest::ReadText(dir / "named.txt");
    EXPECT_TRUE(decodes(mp3));
    const auto mark = tmtest::Run({tmtest::SystemPython(), "-c",
                                   "import os, sys, mutagen.id3\n"
                                   "mp3 = os.fsencode(sys.argv[1]) + b'/Caf\\xe9/d\\xe9j\\xe0 vu.mp3'\n"
                                   "print(mutagen.id3.ID3(mp3)['TXXX:TRACKMILL_SOURCE'].text[0])",
                                   out.string()});
    EXPECT_TRUE(Contains(mark.out, "path=Caf%E9/d%E9j%E0 vu.mpc")) << mark.out << mark.err;

    // The library converted again: that file is known by its mark.
    r = cli.Run({"--library-folder", lib.string(), "--output-dir", out.string(), lib.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "skipped: " + lib.string() + "/Caf\xEF\xBF\xBD/d\xEF\xBF\xBDj\xEF\xBF\xBD vu.mpc "
                                "(already converted"))
        << r.out;
}

}  // namespace
