#include "Application.h"

#include "Control.h"
#include "FontSubstitution.h"
#include "Form.h"
#include "HintWindow.h"
#include "SafeCall.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <cstring>

TApplication* Application = nullptr;

namespace {

constexpr const char* kHintProperty = "pictalHint";
constexpr const char* kShowHintProperty = "pictalShowHint";
constexpr int kHintBelowPointer = 20;  // the hint starts this far below the pointer's hot spot

struct HintSource {
    QWidget* control = nullptr;
    std::string hint;
    bool show = false;
};

// The nearest widget, from `widget` up to its window, that carries a hint.
HintSource hintAt(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* c = dynamic_cast<TControl*>(w)) {
            if (!c->Hint().empty())
                return {w, c->Hint(), c->ShowHint()};
        } else {
            const QString text = w->property(kHintProperty).toString();
            if (!text.isEmpty())
                return {w, text.toStdString(), w->property(kShowHintProperty).toBool()};
        }
        if (w->isWindow())
            break;
    }
    return {};
}

// A hint "short|long": the part before "|" is shown, the part after it is the
// application's Hint. Without "|" both are the whole text.
std::string shortHint(const std::string& hint)
{
    return hint.substr(0, hint.find('|'));
}

std::string longHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

bool isHintWindow(QObject* o)
{
    for (auto* w = qobject_cast<QWidget*>(o); w; w = w->parentWidget())
        if (dynamic_cast<THintWindow*>(w))
            return true;
    return false;
}

}  // namespace

void HandleException(const Exception& error) noexcept
{
    try {
        if (Application) {
            Application->ShowException(error);
            return;
        }
    } catch (...) {
    }
    std::fprintf(stderr, "%s\n", error.what());
}

void SetWidgetHint(QWidget* widget, const std::string& hint, bool showHint)
{
    widget->setProperty(kHintProperty, QString::fromStdString(hint));
    widget->setProperty(kShowHintProperty, showHint);
}

TApplication::TApplication() : TComponent(nullptr)
{
    Application = this;
    for (QTimer* t : {&FShowTimer, &FHideTimer, &FRecentTimer})
        t->setSingleShot(true);
    connect(&FShowTimer, &QTimer::timeout, this, [this] { SafeCall([this] { showHintNow(); }); });
    connect(&FHideTimer, &QTimer::timeout, this, [this] { SafeCall([this] { hideHint(); }); });
    connect(&FRecentTimer, &QTimer::timeout, this, [this] { FRecentlyShown = false; });
    if (qApp)
        qApp->installEventFilter(this);
}

TApplication::~TApplication()
{
    if (qApp)
        qApp->removeEventFilter(this);
    FHintWindow.reset();
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetTitle(const std::string& title)
{
    FTitle = title;
    QCoreApplication::setApplicationName(QString::fromStdString(title));
}

int TApplication::Run()
{
    if (FTerminated)
        return 0;
    return QApplication::exec();
}

void TApplication::Terminate()
{
    FTerminated = true;
    QCoreApplication::quit();
}

void TApplication::Minimize()
{
    if (FMainForm)
        FMainForm->showMinimized();
}

void TApplication::Restore()
{
    if (FMainForm)
        FMainForm->showNormal();
}

void TApplication::ShowException(const Exception& error)
{
    // One box at a time: a handler that fails again while the box is open
    // (a paint under it, say) would otherwise stack boxes without end.
    if (FShowingException) {
        std::fprintf(stderr, "%s\n", error.what());
        return;
    }
    FShowingException = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FShowingException};
    CancelHint();
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(FTitle), QString::fromStdString(error.Message()),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// ---------------------------------------------------------------- hints

void TApplication::SetShowHint(bool value)
{
    if (value == FShowHint)
        return;
    FShowHint = value;
    if (!value) {
        CancelHint();
        FHintWindow.reset();
    }
}

void TApplication::SetHintWindowClass(THintWindowClass factory)
{
    FHintWindowClass = std::move(factory);
}

void TApplication::CancelHint()
{
    FShowTimer.stop();
    hideHint();
}

void TApplication::hideHint()
{
    FHideTimer.stop();
    if (FHintShowing && FHintWindow) {
        FHintWindow->ReleaseHint();
        FRecentlyShown = true;
        FRecentTimer.start(FHintHidePause);
    }
    FHintShowing = false;
}

void TApplication::pointerOver(QWidget* widget, const QPoint& globalPos)
{
    FHintCursor = globalPos;
    const HintSource source = hintAt(widget);
    const std::string hint = longHint(source.hint);
    if (hint != FHint) {
        FHint = hint;
        if (OnHint)
            OnHint(this);
    }
    if (source.control == FHintControl)
        return;
    CancelHint();
    FHintControl = source.control;
    if (source.control && source.show && !source.hint.empty() && FShowHint)
        FShowTimer.start(FRecentlyShown ? FHintShortPause : FHintPause);
}

void TApplication::showHintNow()
{
    QWidget* control = FHintControl.data();
    if (!control || !FShowHint)
        return;
    const HintSource source = hintAt(control);
    if (source.hint.empty())
        return;

    THintInfo info;
    info.HintControl = control;
    info.HintPos = POINT{FHintCursor.x(), FHintCursor.y() + kHintBelowPointer};
    const QPoint local = control->mapFromGlobal(FHintCursor);
    info.CursorPos = POINT{local.x(), local.y()};
    QScreen* screen = QGuiApplication::screenAt(FHintCursor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    info.HintMaxWidth = screen ? screen->geometry().width() : 640;
    info.HideTimeout = FHintHidePause;
    info.HintStr = shortHint(source.hint);
    bool canShow = true;
    std::string text = info.HintStr;
    if (OnShowHint)
        OnShowHint(text, canShow, info);
    if (!canShow || text.empty())
        return;

    if (!FHintWindow)
        FHintWindow.reset(FHintWindowClass ? FHintWindowClass() : new THintWindow(nullptr));
    if (!FHintWindow)
        return;
    FHintWindow->SetColor(info.HintColor);
    RECT r = FHintWindow->CalcHintRect(info.HintMaxWidth, text);
    r.left += info.HintPos.x;
    r.right += info.HintPos.x;
    r.top += info.HintPos.y;
    r.bottom += info.HintPos.y;
    FHintWindow->ActivateHint(r, text);
    FHintShowing = true;
    if (info.HideTimeout > 0)
        FHideTimer.start(info.HideTimeout);
}

bool TApplication::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (auto* w = qobject_cast<QWidget*>(watched); w && !isHintWindow(w)) {
            const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            SafeCall([&] { pointerOver(QApplication::widgetAt(global) ? QApplication::widgetAt(global) : w, global); });
        }
        break;
    case QEvent::Leave:
        if (watched == FHintControl.data()) {
            CancelHint();
            FHintControl = nullptr;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::ApplicationDeactivate:
        CancelHint();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- desktop set-up

void SelectPlatformPlugin(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return;
    // Windows are placed and moved by screen coordinates, which only X11 allows;
    // on a Wayland desktop this runs through XWayland.
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void InitializeDesktop()
{
    // Some platform plugins (offscreen) search only Qt's own resources for
    // icon themes: add the system's icon folders.
    QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString& folder :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "icons", QStandardPaths::LocateDirectory))
        if (!searchPaths.contains(folder))
            searchPaths.append(folder);
    QIcon::setThemeSearchPaths(searchPaths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") {
        QIcon::setThemeName("Adwaita");
        QIcon::setFallbackThemeName("hicolor");
    }
    InstallFontSubstitutions();
}
