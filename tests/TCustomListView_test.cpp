// The framework's list view: items and their columns, the change and deletion
// events from code and from real Qt input, sorting that keeps the focus and
// the selection with their items, and switching the view style.
#include "CustomListView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Window {
    QWidget host;
    TCustomListView view;
    std::vector<std::string> events;
    Window()
    {
        host.resize(400, 300);
        view.SetParent(&host);
        view.setGeometry(0, 0, 400, 300);
        view.SetMultiSelect(true);
        for (const char* caption : {"delta", "alpha", "charlie", "bravo"}) {
            TListItem* item = view.Items().Add();
            item->SetCaption(caption);
            item->SetSubItems({std::string(caption) + " size"});
        }
        view.Columns().Add()->SetCaption("name");
        view.Columns().Add()->SetCaption("size");
        view.OnChange = [this](TObject*, TListItem* item, TItemChange change) {
            EXPECT_EQ(change, ctState);
            events.push_back("change " + (item ? item->Caption() : std::string("-")));
        };
        view.OnDeletion = [this](TObject*, TListItem* item) { events.push_back("delete " + item->Caption()); };
        host.show();
    }
    std::vector<std::string> captions() const
    {
        std::vector<std::string> result;
        for (int i = 0; i < view.Items().Count(); ++i)
            result.push_back(view.Items().Item(i)->Caption());
        return result;
    }
    // Clicks the middle of an item's caption in the view shown now.
    void click(TListItem* item, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QAbstractItemView* pane = nullptr;
        for (QAbstractItemView* candidate : view.findChildren<QAbstractItemView*>())
            if (candidate->isVisible() && candidate->parentWidget() == &view)
                pane = candidate;
        ASSERT_NE(pane, nullptr);
        const RECT r = item->DisplayRect();
        const QPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ASSERT_EQ(view.GetItemAt(centre.x(), centre.y()), item);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, modifiers, pane->viewport()->mapFrom(&view, centre));
    }
};

}  // namespace

TEST(TCustomListView, ChangesFromCodeAndFromClicksAreReportedOnceAndDeletionsNever)
{
    Window w;
    EXPECT_EQ(w.view.Items().Item(2)->SubItems(), std::vector<std::string>{"charlie size"});
    TListItem* alpha = w.view.Items().Item(1);
    TListItem* bravo = w.view.Items().Item(3);

    w.view.SetSelected(alpha);
    EXPECT_EQ(w.events, std::vector<std::string>{"change alpha"});
    EXPECT_TRUE(alpha->Selected() && alpha->Focused());
    EXPECT_EQ(w.view.SelCount(), 1);

    // Another item joins the selection; the focus stays.
    w.events.clear();
    bravo->SetSelected(true);
    EXPECT_EQ(w.events, std::vector<std::string>{"change alpha"});
    EXPECT_EQ(w.view.SelCount(), 2);
    EXPECT_EQ(w.view.GetNextItem(alpha, {isSelected}), bravo);
    EXPECT_EQ(w.view.GetNextItem(nullptr, {isSelected, isFocused}), alpha);

    // A click in the details view selects the clicked item alone: one report.
    w.view.SetViewStyle(vsReport);
    EXPECT_EQ(w.view.SelCount(), 2) << "the style keeps the selection";
    w.events.clear();
    TListItem* charlie = w.view.Items().Item(2);
    w.click(charlie);
    EXPECT_EQ(w.events, std::vector<std::string>{"change charlie"});
    EXPECT_EQ(w.view.SelCount(), 1);
    EXPECT_TRUE(charlie->Selected() && charlie->Focused());
    w.events.clear();
    w.click(charlie);
    EXPECT_TRUE(w.events.empty()) << "nothing changed";
    w.view.SetViewStyle(vsList);
    w.click(alpha, Qt::ControlModifier);
    EXPECT_EQ(w.events, std::vector<std::string>{"change alpha"});
    EXPECT_EQ(w.view.SelCount(), 2);

    // Deleting reports the deletions only; the selection loses the item.
    w.events.clear();
    w.view.Items().Delete(alpha->Index());
    EXPECT_EQ(w.events, std::vector<std::string>{"delete alpha"});
    EXPECT_EQ(w.view.SelCount(), 1);
    EXPECT_EQ(w.captions(), (std::vector<std::string>{"delta", "charlie", "bravo"}));
    EXPECT_EQ(w.view.Items().Item(2)->Index(), 2);
    w.events.clear();
    w.view.Items().Clear();
    EXPECT_EQ(w.events, (std::vector<std::string>{"delete bravo", "delete charlie", "delete delta"}));
    EXPECT_EQ(w.view.SelCount(), 0);
}

TEST(TCustomListView, SortingMovesTheFocusAndTheSelectionWithTheirItems)
{
    Window w;
    TListItem* charlie = w.view.Items().Item(2);
    TListItem* delta = w.view.Items().Item(0);
    w.view.SetSelected(charlie);
    delta->SetSelected(true);
    w.events.clear();

    // By caption, letter case aside, unless the sort type asks for the handler.
    w.view.Items().Item(1)->SetCaption("Alpha");
    w.view.AlphaSort();
    EXPECT_EQ(w.captions(), (std::vector<std::string>{"Alpha", "bravo", "charlie", "delta"}));
    EXPECT_EQ(w.view.ItemFocused(), charlie);
    EXPECT_EQ(charlie->Index(), 2);
    EXPECT_EQ(w.view.Selected(), charlie);
    EXPECT_EQ(w.view.GetNextItem(charlie, {isSelected}), delta);

    w.view.SetSortType(stData);
    w.view.OnCompare = [](TObject*, TListItem* a, TListItem* b, int, int& compare) {
        compare = b->Caption().compare(a->Caption());  // reversed, letter case counts
    };
    w.view.AlphaSort();
    EXPECT_EQ(w.captions(), (std::vector<std::string>{"delta", "charlie", "bravo", "Alpha"}));
    EXPECT_TRUE(charlie->Focused() && charlie->Selected() && delta->Selected());
    EXPECT_FALSE(w.view.Items().Item(3)->Selected());
    EXPECT_TRUE(w.events.empty()) << "sorting changes nobody's state";

    // Switching MultiSelect off keeps the focused item selected; from then
    // on, an item selected from code takes the selection from the others.
    w.view.SetMultiSelect(false);
    EXPECT_EQ(w.view.SelCount(), 1);
    EXPECT_TRUE(charlie->Selected());
    w.events.clear();
    delta->SetSelected(true);
    EXPECT_EQ(w.view.SelCount(), 1);
    EXPECT_TRUE(delta->Selected());
    EXPECT_FALSE(charlie->Selected());
    EXPECT_EQ(w.events, std::vector<std::string>{"change charlie"}) << "the focus stays";
}
