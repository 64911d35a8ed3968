// TVxSlide: a windowed control that shows one image of its slide list at a
// time, fitted into its client area inside an optional flat or
// three-dimensional border and centred on its background colour. It can let
// the image slide in from one edge strip by strip and advance to the next
// image on a timer, and it reports the image about to be shown, the progress
// of the slide-in and the image just shown through events. Decoding and
// resampling are the image library's (InitializeVX / Vxdllprocs).
//
// Drawing outside a paint request (Start, the moves, the timer, Clear) goes
// into the control's surface and is shown strip by strip with FlushRect; a
// repaint (Paint) draws the loaded image again at once, without slide-in, and
// fires OnStartSlide and OnEndSlide again.
#pragma once

#include "SlideCollection.h"
#include "VxApi.h"
#include "VxUiControl.h"

#include <QImage>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TSlideDecodeAhead;
struct TSlideLoad;

// Border style.
enum TVxAppearance : std::uint8_t { vxFlat, vxLowered, vxRaised };

// Direction of the slide-in.
enum TVxSlideScroll : std::uint8_t { vxNormal, vxRightToLeft, vxLeftToRight, vxUpToDown, vxDownToUp };

// Before and after an image is drawn: its index, its folder (ending with "/";
// empty for a slide list entry without one, which is opened from the working
// folder) and its file name ("name 2" for page 2 of a multi-page file).
using TVxSlideEvent = std::function<void(TObject* Sender, std::int16_t ImageNumber, const std::string& PathName,
                                         const std::string& FileName)>;
// During a slide-in: 0 to 98, then 100.
using TVxProgressEvent = std::function<void(TObject* Sender, std::int16_t Percent)>;

// The dialog code the control answers: it wants the arrow keys.
inline constexpr unsigned WM_GETDLGCODE = 0x0087;
inline constexpr std::intptr_t DLGC_WANTARROWS = 1;

class TVxSlide : public TVxUiControl, protected TVxSlideCollection {
public:
    explicit TVxSlide(TComponent* owner = nullptr, QWidget* parent = nullptr);
    ~TVxSlide() override;

