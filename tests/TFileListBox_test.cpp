#include "Cursors.h"
#include "Exception.h"
#include "FileListBox.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QTest>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> entries(const TFileListBox& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Item(i));
    return names;
}

void touch(const testfiles::TempFolder& folder, const std::vector<std::string>& names)
{
    for (const auto& name : names)
        testfiles::writeFile(folder.file(name), "x");
}

}  // namespace

TEST(TFileListBox, ListsMatchingFilesSortedByTheSharedNameKey)
{
    testfiles::TempFolder folder;
    touch(folder, {"b.jpg", "A.jpg", "a.jpg", "photo.png", "photo.png.jpg", "notes.txt", "C.JPEG", "写真.gif"});
    ::mkdir(folder.file("sub.jpg").c_str(), 0755);

    TFileListBox list;
    list.SetMask("*.jpg;*.png;*.jpeg;*.gif");
    list.SetDirectory(folder.path());
    EXPECT_EQ(entries(list),
              (std::vector<std::string>{"A.jpg", "a.jpg", "b.jpg", "C.JPEG", "photo.png.jpg", "photo.png", "写真.gif"}))
        << "case ties by bytes; a name before its extension-longer twin only as the key name+\"0000\" orders it; "
           "folders and other extensions left out";
    EXPECT_EQ(list.ItemIndex(), -1);

    list.SetMask("*.jpg;*.JPG");
    const auto twice = entries(list);
    EXPECT_EQ(std::count(twice.begin(), twice.end(), "b.jpg"), 2)
        << "a file matched by two patterns is listed twice";
}

TEST(TFileListBox, FileTypeAndFilterDecideWhichEntriesCount)
{
    testfiles::TempFolder folder;
    touch(folder, {"plain.jpg", ".hidden.jpg", "locked.jpg"});
    ::chmod(folder.file("locked.jpg").c_str(), 0444);
    ::mkfifo(folder.file("pipe.jpg").c_str(), 0644);

    TFileListBox list;
    list.SetMask("*.jpg");
    list.SetFileType(TFileType{ftReadOnly, ftHidden, ftNormal});
    list.SetDirectory(folder.path());
    EXPECT_EQ(entries(list), (std::vector<std::string>{".hidden.jpg", "locked.jpg", "plain.jpg"}))
        << "system entries (a fifo) are left out unless asked for";

    list.SetFilter([](const std::string&, const WIN32_FIND_DATAA& e) { return !(e.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN); });
    EXPECT_EQ(entries(list), (std::vector<std::string>{"locked.jpg", "plain.jpg"}));

    list.SetFilter({});
    list.SetFileType(TFileType{ftReadOnly});
    EXPECT_EQ(entries(list), (std::vector<std::string>{"locked.jpg"})) << "without ftNormal only read-only files";
}

TEST(TFileListBox, PointingAtAFolder)
{
    testfiles::TempFolder root;
    const std::string lower = root.file("photos"), upper = root.file("Photos");
    ::mkdir(lower.c_str(), 0755);
    ::mkdir(upper.c_str(), 0755);
    testfiles::writeFile(lower + "/a.jpg", "x");
    testfiles::writeFile(lower + "/b.jpg", "x");
    testfiles::writeFile(upper + "/Z.jpg", "x");

    TFileListBox list;
    list.SetMask("*.jpg");
    list.SetDirectory(lower);
    list.SetItemIndex(1);
    EXPECT_EQ(list.FileName(), lower + "/b.jpg");

    testfiles::writeFile(lower + "/c.jpg", "x");
    list.SetDirectory(lower);
    EXPECT_EQ(list.Count(), 2) << "the folder already shown is not read again";
    EXPECT_EQ(list.ItemIndex(), 1) << "and keeps its selection";

    list.SetDirectory(upper);
    EXPECT_EQ(entries(list), (std::vector<std::string>{"Z.jpg"})) << "a folder differing only in case is another folder";
    EXPECT_EQ(list.ItemIndex(), -1);

    list.SetDirectory("");
    EXPECT_EQ(list.Directory(), upper) << "an empty path changes nothing";
    EXPECT_THROW(list.SetDirectory(root.file("missing")), Exception);
    EXPECT_THROW(list.SetDirectory(upper + "/Z.jpg"), Exception);
    EXPECT_EQ(list.Directory(), upper);

    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(std::string(cwd), upper) << "the list's folder becomes the working folder";

    list.Update();
    EXPECT_EQ(list.Count(), 1);

    // A relative path names a folder below the working folder, and is held
    // as the absolute path it named.
    ASSERT_EQ(::chdir(root.path().c_str()), 0);
    list.SetDirectory("photos");
    EXPECT_EQ(list.Directory(), lower);
    EXPECT_EQ(entries(list), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
    list.Update();
    EXPECT_EQ(list.Count(), 3);
}

TEST(TFileListBox, TheFilterIsAskedOnlyAboutNamesTheMaskLetsThrough)
{
    testfiles::TempFolder folder;
    touch(folder, {"a.jpg", "a.raw", "b.JPG", "b.cr2", "c.png"});
    TFileListBox list;
    list.SetMask("*.jpg;*.png;*.j*");
    list.SetDirectory(folder.path());
    std::vector<std::string> asked;
    list.SetFilter([&asked](const std::string&, const WIN32_FIND_DATAA& e) {
        asked.push_back(e.cFileName);
        return e.cFileName != "c.png";
    });
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::string>{"a.jpg", "b.JPG", "c.png"})) << "once per name, and never about the others";
    EXPECT_EQ(entries(list), (std::vector<std::string>{"a.jpg", "a.jpg", "b.JPG", "b.JPG"})) << "once per pattern matched";
}

