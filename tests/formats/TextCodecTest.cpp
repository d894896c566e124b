#include "formats/TextCodec.h"

#include <gtest/gtest.h>

using namespace trackmill;

TEST(TextCodec, Latin1RoundTripsEveryByte)
{
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string utf8 = Latin1ToUtf8(all);
    EXPECT_TRUE(IsLatin1(utf8));
    EXPECT_EQ(Utf8ToLatin1(utf8), all);
}

TEST(TextCodec, CharactersOutsideLatin1BecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToLatin1("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"), "Caf\xE9 ? ?");
    EXPECT_FALSE(IsLatin1("\xE2\x82\xAC"));
    // A broken sequence is one "?" per bad byte, never a crash or an overrun.
    EXPECT_EQ(Utf8ToLatin1("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82"), "??");
    EXPECT_FALSE(IsLatin1("\xC3"));
}

TEST(TextCodec, Utf16KeepsSurrogatePairsAndStopsAtZero)
{
    // "a", U+1F3B5 as a pair, "b", 0, "c"
    const std::uint8_t le[] = {'a', 0, 0x3C, 0xD8, 0xB5, 0xDF, 'b', 0, 0, 0, 'c', 0};
    EXPECT_EQ(Utf16ToUtf8(le, sizeof le, false), "a\xF0\x9F\x8E\xB5" "b");
    const std::uint8_t be[] = {0, 'x', 0xD8, 0x3C, 0xDF, 0xB5, 0xDC};  // odd byte ignored
    EXPECT_EQ(Utf16ToUtf8(be, sizeof be, true), "x\xF0\x9F\x8E\xB5");
    const std::uint8_t lone[] = {0x00, 0xD8, 'q', 0};
    EXPECT_EQ(Utf16ToUtf8(lone, sizeof lone, false), "\xEF\xBF\xBDq");
}

TEST(TextCodec, Utf8ToUtf16AndBack)
{
    const std::string text = "Zo\xC3\xAB \xE6\x9D\xB1 \xF0\x9F\x8E\xB5";
    const std::string le = Utf8ToUtf16LE(text);
    EXPECT_EQ(le.size(), 2u * 8);  // 7 characters, one of them a surrogate pair
    EXPECT_EQ(Utf16ToUtf8(reinterpret_cast<const std::uint8_t *>(le.data()), le.size(), false), text);
}

TEST(TextCodec, ValidPrefixRejectsOverlongsSurrogatesAndTruncation)
{
    EXPECT_EQ(ValidUtf8Prefix("ok\xF0\x9F\x8E\xB5!"), 7u);
    EXPECT_EQ(ValidUtf8Prefix("ab\xC0\x80"), 2u);          // overlong NUL
    EXPECT_EQ(ValidUtf8Prefix("ab\xED\xA0\x80"), 2u);      // surrogate
    EXPECT_EQ(ValidUtf8Prefix("ab\xF4\x90\x80\x80"), 2u);  // above U+10FFFF
    EXPECT_EQ(ValidUtf8Prefix("ab\xE2\x82"), 2u);          // cut short
}
