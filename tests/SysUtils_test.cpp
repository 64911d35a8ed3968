#include "Exception.h"
#include "SysUtils.h"

#include <climits>
#include <gtest/gtest.h>

TEST(SysUtils, IntegerTextThatConverts)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0x20", 32}, {"0X1f", 31}, {"$1F", 31}, {"x10", 16}, {"X10", 16},
        {" -5", -5}, {"\t 12", 12}, {"+7", 7}, {"-0x10", -16}, {"-$10", -16},
        {"000000000000000000042", 42}, {"0", 0}, {"0x0", 0},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"$7FFFFFFF", INT_MAX}, {"$FFFFFFFF", -1}, {"-$80000000", INT_MIN},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_TRUE(TryStrToInt(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    }
}

TEST(SysUtils, IntegerTextThatDoesNotConvert)
{
    const char* cases[] = {
        "", "   ", "-", "+", "0x", "-0x", "$", "x", "12abc", "5 ", "- 5", "+-5", "1e3",
        "0x1G", "$-5", "1.0", "2147483648", "-2147483649", "$100000000", "-$80000001",
        "99999999999999999999", "\xEF\xBC\x91",  // a full-width digit one
    };
    for (const char* text : cases) {
        int value = 777;
        EXPECT_FALSE(TryStrToInt(text, value)) << text;
        EXPECT_EQ(value, 777) << text;
        EXPECT_EQ(StrToIntDef(text, -3), -3) << text;
    }
    // An embedded NUL is not the end of the text.
    EXPECT_EQ(StrToIntDef(std::string("12\0" "3", 4), -3), -3);
}

TEST(SysUtils, StrToIntRaisesWithTheText)
{
    try {
        StrToInt("12abc");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "'12abc' は整数ではありません");
    }
}

TEST(SysUtils, IntToStrIsDecimalWithMinusSign)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-12), "-12");
    EXPECT_EQ(IntToStr(INT_MIN), "-2147483648");
    EXPECT_EQ(StrToInt(IntToStr(INT_MIN)), INT_MIN);
}

TEST(SysUtils, PathParts)
{
    EXPECT_EQ(ExtractFileExt("/a/b/hist"), "");
    EXPECT_EQ(ExtractFileExt("/a/b/hist.ini"), ".ini");
    EXPECT_EQ(ExtractFileExt("/a/b/x.tar.gz"), ".gz");
    EXPECT_EQ(ExtractFileExt("/a.d/hist"), "");
    EXPECT_EQ(ExtractFileExt("name."), ".");
    EXPECT_EQ(ExtractFileExt("/home/u/.config"), ".config");

    EXPECT_EQ(ExtractFilePath("/usr/bin/pictal"), "/usr/bin/");
    EXPECT_EQ(ExtractFilePath("/pictal"), "/");
    EXPECT_EQ(ExtractFilePath("pictal"), "");
    EXPECT_EQ(ExtractFileName("/usr/bin/pictal"), "pictal");
    EXPECT_EQ(ExtractFileName("/usr/bin/"), "");
    EXPECT_EQ(ExtractFileName("画像.jpg"), "画像.jpg");

    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/b/"), "/a/b");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/b"), "/a/b");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}
