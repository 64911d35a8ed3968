#include "PopupMenu.h"

#include "WidgetControl.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace {

// A window with a list that carries the menu and an edit that does not.
struct Window {
    QWidget window;
    TWidgetControl<QListWidget> list{nullptr, &window};
    QLineEdit edit{&window};
    Window()
    {
        window.resize(200, 100);
        list.setGeometry(0, 0, 100, 100);
        edit.setGeometry(100, 0, 100, 20);
        window.show();
        window.activateWindow();
    }
};

}  // namespace

TEST(TPopupMenu, AnItemShortCutWorksWhileTheAttachedControlHasTheFocusAndUsesTheKeyUp)
{
    Window w;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    TPopupMenu menu;
    auto refresh = std::make_unique<TMenuItem>(&menu);
    refresh->SetShortCut(16466);
    EXPECT_EQ(ShortCut('R', TShiftState{ssCtrl}), 16466);
    menu.Add(refresh.get());
    int clicks = 0;
    refresh->OnClick = [&](TObject* sender) { clicks += sender == refresh.get(); };
    int rKeys = 0;  // the modifier keys themselves do reach the list
    w.list.OnKeyDown = [&](TObject*, WORD_KEY& key, TShiftState) { rKeys += key == 'R'; };
    QAction windowShortcut(&w.window);  // the window's own use of the key
    windowShortcut.setShortcut(QKeySequence("Ctrl+R"));
    w.window.addAction(&windowShortcut);
    int windowShortcuts = 0;
    QObject::connect(&windowShortcut, &QAction::triggered, [&] { ++windowShortcuts; });
    SetPopupMenu(&w.list, &menu);
    EXPECT_EQ(PopupMenuOf(&w.list), &menu);

    w.list.setFocus();
    QTest::keyClick(&w.list, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(rKeys, 0) << "the shortcut used the key up";
    EXPECT_EQ(windowShortcuts, 0) << "the focused control's menu comes first";
    QTest::keyClick(&w.list, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&w.list, Qt::Key_R);
    EXPECT_EQ(clicks, 1) << "only the exact combination";
    EXPECT_EQ(rKeys, 2);

    w.edit.setFocus();
    QTest::keyClick(&w.edit, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1) << "another control has the focus";
    EXPECT_EQ(windowShortcuts, 1);

    w.list.setFocus();
    refresh.reset();
    EXPECT_TRUE(menu.Items().empty()) << "a destroyed item leaves its menu";
    SetPopupMenu(&w.list, nullptr);
    EXPECT_EQ(PopupMenuOf(&w.list), nullptr);
    QTest::keyClick(&w.list, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(windowShortcuts, 2);
}

TEST(TPopupMenu, ARightClickPopsItUpAndAChosenRadioItemKeepsItsCheckUntilTheHandlerSetsIt)
{
    Window w;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    TPopupMenu menu;
    std::vector<TMenuItem*> items;
    for (int group : {0, 0, 0, 1}) {
        auto* item = new TMenuItem(&menu);  // owned by the menu
        item->SetCaption("item &" + std::to_string(items.size()));
        item->SetRadioItem(true);
        item->SetGroupIndex(group);
        menu.Add(item);
        items.push_back(item);
    }
    items[3]->SetChecked(true);
    items[2]->SetChecked(true);
    items[1]->SetShortCut(16466);
    std::vector<std::string> seen;
    bool checkOnClick = true;
    menu.OnPopup = [&](TObject*) { seen.push_back("popup"); };
    for (TMenuItem* item : items)
        item->OnClick = [&, item](TObject*) {
            seen.push_back(item->Caption() + (item->Checked() ? " checked" : ""));
            if (checkOnClick)
                item->SetChecked(true);
        };
    SetPopupMenu(&w.list, &menu);

    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10), w.list.viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(w.list.viewport(), &rightClick);
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->actions().size(), 4);
    QAction* second = shown->actions()[1];
    EXPECT_EQ(second->text().toStdString(), "item &1\tCtrl+R") << "the menu shows the shortcut";
    EXPECT_TRUE(shown->actions()[2]->isChecked());
    QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(second).center());
    EXPECT_EQ(seen, (std::vector<std::string>{"popup", "item &1"}));
    EXPECT_TRUE(items[1]->Checked() && second->isChecked());
    EXPECT_FALSE(items[0]->Checked() || items[2]->Checked() || shown->actions()[2]->isChecked());
    EXPECT_TRUE(items[3]->Checked()) << "another group";

    seen.clear();
    checkOnClick = false;
    menu.Popup(0, 0);
    ASSERT_EQ(QApplication::activePopupWidget(), shown);
    QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(second).center());
    EXPECT_EQ(seen, (std::vector<std::string>{"popup", "item &1 checked"}));
    EXPECT_TRUE(second->isChecked()) << "choosing a checked item leaves its check alone";
}
