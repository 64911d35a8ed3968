#include "Application.h"
#include "Canvas.h"
#include "Control.h"
#include "CustomTreeView.h"
#include "FileListBox.h"
#include "Form.h"
#include "Panel.h"
#include "Shape.h"
#include "SpeedButton.h"
#include "GraphicsObjects.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

namespace {

constexpr unsigned CM_TEST = WM_USER + 7;

class Probe : public TCustomControl {
public:
    explicit Probe(QWidget* parent = nullptr) : TCustomControl(nullptr, parent) {}
    std::vector<std::string> seen;
    int paints = 0;
    int handledPosts = 0;
    int stillQueuedAtFirst = -1;

protected:
    void Paint() override
    {
        ++paints;
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(RECT{0, 0, 4, 4});
    }
    void Click() override
    {
        seen.push_back("click");
        TCustomControl::Click();
    }
    void DblClick() override { seen.push_back("dblclick"); }
    void MouseDown(TMouseButton, TShiftState shift, int x, int y) override
    {
        seen.push_back(std::string(shift.Contains(ssDouble) ? "down2 " : "down ") + std::to_string(x) + "," +
                       std::to_string(y));
    }
    void MouseUp(TMouseButton, TShiftState, int, int) override { seen.push_back("up"); }
    void CMFontChanged() override { seen.push_back("font"); }
    void CMColorChanged() override { seen.push_back("color"); }
    void CMMouseEnter() override { seen.push_back("enter"); }
    std::intptr_t WndProc(unsigned message, std::intptr_t w, std::intptr_t l) override
    {
        if (message == CM_TEST) {
            if (stillQueuedAtFirst < 0)
                stillQueuedAtFirst = QueuedMessageCount(CM_TEST);
            if (QueuedMessageCount(CM_TEST) == 0)
                ++handledPosts;  // only the last queued post does the work
            return 0;
        }
        return TCustomControl::WndProc(message, w, l);
    }
};

// Closes the next modal message box and reports its title and text.
struct BoxWatcher {
    std::string title, text;
    void arm()
    {
        QTimer::singleShot(0, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle().toStdString();
                text = box->text().toStdString();
                box->accept();
            }
        });
    }
};

}  // namespace

TEST(TControl, ColorAndFontFollowTheParentUntilSetOwnValues)
{
    Probe parent;
    Probe child(&parent);
    child.SetParentColor(true);
    parent.SetColor(clYellow);
    EXPECT_EQ(child.Color(), clYellow);

    parent.Font()->SetHeight(27);
    EXPECT_EQ(child.Font()->Height(), 27) << "ParentFont is on by default";
    EXPECT_TRUE(child.ParentFont());
    EXPECT_EQ(child.seen, (std::vector<std::string>{"color", "font"}));

    child.Font()->SetHeight(12);
    EXPECT_FALSE(child.ParentFont());
    child.SetColor(clBlue);
    EXPECT_FALSE(child.ParentColor());
    parent.SetColor(clWhite);
    parent.Font()->SetHeight(30);
    EXPECT_EQ(child.Color(), clBlue);
    EXPECT_EQ(child.Font()->Height(), 12);
}

TEST(TControl, ClickNeedsPressAndReleaseInsideAndADoubleClickIsNoSecondClick)
{
    Probe p;
    p.SetBounds(0, 0, 50, 30);
    p.show();
    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_EQ(p.seen, (std::vector<std::string>{"down 5,6", "click", "up"}));

    p.seen.clear();
    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(80, 6));
    EXPECT_EQ(p.seen, (std::vector<std::string>{"down 5,6", "up"})) << "released outside: no click";

    p.seen.clear();
    QTest::mouseDClick(&p, Qt::LeftButton, {}, QPoint(1, 2));
    ASSERT_FALSE(p.seen.empty());
    EXPECT_EQ(std::count(p.seen.begin(), p.seen.end(), "dblclick"), 1);
    EXPECT_EQ(std::count(p.seen.begin(), p.seen.end(), "down2 1,2"), 1);
}

