#include "MetafileWriter.h"

#include <algorithm>
#include <cmath>

namespace testmetafiles {

namespace {

constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_ELLIPSE = 42;
constexpr std::uint32_t EMR_RECTANGLE = 43;

std::uint32_t colorRef(QRgb c)
{
    return std::uint32_t(qRed(c)) | std::uint32_t(qGreen(c)) << 8 | std::uint32_t(qBlue(c)) << 16;
}

}  // namespace

void put16(Bytes& out, unsigned value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void put32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

void EmfWriter::brush(std::uint32_t index, QRgb colour)
{
    record(EMR_CREATEBRUSHINDIRECT, {index, 0, colorRef(colour), 0});
    m_handles = std::max(m_handles, index + 1);
}

void EmfWriter::select(std::uint32_t index)
{
    record(EMR_SELECTOBJECT, {index});
}

void EmfWriter::rectangle(int left, int top, int right, int bottom)
{
    record(EMR_RECTANGLE, {std::uint32_t(left), std::uint32_t(top), std::uint32_t(right), std::uint32_t(bottom)});
}

void EmfWriter::ellipse(int left, int top, int right, int bottom)
{
    record(EMR_ELLIPSE, {std::uint32_t(left), std::uint32_t(top), std::uint32_t(right), std::uint32_t(bottom)});
}

int EmfWriter::frameUnits(int pixels)
{
    return int(std::lround(pixels * 2540.0 / 96.0));
}

void EmfWriter::record(std::uint32_t type, const std::vector<std::uint32_t>& params)
{
    put32(m_records, type);
    put32(m_records, std::uint32_t(8 + 4 * params.size()));
    for (std::uint32_t v : params)
        put32(m_records, v);
    ++m_count;
}

Bytes EmfWriter::bytes() const
{
    Bytes body = m_records;
    put32(body, EMR_EOF);
    put32(body, 20);
    put32(body, 0);   // no palette
    put32(body, 16);  // offset of the (absent) palette
    put32(body, 20);  // nSizeLast

    const std::uint32_t headerSize = 108;
    Bytes out;
    put32(out, EMR_HEADER);
    put32(out, headerSize);
    for (int v : {0, 0, m_width - 1, m_height - 1})  // bounds, inclusive device pixels
        put32(out, std::uint32_t(v));
    for (int v : {0, 0, frameUnits(m_width), frameUnits(m_height)})  // frame, 0.01 mm
        put32(out, std::uint32_t(v));
    put32(out, 0x464D4520u);  // " EMF"
    put32(out, 0x10000);
    put32(out, std::uint32_t(headerSize + body.size()));
    put32(out, std::uint32_t(m_count + 2));
    put16(out, m_handles);
    put16(out, 0);
    put32(out, 0);  // description
    put32(out, 0);
    put32(out, 0);  // palette entries
    put32(out, 1920);  // reference device: 1920 x 1440 pixels on 508 x 381 mm
    put32(out, 1440);
    put32(out, 508);
    put32(out, 381);
    put32(out, 0);  // pixel format
    put32(out, 0);
    put32(out, 0);  // OpenGL
    put32(out, 508000);
    put32(out, 381000);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

QByteArray emfWith(int width, int height, const std::vector<EmfShape>& shapes)
{
    EmfWriter emf(width, height);
    emf.nullPen();
    for (const EmfShape& shape : shapes) {
        emf.brush(1, shape.fill);
        emf.select(1);
        if (shape.kind == EmfShape::Ellipse)
            emf.ellipse(shape.left, shape.top, shape.right, shape.bottom);
        else
            emf.rectangle(shape.left, shape.top, shape.right, shape.bottom);
    }
    const Bytes bytes = emf.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

Bytes placeableWmfWithRectangle(int width, int height, int left, int top, int right, int bottom, QRgb fill)
{
    Bytes records;
    const auto record = [&records](unsigned function, const std::vector<unsigned>& words) {
        put32(records, std::uint32_t(3 + words.size()));
        put16(records, function);
        for (unsigned word : words)
            put16(records, word);
    };
    const std::uint32_t colour = colorRef(fill);
    record(0x020B, {0, 0});                                       // META_SETWINDOWORG y, x
    record(0x020C, {unsigned(height), unsigned(width)});           // META_SETWINDOWEXT y, x
    record(0x02FC, {0, colour & 0xFFFF, colour >> 16, 0});         // META_CREATEBRUSHINDIRECT, BS_SOLID
    record(0x012D, {0});                                           // META_SELECTOBJECT
    record(0x041B, {unsigned(bottom), unsigned(right), unsigned(top), unsigned(left)});  // META_RECTANGLE
    record(0x0000, {});                                            // META_EOF

    Bytes out;
    put32(out, 0x9AC6CDD7u);  // placeable key
    put16(out, 0);
    for (int v : {0, 0, width, height})
        put16(out, unsigned(v));
    put16(out, 96);  // units per inch
    put32(out, 0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= unsigned(out[i]) | unsigned(out[i + 1]) << 8;
    put16(out, checksum);
    put16(out, 1);      // memory metafile
    put16(out, 9);      // header words
    put16(out, 0x300);  // version
    put32(out, std::uint32_t((18 + records.size()) / 2));
    put16(out, 1);  // objects
    put32(out, 7);  // largest record in words
    put16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

}  // namespace testmetafiles
