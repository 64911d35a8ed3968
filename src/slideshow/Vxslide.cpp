#include "Vxslide.h"

#include "Vxslideabout.h"

#include "Canvas.h"
#include "SlideDecodeAhead.h"
#include "SlideLoad.h"
#include "ServerPicture.h"
#include "GlobalMemory.h"
#include "UniqueDC.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"
#include "Vxutils.h"

#include "Paths.h"
#include "SafeCall.h"
#include "SysUtils.h"

#include <algorithm>
#include <limits>
#include <cstdlib>
#include <cstring>
#include <vector>


namespace {

COLORREF toColorRef(TColor color)
{
    return COLORREF(ColorToRGB(color)) & 0xFFFFFF;
}

// A filled box, right and bottom exclusive, through the library when it is
// there.
void boxFull(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    if (Vxdllprocs::_BoxFull) {
        Vxdllprocs::_BoxFull(dc, left, top, right, bottom, colour);
        return;
    }
    LOGBRUSH brush;
    brush.lbColor = colour;
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush);
}

int stretchDib(HDC dc, int x, int y, int width, int height, const BITMAPINFO* info, const void* bits)
{
    const int w = info->bmiHeader.biWidth;
    const int h = std::abs(info->bmiHeader.biHeight);
    if (Vxdllprocs::_StretchDIBits)
        return Vxdllprocs::_StretchDIBits(dc, x, y, width, height, 0, 0, w, h, bits, info, DIB_RGB_COLORS, SRCCOPY);
    return StretchDIBits(dc, x, y, width, height, 0, 0, w, h, bits, info, DIB_RGB_COLORS, SRCCOPY);
}

std::size_t paletteSize(const BITMAPINFOHEADER& header)
{
    if (Vxdllprocs::GetDibPalSize)
        return std::size_t(std::max<std::int32_t>(0, Vxdllprocs::GetDibPalSize(&header)));
    return DibColorTableSize(header);
}

}  // namespace

// ---------------------------------------------------------------- lifetime

TVxSlide::TVxSlide(TComponent* owner, QWidget* parent) : TVxUiControl(owner, parent)
{
    SetBounds(Left(), Top(), 100, 100);
    SetParentColor(false);
    SetColor(clWhite);
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitializeVX(kVxUserSlide);
    if (Vxdllprocs::VXVectorGdipStart)
        FGdipToken = Vxdllprocs::VXVectorGdipStart();
    FIntervalTimer.setSingleShot(false);
    QObject::connect(&FIntervalTimer, &QTimer::timeout, this, [this] { SafeCall([this] { WMTimer(); }); });
}

TVxSlide::~TVxSlide()
{
    FIntervalTimer.stop();
    releaseImage();
    for (VXHANDLE image : FPendingFree)
        FreeSlideImage(image);
    FPendingFree.clear();
    KillIntervalTimet();
    FreeThumbDataMemory();
    FAhead.reset();  // its worker calls the library: stopped before the library goes
    if (FGdipToken && Vxdllprocs::VXVectorGdipEnd)
        Vxdllprocs::VXVectorGdipEnd(FGdipToken);
    FGdipToken = 0;
    TerminateVX(kVxUserSlide);
}

// ---------------------------------------------------------------- properties

void TVxSlide::SetAppearance(TVxAppearance value)
{
    if (value == FAppearance)
        return;
    FAppearance = value;
    Invalidate();
}

void TVxSlide::SetBorderColor(TColor value)
{
    if (value == FBorderColor)
        return;
    FBorderColor = value;
    Invalidate();
}

void TVxSlide::SetBorderVisible(bool value)
{
    if (value == FBorderVisible)
        return;
    FBorderVisible = value;
    Invalidate();
}

// ---------------------------------------------------------------- events

void TVxSlide::DoEndSlide(std::int16_t imageNumber, const std::string& pathName, const std::string& fileName)
{
    if (OnEndSlide)
        OnEndSlide(this, imageNumber, pathName, fileName);
}

void TVxSlide::DoProgress(std::int16_t percent)
{
    if (OnProgress)
        OnProgress(this, percent);
}

void TVxSlide::DoStartSlide(std::int16_t imageNumber, const std::string& pathName, const std::string& fileName)
{
    if (OnStartSlide)
        OnStartSlide(this, imageNumber, pathName, fileName);
}

