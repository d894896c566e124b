#include "formats/TextUtil.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace trackmill;

TEST(TextUtil, EscapeControlsDisarmsTerminalSequencesAndKeepsText)
{
    // An escape sequence that would clear the screen, a C1 CSI, a bell, a broken byte.
    EXPECT_EQ(EscapeControls("a\x1b[2Jb"), "a\\x1B[2Jb");
    EXPECT_EQ(EscapeControls("x\xC2\x9B" "31my"), "x\\u009B31my");
    EXPECT_EQ(EscapeControls("line\nnext\ttab\r\x07\x7F"), "line\\nnext\\ttab\\r\\x07\\x7F");
    EXPECT_EQ(EscapeControls("bad\xFF\xC3"), "bad\\xFF\\xC3");
    // Ordinary text, non-ASCII letters and U+00A0 upwards pass unchanged.
    const std::string plain = "Caf\xC3\xA9 \xC2\xA0\xE6\x9D\xB1\xE4\xBA\xAC \\ \xF0\x9F\x8E\xB5";
    EXPECT_EQ(EscapeControls(plain), plain);
    EXPECT_EQ(EscapeControls(std::string_view("nul\0end", 7)), "nul\\x00end");
}

TEST(TextUtil, NumbersCharactersAndNames)
{
    EXPECT_EQ(ParseInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInteger("2147483648"), std::nullopt);  // past the signed range
    EXPECT_EQ(ParseInteger("$FFFFFFFF"), -1);              // hexadecimal keeps its bit pattern
    EXPECT_EQ(ParseInteger("$1g"), std::nullopt);
    EXPECT_EQ(ParseInteger("+"), std::nullopt);
    EXPECT_EQ(ParseInteger("7 "), std::nullopt);
    // A byte that starts no valid sequence counts as one character.
    EXPECT_EQ(FirstChars("\xE6\x9D\xB1\xFF" "ab", 2), "\xE6\x9D\xB1\xFF");
    EXPECT_EQ(FirstChars("\xE6\x9D", 1), "\xE6");
    EXPECT_EQ(TrimBlanks(std::string_view("\0 x \t\x1F", 6)), "x");
    EXPECT_TRUE(EqualsAsciiNoCase("Cover Art", "cOVER aRT"));
    EXPECT_FALSE(EqualsAsciiNoCase("\xC3\xA9", "\xC3\x89"));  // only ASCII letters fold
    EXPECT_TRUE(HasMusepackExtension("/x.y/Song.Mp+"));
    EXPECT_FALSE(HasMusepackExtension("/a.mpc/song"));
}
