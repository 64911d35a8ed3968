#include "SystemUi.h"

#include <QApplication>
#include <QLocale>

BOOL MessageBeep(UINT)
{
    QApplication::beep();
    return 1;
}

// Qt's flash time is the whole on-and-off cycle; the blink time is one half.
UINT GetCaretBlinkTime()
{
    const int flash = QApplication::cursorFlashTime();
    return flash <= 0 ? INFINITE_BLINK : UINT(flash / 2);
}

BOOL SetCaretBlinkTime(UINT milliseconds)
{
    if (milliseconds == INFINITE_BLINK) {
        QApplication::setCursorFlashTime(0);
        return 1;
    }
    if (milliseconds == 0 || milliseconds > 0x3FFFFFFF)
        return 0;
    QApplication::setCursorFlashTime(int(milliseconds * 2));
    return 1;
}

LANGID GetSystemDefaultLangID()
{
    switch (QLocale::system().language()) {
    case QLocale::Japanese: return MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    case QLocale::English: return MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT);
    default: return MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
    }
}
