#include "VectorImage.h"

#include "MetafileProcess.h"

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

// WMF and EMF are drawn by the helper program, away from this process.
QImage renderWmf(const unsigned char* data, std::size_t size, int width, int height, QColor background)
{
    return renderMetafileInHelper(vectorWmf, data, size, width, height, background);
}

QImage renderEmf(const unsigned char* data, std::size_t size, int width, int height, QColor background)
{
    return renderMetafileInHelper(vectorEmf, data, size, width, height, background);
}

constexpr std::array<RendererEntry, 2> kRenderers{{
    {vectorWmf, renderWmf},
    {vectorEmf, renderEmf},
}};

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
    if (header->drawWidth <= 0 || header->drawHeight <= 0 || header->drawWidth > header->width
        || header->drawHeight > header->height)
        return;
    m_header = header;
}

LockedVector::~LockedVector()
{
    if (m_locked)
        GlobalUnlock(m_handle);
}

HGLOBAL vectorToHandle(VectorKind kind, int width, int height, QSize draw, const QByteArray& data)
{
    if (width <= 0 || height <= 0 || data.isEmpty() || std::size_t(data.size()) > 0xFFFFFFFFu - sizeof(VectorHeader))
        return nullptr;
    if (draw.isEmpty())
        draw = QSize(width, height);
    if (draw.width() > width || draw.height() > height)
        return nullptr;
    const std::size_t bytes = sizeof(VectorHeader) + std::size_t(data.size());
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!handle)
        return nullptr;
    void* block = GlobalLock(handle);
    if (!block) {
        GlobalFree(handle);
        return nullptr;
    }
    VectorHeader header{};
    std::memcpy(header.magic, kVxVectorMagic, sizeof header.magic);
    header.kind = kind;
    header.width = width;
    header.height = height;
    header.dataBytes = std::uint32_t(data.size());
    header.drawWidth = draw.width();
    header.drawHeight = draw.height();
    std::memcpy(block, &header, sizeof header);
    std::memcpy(static_cast<char*>(block) + sizeof header, data.constData(), std::size_t(data.size()));
    GlobalUnlock(handle);
    return handle;
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
            return entry.render(vector.data(), header.dataBytes, header.drawWidth, header.drawHeight, background);
    return {};
}

}  // namespace vxmodule
