#include "CommonControls.h"

#include <QPainter>

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

// Every image list alive, so that a stale or foreign handle is refused.
std::unordered_set<const ImageListData*>& liveLists()
{
    static std::unordered_set<const ImageListData*> lists;
    return lists;
}

bool live(HIMAGELIST list)
{
    return list && liveLists().count(list) != 0;
}

// A list made by ImageList_Create: the images are kept in the list.
struct OwnImageList final : ImageListData {
    using ImageListData::ImageListData;

    int count() const override { return static_cast<int>(images.size()); }
    QPixmap image(int index) const override
    {
        if (index < 0 || index >= count())
            return {};
        return images[static_cast<std::size_t>(index)];
    }
    bool own() const override { return true; }

    std::vector<QPixmap> images;
};

OwnImageList* ownList(HIMAGELIST list)
{
    return live(list) && list->own() ? static_cast<OwnImageList*>(list) : nullptr;
}

QColor colorOf(COLORREF color)
{
    return QColor(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
}

// The pixmap as a cell of the list: scaled to fit, centred, with alpha.
QPixmap cellOf(const QPixmap& source, int cx, int cy)
{
    QPixmap cell(cx, cy);
    cell.fill(Qt::transparent);
    QPixmap fitted = source;
    fitted.setDevicePixelRatio(1.0);
    if (fitted.width() != cx || fitted.height() != cy)
        fitted = fitted.scaled(cx, cy, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&cell);
    painter.drawPixmap((cx - fitted.width()) / 2, (cy - fitted.height()) / 2, fitted);
    return cell;
}

// Image index with the overlay and blend of flags, on a transparent cell.
QPixmap composed(HIMAGELIST list, int index, UINT flags)
{
    const QPixmap base = list->image(index);
    if (base.isNull())
        return {};
    QPixmap result(list->cx, list->cy);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.drawPixmap(0, 0, base);
    const UINT overlay = (flags & ILD_OVERLAYMASK) >> 8;
    if (overlay > 0 && list->overlays[overlay] >= 0) {
        const QPixmap mark = list->image(list->overlays[overlay]);
        if (!mark.isNull())
            painter.drawPixmap(0, 0, mark);
    }
    if (flags & (ILD_BLEND25 | ILD_BLEND50)) {
        // Keep half (or three quarters) of every pixel's coverage.
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(result.rect(), QColor(0, 0, 0, (flags & ILD_BLEND50) ? 128 : 192));
    }
    painter.end();
    return result;
}

}  // namespace

ImageListData::ImageListData(int width, int height) : cx(width), cy(height)
{
    std::fill(std::begin(overlays), std::end(overlays), -1);
    liveLists().insert(this);
}

ImageListData::~ImageListData()
{
    liveLists().erase(this);
}

HICON CreateIconFromPixmap(const QPixmap& pixmap)
{
    if (pixmap.isNull())
        return nullptr;
    return new IconData{pixmap};
}

BOOL DestroyIcon(HICON icon)
{
    if (!icon)
        return FALSE;
    delete icon;
    return TRUE;
}

QPixmap IconPixmap(HICON icon)
{
    return icon ? icon->pixmap : QPixmap();
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int)
{
    if (cx <= 0 || cy <= 0)
        return nullptr;
    return new OwnImageList(cx, cy);
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
    OwnImageList* own = ownList(list);
    if (!own)
        return FALSE;
    delete own;
    return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy)
{
    if (!live(list) || !cx || !cy)
        return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy)
{
    OwnImageList* own = ownList(list);
    if (!own || cx <= 0 || cy <= 0)
        return FALSE;
    own->cx = cx;
    own->cy = cy;
    ImageList_Remove(list, -1);
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list)
{
    return live(list) ? list->count() : 0;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon)
{
    OwnImageList* own = ownList(list);
    if (!own || !icon || icon->pixmap.isNull() || index >= own->count())
        return -1;
    QPixmap cell = cellOf(icon->pixmap, own->cx, own->cy);
    if (index >= 0) {
        own->images[static_cast<std::size_t>(index)] = std::move(cell);
        return index;
    }
    own->images.push_back(std::move(cell));
    return own->count() - 1;
}

int ImageList_AddMasked(HIMAGELIST list, const QImage& bitmap, COLORREF mask)
{
    OwnImageList* own = ownList(list);
    if (!own || bitmap.isNull())
        return -1;
    const int pieces = bitmap.width() / own->cx;
    if (pieces <= 0)
        return -1;
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(mask & 0xFF, mask >> 8 & 0xFF, mask >> 16 & 0xFF) & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
    }
    const int first = own->count();
    for (int i = 0; i < pieces; ++i) {
        QPixmap cell(own->cx, own->cy);
        cell.fill(Qt::transparent);
        QPainter painter(&cell);
        painter.drawImage(0, 0, image, i * own->cx, 0, own->cx, std::min(own->cy, image.height()));
        painter.end();
        own->images.push_back(std::move(cell));
    }
    return first;
}

BOOL ImageList_Remove(HIMAGELIST list, int index)
{
    OwnImageList* own = ownList(list);
    if (!own || index < -1 || index >= own->count())
        return FALSE;
    if (index == -1) {
        own->images.clear();
        std::fill(std::begin(own->overlays), std::end(own->overlays), -1);
        return TRUE;
    }
    own->images.erase(own->images.begin() + index);
    for (int& overlay : own->overlays) {
        if (overlay == index)
            overlay = -1;
        else if (overlay > index)
            --overlay;
    }
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color)
{
    if (!live(list))
        return CLR_NONE;
    const COLORREF previous = list->background;
    list->background = color == CLR_NONE ? CLR_NONE : (color & 0xFFFFFF);
    return previous;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list)
{
    return live(list) ? list->background : CLR_NONE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay)
{
    if (!live(list) || overlay < 1 || overlay > 15 || image < 0 || image >= list->count())
        return FALSE;
    list->overlays[overlay] = image;
    return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags)
{
    if (!live(list))
        return nullptr;
    return CreateIconFromPixmap(composed(list, index, flags));
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT flags)
{
    if (!live(list) || !dc)
        return FALSE;
    const QPixmap image = composed(list, index, flags);
    if (image.isNull())
        return FALSE;
    QImage cell(list->cx, list->cy, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter painter(&cell);
    if (!(flags & ILD_TRANSPARENT) && list->background != CLR_NONE)
        painter.fillRect(cell.rect(), colorOf(list->background));
    painter.drawPixmap(0, 0, image);
    painter.end();
    ImageDrawOptions options;
    options.blendAlpha = true;
    return DrawImageRect(dc, x, y, list->cx, list->cy, cell, 0, 0, list->cx, list->cy, options);
}
