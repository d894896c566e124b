#include "formats/TextUtil.h"

#include <gtest/gtest.h>

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
