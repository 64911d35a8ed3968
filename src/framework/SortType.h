// When an item view sorts its items by itself: never (stNone), or as they are
// added or changed, by their data (the view's comparison), their text, or both.
#pragma once

#include <cstdint>

enum TSortType : std::uint8_t { stNone, stData, stText, stBoth };
