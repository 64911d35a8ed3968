#include "TextCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(lstrcmpiA, OrdersAlphabeticallyWithoutRegardToCase)
{
    EXPECT_LT(lstrcmpiA("A.jpg", "b.jpg"), 0);
    EXPECT_LT(lstrcmpiA("a.jpg", "B.jpg"), 0);
    EXPECT_GT(lstrcmpiA("Zebra", "apple"), 0);
    EXPECT_LT(lstrcmpiA("photo", "photo1"), 0);
}

TEST(lstrcmpiA, BreaksCaseTiesByBytesSoTheOrderIsTotal)
{
    EXPECT_EQ(lstrcmpiA("same.png", "same.png"), 0);
    const int c = lstrcmpiA("Photo.png", "photo.png");
    EXPECT_NE(c, 0);
    EXPECT_EQ(lstrcmpiA("photo.png", "Photo.png"), -c);
    EXPECT_LT(c, 0) << "'P' (0x50) sorts before 'p' (0x70) on a tie";
}

TEST(lstrcmpiA, IsAConsistentOrderForSorting)
{
    std::vector<std::string> names = {"b.jpg", "A.jpg", "a.jpg", "写真.jpg", "B.JPG", "10.png", "9.png",
                                      "_x.gif", "a0000.tif", "a.jpg0000", "ｱ.bmp", "c.png"};
    std::sort(names.begin(), names.end(), [](const std::string& x, const std::string& y) { return lstrcmpiA(x, y) < 0; });
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = 0; j < names.size(); ++j) {
            const int c = lstrcmpiA(names[i], names[j]);
            EXPECT_EQ(c < 0, i < j) << names[i] << " vs " << names[j];
            EXPECT_EQ(c, -lstrcmpiA(names[j], names[i]));
        }
}

TEST(TSortText, ComparesExactlyAsLstrcmpiA)
{
    const std::vector<std::string> texts = {"b.jpg0000", "A.jpg0000", "a.jpg0000", "写真.jpg0000", "B.JPG0000",
                                            "10.png", "9.png", "_x.gif", "ｱ.bmp", "\x8e\xca\x90\x5e.jpg",
                                            "\x8e\xca\x90\x5e.JPG", "", "a", "A"};
    for (const std::string& x : texts)
        for (const std::string& y : texts)
            EXPECT_EQ(TSortText(x).Compare(TSortText(y)), lstrcmpiA(x, y)) << x << " vs " << y;
}
