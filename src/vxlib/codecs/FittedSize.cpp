#include "FittedSize.h"

#include <algorithm>

QSize FittedSize(int width, int height, int areaWidth, int areaHeight)
{
    if (areaWidth <= 0 || areaHeight <= 0 || width <= 0 || height <= 0)
        return QSize(std::max(width, 0), std::max(height, 0));
    const double x = width > areaWidth ? double(width) / areaWidth : 1.0;
    const double y = height > areaHeight ? double(height) / areaHeight : 1.0;
    const double s = std::max(x, y);
    return QSize(int(width / s + 0.5), int(height / s + 0.5));
}
