// JPEG 2000 images (JP2 files and raw J2K code streams) decoded from memory
// with OpenJPEG.
#pragma once

#include <QImage>
#include <cstddef>

struct Jpeg2000Info {
    bool codeStream = false;  // true for a raw J2K code stream, false for a JP2 file
    int width = 0;
    int height = 0;
    int components = 0;
    int resolutions = 0;  // resolution levels; decoding can drop up to resolutions - 1 of them
};

// Checks the signature and reads the headers only (no pixel data).
bool Jpeg2000Probe(const unsigned char* data, size_t size, Jpeg2000Info* info);

// Decodes at the smallest available resolution whose size still covers
// minWidth x minHeight (0, 0 for full size). Grey images come back as
// Format_Grayscale8, colour ones as Format_RGB888 with samples scaled to
// 8 bits; an alpha component is composed over white. Any error gives a null
// QImage.
QImage Jpeg2000Decode(const unsigned char* data, size_t size, int minWidth, int minHeight);
