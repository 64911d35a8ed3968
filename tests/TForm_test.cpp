#include "Application.h"
#include "FileListBox.h"
#include "Form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

void closeNextBox(std::string* text)
{
    QTimer::singleShot(0, [text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *text = box->text().toStdString();
            box->accept();
        }
    });
}

}  // namespace

TEST(TForm, ACloseRequestClosesOnlyWhenOnCloseReturnedNormally)
{
    TApplication app;
    TForm form;
    form.show();
    int attempts = 0;
    form.OnClose = [&](TObject*, TCloseAction&) {
        if (++attempts == 1)
            throw Exception("/opt/pictal/Pictal.ini に書き込めません");
    };
    std::string shown;
    closeNextBox(&shown);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible()) << "a failing close handler keeps the window open";
    EXPECT_EQ(shown, "/opt/pictal/Pictal.ini に書き込めません");

    EXPECT_TRUE(form.close()) << "the next close tries again";
    EXPECT_EQ(attempts, 2);
    EXPECT_FALSE(form.isVisible());
}

TEST(TForm, CaNoneKeepsTheWindowAndCaMinimizeMinimizes)
{
    TApplication app;
    TForm form;
    form.show();
    TCloseAction wanted = caNone;
    form.OnClose = [&](TObject*, TCloseAction& action) { action = wanted; };
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    wanted = caMinimize;
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isMinimized());
}

TEST(TForm, KeyPreviewSeesKeysFirstAndMayConsumeThem)
{
    TApplication app;
    TForm form;
    auto* edit = new QLineEdit(&form);
    form.SetKeyPreview(true);
    std::vector<WORD_KEY> previewed;
    form.OnKeyDown = [&](TObject*, WORD_KEY& key, TShiftState) {
        previewed.push_back(key);
        if (key == VK_F3)
            key = 0;
    };
    form.show();
    edit->setFocus();
    QApplication::setActiveWindow(&form);
    ASSERT_EQ(QApplication::focusWidget(), edit);

    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_F3);
    QTest::keyClick(edit, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(previewed, (std::vector<WORD_KEY>{'A', VK_F3, VK_NUMPAD0 + 5}));
    EXPECT_EQ(edit->text().toStdString(), "a5") << "keys the form left alone reach the control";
}

TEST(TForm, AKeyGoesToTheFocusedControlOnlyWithoutKeyPreview)
{
    TApplication app;
    TForm form;
    int formKeys = 0, childKeys = 0, listKeys = 0;
    form.OnKeyDown = [&](TObject*, WORD_KEY&, TShiftState) { ++formKeys; };
    auto* child = new TCustomControl(&form, &form);
    child->SetBounds(0, 0, 50, 50);
    child->setFocusPolicy(Qt::StrongFocus);
    child->OnKeyDown = [&](TObject*, WORD_KEY&, TShiftState) { ++childKeys; };
    auto* list = new TFileListBox(&form, &form);
    list->setGeometry(60, 0, 100, 100);
    list->OnKeyDown = [&](TObject*, WORD_KEY&, TShiftState) { ++listKeys; };
    form.show();
    QApplication::setActiveWindow(&form);

    child->setFocus();
    QTest::keyClick(child, Qt::Key_F3);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F3);
    EXPECT_EQ(childKeys, 1);
    EXPECT_EQ(listKeys, 1);
    EXPECT_EQ(formKeys, 0) << "keys the focused control leaves alone do not reach the window";

    form.setFocus();
    QTest::keyClick(&form, Qt::Key_F3);
    EXPECT_EQ(formKeys, 1) << "the window's own keys reach its handler";
}
