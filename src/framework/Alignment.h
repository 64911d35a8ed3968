// How a text stands in its place: at the left, at the right or centred
// (labels, list view columns).
#pragma once

#include <cstdint>

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
