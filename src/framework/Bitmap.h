// A bitmap: a QImage with a pixel format, a canvas, direct scan-line access and a
// transparent colour. Scan lines run top-down; a 24-bit row holds blue, green, red
// per pixel, as Windows bitmaps do.
#pragma once

#include "Color.h"
#include "GraphicsObjects.h"

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

class TCanvas;

// pf24bit is QImage::Format_BGR888; pf32bit Format_RGB32 (Format_ARGB32 when the
// picture has an alpha channel); pfDevice Format_RGB32; pf15bit Format_RGB555;
// pf16bit Format_RGB16; pf1bit Format_Mono (black and white); pf8bit
// Format_Indexed8 with a 256-colour table; pf4bit Format_Indexed8 with the 16
// Windows colours (one byte per pixel in its scan lines, not two pixels a byte).
enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// tmAuto: the transparent colour is the bottom-left pixel; tmFixed: the colour set.
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

class TBitmap : public TGraphicsObject {
public:
    TBitmap();
    ~TBitmap() override;

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    // New pixels are white; the part that stays keeps its pixels. Negative sizes
    // count as 0. Raises Exception when the memory cannot be had.
    void SetWidth(int value) { SetSize(value, Height()); }
    void SetHeight(int value) { SetSize(Width(), value); }
    void SetSize(int width, int height);
    bool Empty() const { return FImage.width() == 0 || FImage.height() == 0; }

    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat value);

    // Row y (0 = top) of the pixels, for direct reading and writing. Raises
    // Exception for a row outside the bitmap.
    unsigned char* ScanLine(int y);
    const unsigned char* ScanLine(int y) const;

    // The canvas over the pixels (owned; drawing on it raises OnChange).
    TCanvas* Canvas();

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // tmAuto: the colour of pixel (0, Height - 1), clNone while the bitmap is empty;
    // tmFixed: the colour set.
    TColor TransparentColor() const;
    // Switches to tmFixed (clDefault switches back to tmAuto).
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    // Reads a BMP file or any picture QImageReader reads. A BMP keeps its bit
    // depth; other pictures become pf24bit, or pf32bit with an alpha channel.
    // Raises Exception on failure and leaves the bitmap as it was.
    void LoadFromFile(const std::string& path);
    // Writes a BMP file, whatever the name (through a temporary file, so an existing
    // file is only replaced once the new one is complete). Raises Exception on failure.
    void SaveToFile(const std::string& path) const;
    // The program's bitmap resource ":/bitmaps/<name>.bmp", else ":/bitmaps/<name>.png".
    // Raises Exception when there is none.
    void LoadFromResourceName(const std::string& name);

    void Assign(const TBitmap& source);

    // The pixels. The non-const form ends the canvas's painting first, so the image
    // may be changed or replaced (the pixel format follows the image's format).
    QImage& Image();
    const QImage& Image() const { return FImage; }
    void SetImage(const QImage& image);

    bool HandleAllocated() const { return !FImage.isNull(); }

private:

    QImage FImage;
    TPixelFormat FPixelFormat = pfDevice;
    std::unique_ptr<TCanvas> FCanvas;
    bool FTransparent = false;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
};
