// libFuzzer entry for the JPEG 2000 decoder (JP2 files and J2K code streams).
#include "Jpeg2000Decoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Jpeg2000Info info;
    if (!Jpeg2000Probe(data, size, &info))
        return 0;
    // The decoder accepts up to 2^28 pixels; a few bytes claiming that much
    // would only measure OpenJPEG's allocator, so the fuzzer stays smaller.
    if (int64_t(info.width) * info.height > (int64_t(1) << 22))
        return 0;
    const QImage full = Jpeg2000Decode(data, size, 0, 0);
    if (!full.isNull() && (full.width() != info.width || full.height() != info.height))
        __builtin_trap();
    const QImage reduced = Jpeg2000Decode(data, size, info.width / 3, info.height / 3);
    if (!reduced.isNull() && (reduced.width() < info.width / 3 || reduced.height() < info.height / 3))
        __builtin_trap();
    return 0;
}
