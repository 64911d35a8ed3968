// The folder and file toolbar with its view-style menu, linked to a real
// folder tree, folder drop-down and file list over a temporary home, and
// clicked through Qt's real input.
#include "Application.h"
#include "FflFileStyleMenu.h"
#include "FileListView.h"
#include "FolderDropDown.h"
#include "FolderFileToolBar.h"
#include "FolderTreeView.h"
#include "ImageList.h"
#include "ShellHome.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class TFolderFileToolBar : public testfiles::ShellBrowseTest {
protected:
    TFolderFileToolBar() : ShellBrowseTest(500, 400) {}

    void SetUp() override
    {
        ShellBrowseTest::SetUp();
        if (HasFatalFailure())
            return;
        m_root = m_dir.file("tree");
        testfiles::makeFolder(m_root);
        testfiles::makeFolder(m_root + "/Alpha");
        m_bar->SetParent(m_host.get());
        m_bar->OnClick = [this](TObject* sender, TFflToolBarButton button) {
            m_clicks.push_back({sender, button});
        };
        m_bar->OnViewStyle = [this](TObject* sender, TViewStyle style) { m_styles.push_back({sender, style}); };
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_host.get()));
    }

    // A left click in the middle of a button's main part.
    static void click(TToolButton* button)
    {
        const int mainWidth = button->Width() - (button->Style() == tbsDropDown ? kDropDownArrowWidth : 0);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(mainWidth / 2, button->Height() / 2));
    }

    std::string m_root;
    std::unique_ptr<::TFolderFileToolBar> m_bar = std::make_unique<::TFolderFileToolBar>();
    std::vector<std::pair<TObject*, int>> m_clicks;
    std::vector<std::pair<TObject*, int>> m_styles;
};

