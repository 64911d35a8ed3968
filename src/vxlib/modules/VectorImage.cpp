#include "VectorImage.h"

#include <array>
#include <cstring>

namespace vxmodule {

namespace {

using VectorRenderer = QImage (*)(const unsigned char* data, std::size_t size, int width, int height,
                                  QColor background);

struct RendererEntry {
    std::int32_t kind;
    VectorRenderer render;
};

// WMF and EMF renderers come with the readers of those formats; until then no
// kind is rendered.
constexpr std::array<RendererEntry, 0> kRenderers{};

}  // namespace

LockedVector::LockedVector(HGLOBAL handle) : m_handle(handle)
{
    if (!handle)
        return;
    const std::size_t size = GlobalSize(handle);
    void* data = GlobalLock(handle);
    if (!data)
        return;
    m_locked = true;
    if (size < sizeof(VectorHeader))
        return;
    const auto* header = static_cast<const VectorHeader*>(data);
    if (std::memcmp(header->magic, kVxVectorMagic, sizeof header->magic) != 0)
        return;
    if (header->width <= 0 || header->height <= 0 || header->dataBytes > size - sizeof(VectorHeader))
        return;
    m_header = header;
}

LockedVector::~LockedVector()
{
    if (m_locked)
        GlobalUnlock(m_handle);
}

bool hasVectorMagic(HGLOBAL handle)
{
    if (!handle || GlobalSize(handle) < sizeof kVxVectorMagic)
        return false;
    const void* data = GlobalLock(handle);
    if (!data)
        return false;
    const bool magic = std::memcmp(data, kVxVectorMagic, sizeof kVxVectorMagic) == 0;
    GlobalUnlock(handle);
    return magic;
}

QImage renderVector(const LockedVector& vector, QColor background)
{
    if (!vector.valid())
        return {};
    const VectorHeader& header = vector.header();
    for (const RendererEntry& entry : kRenderers)
        if (entry.render && entry.kind == header.kind)
            return entry.render(vector.data(), header.dataBytes, header.width, header.height, background);
    return {};
}

}  // namespace vxmodule
