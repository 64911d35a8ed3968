#include "Application.h"
#include "Canvas.h"
#include "GraphicsObjects.h"
#include "Control.h"
#include "HintWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QTest>

namespace {

class Hinted : public TGraphicControl {
public:
    explicit Hinted(QWidget* parent) : TGraphicControl(nullptr, parent) {}
};

class CountingHintWindow : public THintWindow {
public:
    static inline int created = 0;
    static inline std::string lastText;
    CountingHintWindow() { ++created; }
    void ActivateHint(RECT rect, const std::string& hint) override
    {
        lastText = hint;
        THintWindow::ActivateHint(rect, hint);
    }
};

}  // namespace

TEST(TApplication, ShowsTheHintOfTheControlUnderThePointerAfterThePause)
{
    TApplication app;
    app.SetHintPause(10);
    app.SetHintHidePause(5000);
    app.SetHintWindowClass([] { return new CountingHintWindow; });
    std::vector<std::string> changes;
    app.OnHint = [&](TObject*) { changes.push_back(app.Hint()); };
    int shiftedBy = 0;
    app.OnShowHint = [&](std::string&, bool&, THintInfo& info) {
        info.HintPos.y -= 8;
        shiftedBy = 8;
    };

    QWidget window;
    window.resize(200, 100);
    auto* button = new Hinted(&window);
    button->SetBounds(10, 10, 50, 30);
    button->SetHint(" ファイル振り分け１");
    button->SetShowHint(true);
    auto* plain = new Hinted(&window);
    plain->SetBounds(100, 10, 50, 30);
    window.show();

    QTest::mouseMove(button, QPoint(5, 5));
    QTest::qWait(100);
    ASSERT_NE(app.HintWindow(), nullptr);
    EXPECT_EQ(CountingHintWindow::created, 1);
    EXPECT_EQ(CountingHintWindow::lastText, " ファイル振り分け１");
    EXPECT_TRUE(app.HintWindow()->isVisible());
    EXPECT_EQ(shiftedBy, 8);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), " ファイル振り分け１");

    QTest::mouseMove(plain, QPoint(5, 5));
    EXPECT_FALSE(app.HintWindow()->isVisible()) << "leaving the control hides its hint";
    EXPECT_EQ(changes.back(), "");

    app.SetShowHint(false);
    EXPECT_EQ(app.HintWindow(), nullptr) << "switching hints off drops the window";
}

TEST(THintWindow, CalcHintRectAddsTheFrameworkMargins)
{
    THintWindow hint;
    const RECT r = hint.CalcHintRect(1000, "Pictal");
    const RECT text = [&] {
        RECT t{0, 0, 1000, 0};
        hint.Canvas()->Font()->Assign(*hint.Font());
        hint.Canvas()->DrawText("Pictal", t, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        return t;
    }();
    EXPECT_EQ(r.right, text.right + 6);
    EXPECT_EQ(r.bottom, text.bottom + 2);

    hint.ActivateHint(RECT{100, 100, 100 + r.right, 100 + r.bottom}, "Pictal");
    EXPECT_EQ(hint.height(), r.bottom + 4) << "activation adds 4 to the bottom";
    EXPECT_EQ(hint.Caption(), "Pictal");
}

TEST(SelectPlatformPlugin, ChoosesX11UnlessTheUserChoseAnotherPlatform)
{
    const QByteArray savedPlatform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray savedDisplay = qgetenv("DISPLAY");
    char program[] = "pictal";
    char flag[] = "-platform";
    char value[] = "wayland";
    char* plain[] = {program};
    char* chosen[] = {program, flag, value};

    qunsetenv("QT_QPA_PLATFORM");
    qputenv("DISPLAY", ":99");
    SelectPlatformPlugin(1, plain);
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb");

    qunsetenv("QT_QPA_PLATFORM");
    SelectPlatformPlugin(3, chosen);
    EXPECT_TRUE(qgetenv("QT_QPA_PLATFORM").isEmpty()) << "a -platform argument is the user's choice";

    qputenv("QT_QPA_PLATFORM", "offscreen");
    SelectPlatformPlugin(1, plain);
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "offscreen");

    qputenv("QT_QPA_PLATFORM", savedPlatform);
    if (savedDisplay.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", savedDisplay);
}

TEST(InitializeDesktop, FindsTheInstalledIconThemeOnEveryPlatformPlugin)
{
    InitializeDesktop();
    EXPECT_FALSE(QIcon::themeName().isEmpty());
    EXPECT_FALSE(QIcon::fromTheme("folder").isNull()) << "the offscreen plugin, too, sees the system's icon folders";
}