TEST_F(TFolderFileToolBar, PlacedBarIsSixtyFourByTwentyTwoShowsNoButtonsAndHasItsGlyphs)
{
    EXPECT_EQ(m_bar->Width(), 2 * 23 + 18);
    EXPECT_EQ(m_bar->Height(), 22);
    EXPECT_EQ(m_bar->ButtonWidth(), 23);
    EXPECT_EQ(m_bar->ButtonHeight(), 22);
    EXPECT_TRUE(m_bar->Flat());
    EXPECT_TRUE(m_bar->TabStop());
    ASSERT_EQ(m_bar->ButtonCount(), 2);
    EXPECT_EQ(m_bar->Buttons(0), m_bar->upButton()) << "the up button stands left";
    EXPECT_FALSE(m_bar->upButton()->isVisible());
    EXPECT_FALSE(m_bar->viewStyleButton()->isVisible());
    EXPECT_EQ(m_bar->upButton()->Hint(), "1つ上のフォルダへ");
    EXPECT_EQ(m_bar->viewStyleButton()->Hint(), "表示メニュー");
    EXPECT_EQ(m_bar->upButton()->ImageIndex(), 1);
    EXPECT_EQ(m_bar->viewStyleButton()->ImageIndex(), 3);

    // The strip cut into 16 by 16 images, magenta left out.
    TImageList* images = m_bar->imageList();
    EXPECT_EQ(m_bar->Images(), images);
    ASSERT_GE(images->Count(), 4);
    EXPECT_EQ(images->Width(), 16);
    const QImage up = images->GetPixmap(1).toImage();
    EXPECT_EQ(qAlpha(up.pixel(0, 0)), 0);
    EXPECT_EQ(up.pixel(10, 6) & 0xFFFFFF, 0x007000u) << "the arrow";
    const QImage menu = images->GetPixmap(3).toImage();
    EXPECT_EQ(qAlpha(menu.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(menu.pixel(3, 3)), 255) << "a tile";
}

TEST_F(TFolderFileToolBar, UpButtonIsShownWhileAFolderControlIsLinkedAndSelectsTheParent)
{
    auto tree = std::make_unique<TFolderTreeView>();
    tree->SetParent(m_host.get());
    tree->setGeometry(0, 30, 200, 300);
    tree->setFolderName(m_root + "/Alpha");
    auto dropDown = std::make_unique<TFolderDropDown>();
    dropDown->SetParent(m_host.get());
    dropDown->setGeometry(210, 30, 200, dropDown->height());
    dropDown->setFolderName(m_root + "/Alpha");

    m_bar->SetFolderControl(tree.get());
    EXPECT_EQ(m_bar->FolderControl(), tree.get());
    EXPECT_TRUE(m_bar->upButton()->isVisible());
    EXPECT_EQ(m_bar->upButton()->Left(), 0);
    click(m_bar->upButton());
    EXPECT_EQ(tree->FolderName(), m_root);
    ASSERT_EQ(m_clicks.size(), 1u);
    EXPECT_EQ(m_clicks[0], (std::pair<TObject*, int>{m_bar->upButton(), 1}));

    m_bar->SetFolderControl(dropDown.get());
    click(m_bar->upButton());
    EXPECT_EQ(dropDown->FolderName(), m_root);
    EXPECT_EQ(tree->FolderName(), m_root) << "the tree is no longer linked";

    // An unrelated control clears the link; so does the control's end.
    TComponent unrelated;
    m_bar->SetFolderControl(&unrelated);
    EXPECT_EQ(m_bar->FolderControl(), nullptr);
    EXPECT_FALSE(m_bar->upButton()->isVisible());
    m_bar->SetFolderControl(tree.get());
    EXPECT_TRUE(m_bar->upButton()->isVisible());
    tree.reset();
    EXPECT_EQ(m_bar->FolderControl(), nullptr);
    EXPECT_FALSE(m_bar->upButton()->isVisible());
}

TEST_F(TFolderFileToolBar, ViewStyleMenuSetsTheListsStyleAndFollowsIt)
{
    auto list = std::make_unique<TFileListView>();
    list->SetParent(m_host.get());
    list->setGeometry(0, 30, 400, 300);
    m_bar->SetFileListControl(list.get());
    TToolButton* button = m_bar->viewStyleButton();
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->Style(), tbsDropDown);
    EXPECT_EQ(button->Left(), 0) << "the hidden up button leaves no gap";
    EXPECT_EQ(m_bar->styleMenu()->FileListControl(), list.get());
    TComponent unrelated;
    m_bar->SetFileListControl(&unrelated);
    EXPECT_EQ(m_bar->FileListControl(), list.get()) << "anything else is ignored";

    // The button drops the menu down below itself with the list's style checked.
    click(button);
    ASSERT_EQ(m_clicks.size(), 1u);
    EXPECT_EQ(m_clicks[0], (std::pair<TObject*, int>{button, 3}));
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->pos(), button->mapToGlobal(QPoint(0, button->Height())));
    ASSERT_EQ(shown->actions().size(), 4);
    EXPECT_TRUE(shown->actions()[2]->isChecked());
    QAction* details = shown->actions()[3];
    EXPECT_EQ(details->text().toStdString(), "詳細(&D)");
    QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(details).center());
    EXPECT_EQ(list->ViewStyle(), vsReport);
    ASSERT_EQ(m_styles.size(), 1u);
    EXPECT_EQ(m_styles[0], (std::pair<TObject*, int>{m_bar->styleMenu()->item(3), vsReport}));
    EXPECT_TRUE(m_bar->styleMenu()->item(3)->Checked());

    // A style set from code is checked when the menu opens, here through the arrow.
    list->SetViewStyle(vsSmallIcon);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(button->Width() - 4, button->Height() / 2));
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(m_bar->styleMenu()->item(0)->Checked());
    EXPECT_FALSE(m_bar->styleMenu()->item(3)->Checked());
    EXPECT_EQ(m_clicks.size(), 1u) << "the arrow makes no click";
    QApplication::activePopupWidget()->close();

    // The list's own menu sets its style and tells no toolbar.
    list->styleMenu()->item(1)->Click();
    EXPECT_EQ(list->ViewStyle(), vsIcon);
    EXPECT_EQ(m_styles.size(), 1u);

    m_bar->SetFileListControl(nullptr);
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(m_bar->styleMenu()->FileListControl(), nullptr);
    m_bar->SetFileListControl(list.get());
    list.reset();
    EXPECT_EQ(m_bar->FileListControl(), nullptr);
    EXPECT_EQ(m_bar->styleMenu()->FileListControl(), nullptr);
    EXPECT_FALSE(button->isVisible());
}

}  // namespace
