// FlashPix images: a compound file (OLE structured storage, read from memory
// with libgsf) holding one picture at several resolution levels, each cut
// into 64 x 64 tiles that are stored uncompressed, as one colour, or as JPEG
// (decoded with libjpeg, with the JPEG tables kept in the image contents).
//
// Colour spaces: monochrome, NIF RGB (JPEG tiles may hold it as YCbCr) and
// PhotoYCC, each with or without an opacity channel, which is composed over
// white.
#pragma once

#include <QImage>
#include <cstddef>

struct FlashPixInfo {
    int width = 0;      // of the full-size picture
    int height = 0;
    int levels = 0;     // resolution levels, the full size included
    int channels = 0;   // of the full-size level, opacity included
    int colorSpace = 0; // 1 monochrome, 2 PhotoYCC, 3 NIF RGB
    bool opacity = false;
};

// Opens the compound file and reads the image contents and every level's
// subimage header. False for anything that is not a FlashPix picture this
// decoder can read (other compound files, such as word processor documents,
// included).
bool FlashPixProbe(const unsigned char* data, size_t size, FlashPixInfo* info);

// Decodes the smallest resolution level that still covers the size the
// picture takes when fitted into coverWidth x coverHeight (shrunk with its
// aspect kept, never enlarged); 0 x 0 asks for the full size. The result is
// Format_RGB32; any error gives a null QImage.
QImage FlashPixDecode(const unsigned char* data, size_t size, int coverWidth, int coverHeight);
