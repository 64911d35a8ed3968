// Enhanced metafiles written at test time, in MM_TEXT (logical units are the
// reference device's pixels) with a reference device of 96 pixels per inch:
// a header, records appended one by one, and the end record.
#pragma once

#include <QByteArray>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace testmetafiles {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& out, unsigned value);
void put32(Bytes& out, std::uint32_t value);

class EmfWriter {
public:
    EmfWriter(int width, int height) : m_width(width), m_height(height) {}

    void brush(std::uint32_t index, QRgb colour);  // EMR_CREATEBRUSHINDIRECT, BS_SOLID
    void select(std::uint32_t index);              // EMR_SELECTOBJECT
    void nullPen() { select(0x80000008u); }        // stock NULL_PEN
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);

    // The header, the records and the end record.
    Bytes bytes() const;

    // Hundredths of a millimetre of a length in pixels at 96 per inch.
    static int frameUnits(int pixels);

private:
    void record(std::uint32_t type, const std::vector<std::uint32_t>& params);

    int m_width;
    int m_height;
    Bytes m_records;
    unsigned m_count = 0;
    unsigned m_handles = 1;
};

struct EmfShape {
    enum Kind { Rectangle, Ellipse } kind = Rectangle;
    int left = 0, top = 0, right = 0, bottom = 0;
    QRgb fill = 0;
};

// A width x height picture of solid shapes without outlines, drawn in order.
QByteArray emfWith(int width, int height, const std::vector<EmfShape>& shapes);

// A placeable Windows metafile framed 0,0 to width,height at 96 units per
// inch (so its natural size is width x height pixels), with one filled
// rectangle (black outline) from left,top to right,bottom.
Bytes placeableWmfWithRectangle(int width, int height, int left, int top, int right, int bottom, QRgb fill);

}  // namespace testmetafiles