TEST(TFileListBox, SelectingFromCodeRaisesNoClickAndChecksTheIndex)
{
    testfiles::TempFolder folder;
    touch(folder, {"a.png", "b.png"});
    TFileListBox list;
    list.SetMask("*.png");
    list.SetDirectory(folder.path());
    int clicks = 0;
    list.OnClick = [&](TObject*) { ++clicks; };

    list.SetItemIndex(1);
    list.SetItemIndex(-1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(list.ItemIndex(), -1);
    try {
        list.SetItemIndex(5);
        FAIL() << "an index outside the list raises";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "リストのインデックスが範囲を超えています (5)");
    }
    EXPECT_THROW(list.Item(2), Exception);
}

TEST(TFileListBox, UserPicksRaiseClicks)
{
    testfiles::TempFolder folder;
    touch(folder, {"a.png", "b.png", "c.png"});
    TFileListBox list;
    list.SetMask("*.png");
    list.SetDirectory(folder.path());
    list.resize(200, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    std::vector<int> clicked;
    list.OnClick = [&](TObject*) { clicked.push_back(list.ItemIndex()); };

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);  // already at the last entry: no change, no click
    EXPECT_EQ(clicked, (std::vector<int>{1, 2}));

    std::vector<WORD_KEY> keys;
    list.OnKeyDown = [&](TObject*, WORD_KEY& key, TShiftState) {
        keys.push_back(key);
        if (key == VK_F5)
            key = 0;
    };
    QTest::keyClick(&list, Qt::Key_F5);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(keys, (std::vector<WORD_KEY>{VK_F5, VK_UP}));
    EXPECT_EQ(list.ItemIndex(), 1);
}

TEST(TFileListBox, TypeAheadSearch)
{
    testfiles::TempFolder folder;
    touch(folder, {"apple.jpg", "Apricot.jpg", "banana.jpg", "5th.jpg"});
    TFileListBox list;
    list.SetMask("*.jpg");
    list.SetDirectory(folder.path());
    int clicks = 0;
    list.OnClick = [&](TObject*) { ++clicks; };
    list.show();
    list.setFocus();

    QTest::keyClicks(&list, "ap");
    EXPECT_EQ(list.Item(list.ItemIndex()), "apple.jpg");
    QTest::keyClick(&list, Qt::Key_R);
    EXPECT_EQ(list.Item(list.ItemIndex()), "Apricot.jpg") << "letter case ignored";
    QTest::keyClick(&list, Qt::Key_Backspace);
    EXPECT_EQ(list.Item(list.ItemIndex()), "apple.jpg");
    QTest::keyClick(&list, Qt::Key_Backspace);
    QTest::keyClick(&list, Qt::Key_Backspace);
    EXPECT_EQ(list.ItemIndex(), 0) << "an empty search text selects entry 0";
    EXPECT_EQ(clicks, 6) << "each selection made by typing counts as a click";

    QTest::keyClick(&list, Qt::Key_B);
    EXPECT_EQ(list.Item(list.ItemIndex()), "banana.jpg");
    QTest::qWait(600);
    QTest::keyClick(&list, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(list.Item(list.ItemIndex()), "5th.jpg") << "after a pause the search starts again";
    QTest::keyClick(&list, Qt::Key_Z);
    EXPECT_EQ(list.Item(list.ItemIndex()), "5th.jpg") << "no match: the selection stays";
}

TEST(TFileListBox, LongReadingShowsTheBusyCursorAndRestoresIt)
{
    testfiles::TempFolder folder;
    for (int i = 0; i < 150; ++i)
        testfiles::writeFile(folder.file("img" + std::to_string(1000 + i) + ".png"), "");
    Screen()->SetCursor(crCross);
    TFileListBox list;
    list.SetMask("*.png");
    list.SetDirectory(folder.path());
    int seenBusy = 0;
    list.SetFilter([&](const std::string&, const WIN32_FIND_DATAA&) {
        seenBusy += Screen()->Cursor() == crHourGlass;
        return true;
    });
    EXPECT_EQ(list.Count(), 150);
    EXPECT_EQ(seenBusy, 49) << "busy from the entry that lands at position 100 on";
    EXPECT_EQ(Screen()->Cursor(), crCross) << "the previous cursor comes back";

    int calls = 0;
    EXPECT_THROW(list.SetFilter([&](const std::string&, const WIN32_FIND_DATAA&) -> bool {
        if (++calls == 120)
            throw Exception("fail");
        return true;
    }),
                 Exception);
    EXPECT_EQ(Screen()->Cursor(), crCross) << "also when the reading fails";
    Screen()->SetCursor(crDefault);
}
