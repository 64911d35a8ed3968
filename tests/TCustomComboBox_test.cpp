// The framework's combo box: what raises its events, and its entries.
#include "CustomComboBox.h"
#include "Exception.h"

#include <QAbstractItemView>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TCustomComboBox, OnlyTheUsersPickRaisesOnChangeAndTheListReportsDroppingDownAndClosingUp)
{
    QWidget host;
    host.resize(200, 100);
    host.show();
    TCustomComboBox box;
    box.SetStyle(csDropDownList);
    box.SetParent(&host);
    int first = 1;
    int second = 2;
    box.Items().AddObject("first", &first);
    box.Items().InsertObject(1, "二番目", &second);
    box.Items().AddObject("third", nullptr);
    EXPECT_EQ(box.ItemIndex(), -1);  // adding entries selects none
    EXPECT_EQ(box.Items().Strings(1), "二番目");
    EXPECT_EQ(box.Items().Objects(1), &second);
    EXPECT_THROW(box.Items().Strings(3), Exception);
    EXPECT_THROW(box.Items().InsertObject(5, "x", nullptr), Exception);

    std::vector<std::string> events;
    box.OnChange = [&](TObject*) { events.push_back("change " + std::to_string(box.ItemIndex())); };
    box.OnDropDown = [&](TObject*) { events.push_back("drop down"); };
    box.OnCloseUp = [&](TObject*) { events.push_back("close up"); };

    box.SetItemIndex(0);
    box.SetItemIndex(-1);
    box.SetItemIndex(0);
    EXPECT_THROW(box.SetItemIndex(3), Exception);
    EXPECT_TRUE(events.empty());

    // The arrow key on the closed list is a pick.
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.ItemIndex(), 1);
    box.SetDroppedDown(true);
    EXPECT_TRUE(box.DroppedDown());
    box.SetDroppedDown(false);
    EXPECT_FALSE(box.DroppedDown());
    EXPECT_EQ(events, (std::vector<std::string>{"change 1", "drop down", "close up"}));
    // A list that Qt closes by itself (the window losing the activation)
    // closes up too, and drops down again.
    box.SetDroppedDown(true);
    box.view()->window()->hide();
    EXPECT_FALSE(box.DroppedDown());
    box.SetDroppedDown(true);
    EXPECT_TRUE(box.DroppedDown());
    box.SetDroppedDown(false);
    EXPECT_EQ(events, (std::vector<std::string>{"change 1", "drop down", "close up", "drop down", "close up",
                                                "drop down", "close up"}));

    // Without entries the list closes up at once, and can drop down again.
    events.clear();
    box.Items().Clear();
    box.SetDroppedDown(true);
    box.SetDroppedDown(true);
    EXPECT_FALSE(box.DroppedDown());
    EXPECT_EQ(events, (std::vector<std::string>{"drop down", "close up", "drop down", "close up"}));

    // An owner-draw list is 6 pixels higher than its entries.
    box.SetStyle(csOwnerDrawFixed);
    box.SetItemHeight(20);
    EXPECT_EQ(box.height(), 26);
}

TEST(TCustomComboBox, TheEditTextIsTheUsersAndTheControlsOwnWhateverHappensToTheEntries)
{
    QWidget host;
    host.resize(200, 100);
    host.show();
    TCustomComboBox box;
    box.SetParent(&host);
    ASSERT_EQ(box.Style(), csDropDown);
    std::vector<std::string> changes;
    box.OnChange = [&](TObject*) { changes.push_back(box.Text()); };

    // Each change the user makes to the text is a change; Enter adds no entry.
    box.setFocus();
    QTest::keyClicks(&box, "ab");
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(changes, (std::vector<std::string>{"a", "ab", "a"}));
    EXPECT_EQ(box.Items().Count(), 0);

    // Entries coming and going leave the text and the selection's entry alone.
    changes.clear();
    box.SetText("京都");
    box.Items().AddObject("Alpha", nullptr);
    box.Items().AddObject("beta", nullptr);
    EXPECT_EQ(box.Text(), "京都");
    EXPECT_EQ(box.ItemIndex(), -1);
    box.SetItemIndex(1);
    EXPECT_EQ(box.Text(), "beta");
    box.Items().InsertObject(0, "gamma", nullptr);
    EXPECT_EQ(box.ItemIndex(), 2);
    box.Items().Delete(2);
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), "beta");
    box.Items().Clear();
    EXPECT_EQ(box.Text(), "beta");
    EXPECT_TRUE(changes.empty());

    // Text that matches an entry but for letter case stays as typed when it
    // is confirmed, and selects nothing.
    box.Items().AddObject("Alpha", nullptr);
    box.SetText("");
    QTest::keyClicks(&box, "alpha");
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(box.Text(), "alpha");
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Items().Count(), 1);

    // A text that is no UTF-8 comes back byte for byte, picked or set.
    const std::string latin1 = "caf\xe9";
    box.Items().AddObject(latin1, nullptr);
    box.SetItemIndex(1);
    EXPECT_EQ(box.Text(), latin1);
    box.SetItemIndex(-1);
    EXPECT_EQ(box.Text(), "");
    box.SetText(latin1);
    EXPECT_EQ(box.Text(), latin1);

    // The list style shows the selected entry and selects by text.
    box.SetStyle(csDropDownList);
    box.SetText("ALPHA");
    EXPECT_EQ(box.ItemIndex(), 0);
    EXPECT_EQ(box.Text(), "Alpha");
    box.SetText("none");
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), "");
}

}  // namespace
