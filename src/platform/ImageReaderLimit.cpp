#include "ImageReaderLimit.h"

#include <QImageReader>

#include <mutex>

void LiftImageReaderLimit()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(0); });
}
