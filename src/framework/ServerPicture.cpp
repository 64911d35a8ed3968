#include "ServerPicture.h"

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <memory>
#include <cstdlib>
#include <vector>

namespace {

// The widget itself or its nearest ancestor with a native window.
QWidget* nativeHost(QWidget* widget)
{
    QWidget* w = widget;
    while (w && !w->internalWinId())
        w = w->parentWidget();
    return w;
}

// Whether depth is drawn with 32-bit pixels in the server's byte order that
// a 32-bit RGB QImage has (blue first in memory).
bool takesRgb32(xcb_connection_t* connection, std::uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
    return false;
}

// Whether a visible widget stacked above it covers part of widget: a
// transparent one is not taken out of its visible region, and the server's
// copies would paint over it.
bool overlapped(QWidget* widget)
{
    for (QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        const QRect area(w->mapTo(parent, QPoint(0, 0)), w->size());
        bool above = false;
        for (QObject* child : parent->children()) {
            if (child == w) {
                above = true;
                continue;
            }
            auto* sibling = qobject_cast<QWidget*>(child);
            if (above && sibling && !sibling->isWindow() && sibling->isVisible() && sibling->geometry().intersects(area))
                return true;
        }
    }
    return false;
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

}  // namespace

TServerPicture::TServerPicture(QWidget* widget, const QImage& picture)
{
    if (!widget || picture.isNull() || picture.format() != QImage::Format_RGB32 || !widget->isVisible() ||
        widget->devicePixelRatioF() != 1.0 || overlapped(widget))
        return;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    QWidget* host = nativeHost(widget);
    if (!x11 || !x11->connection() || !host)
        return;
    auto* connection = x11->connection();
    const auto window = xcb_window_t(host->internalWinId());
    const std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry)
        return;
    const std::uint8_t depth = geometry->depth;
    if ((depth != 24 && depth != 32) || !takesRgb32(connection, depth))
        return;

    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, depth, pixmap, window, std::uint16_t(picture.width()), std::uint16_t(picture.height()));
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    const std::uint32_t values[] = {0};  // no exposure events for copies
    xcb_create_gc(connection, gc, pixmap, XCB_GC_GRAPHICS_EXPOSURES, values);
    // Up to the server's request size at a time, whole rows.
    const std::size_t rowBytes = std::size_t(picture.bytesPerLine());
    const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(connection)) * 4 - 64;
    const int rowsPerRequest = std::max(1, int(maxBytes / rowBytes));
    for (int y = 0; y < picture.height(); y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, picture.height() - y);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, std::uint16_t(picture.width()),
                      std::uint16_t(rows), 0, std::int16_t(y), 0, depth, std::uint32_t(rowBytes * std::size_t(rows)),
                      picture.constScanLine(y));
    }

    // Copies onto the window only where the widget shows.
    m_offset = widget->mapTo(host, QPoint(0, 0));
    std::vector<xcb_rectangle_t> clip;
    for (const QRect& r : widget->visibleRegion().translated(m_offset))
        clip.push_back({std::int16_t(r.x()), std::int16_t(r.y()), std::uint16_t(r.width()), std::uint16_t(r.height())});
    m_connection = connection;
    m_window = window;
    m_pixmap = pixmap;
    m_gc = xcb_generate_id(connection);
    xcb_create_gc(connection, m_gc, window, XCB_GC_GRAPHICS_EXPOSURES, values);
    xcb_set_clip_rectangles(connection, XCB_CLIP_ORDERING_UNSORTED, m_gc, 0, 0, std::uint32_t(clip.size()), clip.data());
    xcb_free_gc(connection, gc);
}

TServerPicture::~TServerPicture()
{
    if (!m_pixmap)
        return;
    auto* connection = static_cast<xcb_connection_t*>(m_connection);
    xcb_free_gc(connection, m_gc);
    xcb_free_pixmap(connection, m_pixmap);
    xcb_flush(connection);
}

void TServerPicture::Show(const QRect& source, const QPoint& target)
{
    if (!m_pixmap || source.isEmpty())
        return;
    auto* connection = static_cast<xcb_connection_t*>(m_connection);
    const QPoint at = target + m_offset;
    xcb_copy_area(connection, m_pixmap, m_window, m_gc, std::int16_t(source.x()), std::int16_t(source.y()),
                  std::int16_t(at.x()), std::int16_t(at.y()), std::uint16_t(source.width()), std::uint16_t(source.height()));
    xcb_flush(connection);
}
