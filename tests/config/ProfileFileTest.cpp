// The INI file class on real files: read rules, where writes land, what survives a
// rewrite, and refused writes.
#include "config/ProfileFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <strings.h>

namespace {

using trackmill::EIniFileException;
using trackmill::TIniFile;
using tmtest::ReadText;
using tmtest::TempDir;
using tmtest::WriteText;

std::string Utf8E(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += "\xC3\xA9";
    return s;
}

TEST(ProfileFile, ReadsWithDefaultsBlanksQuotesAndTheLengthCut)
{
    TempDir dir;
    TIniFile ini(tmtest::U8(dir / "a.ini"));
    EXPECT_EQ(ini.ReadString("S", "k", "dflt"), "dflt");  // no file
    WriteText(dir / "a.ini", "[S]\n"
                             "plain=  spaced value \t\n"
                             "dq=  \" kept inside \"  \n"
                             "sq='x'\n"
                             "twice=\"\"x\"\"\n"
                             "mixed=\"x'\n"
                             "one=\"\n"
                             "empty=\n"
                             "long=" + std::string(3000, 'a') + "\n"
                             "wide=" + Utf8E(3000) + "\n");
    EXPECT_EQ(ini.ReadString("S", "plain", "d"), "spaced value");
    EXPECT_EQ(ini.ReadString("S", "dq", "d"), " kept inside ");
    EXPECT_EQ(ini.ReadString("S", "sq", "d"), "x");
    EXPECT_EQ(ini.ReadString("S", "twice", "d"), "\"x\"");
    EXPECT_EQ(ini.ReadString("S", "mixed", "d"), "\"x'");
    EXPECT_EQ(ini.ReadString("S", "one", "d"), "\"");
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("Other", "plain", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", "long", ""), std::string(2047, 'a'));
    EXPECT_EQ(ini.ReadString("S", "wide", ""), Utf8E(2047));  // characters, not bytes
}

TEST(ProfileFile, HandEditedLayoutsAreRead)
{
    TempDir dir;
    WriteText(dir / "a.ini", "; comment=no\r\n"
                             "orphan=before any section\r\n"
                             "\r\n"
                             "[ default ]\r\n"
                             "  Key One = 1 \r\n"
                             "no equals sign here\r\n"
                             "=no key\r\n"
                             "dup=first\r\n"
                             "DUP=second\r\n"
                             "[Broken\r\n"
                             "k=in broken\r\n"
                             "[DEFAULT]\r\n"
                             "later=yes\r\n"
                             "last=no newline");
    TIniFile ini(tmtest::U8(dir / "a.ini"));
    EXPECT_EQ(ini.ReadString("Default", "key one", ""), "1");
    EXPECT_EQ(ini.ReadString("default", "Dup", ""), "first");
    EXPECT_EQ(ini.ReadString("Default", "later", ""), "yes");  // a repeated section is searched too
    EXPECT_EQ(ini.ReadString("Default", "last", ""), "no newline");
    EXPECT_EQ(ini.ReadString("Default", "k", "d"), "d");
    EXPECT_EQ(ini.ReadString("Broken", "k", ""), "in broken");
    EXPECT_EQ(ini.ReadString("", "orphan", "d"), "d");
    EXPECT_EQ(ini.ReadString("Default", "; comment", "d"), "d");
    const std::vector<std::string> keys = ini.ReadSection("DEFAULT");
    EXPECT_EQ(keys, (std::vector<std::string>{"Key One", "dup", "later", "last"}));
}

TEST(ProfileFile, IntegersFollowTheHexRule)
{
    TempDir dir;
    WriteText(dir / "a.ini", "[S]\na=0x1F\nb=0X10\nc=0x\nd=12abc\ne=-5\nf=0xFFFFFFFF\ng=99999999999\n"
                             "h=\ni=+7\nj=0x1G\nk=2147483647\nl=-2147483648\nm=0x100000000\n");
    TIniFile ini(tmtest::U8(dir / "a.ini"));
    EXPECT_EQ(ini.ReadInteger("S", "a", 9), 31);
    EXPECT_EQ(ini.ReadInteger("S", "b", 9), 16);
    EXPECT_EQ(ini.ReadInteger("S", "c", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "d", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "e", 9), -5);
    EXPECT_EQ(ini.ReadInteger("S", "f", 9), -1);
    EXPECT_EQ(ini.ReadInteger("S", "g", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "h", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "i", 9), 7);
    EXPECT_EQ(ini.ReadInteger("S", "j", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "k", 9), 2147483647);
    EXPECT_EQ(ini.ReadInteger("S", "l", 9), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("S", "m", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "none", 9), 9);
}

TEST(ProfileFile, WritesKeepLinesAppendToSectionsAndCreateWhatIsMissing)
{
    TempDir dir;
    const auto path = dir / "sub.ini";
    TIniFile ini(tmtest::U8(path));
    ini.WriteString("Default", "Flags", "0");
    ini.WriteInteger("Default", "Count", 3);
    ini.WriteBool("Other", "On", true);
    EXPECT_EQ(ReadText(path), "[Default]\nFlags=0\nCount=3\n\n[Other]\nOn=1\n");

    // An existing key keeps its line and its spelling; a new one goes after the last
    // line of its section, not after the blank line before the next section.
    ini.WriteString("DEFAULT", "flags", "7");
    ini.WriteString("default", "New", "x");
    EXPECT_EQ(ReadText(path), "[Default]\nFlags=7\nCount=3\nNew=x\n\n[Other]\nOn=1\n");

    // A value cannot smuggle in lines of its own.
    ini.WriteString("Default", "New", "a\nInjected=1\r\nb");
    EXPECT_EQ(ini.ReadString("Default", "New", ""), "a Injected=1  b");
    EXPECT_EQ(ini.ReadString("Default", "Injected", "none"), "none");

    ini.EraseSection("default");
    EXPECT_EQ(ReadText(path), "[Other]\nOn=1\n");
    ini.EraseSection("Nowhere");
    TIniFile missing(tmtest::U8(dir / "missing.ini"));
    missing.EraseSection("Default");
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.ini"));
}

TEST(ProfileFile, RewriteKeepsEveryOtherByteOfAnOddFile)
{
    TempDir dir;
    const auto path = dir / "odd.ini";
    std::string garbage("\x00\xFF\xFE[\x80=\x01\x02 [x\r\r\n", 14);
    garbage += std::string(1 << 20, 'z');  // a 1 MiB line without "="
    const std::string original = "; keep me\r\n[First]\r\nA=1\r\n" + std::string(garbage) + "\r\n[Default]\r\nB=2\r\nB=dup";
    WriteText(path, original);
    TIniFile ini(tmtest::U8(path));
    ini.WriteString("Default", "C", "3");  // after the last line, which had no line break
    ini.WriteString("Default", "b", "9");  // the first B only
    std::string expected = original;
    expected.replace(expected.rfind("B=2"), 3, "B=9");
    expected += "\r\nC=3\r\n";  // the file's own CR LF
    EXPECT_EQ(ReadText(path), expected);
    EXPECT_EQ(ini.ReadString("First", "A", ""), "1");
}

TEST(ProfileFile, ReplacesTheFileKeepingModeAndSymbolicLinks)
{
    TempDir dir;
    const auto real = dir / "real.ini";
    WriteText(real, "[S]\nk=1\n");
    std::filesystem::permissions(real, std::filesystem::perms{0640});
    std::filesystem::create_symlink(real, dir / "link.ini");
    TIniFile viaLink(tmtest::U8(dir / "link.ini"));
    viaLink.WriteString("S", "k", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadText(real), "[S]\nk=2\n");
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all, std::filesystem::perms{0640});
    // No temporary sibling is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(ProfileFile, RefusedWritesRaiseUnableToWriteAndChangeNothing)
{
    TempDir dir;
    const auto readOnly = dir / "ro.ini";
    WriteText(readOnly, "[S]\nk=1\n");
    std::filesystem::permissions(readOnly, std::filesystem::perms{0444});  // refused even for root: the file says read-only
    std::filesystem::create_directory(dir / "folder.ini");
    const auto parentIsFile = dir / "ro.ini" / "x.ini";
    const auto noFolder = dir / "missing" / "x.ini";
    for (const auto &p : {readOnly, dir / "folder.ini", parentIsFile, noFolder}) {
        TIniFile ini(tmtest::U8(p));
        try {
            ini.WriteString("S", "k", "2");
            ADD_FAILURE() << "no error for " << p;
        } catch (const EIniFileException &e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + tmtest::U8(p));
        }
        EXPECT_EQ(ini.ReadString("S", "k", "none"), p == readOnly ? "1" : "none");
    }
    EXPECT_THROW(TIniFile(tmtest::U8(readOnly)).EraseSection("S"), EIniFileException);
    EXPECT_EQ(ReadText(readOnly), "[S]\nk=1\n");

    if (!tmtest::RunningAsRoot()) {  // folder rights do not bind root
        std::filesystem::create_directory(dir / "locked");
        WriteText(dir / "locked" / "a.ini", "[S]\nk=1\n");
        std::filesystem::permissions(dir / "locked", std::filesystem::perms{0555});
        EXPECT_THROW(TIniFile(tmtest::U8(dir / "locked" / "a.ini")).WriteString("S", "k", "2"), EIniFileException);
        EXPECT_THROW(TIniFile(tmtest::U8(dir / "locked" / "b.ini")).WriteString("S", "k", "2"), EIniFileException);
        EXPECT_EQ(ReadText(dir / "locked" / "a.ini"), "[S]\nk=1\n");
    }
}

TEST(ProfileFile, AFileTooLargeToReadIsNeverRewritten)
{
    TempDir dir;
    const auto path = dir / "huge.ini";
    WriteText(path, "[S]\nk=1\n");
    std::filesystem::resize_file(path, TIniFile::kMaxFileSize + 1);  // sparse, quick
    TIniFile ini(tmtest::U8(path));
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
    EXPECT_THROW(ini.WriteString("S", "k", "2"), EIniFileException);
    EXPECT_EQ(std::filesystem::file_size(path), TIniFile::kMaxFileSize + 1);
}

TEST(ProfileFile, ManySectionsAndKeysStayAddressable)
{
    TempDir dir;
    const auto path = dir / "big.ini";
    std::string text;
    for (int s = 0; s < 2000; ++s) {
        text += "[Sec" + std::to_string(s) + "]\n";
        for (int k = 0; k < 20; ++k) text += "Key" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\n";
    }
    WriteText(path, text);
    TIniFile ini(tmtest::U8(path));
    EXPECT_EQ(ini.ReadInteger("sec1999", "KEY19", -1), 199919);
    ini.WriteString("Sec1000", "Key5", "changed");
    ini.WriteString("Sec1000", "Extra", "new");
    EXPECT_EQ(ini.ReadString("Sec1000", "Key5", ""), "changed");
    EXPECT_EQ(ini.ReadString("Sec1000", "Extra", ""), "new");
    EXPECT_EQ(ini.ReadString("Sec1001", "Key0", ""), "100100");
    EXPECT_EQ(ReadText(path).size(), text.size() + std::string("changed").size() - 6 + std::string("Extra=new\n").size());
}

}  // namespace