    // ---- properties of its own
    TVxAppearance Appearance() const { return FAppearance; }
    void SetAppearance(TVxAppearance value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    bool BorderVisible() const { return FBorderVisible; }
    void SetBorderVisible(bool value);
    // Seconds between automatic advances, 0 = none; negative values are
    // stored as 0. A running timer keeps its delay until it is started again.
    int IntervalTime() const { return FIntervalTime; }
    void SetIntervalTime(int value) { FIntervalTime = value < 0 ? 0 : value; }
    TVxSlideScroll ScrollDir() const { return FScrollDir; }
    void SetScrollDir(TVxSlideScroll value) { FScrollDir = value; }
    // Width of one slide-in strip in pixels; negative values are stored as 0,
    // drawing uses at least 1.
    std::int16_t ScrollSize() const { return FScrollSize; }
    void SetScrollSize(std::int16_t value) { FScrollSize = value < 0 ? std::int16_t(0) : value; }

    // While an image is shown, the next and the previous one are decoded
    // and fitted on a worker thread, so that a step finds them ready (on by
    // default; what is shown is the same either way).
    bool DecodeAhead() const { return FDecodeAhead; }
    void SetDecodeAhead(bool value);

    // ---- the list's properties (see TVxSlideCollection)
    using TVxSlideCollection::CurrentImage;
    using TVxSlideCollection::Endless;
    using TVxSlideCollection::FileExt;
    using TVxSlideCollection::FilePath;
    using TVxSlideCollection::FileReadWay;
    using TVxSlideCollection::SetCurrentImage;
    using TVxSlideCollection::SetEndless;
    using TVxSlideCollection::SetFileExt;
    using TVxSlideCollection::SetFilePath;
    using TVxSlideCollection::SetFileReadWay;
    using TVxSlideCollection::SetSlideFileName;
    using TVxSlideCollection::SetSort;
    using TVxSlideCollection::SetSortDate;
    using TVxSlideCollection::SetSortOrder;
    using TVxSlideCollection::SlideFileName;
    using TVxSlideCollection::Sort;
    using TVxSlideCollection::SortDate;
    using TVxSlideCollection::SortOrder;
    // Number of items of the open list (0 when closed).
    using TVxSlideCollection::Count;

    // Result of the last public operation: 0 success; 5 the list could not
    // be built; 6 the item could not be loaded; 11 already open (Open), not
    // open, or the interval timer runs (the moves).
    using TVxSlideCollection::ErrorCode;

    // ---- events
    TVxSlideEvent OnStartSlide;
    TVxSlideEvent OnEndSlide;
    TVxProgressEvent OnProgress;

    // ---- operations; each returns true on success, else see ErrorCode
    // Builds the list from the current settings.
    bool Open();
    // Stops the timer, releases the image and the list; repaints empty.
    bool Close();
    // Loads and shows the item at the cursor, then starts the interval timer
    // when IntervalTime > 0.
    bool Start();
    // Stops the interval timer.
    bool Stop();
    // Move the cursor (next, previous, first, last) and show that item;
    // refused while the interval timer runs.
    bool GoNext();
    bool GoBack();
    bool GoTop();
    bool GoBottom();
    // Paints the empty area and border at once, releases the image, stops
    // the timer and releases the list.
    void Clear();
    // Shows the version information dialog modally.
    void About();

    // Paints the control as a copy onto image (as at its origin): the
    // loaded image stretched directly into place, no events, no slide-in.
    void PaintTo(QImage& image);

    // Whether the interval timer runs.
    bool TimerRunning() const { return FTimer != 0; }

protected:
    // Fire their events when handlers are assigned.
    virtual void DoEndSlide(std::int16_t imageNumber, const std::string& pathName, const std::string& fileName);
    virtual void DoProgress(std::int16_t percent);
    virtual void DoStartSlide(std::int16_t imageNumber, const std::string& pathName, const std::string& fileName);

    // In the order a display uses them.
    // The item at the cursor decoded and pre-scaled to about the client
    // size; nullptr when it cannot be loaded. The caller owns the handle.
    VXHANDLE LoadSlideFile();
    // Shows the loaded image on dc (nullptr: the control's own surface,
    // flushed to the screen); false when nothing was drawn.
    bool DisplaySlideImage(HDC dc);
    void ImageDisplaySub(HDC dc, const BITMAPINFO* image, int dispWidth, int dispHeight);
    // The size of an image of imageWidth x imageHeight fitted into the
    // display: shrunk with its aspect ratio kept, never grown.
    void GetImageSize(int dispWidth, int dispHeight, int imageWidth, int imageHeight, int& width, int& height) const;
    // Computes the display rectangle (inclusive) from rect (right and
    // bottom exclusive), or from the client rectangle, inside the border.
    void GetClientRectWithEdge(const RECT* rect);
    // Fills rect (or the client rectangle) with Color and draws the border.
    void DrawDispArea(HDC dc, const RECT* rect);
    void DrawDispEdge(HDC dc, const RECT& rect);
    void SetIntervalTimet();
    void KillIntervalTimet();

    // The display rectangle last computed, inclusive.
    const RECT& DisplayRect() const { return FDispRect; }

    void Paint() override;
    // No background erase: Paint covers the whole client area.
    void EraseBackground() override {}
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    std::intptr_t WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t WMGetDlgCode() { return DLGC_WANTARROWS; }
    void WMTimer();

private:
    bool hasList() const { return Capacity() > 0 || Count() > 0; }
    void releaseImage();
    void forgetShown();
    bool loadAndShow();
    // The load of item index at the current display size.
    TSlideLoad loadOf(int index);
    // Asks for the neighbours of the current image to be decoded ahead.
    void decodeAhead();
    // A move of the cursor (refused while closed or while the timer runs), then loadAndShow.
    template <typename Step>
    bool moveAndShow(Step step);
    // The control's own drawing context (the canvas's, over the surface).
    HDC windowDC();
    // Shows a rectangle of the surface now, when drawing went there.
    void flush(HDC dc, const RECT& rect);
    void slideIn(HDC dc, HDC memory, const QImage& composed, int dispWidth, int dispHeight);
    void paintOn(HDC dc);

    TVxAppearance FAppearance = vxLowered;
    TColor FBorderColor = clBlack;
    bool FBorderVisible = true;
    int FIntervalTime = 0;
    TVxSlideScroll FScrollDir = vxNormal;
    std::int16_t FScrollSize = 1;

    VXHANDLE FImage = nullptr;     // loaded image, owned
    std::string FShownPath;        // key of the image last drawn by a display
    std::int16_t FShownPage = 0;
    int FTimer = 0;                // id of the running interval timer, 0 = none
    QTimer FIntervalTimer;
    bool FDrawing = false;
    bool FPaintCopy = false;       // painting onto a copy (PaintTo)
    HDC FOwnDC = nullptr;          // the surface context while a display draws there
    int FDisplayDepth = 0;         // displays under way (one may nest in another)
    std::vector<VXHANDLE> FPendingFree;  // images released while a display drew them
    RECT FDispRect{0, 0, -1, -1};
    std::int32_t FGdipToken = 0;
    bool FDecodeAhead = true;
    std::unique_ptr<TSlideDecodeAhead> FAhead;  // made at the first image with neighbours
};
