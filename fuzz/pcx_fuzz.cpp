// libFuzzer entry for the PCX decoder: any input, no crash, no read outside
// the buffer, no oversized allocation.
#include "PcxDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PcxInfo info;
    const bool probed = PcxProbe(data, size, &info);
    const QImage image = PcxDecode(data, size);
    if (!probed && !image.isNull())
        __builtin_trap();  // the decoder accepted what the probe refused
    if (!image.isNull() && (image.width() != info.width || image.height() != info.height))
        __builtin_trap();
    return 0;
}