namespace {

// Random files built from the pieces that confuse INI readers: a write must change the
// one value it names and leave every other value readable exactly as before.
TEST(ProfileFile, RandomFilesKeepEveryOtherValueAcrossWrites)
{
    const std::vector<std::string> pieces = {"[a]", "[b]", "[A ]", "[a", "x=1", "y = 2", "X=3", "\"q\"", "=v",
                                             ";x=9", "junk", std::string("\0\xFF", 2), "y='s'", " "};
    const std::vector<std::string> names = {"a", "b", "A"}, keys = {"x", "y", "X", "z"};
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    TempDir dir;
    const auto path = dir / "r.ini";
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const std::uint32_t count = next(12);
        for (std::uint32_t i = 0; i < count; ++i) {
            text += pieces[next(static_cast<std::uint32_t>(pieces.size()))];
            text += next(4) == 0 ? "\r\n" : (next(8) == 0 ? "" : "\n");
        }
        WriteText(path, text);
        TIniFile ini(tmtest::U8(path));
        std::map<std::pair<std::string, std::string>, std::string> before;
        for (const auto &s : names)
            for (const auto &k : keys) before[{s, k}] = ini.ReadString(s, k, "<none>");
        const std::string section = names[next(3)], key = keys[next(4)];
        const std::string value = "v" + std::to_string(round);
        ini.WriteString(section, key, value);
        ASSERT_EQ(ini.ReadString(section, key, ""), value) << "round " << round << ":\n" << text;
        for (const auto &[sk, old] : before) {
            const bool same = TIniFile(tmtest::U8(path)).ReadString(sk.first, sk.second, "<none>") == old;
            const bool written = sk.first.size() == section.size() && sk.second.size() == key.size() &&
                                 ::strcasecmp(sk.first.c_str(), section.c_str()) == 0 &&
                                 ::strcasecmp(sk.second.c_str(), key.c_str()) == 0;
            EXPECT_TRUE(same || written) << "round " << round << " " << sk.first << "/" << sk.second << ":\n" << text;
        }
    }
}

}  // namespace
