// The largest picture the image library decodes or makes: 2^28 pixels. Each
// decoder checks a picture's size against it before it allocates anything.
// Metafiles, drawn at a size asked for, have a smaller limit of their own
// (kMaxMetafilePixels).
#pragma once

#include <cstdint>

inline constexpr std::int64_t kMaxImagePixels = std::int64_t(1) << 28;
