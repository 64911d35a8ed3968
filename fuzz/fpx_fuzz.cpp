// libFuzzer entry for the FlashPix decoder: any input, no crash, no read
// outside the buffer, no oversized allocation; what decodes agrees with the
// probe.
#include "FlashPixDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FlashPixInfo info;
    const bool probed = FlashPixProbe(data, size, &info);
    const QImage full = FlashPixDecode(data, size, 0, 0);
    if (!probed && !full.isNull())
        __builtin_trap();  // the decoder accepted what the probe refused
    if (!full.isNull() && (full.width() != info.width || full.height() != info.height))
        __builtin_trap();
    static const int covers[][2] = {{1, 1}, {32, 24}, {160, 120}};
    for (const auto& cover : covers) {
        const QImage reduced = FlashPixDecode(data, size, cover[0], cover[1]);
        if (!reduced.isNull() && (!probed || reduced.width() > info.width || reduced.height() > info.height))
            __builtin_trap();
    }
    return 0;
}
