// Vector image handles: movable memory blocks that begin with kVxVectorMagic
// and this header, followed by the picture's data in the format named by its
// kind. Renderers turn them into rasters; formats plug in through the
// renderer table of VectorImage.cpp.
#pragma once

#include "GlobalMemory.h"
#include "VxApi.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>

namespace vxmodule {

enum VectorKind : std::int32_t { vectorWmf = 1, vectorEmf = 2 };

struct VectorHeader {
    char magic[8];         // kVxVectorMagic
    std::int32_t kind;     // VectorKind
    std::int32_t width;    // natural size in pixels
    std::int32_t height;
    std::uint32_t dataBytes;  // bytes of picture data after the header
    std::int32_t drawWidth;   // the size the picture is drawn at: at most
    std::int32_t drawHeight;  // the natural size
};
static_assert(sizeof(VectorHeader) == 32);

// A vector handle locked for reading while the object lives; valid() only for
// a known block that holds a complete header and its data.
class LockedVector {
public:
    explicit LockedVector(HGLOBAL handle);
    ~LockedVector();
    LockedVector(const LockedVector&) = delete;
    LockedVector& operator=(const LockedVector&) = delete;

    bool valid() const { return m_header != nullptr; }
    const VectorHeader& header() const { return *m_header; }
    const unsigned char* data() const { return reinterpret_cast<const unsigned char*>(m_header + 1); }

private:
    HGLOBAL m_handle = nullptr;
    bool m_locked = false;
    const VectorHeader* m_header = nullptr;
};

// A new vector handle holding a copy of the picture's data, of natural size
// width x height, to be drawn at draw (its natural size when draw is
// empty); null when it cannot be made.
HGLOBAL vectorToHandle(VectorKind kind, int width, int height, QSize draw, const QByteArray& data);

// Whether the block starts with kVxVectorMagic (then it is no raster).
bool hasVectorMagic(HGLOBAL handle);

// The picture at its drawing size on the background; a null image when no
// renderer handles its kind or rendering fails.
QImage renderVector(const LockedVector& vector, QColor background);

}  // namespace vxmodule
