#include "Unicode.h"

#include <gtest/gtest.h>

#include <string>

TEST(MultiByteToWideChar, CountsThenConverts)
{
    const char* text = "写真a";  // two CJK characters (3 bytes each) and one ASCII
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), 4) << "three units and the NUL";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 7, nullptr, 0), 3);

    char16_t wide[4] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 4), 4);
    EXPECT_EQ(wide[0], u'写');
    EXPECT_EQ(wide[2], u'a');
    EXPECT_EQ(wide[3], u'\0');

    char16_t small[2];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, small, 2), 0) << "too small a buffer fails";
    EXPECT_EQ(MultiByteToWideChar(932, 0, text, -1, wide, 4), 0) << "unknown code page";
}

TEST(MultiByteToWideChar, InvalidBytesAreReplacedOrRefused)
{
    const char bad[] = {'a', char(0xFF), 'b', 0};
    char16_t wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, -1, wide, 8), 0);
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, bad, -1, wide, 8), 4);
    EXPECT_EQ(wide[1], char16_t(0xFFFD));
}

TEST(WideCharToMultiByte, RoundTripsThroughUtf16)
{
    const std::u16string wide = u"ファイル 1";
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0);
    std::string narrow(std::size_t(needed), '\0');
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, narrow.data(), needed), needed);
    narrow.pop_back();
    EXPECT_EQ(narrow, "ファイル 1");
}

TEST(Utf8Prefix, CutsOnlyBetweenCharacters)
{
    const std::string text = "a\xE5\x86\x99" "b";  // "a", a three-byte character, "b"
    const struct {
        std::size_t limit;
        std::size_t length;
    } cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 4}, {5, 5}, {9, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(Utf8Prefix(text, c.limit), text.substr(0, c.length)) << "limit " << c.limit;
    EXPECT_TRUE(Utf8Prefix("\x80\x80x", 1).empty()) << "stray continuation bytes go with no character";
}