// ---------------------------------------------------------------- operations

void TVxSlide::forgetShown()
{
    FShownPath.clear();
    FShownPage = 0;
}

void TVxSlide::releaseImage()
{
    // An event handler may close or move on while a display still draws this
    // image: it is freed once the outermost display has ended.
    if (FDisplayDepth > 0 && FImage)
        FPendingFree.push_back(FImage);
    else
        FreeSlideImage(FImage);
    FImage = nullptr;
}

bool TVxSlide::Open()
{
    SetErrorCode(0);
    releaseImage();
    if (hasList()) {
        SetErrorCode(11);
        return false;
    }
    SetCurrentImage(0);
    GetTopPathName();  // the list is empty: clears the current path
    forgetShown();
    const bool built = FileReadWay() == vxSlidefile ? GetFromSlideFile() : GetFromFolder();
    if (!built) {
        FreeThumbDataMemory();
        SetErrorCode(5);
        return false;
    }
    SetErrorCode(0);
    return true;
}

bool TVxSlide::Close()
{
    SetErrorCode(0);
    KillIntervalTimet();
    releaseImage();
    if (!hasList()) {
        SetErrorCode(11);
        return false;
    }
    FreeThumbDataMemory();
    Invalidate();
    return true;
}

bool TVxSlide::loadAndShow()
{
    FImage = LoadSlideFile();
    if (!FImage) {
        SetErrorCode(6);
        return false;
    }
    DisplaySlideImage(nullptr);
    // The neighbours are decoded while this one is looked at.
    decodeAhead();
    return true;
}

bool TVxSlide::Start()
{
    SetErrorCode(0);
    releaseImage();
    if (!hasList()) {
        SetErrorCode(11);
        return false;
    }
    GetNextPathName(false);
    if (!loadAndShow())
        return false;
    SetIntervalTimet();
    return true;
}

bool TVxSlide::Stop()
{
    SetErrorCode(0);
    if (!hasList()) {
        SetErrorCode(11);
        return false;
    }
    KillIntervalTimet();
    return true;
}

template <typename Step>
bool TVxSlide::moveAndShow(Step step)
{
    SetErrorCode(0);
    releaseImage();
    if (!hasList() || FTimer != 0) {
        SetErrorCode(11);
        return false;
    }
    step();
    return loadAndShow();
}

bool TVxSlide::GoNext()
{
    return moveAndShow([this] { GetNextPathName(true); });
}

bool TVxSlide::GoBack()
{
    return moveAndShow([this] { GetPrevPathName(); });
}

bool TVxSlide::GoTop()
{
    return moveAndShow([this] { GetTopPathName(); });
}

bool TVxSlide::GoBottom()
{
    return moveAndShow([this] { GetEndPathName(); });
}

void TVxSlide::Clear()
{
    const RECT client = ClientRect();
    DrawDispArea(nullptr, &client);
    forgetShown();
    releaseImage();
    KillIntervalTimet();
    FreeThumbDataMemory();
}

void TVxSlide::About()
{
    VxShowSlideAbout();
}

// ---------------------------------------------------------------- loading

void TVxSlide::GetImageSize(int dispWidth, int dispHeight, int imageWidth, int imageHeight, int& width,
                            int& height) const
{
    FitSlideImage(dispWidth, dispHeight, imageWidth, imageHeight, width, height);
}

TSlideLoad TVxSlide::loadOf(int index)
{
    TSlideLoad load;
    const TVXSORTDATA* item = Item(index);
    if (!item)
        return load;
    load.path = JoinPath(item->folder ? item->folder : "", item->fileName ? item->fileName : "");
    load.page = item->page;
    // One more than the client size in each direction.
    load.areaWidth = ClientWidth() + 1;
    load.areaHeight = ClientHeight() + 1;
    load.background = toColorRef(Color());
    return load;
}

VXHANDLE TVxSlide::LoadSlideFile()
{
    const TSlideLoad load = loadOf(CurrentImage());
    if (load.path.empty())
        return nullptr;
    if (FAhead)
        if (VXHANDLE ready = FAhead->Take(load))
            return ready;
    return LoadFittedSlide(load);
}

void TVxSlide::SetDecodeAhead(bool value)
{
    FDecodeAhead = value;
    if (!value)
        FAhead.reset();
}

