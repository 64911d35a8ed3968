// Framework message numbers. The framework delivers each to the control's
// virtual handler of the same name (CM_MOUSEENTER -> CMMouseEnter, ...).
#pragma once

#include <cstdint>

inline constexpr unsigned CM_BASE = 0xB000;
inline constexpr unsigned CM_ACTIVATE = CM_BASE + 0;
inline constexpr unsigned CM_DIALOGCHAR = 0xB006;
inline constexpr unsigned CM_ENABLEDCHANGED = 0xB00C;
inline constexpr unsigned CM_COLORCHANGED = 0xB00D;
inline constexpr unsigned CM_FONTCHANGED = 0xB00E;
inline constexpr unsigned CM_TEXTCHANGED = 0xB012;
inline constexpr unsigned CM_MOUSEENTER = 0xB013;
inline constexpr unsigned CM_MOUSELEAVE = 0xB014;
inline constexpr unsigned CM_BUTTONPRESSED = 0xB018;
inline constexpr unsigned CM_SHOWINGCHANGED = 0xB019;
inline constexpr unsigned CM_SYSCOLORCHANGE = 0xB024;
inline constexpr unsigned CM_CONTROLCHANGE = 0xB036;

// Controls may post messages of their own numbers (from WM_USER 0x0400 up to
// 0xFFFF) to themselves; see TControl::PostPrivateMessage.
inline constexpr unsigned WM_USER = 0x0400;
