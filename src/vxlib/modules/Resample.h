// Smooth resampling of 24-bit pictures (three bytes per pixel). Each axis is
// resampled on its own: a shrinking axis by area averaging (every output
// pixel is the mean of the source area it covers, partly covered pixels
// weighted by their share), a growing axis by linear interpolation between
// pixel centres. Rows are addressed by a base pointer and a signed stride, so
// bottom-up and top-down rows mix freely.
#pragma once

#include <cstddef>

namespace vxmodule {

template <typename Byte>
struct BgrRows {
    Byte* data = nullptr;       // row 0 (the top row of the picture)
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next; may be negative
};
using BgrSource = BgrRows<const unsigned char>;
using BgrTarget = BgrRows<unsigned char>;

// Resamples source into target (both at least 1 × 1). Throws std::bad_alloc
// when scratch memory runs out.
void resampleBgr(const BgrSource& source, const BgrTarget& target);

}  // namespace vxmodule