void TVxSlide::decodeAhead()
{
    if (!FDecodeAhead || Count() < 2)
        return;
    // The image a step forward shows, then the one a step back shows.
    std::vector<TSlideLoad> loads;
    for (int index : {CurrentImage() + 1, CurrentImage() - 1}) {
        if (index >= Count())
            index = Endless() ? 0 : -1;
        if (index < 0 && Endless())
            index = Count() - 1;
        if (index < 0 || index == CurrentImage())
            continue;
        TSlideLoad load = loadOf(index);
        if (!load.path.empty() && load.areaWidth >= 5 && load.areaHeight >= 5)
            loads.push_back(std::move(load));
    }
    if (!FAhead)
        FAhead = std::make_unique<TSlideDecodeAhead>();
    FAhead->Request(loads);
}

// ---------------------------------------------------------------- showing

HDC TVxSlide::windowDC()
{
    return Canvas()->Handle();
}

void TVxSlide::flush(HDC dc, const RECT& rect)
{
    if (dc && dc == FOwnDC)
        FlushRect(rect);
}

void TVxSlide::GetClientRectWithEdge(const RECT* rect)
{
    RECT r = rect ? *rect : ClientRect();
    r.right -= 1;
    r.bottom -= 1;
    if (FBorderVisible) {
        const int inset = FAppearance == vxFlat ? 1 : 2;
        r.left += inset;
        r.top += inset;
        r.right -= inset;
        r.bottom -= inset;
    }
    FDispRect = r;
}

bool TVxSlide::DisplaySlideImage(HDC dc)
{
    const TVXSORTDATA* item = Item(CurrentImage());
    const std::int16_t page = item ? item->page : std::int16_t(0);
    if (FShownPath == CurrentPath() && FShownPage == page) {
        KillIntervalTimet();
        return false;
    }
    GetClientRectWithEdge(nullptr);
    const int dispWidth = FDispRect.right - FDispRect.left + 1;
    const int dispHeight = FDispRect.bottom - FDispRect.top + 1;
    if (dispWidth < 5 || dispHeight < 5)
        return false;

    // Declared before the lock, so images released meanwhile are freed only
    // after it is undone.
    struct Depth {
        TVxSlide* self;
        explicit Depth(TVxSlide* s) : self(s) { ++self->FDisplayDepth; }
        ~Depth()
        {
            if (--self->FDisplayDepth == 0) {
                for (VXHANDLE image : self->FPendingFree)
                    FreeSlideImage(image);
                self->FPendingFree.clear();
            }
        }
    } depth(this);
    TSlideImageLock lock(FImage);
    const BITMAPINFO* dib = lock.Dib();
    if (!dib)
        return false;

    // A display nested in another (a repaint handled from an event handler)
    // hands the outer one back its drawing state when it ends.
    struct Restore {
        TVxSlide* self;
        HDC dc;
        int saved;
        HDC ownDC;
        bool drawing;
        ~Restore()
        {
            if (saved)
                RestoreDC(dc, saved);
            self->FOwnDC = ownDC;
            self->FDrawing = drawing;
        }
    };
    const HDC outerOwnDC = FOwnDC;
    const bool outerDrawing = FDrawing;
    FDrawing = true;
    if (!dc) {
        dc = windowDC();
        FOwnDC = dc;
    }
    Restore restore{this, dc, SaveDC(dc), outerOwnDC, outerDrawing};
    if (GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY && !FPaintCopy)
        IntersectClipRect(dc, FDispRect.left, FDispRect.top, FDispRect.right + 1, FDispRect.bottom + 1);
    ImageDisplaySub(dc, dib, dispWidth, dispHeight);
    FShownPath = CurrentPath();
    FShownPage = page;
    return true;
}

