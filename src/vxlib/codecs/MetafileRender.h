// Draws a WMF or EMF picture into a bitmap: WMF with libwmf's raster (gd)
// device, EMF with libemf2svg and Qt SVG.
//
// The libraries are old C code that trusts much of what it reads, so in
// production this runs in the helper program pictal-metafile, never in the
// viewer's process. Inputs that are damaged in ways our own checks can see
// (headers, record sizes, the image size) are refused before any library
// call.
#pragma once

#include "MetafileProbe.h"

#include <QColor>
#include <QImage>
#include <cstddef>

// The whole picture scaled to width x height over the background colour, as
// QImage::Format_RGB32. Null when the data is not a metafile of that kind,
// the size is out of range, or the library fails.
QImage MetafileRender(MetafileKind kind, const unsigned char* data, size_t size, int width, int height,
                      QColor background);
