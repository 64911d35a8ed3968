// PCX (ZSoft Paintbrush) images: header probe and run-length decoder.
//
// Supported layouts (bits per pixel x planes): 1x1 monochrome, 1x4 sixteen
// colours from the header palette, 2x1 four colours from the first four
// header palette entries, 4x1 sixteen colours, 8x1 256 colours with the
// palette at the end of the file (a grey ramp when it is missing), 8x3 RGB
// and 8x4 RGBA (the fourth plane is dropped).
#pragma once

#include <QImage>
#include <cstddef>

struct PcxInfo {
    int version = 0;
    int bitsPerPixel = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;  // per plane, as stored in the header
};

// Reads and checks the 128-byte header only. False for anything that is not
// a PCX file this decoder can read, or whose header is not sane.
bool PcxProbe(const unsigned char* data, size_t size, PcxInfo* info);

// Decodes the whole image. Palette images come back as Format_Indexed8 with
// their colour table, true colour ones as Format_RGB888. Any error, including
// image data that ends before the last scan line, gives a null QImage.
QImage PcxDecode(const unsigned char* data, size_t size);
