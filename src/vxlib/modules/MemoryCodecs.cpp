#include "MemoryCodecs.h"

#include "FlashPixDecoder.h"
#include "Jpeg2000Decoder.h"
#include "PcxDecoder.h"

#include <cstring>

namespace vxmodule {

namespace {

bool pcxSignature(const unsigned char* data, std::size_t size)
{
    // Manufacturer byte 10, then a version byte and encoding 1 (run-length).
    return size >= 3 && data[0] == 0x0A && data[2] == 1;
}

bool pcxProbe(const unsigned char* data, std::size_t size, int* width, int* height)
{
    PcxInfo info;
    if (!PcxProbe(data, size, &info))
        return false;
    *width = info.width;
    *height = info.height;
    return true;
}

QImage pcxDecode(const unsigned char* data, std::size_t size, int, int)
{
    return PcxDecode(data, size);
}

bool jpeg2000Signature(const unsigned char* data, std::size_t size)
{
    static const unsigned char box[12] = {0x00, 0x00, 0x00, 0x0C, 'j', 'P', ' ', ' ', '\r', '\n', 0x87, '\n'};
    static const unsigned char codeStream[4] = {0xFF, 0x4F, 0xFF, 0x51};
    return (size >= sizeof box && std::memcmp(data, box, sizeof box) == 0)
           || (size >= sizeof codeStream && std::memcmp(data, codeStream, sizeof codeStream) == 0);
}

bool jpeg2000Probe(const unsigned char* data, std::size_t size, int* width, int* height)
{
    Jpeg2000Info info;
    if (!Jpeg2000Probe(data, size, &info))
        return false;
    *width = info.width;
    *height = info.height;
    return true;
}

QImage jpeg2000Decode(const unsigned char* data, std::size_t size, int coverWidth, int coverHeight)
{
    return Jpeg2000Decode(data, size, coverWidth, coverHeight);
}

bool flashPixSignature(const unsigned char* data, std::size_t size)
{
    // Any compound file (OLE structured storage); the probe tells FlashPix
    // pictures from other documents.
    static const unsigned char magic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return size >= sizeof magic && std::memcmp(data, magic, sizeof magic) == 0;
}

bool flashPixProbe(const unsigned char* data, std::size_t size, int* width, int* height)
{
    FlashPixInfo info;
    if (!FlashPixProbe(data, size, &info))
        return false;
    *width = info.width;
    *height = info.height;
    return true;
}

QImage flashPixDecode(const unsigned char* data, std::size_t size, int coverWidth, int coverHeight)
{
    return FlashPixDecode(data, size, coverWidth, coverHeight);
}

const MemoryCodec kCodecs[] = {
    {ImageFormat::Pcx, pcxSignature, 128, false, pcxProbe, pcxDecode},
    {ImageFormat::Jpeg2000, jpeg2000Signature, 64 * 1024, true, jpeg2000Probe, jpeg2000Decode},
    // The storages and streams of a compound file may lie anywhere in it.
    {ImageFormat::FlashPix, flashPixSignature, 64 * 1024, true, flashPixProbe, flashPixDecode},
};

}  // namespace

const MemoryCodec* memoryCodecFor(ImageFormat format)
{
    for (const MemoryCodec& codec : kCodecs)
        if (codec.format == format)
            return &codec;
    return nullptr;
}

const MemoryCodec* memoryCodecForSignature(const unsigned char* data, std::size_t size)
{
    for (const MemoryCodec& codec : kCodecs)
        if (codec.signature(data, size))
            return &codec;
    return nullptr;
}

}  // namespace vxmodule
