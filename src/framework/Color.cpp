#include "Color.h"

#include <QGuiApplication>
#include <QPalette>
#include <iterator>

namespace {

struct SystemColorEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    TColor classic;  // the classic Windows value, used while no application exists
};

// Indexes 0..30 of the Windows system colours (25 is unused there).
const SystemColorEntry kSystemColors[] = {
    {QPalette::Active, QPalette::Button, RGB(200, 200, 200)},           // 0 scroll bar
    {QPalette::Active, QPalette::Dark, RGB(0, 128, 128)},               // 1 desktop
    {QPalette::Active, QPalette::Highlight, RGB(0, 0, 128)},            // 2 active caption
    {QPalette::Inactive, QPalette::Mid, RGB(128, 128, 128)},            // 3 inactive caption
    {QPalette::Active, QPalette::Window, RGB(192, 192, 192)},           // 4 menu
    {QPalette::Active, QPalette::Base, RGB(255, 255, 255)},             // 5 window
    {QPalette::Active, QPalette::Shadow, RGB(0, 0, 0)},                 // 6 window frame
    {QPalette::Active, QPalette::WindowText, RGB(0, 0, 0)},             // 7 menu text
    {QPalette::Active, QPalette::Text, RGB(0, 0, 0)},                   // 8 window text
    {QPalette::Active, QPalette::HighlightedText, RGB(255, 255, 255)},  // 9 caption text
    {QPalette::Active, QPalette::Button, RGB(192, 192, 192)},           // 10 active border
    {QPalette::Inactive, QPalette::Button, RGB(192, 192, 192)},         // 11 inactive border
    {QPalette::Active, QPalette::Mid, RGB(128, 128, 128)},              // 12 application work space
    {QPalette::Active, QPalette::Highlight, RGB(0, 0, 128)},            // 13 highlight
    {QPalette::Active, QPalette::HighlightedText, RGB(255, 255, 255)},  // 14 highlighted text
    {QPalette::Active, QPalette::Button, RGB(192, 192, 192)},           // 15 button face
    {QPalette::Active, QPalette::Dark, RGB(128, 128, 128)},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text, RGB(128, 128, 128)},           // 17 grey text
    {QPalette::Active, QPalette::ButtonText, RGB(0, 0, 0)},             // 18 button text
    {QPalette::Inactive, QPalette::WindowText, RGB(192, 192, 192)},     // 19 inactive caption text
    {QPalette::Active, QPalette::Light, RGB(255, 255, 255)},            // 20 button highlight
    {QPalette::Active, QPalette::Shadow, RGB(0, 0, 0)},                 // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight, RGB(223, 223, 223)},         // 22 3D light
    {QPalette::Active, QPalette::ToolTipText, RGB(0, 0, 0)},            // 23 info text
    {QPalette::Active, QPalette::ToolTipBase, RGB(255, 255, 225)},      // 24 info background
    {QPalette::Active, QPalette::Window, RGB(192, 192, 192)},           // 25 (unused)
    {QPalette::Active, QPalette::Link, RGB(0, 0, 255)},                 // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight, RGB(16, 132, 208)},         // 27 gradient of the active caption
    {QPalette::Inactive, QPalette::Mid, RGB(181, 181, 181)},            // 28 gradient of the inactive caption
    {QPalette::Active, QPalette::Highlight, RGB(0, 0, 128)},            // 29 menu highlight
    {QPalette::Active, QPalette::Window, RGB(192, 192, 192)},           // 30 menu bar
};

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color & 0xFFFFFF;
    const auto index = static_cast<std::size_t>(color & 0xFF);
    if (index >= std::size(kSystemColors))
        return clBlack;
    const SystemColorEntry& entry = kSystemColors[index];
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return entry.classic;
    return FromQColor(QGuiApplication::palette().color(entry.group, entry.role));
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}
