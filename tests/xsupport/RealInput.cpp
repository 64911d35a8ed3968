#include "RealInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace realinput {

namespace {

Display* display()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

unsigned int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton: return 3;
    case Qt::MiddleButton: return 2;
    case Qt::BackButton: return 8;
    case Qt::ForwardButton: return 9;
    default: return 1;
    }
}

void sendButton(Qt::MouseButton button, bool down)
{
    if (Display* d = display()) {
        XTestFakeButtonEvent(d, buttonNumber(button), down ? True : False, CurrentTime);
        XFlush(d);
    }
    settle(50);
}

}  // namespace

bool available()
{
    Display* d = display();
    int event = 0, error = 0, major = 0, minor = 0;
    return d && XTestQueryExtension(d, &event, &error, &major, &minor);
}

void moveTo(QPoint global)
{
    if (Display* d = display()) {
        XTestFakeMotionEvent(d, DefaultScreen(d), global.x(), global.y(), CurrentTime);
        XFlush(d);
    }
    settle(50);
}

void press(Qt::MouseButton button)
{
    sendButton(button, true);
}

void release(Qt::MouseButton button)
{
    sendButton(button, false);
}

void click(QPoint global, Qt::MouseButton button)
{
    moveTo(global);
    press(button);
    release(button);
}

void key(unsigned long keysym, unsigned long modifier)
{
    Display* d = display();
    if (!d)
        return;
    const KeyCode held = modifier ? XKeysymToKeycode(d, KeySym(modifier)) : 0;
    const KeyCode code = XKeysymToKeycode(d, KeySym(keysym));
    if (held)
        XTestFakeKeyEvent(d, held, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (held)
        XTestFakeKeyEvent(d, held, False, CurrentTime);
    XFlush(d);
    settle(50);
}

void settle(int milliseconds)
{
    if (Display* d = display())
        XSync(d, False);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool waitUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        settle(20);
    }
    return true;
}

}  // namespace realinput
