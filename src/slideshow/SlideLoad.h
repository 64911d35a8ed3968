// Loading one slide: the picture of one file (or one page of it) decoded and
// fitted into a display area. This is the slide viewer's load step, kept free
// of the control so that it can also run ahead on a worker thread: it calls
// only the image library's entry points, which may be called from any thread
// while the library stays loaded.
#pragma once

#include "VxApi.h"

#include "WinTypes.h"

#include <cstdint>
#include <string>

struct TSlideLoad {
    std::string path;             // the file as it is opened
    std::int16_t page = 0;        // page (frame) inside the file
    int areaWidth = 0;            // the area fitted into, one more than the
    int areaHeight = 0;           // viewer's client size in each direction
    COLORREF background = 0;      // behind a vector picture
    bool operator==(const TSlideLoad&) const = default;
};

// The size of an image of imageWidth x imageHeight fitted into a display of
// dispWidth x dispHeight: shrunk with its aspect ratio kept, never grown.
void FitSlideImage(int dispWidth, int dispHeight, int imageWidth, int imageHeight, int& width, int& height);

// The picture decoded and fitted into the area; nullptr when the area is
// smaller than 5 pixels either way or the file cannot be loaded. The caller
// owns the handle (FreeSlideImage).
VXHANDLE LoadFittedSlide(const TSlideLoad& load);

// Frees an image handle of the library (nullptr: nothing).
void FreeSlideImage(VXHANDLE image);

// A locked image handle, unlocked on every way out.
class TSlideImageLock {
public:
    explicit TSlideImageLock(VXHANDLE image);
    ~TSlideImageLock();
    TSlideImageLock(const TSlideImageLock&) = delete;
    TSlideImageLock& operator=(const TSlideImageLock&) = delete;
    // The packed DIB, or nullptr when the block holds no supported one.
    const BITMAPINFO* Dib() const;

private:
    HGLOBAL m_image;
    void* m_data;
};
