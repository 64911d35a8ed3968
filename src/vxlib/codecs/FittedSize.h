// The image library's one rule for fitting a picture into an area.
#pragma once

#include <QSize>

// The size of a width x height picture fitted into an area: shrunk with its
// aspect kept until it fits, never enlarged. An area without a positive width
// and height leaves the size as it is.
QSize FittedSize(int width, int height, int areaWidth, int areaHeight);