void TVxSlide::ImageDisplaySub(HDC dc, const BITMAPINFO* image, int dispWidth, int dispHeight)
{
    const BITMAPINFOHEADER& header = image->bmiHeader;
    int width = 0;
    int height = 0;
    GetImageSize(dispWidth, dispHeight, header.biWidth, std::abs(header.biHeight), width, height);
    const void* bits = reinterpret_cast<const unsigned char*>(image) + header.biSize + paletteSize(header);
    const int offsetX = (dispWidth - width) / 2;
    const int offsetY = (dispHeight - height) / 2;
    const int left = FDispRect.left;
    const int top = FDispRect.top;
    const COLORREF background = toColorRef(Color());

    if (GetDeviceCaps(dc, TECHNOLOGY) != DT_RASDISPLAY || FPaintCopy) {
        // A copy or a printer: straight into place.
        boxFull(dc, left, top, left + dispWidth, top + dispHeight, background);
        const int mode = SetStretchBltMode(dc, COLORONCOLOR);
        stretchDib(dc, left + offsetX, top + offsetY, width, height, image, bits);
        SetStretchBltMode(dc, mode);
        return;
    }

    const TVXSORTDATA* item = Item(CurrentImage());
    // The folder as the file is opened from: a bare name of a slide list has
    // none (it is opened from the working folder), and gets no "/".
    const std::string pathName = IncludeTrailingPathDelimiter(item && item->folder ? item->folder : "");
    std::string fileName = item && item->fileName ? item->fileName : "";
    if (item && item->page > 0) {
        fileName += ' ';
        fileName += std::to_string(item->page);
    }
    const auto number = std::int16_t(CurrentImage());
    DoStartSlide(number, pathName, fileName);

    {
        // The composed picture and its context go on every way out.
        QImage composed(dispWidth, dispHeight, QImage::Format_RGB32);
        const UniqueDC memory(composed.isNull() ? nullptr : CreateImageDC(&composed));
        if (!memory)
            return;
        boxFull(memory.get(), 0, 0, dispWidth, dispHeight, background);
        SetStretchBltMode(memory.get(), COLORONCOLOR);
        stretchDib(memory.get(), offsetX, offsetY, width, height, image, bits);
        slideIn(dc, memory.get(), composed, dispWidth, dispHeight);
    }
    DoEndSlide(number, pathName, fileName);
}

void TVxSlide::slideIn(HDC dc, HDC memory, const QImage& composed, int dispWidth, int dispHeight)
{
    const int left = FDispRect.left;
    const int top = FDispRect.top;
    int step = std::max<int>(1, FScrollSize);
    if (FScrollDir == vxNormal) {
        BitBlt(dc, left, top, dispWidth, dispHeight, memory, 0, 0, SRCCOPY);
        flush(dc, RECT{left, top, left + dispWidth, top + dispHeight});
        return;
    }
    // On an X display the server keeps the picture and copies each strip to
    // the screen itself; the surface gets the final picture at the end.
    TServerPicture server(dc && dc == FOwnDC ? this : nullptr, composed);
    // However the strips end (a progress handler may raise), the surface and
    // the window system's copy of the screen then hold the whole picture,
    // which the last strip is.
    struct FinalPicture {
        TVxSlide* self;
        const TServerPicture& server;
        HDC dc, memory;
        RECT area;
        bool done = false;
        void show()
        {
            if (done || !server.Available())
                return;
            done = true;
            BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, 0, 0, SRCCOPY);
            self->flush(dc, area);
        }
        ~FinalPicture() { show(); }
    } finalPicture{this, server, dc, memory, RECT{left, top, left + dispWidth, top + dispHeight}};
    const bool horizontal = FScrollDir == vxRightToLeft || FScrollDir == vxLeftToRight;
    const int extent = horizontal ? dispWidth : dispHeight;
    step = std::min(step, extent);
    std::int16_t last = -1;
    for (int x = 0; x < extent; x += step) {
        const int a = std::max(extent - step - x, 0);
        const int b = std::min(x + step, extent);
        QRect from;  // in the composed picture
        QPoint to;   // in the control
        switch (FScrollDir) {
        case vxRightToLeft:  // enters at the right edge, moves left
            from = QRect(0, 0, b, dispHeight);
            to = QPoint(left + a, top);
            break;
        case vxLeftToRight:  // enters at the left edge, moves right
            from = QRect(a, 0, b, dispHeight);
            to = QPoint(left, top);
            break;
        case vxDownToUp:  // enters at the bottom, moves up
            from = QRect(0, 0, dispWidth, b);
            to = QPoint(left, top + a);
            break;
        case vxUpToDown:  // enters at the top, moves down
        default:
            from = QRect(0, a, dispWidth, b);
            to = QPoint(left, top);
            break;
        }
        if (server.Available()) {
            server.Show(from, to);
        } else {
            BitBlt(dc, to.x(), to.y(), from.width(), from.height(), memory, from.x(), from.y(), SRCCOPY);
            flush(dc, RECT{to.x(), to.y(), to.x() + from.width(), to.y() + from.height()});
        }
        const auto percent = std::int16_t(x * 100 / extent - 1);
        if (percent != last)
            DoProgress(percent);
        last = percent;
    }
    finalPicture.show();
    DoProgress(100);
}