TEST(TControlEvents, DrawnAndWrappedControlsRaiseMouseEventsForTheThreeButtonsOnly)
{
    QWidget window;
    window.resize(300, 100);
    TCustomControl drawn(nullptr, &window);
    drawn.setGeometry(0, 0, 100, 100);
    TCustomTreeView tree;
    tree.SetParent(&window);
    tree.setGeometry(100, 0, 100, 100);
    TFileListBox list(nullptr, &window);
    list.setGeometry(200, 0, 100, 100);
    window.show();

    struct Target {
        const char* name;
        TControlEvents& events;
        QWidget* input;  // the widget Qt delivers the mouse to
    };
    for (const Target& t : {Target{"drawn control", drawn, &drawn}, Target{"tree view", tree, tree.viewport()},
                            Target{"list box", list, list.viewport()}}) {
        SCOPED_TRACE(t.name);
        std::vector<std::string> seen;
        t.events.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { seen.push_back("down " + std::to_string(b)); };
        t.events.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { seen.push_back("up " + std::to_string(b)); };
        t.events.OnClick = [&](TObject*) { seen.push_back("click"); };
        for (const Qt::MouseButton extra : {Qt::BackButton, Qt::ForwardButton, Qt::ExtraButton3}) {
            QTest::mousePress(t.input, extra, Qt::NoModifier, QPoint(50, 50));
            QTest::mouseRelease(t.input, extra, Qt::NoModifier, QPoint(50, 50));
        }
        EXPECT_TRUE(seen.empty()) << "other buttons raise nothing";
        QTest::mousePress(t.input, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseRelease(t.input, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mousePress(t.input, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseRelease(t.input, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
        EXPECT_EQ(seen, (std::vector<std::string>{"down 2", "up 2", "down 1", "up 1"}));
    }
}

TEST(TGraphicControl, ALeftPressItDoesNotUseReachesTheFormItIsPlacedOn)
{
    TForm form;
    form.resize(300, 100);
    TShape onForm(nullptr, &form);
    onForm.setGeometry(0, 0, 50, 100);
    TSpeedButton button(nullptr, &form);
    button.setGeometry(60, 0, 50, 50);
    TPanel panel(nullptr, &form);
    panel.setGeometry(150, 0, 150, 100);
    TShape onPanel(nullptr, &panel);
    onPanel.setGeometry(0, 0, 50, 50);
    form.show();
    int reached = 0;
    form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++reached; };
    auto press = [](QWidget* w, Qt::MouseButton b) {
        QTest::mousePress(w, b, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(w, b, Qt::NoModifier, QPoint(5, 5));
    };

    press(&onForm, Qt::LeftButton);
    EXPECT_EQ(reached, 1) << "a shape on the form is the form's surface";
    press(&onForm, Qt::RightButton);
    press(&button, Qt::LeftButton);
    press(&onPanel, Qt::LeftButton);
    onForm.OnClick = [](TObject*) {};
    press(&onForm, Qt::LeftButton);
    EXPECT_EQ(reached, 1) << "the right button, a button, a shape on a panel and a shape with a click handler keep their presses";
}

TEST(TControl, PostedMessagesCountWhatIsStillQueued)
{
    Probe p;
    for (int i = 0; i < 3; ++i)
        p.PostMessage(CM_TEST);
    EXPECT_EQ(p.QueuedMessageCount(CM_TEST), 3);
    QCoreApplication::sendPostedEvents(&p);
    EXPECT_EQ(p.stillQueuedAtFirst, 2);
    EXPECT_EQ(p.handledPosts, 1) << "three posts coalesce into one piece of work";
    EXPECT_EQ(p.QueuedMessageCount(CM_TEST), 0);
}

TEST(TControl, FlushShowsTheSurfaceWithoutRunningPaintAgain)
{
    Probe p;
    p.SetBounds(0, 0, 20, 20);
    p.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p));
    EXPECT_EQ(p.grab().toImage().pixelColor(1, 1), QColor(255, 0, 0));  // grabbing paints too
    p.repaint();
    const int paints = p.paints;
    ASSERT_GT(paints, 0);

    p.Canvas()->Brush()->SetColor(clLime);
    p.Canvas()->FillRect(RECT{10, 10, 12, 12});
    p.FlushRect(RECT{10, 10, 12, 12});
    EXPECT_EQ(p.paints, paints) << "a flush only copies the surface";
    p.repaint();
    EXPECT_EQ(p.paints, paints + 1) << "a real repaint request runs Paint";
}

TEST(TControl, AnExceptionInAHandlerIsShownAndTheProgramGoesOn)
{
    TApplication app;
    app.SetTitle("Pictal");
    Probe p;
    p.SetBounds(0, 0, 40, 40);
    p.OnKeyDown = [](TObject*, WORD_KEY&, TShiftState) { throw Exception("boom"); };
    p.show();

    BoxWatcher box;
    box.arm();
    QTest::keyClick(&p, Qt::Key_F3);
    EXPECT_EQ(box.title, "Pictal");
    EXPECT_EQ(box.text, "boom");

    p.OnKeyDown = [](TObject*, WORD_KEY&, TShiftState) { throw std::runtime_error("not ours"); };
    BoxWatcher other;
    other.text = "unset";
    other.arm();
    QTest::keyClick(&p, Qt::Key_A);
    EXPECT_EQ(other.text, "") << "any other exception is shown with an empty message";
}

TEST(VirtualKeyFromQt, KeypadDigitsAndNavigationKeysAsOnWindows)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5, true), VK_NUMPAD0 + 5);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_0, true), 96);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5, false), '5');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_End, true), VK_END) << "keypad 1 with Num Lock off";
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Clear, true), VK_CLEAR) << "keypad 5 with Num Lock off";
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Insert, true), VK_INSERT) << "keypad 0 with Num Lock off";
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1, false), 112);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F9, false), 120);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Space, false), 32);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_R, false), 'R');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, true), VK_ADD);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, false), '1');
}
