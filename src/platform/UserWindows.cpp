#include "UserWindows.h"

#include "Unicode.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QThread>
#include <QWidget>

#include <cstring>
#include <vector>

namespace {

constexpr const char* kCtrlIdProperty = "pictalCtrlId";

// The blank cursor this program sets: a pixmap cursor of its own, so that it
// is told apart from any other override cursor (another's blank one too).
const QCursor& blankCursor()
{
    static const QCursor cursor = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        return QCursor(pixmap, 0, 0);
    }();
    return cursor;
}

// Whether the caller may touch the application's cursor: there is a GUI
// application and this is its thread.
bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<const QGuiApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
}

thread_local int t_cursorCount = 0;  // the calling thread's display count
bool g_blankSet = false;              // on the application's thread only

// Takes our blank cursor off the application's override stack: the cursors
// set after it are lifted off and put back in their order (all of them, when
// another has already removed ours).
void removeBlankCursor()
{
    std::vector<QCursor> above;
    while (const QCursor* top = QGuiApplication::overrideCursor()) {
        const bool ours = *top == blankCursor();
        if (!ours)
            above.push_back(*top);
        QGuiApplication::restoreOverrideCursor();
        if (ours)
            break;
    }
    for (auto it = above.rbegin(); it != above.rend(); ++it)
        QGuiApplication::setOverrideCursor(*it);
}

}  // namespace

BOOL SetWindowTextA(HWND window, const char* text)
{
    if (!window)
        return FALSE;
    window->setWindowTitle(QString::fromUtf8(text ? text : ""));
    return TRUE;
}

int GetWindowTextA(HWND window, char* buffer, int maxCount)
{
    if (!window || !buffer || maxCount < 1)
        return 0;
    const QByteArray text = window->windowTitle().toUtf8();
    const std::size_t n =
        Utf8Prefix(std::string_view(text.constData(), std::size_t(text.size())), std::size_t(maxCount - 1)).size();
    std::memcpy(buffer, text.constData(), n);
    buffer[n] = '\0';
    return int(n);
}

HWND GetAncestor(HWND window, UINT flags)
{
    if (!window)
        return nullptr;
    switch (flags) {
    case GA_PARENT: return window->parentWidget();
    case GA_ROOT: return window->window();
    default: return nullptr;
    }
}

void SetDlgCtrlID(HWND control, int id)
{
    if (control)
        control->setProperty(kCtrlIdProperty, id);
}

int GetDlgCtrlID(HWND control)
{
    if (!control)
        return 0;
    const QVariant id = control->property(kCtrlIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

HWND GetDlgItem(HWND dialog, int id)
{
    if (!dialog)
        return nullptr;
    for (QWidget* child : dialog->findChildren<QWidget*>())
        if (GetDlgCtrlID(child) == id && child->property(kCtrlIdProperty).isValid())
            return child;
    return nullptr;
}

BOOL ShowWindow(HWND window, int command)
{
    if (!window)
        return FALSE;
    const bool wasVisible = !window->isHidden();
    window->setVisible(command != SW_HIDE);
    return wasVisible ? TRUE : FALSE;
}

int ShowCursor(BOOL show)
{
    t_cursorCount += show ? 1 : -1;
    if (!onGuiThread())
        return t_cursorCount;
    if (t_cursorCount < 0 && !g_blankSet) {
        QGuiApplication::setOverrideCursor(blankCursor());
        g_blankSet = true;
    } else if (t_cursorCount >= 0 && g_blankSet) {
        removeBlankCursor();
        g_blankSet = false;
    }
    return t_cursorCount;
}

HDC GetDC(HWND window)
{
    HDC dc = CreateImageDC(nullptr);
    if (dc)
        SetDCFont(dc, window ? window->font() : QFont());
    return dc;
}

int ReleaseDC(HWND, HDC dc)
{
    return dc && DeleteDC(dc) ? 1 : 0;
}