// ---------------------------------------------------------------- area and border

void TVxSlide::DrawDispArea(HDC dc, const RECT* rect)
{
    const bool own = !dc;
    if (own)
        dc = windowDC();
    const RECT r = rect ? *rect : ClientRect();
    LOGBRUSH brush;
    brush.lbColor = toColorRef(Color());
    FillRect(dc, &r, brush);
    DrawDispEdge(dc, r);
    if (own)
        FlushRect(r);
}

void TVxSlide::DrawDispEdge(HDC dc, const RECT& rect)
{
    if (!FBorderVisible)
        return;
    const bool own = !dc;
    if (own)
        dc = windowDC();
    GetClientRectWithEdge(&rect);
    RECT e{FDispRect.left - 1, FDispRect.top - 1, FDispRect.right + 1, FDispRect.bottom + 1};
    if (FAppearance == vxFlat) {
        const COLORREF colour = toColorRef(FBorderColor);
        if (Vxdllprocs::_Box) {
            Vxdllprocs::_Box(dc, e.left, e.top, e.right + 1, e.bottom + 1, 1, colour);
        } else {
            LOGBRUSH brush;
            brush.lbColor = colour;
            const RECT frame{e.left, e.top, e.right + 1, e.bottom + 1};
            FrameRect(dc, &frame, brush);
        }
    } else {
        e = RECT{e.left - 1, e.top - 1, e.right + 1, e.bottom + 1};
        DrawDisplayEdge(dc, e, FAppearance == vxLowered);
    }
    if (own)
        FlushRect(RECT{e.left, e.top, e.right + 1, e.bottom + 1});
}

// ---------------------------------------------------------------- timer

void TVxSlide::SetIntervalTimet()
{
    KillIntervalTimet();
    if (FIntervalTime > 0) {
        constexpr int kLongestSeconds = std::numeric_limits<int>::max() / 1000;
        FIntervalTimer.start(std::min(FIntervalTime, kLongestSeconds) * 1000);
        FTimer = 1;  // the timer's own id
    }
}

void TVxSlide::KillIntervalTimet()
{
    if (FTimer) {
        FIntervalTimer.stop();
        FTimer = 0;
    }
}

void TVxSlide::WMTimer()
{
    if (!FTimer || FDrawing)
        return;
    GetNextPathName(true);
    releaseImage();
    FImage = LoadSlideFile();
    if (FImage) {
        DisplaySlideImage(nullptr);
        decodeAhead();
    }
}

// ---------------------------------------------------------------- painting and input

void TVxSlide::Paint()
{
    paintOn(Canvas()->Handle());
}

void TVxSlide::PaintTo(QImage& image)
{
    if (image.isNull())
        return;
    const UniqueDC dc(CreateImageDC(&image));
    if (!dc)
        return;
    FPaintCopy = true;
    SafeCall([&] { paintOn(dc.get()); });
    FPaintCopy = false;
}

void TVxSlide::paintOn(HDC dc)
{
    const RECT client = ClientRect();
    if (ComponentState().Contains(csDesigning) || !FImage) {
        DrawDispArea(dc, &client);
        // The screen is empty now: the next display of any image must draw.
        if (!FPaintCopy)
            forgetShown();
        return;
    }
    struct RestoreScroll {
        TVxSlide* self;
        TVxSlideScroll saved;
        ~RestoreScroll() { self->FScrollDir = saved; }
    } restore{this, FScrollDir};
    FScrollDir = vxNormal;
    forgetShown();
    if (!DisplaySlideImage(dc)) {
        DrawDispArea(dc, &client);  // nothing could be drawn: show the empty area
        return;
    }
    DrawDispEdge(dc, client);
}

void TVxSlide::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TVxUiControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && !hasFocus() && !ComponentState().Contains(csDesigning))
        setFocus(Qt::MouseFocusReason);
}

std::intptr_t TVxSlide::WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (message == WM_GETDLGCODE)
        return WMGetDlgCode();
    return TVxUiControl::WndProc(message, wParam, lParam);
}
