// Decoders of our own that work on the file's bytes in memory (PCX, JPEG
// 2000), in one table: a format plugs in with a probe and a decoder.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

namespace vxmodule {

enum class ImageFormat : std::uint8_t { Unknown, Bmp, Jpeg, Png, Gif, Tiff, Pcx, Jpeg2000, FlashPix, Wmf, Emf };

struct MemoryCodec {
    ImageFormat format;
    // Whether the bytes start with this format's signature.
    bool (*signature)(const unsigned char* data, std::size_t size);
    // Bytes from the start of the file the probe needs.
    std::size_t headerBytes;
    // Whether the headers may lie beyond headerBytes (JPEG 2000 boxes can), so
    // a failed first try is made again with the whole file.
    bool headersMayRunLonger;
    // Reads the headers only: false for a file the decoder cannot read.
    bool (*probe)(const unsigned char* data, std::size_t size, int* width, int* height);
    // Decodes at a size that still covers coverWidth × coverHeight where the
    // format can decode reduced (0 × 0: full size); a null image on failure.
    QImage (*decode)(const unsigned char* data, std::size_t size, int coverWidth, int coverHeight);
};

// The codec for a format, or for the signature at the start of data; nullptr
// when none.
const MemoryCodec* memoryCodecFor(ImageFormat format);
const MemoryCodec* memoryCodecForSignature(const unsigned char* data, std::size_t size);

// Bytes of the start of a file that every signature test needs.
inline constexpr std::size_t kSignatureBytes = 64;  // EMF's signature lies at 40

// Files read whole into memory for these codecs are refused above this size.
inline constexpr std::int64_t kMaxMemoryFileBytes = std::int64_t(1) << 30;

}  // namespace vxmodule
