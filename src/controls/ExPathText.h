// Paths in Qt's text and back with every byte kept: bytes that are no part
// of valid UTF-8 travel as carried units, shown as replacement glyphs.
#pragma once

#include "Unicode.h"

#include <QString>

#include <string>

inline QString PathToQString(const std::string& path)
{
    return QString::fromStdU16String(WideFromNarrow(path));
}

inline std::string PathFromQString(const QString& text)
{
    return NarrowFromWide(text.toStdU16String());
}
