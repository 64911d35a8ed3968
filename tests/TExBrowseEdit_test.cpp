// The folder browse edit: its text and change events, its keys, the browse
// button running the picker over a temporary home, the caret blink time,
// and its border and button.
#include "ExBrowseEdit.h"
#include "PickerHome.h"
#include "SystemUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using pickertest::AnswerOnInit;

// A shown and active window holding the edit under test.
class ShownEdit {
public:
    ShownEdit()
    {
        window.resize(300, 80);
        edit.setParent(&window);
        edit.SetBounds(10, 10, 240, 20);
        other.setParent(&window);
        other.setGeometry(10, 40, 240, 20);
        edit.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &edit);
            changes.push_back(edit.Path());
        };
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    ::TExBrowseEdit edit;
    QLineEdit other;
    std::vector<std::string> changes;
};

TEST(TExBrowseEdit, EveryChangeOfTheTextRaisesOnChangeOnceButNotWhileLoading)
{
    ShownEdit shown;
    ::TExBrowseEdit& edit = shown.edit;
    edit.SetPath("/data/a");
    edit.SetPath("/data/a");
    EXPECT_EQ(shown.changes, (std::vector<std::string>{"/data/a"})) << "the same text again changes nothing";

    edit.setFocus();
    edit.setCursorPosition(7);
    QTest::keyClicks(&edit, "bc");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QApplication::clipboard()->setText("/x");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown.changes, (std::vector<std::string>{"/data/a", "/data/ab", "/data/abc", "/data/ab", "/data/ab/x"}));

    // Bytes that are no UTF-8 come back as they went in.
    const std::string latin1 = "/data/caf\xE9";
    edit.SetPath(latin1);
    EXPECT_EQ(edit.Path(), latin1);
    EXPECT_EQ(shown.changes.back(), latin1);

    shown.changes.clear();
    edit.BeginLoading();
    edit.SetPath("/stored");
    edit.EndLoading();
    EXPECT_EQ(edit.Path(), "/stored");
    EXPECT_TRUE(shown.changes.empty()) << "no change event while the layout is applied";

    const std::string longPath = "/" + std::string(40000, 'p');
    edit.SetPath(longPath);
    EXPECT_EQ(edit.Path(), longPath) << "no length limit";
}

TEST(TExBrowseEdit, OnKeyDownSeesAKeyBeforeTheEditAndALeftKeyIsTyped)
{
    ShownEdit shown;
    ::TExBrowseEdit& edit = shown.edit;
    std::vector<std::pair<WORD_KEY, std::string>> seen;
    edit.OnKeyDown = [&](TObject* sender, WORD_KEY& key, TShiftState) {
        EXPECT_EQ(sender, &edit);
        seen.emplace_back(key, edit.Path());
        if (key == 'A')
            key = 0;
    };
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Space);
    QTest::keyClick(&edit, Qt::Key_A);
    QTest::keyClick(&edit, Qt::Key_B);
    EXPECT_EQ(seen, (std::vector<std::pair<WORD_KEY, std::string>>{{VK_SPACE, ""}, {'A', " "}, {'B', " "}}));
    EXPECT_EQ(edit.Path(), " b") << "Space types a blank; a key set to 0 is used up";
}

TEST(TExBrowseEdit, TheCaretBlinksAtItsRateWhileFocusedAndTheFoundTimeComesBack)
{
    QApplication::setCursorFlashTime(1000);
    {
        ShownEdit shown;
        shown.edit.SetCaretBlinkRate(200);
        shown.other.setFocus();
        EXPECT_EQ(GetCaretBlinkTime(), 500u);
        shown.edit.setFocus();
        EXPECT_EQ(GetCaretBlinkTime(), 200u);
        shown.other.setFocus();
        EXPECT_EQ(GetCaretBlinkTime(), 500u);
        shown.edit.setFocus();
        EXPECT_EQ(GetCaretBlinkTime(), 200u);
    }
    EXPECT_EQ(GetCaretBlinkTime(), 500u) << "put back when the focused edit goes";
}

TEST(TExBrowseEdit, WindowsBevelAndTheFolderButtonAtTheRightEnd)
{
    ShownEdit shown;
    ::TExBrowseEdit& edit = shown.edit;
    edit.SetBevel(ebvWindows);
    QAbstractButton* button = edit.BrowseButton();
    EXPECT_EQ(button->geometry(), QRect(240 - 2 - 18, 2, 18, 16));
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);

    const QImage edge = edit.grab().toImage();
    EXPECT_EQ(edge.pixelColor(0, 0), ToQColor(clBtnShadow));
    EXPECT_EQ(edge.pixelColor(1, 1), ToQColor(cl3DDkShadow));
    EXPECT_EQ(edge.pixelColor(239, 19), ToQColor(clBtnHighlight));
    EXPECT_EQ(edge.pixelColor(238, 18), ToQColor(cl3DLight));

    // The glyph is centred on the button: outline, yellow face, clear corner.
    const QImage face = button->grab().toImage();
    EXPECT_EQ(face.pixelColor(2, 5), ToQColor(clBlack));
    EXPECT_EQ(face.pixelColor(4, 5), ToQColor(clYellow));
    EXPECT_EQ(face.pixelColor(13, 4), ToQColor(clBtnFace));
}

class TExBrowseEditPicking : public ::testing::Test {
protected:
    // Clicks the browse button; the picker is answered by answer.
    void browse(std::function<void(TExFolderPicker&)> answer)
    {
        m_shown.edit.OnExecute = [this, answer](TObject* sender, TExBrowseDlg* dialog) {
            EXPECT_EQ(sender, &m_shown.edit);
            EXPECT_EQ(dialog->Options().Bits(), 272u);
            EXPECT_EQ(dialog->StartFolder(), bfoDesktopExpanded);
            AnswerOnInit(*dialog, answer);
        };
        QTest::mouseClick(m_shown.edit.BrowseButton(), Qt::LeftButton);
    }

    pickertest::PickerHome m_home;
    ShownEdit m_shown;
};

TEST_F(TExBrowseEditPicking, APickSetsTheFullPathOnceCancelNothingAndStartWithLastStartsAtThePath)
{
    const std::string sorted = m_home.path("Pictures/sorted");
    auto pick = [](const std::string& path) {
        return [path](TExFolderPicker& picker) {
            TFolderTreeView& tree = *picker.Tree();
            EXPECT_EQ(tree.Selected(), tree.Items().GetFirstNode()) << "starts at the desktop, not at the path";
            tree.setFolderName(path);
            picker.Confirm();
        };
    };
    browse(pick(sorted + "/"));
    EXPECT_EQ(m_shown.edit.Path(), sorted);
    browse(pick(sorted));
    EXPECT_EQ(m_shown.changes, (std::vector<std::string>{sorted})) << "the folder already shown";
    browse(pick("/"));
    EXPECT_EQ(m_shown.edit.Path(), "/");

    m_shown.edit.SetPath(sorted);
    m_shown.edit.SetStartWithLast(true);
    browse([&](TExFolderPicker& picker) {
        EXPECT_EQ(picker.Tree()->FolderName(), sorted);
        picker.Tree()->setFolderName("/");
        picker.Cancel();
    });
    EXPECT_EQ(m_shown.changes, (std::vector<std::string>{sorted, "/", sorted})) << "nothing on Cancel";
}

}  // namespace
