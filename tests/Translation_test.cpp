// The translation helpers: arguments put into a text byte for byte, and the
// English translation installed and removed, reaching the texts of every layer.
#include "Exception.h"
#include "IniFile.h"
#include "LastError.h"
#include "SysUtils.h"
#include "TestFiles.h"
#include "Translation.h"

#include <gtest/gtest.h>

TEST(Translation, SubstituteReplacesEachNumberOnceByteForByte)
{
    EXPECT_EQ(Substitute("%1 を %2 に移動できません: %3", {"a.jpg", "/x", "r"}), "a.jpg を /x に移動できません: r");
    EXPECT_EQ(Substitute("%2, %1", {"one", "two"}), "two, one");
    EXPECT_EQ(Substitute("%1 と %2", {"%2", "b"}), "%2 と b") << "an argument is not read again";
    EXPECT_EQ(Substitute("[%1]", {"\xff\xfe/\x82\xa0"}), "[\xff\xfe/\x82\xa0]") << "bytes that are no UTF-8";
    EXPECT_EQ(Substitute("%1 %3 %0 100% %", {"x"}), "x %3 %0 100% %") << "no such argument: kept";
    EXPECT_EQ(Substitute("%1%1", {"ab"}), "abab");
}

TEST(Translation, TheEnglishTranslationReachesEveryLayerAndGoesAgain)
{
    EXPECT_EQ(SysErrorMessage(ERROR_ACCESS_DENIED), "アクセスが拒否されました。") << "as written";
    ASSERT_TRUE(UseEnglishTranslation(true));
    ASSERT_TRUE(UseEnglishTranslation(true)) << "a second install keeps the one translation";
    EXPECT_EQ(SysErrorMessage(ERROR_ACCESS_DENIED), "Access is denied.");
    EXPECT_EQ(SysErrorMessage(12345), "Error 12345");

    // A refused settings write names the file in the English message.
    testfiles::TempFolder folder;
    const std::string file = folder.file("missing/Pictal.ini");
    try {
        TIniFile(file).WriteString("SET", "M_TOP", "1");
        ADD_FAILURE() << "the write was not refused";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot write to " + file);
    }

    EXPECT_TRUE(UseEnglishTranslation(false));
    EXPECT_EQ(SysErrorMessage(ERROR_ACCESS_DENIED), "アクセスが拒否されました。") << "removed at once";
}
