// A picture handed to the X server once, so that pieces of it can be shown on
// a widget's part of the screen by the server itself, without the pixels
// travelling again for every piece (a slide-in shows hundreds of them).
//
// Only on an X11 display with a 24- or 32-bit visual and no scaling; anywhere
// else (offscreen, Wayland) Available() is false and the caller shows the
// pieces through the widget's own painting. What is shown this way bypasses
// the widget's backing store: the caller paints the final picture through the
// widget afterwards, so that later repaints agree with the screen.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>

class QWidget;

class TServerPicture {
public:
    // picture: 32-bit RGB; widget nullptr: not available.
    TServerPicture(QWidget* widget, const QImage& picture);
    ~TServerPicture();
    TServerPicture(const TServerPicture&) = delete;
    TServerPicture& operator=(const TServerPicture&) = delete;

    bool Available() const { return m_pixmap != 0; }
    // Shows the source rectangle of the picture with its top left corner at
    // target (widget coordinates), only where the widget is visible.
    void Show(const QRect& source, const QPoint& target);

private:
    void* m_connection = nullptr;  // xcb_connection_t of the application
    std::uint32_t m_window = 0;    // the native window the widget is painted in
    std::uint32_t m_pixmap = 0;
    std::uint32_t m_gc = 0;
    QPoint m_offset;               // the widget's origin in that window
};
