// TIFF pictures in layouts Qt's reader refuses (and libtiff's RGBA interface,
// which Qt falls back on, refuses too): 16-bit CMYK, palettes or grey of 1,
// 2 or 4 bits with an alpha sample, RGB of 2, 4 or 12 bits, 32-bit samples.
// libtiff decompresses the strips or tiles; the samples are read here.
//
// Read: unsigned integer samples of 1 to 16 or 32 bits, grey (black or white
// is zero), RGB, palette and CMYK (InkSet CMYK), planes together or apart,
// strips or tiles, and an alpha sample (associated or not) as the first extra
// sample. Anything else (YCbCr, CIE Lab, floating-point samples, ...) is
// refused: those are Qt's to read.
#pragma once

#include <QImage>

// Directory `page` of the TIFF file open at fd (read at explicit offsets; the
// descriptor stays the caller's, its offset untouched), as Format_ARGB32, or
// Format_ARGB32_Premultiplied for an associated alpha sample. A null image
// for a layout not listed above, a picture of more than maxPixels pixels,
// and on any error libtiff reports.
QImage TiffSampleDecode(int fd, int page, long long maxPixels);
