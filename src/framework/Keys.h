// Virtual-key codes, shift states and the translation of Qt's key events
// into them.
#pragma once

#include "Set.h"

#include <cstdint>

class QKeyEvent;
class QInputEvent;

using WORD_KEY = std::uint16_t;

enum TShiftStateFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

inline constexpr WORD_KEY VK_LBUTTON = 0x01;
inline constexpr WORD_KEY VK_RBUTTON = 0x02;
inline constexpr WORD_KEY VK_MBUTTON = 0x04;
inline constexpr WORD_KEY VK_BACK = 0x08;
inline constexpr WORD_KEY VK_TAB = 0x09;
inline constexpr WORD_KEY VK_CLEAR = 0x0C;
inline constexpr WORD_KEY VK_RETURN = 0x0D;
inline constexpr WORD_KEY VK_SHIFT = 0x10;
inline constexpr WORD_KEY VK_CONTROL = 0x11;
inline constexpr WORD_KEY VK_MENU = 0x12;
inline constexpr WORD_KEY VK_PAUSE = 0x13;
inline constexpr WORD_KEY VK_CAPITAL = 0x14;
inline constexpr WORD_KEY VK_ESCAPE = 0x1B;
inline constexpr WORD_KEY VK_SPACE = 0x20;
inline constexpr WORD_KEY VK_PRIOR = 0x21;
inline constexpr WORD_KEY VK_NEXT = 0x22;
inline constexpr WORD_KEY VK_END = 0x23;
inline constexpr WORD_KEY VK_HOME = 0x24;
inline constexpr WORD_KEY VK_LEFT = 0x25;
inline constexpr WORD_KEY VK_UP = 0x26;
inline constexpr WORD_KEY VK_RIGHT = 0x27;
inline constexpr WORD_KEY VK_DOWN = 0x28;
inline constexpr WORD_KEY VK_SNAPSHOT = 0x2C;
inline constexpr WORD_KEY VK_INSERT = 0x2D;
inline constexpr WORD_KEY VK_DELETE = 0x2E;
inline constexpr WORD_KEY VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' 0x41..0x5A, as their characters.
inline constexpr WORD_KEY VK_LWIN = 0x5B;
inline constexpr WORD_KEY VK_RWIN = 0x5C;
inline constexpr WORD_KEY VK_APPS = 0x5D;
inline constexpr WORD_KEY VK_NUMPAD0 = 0x60;  // keypad 0..9 with Num Lock on: 96..105
inline constexpr WORD_KEY VK_NUMPAD9 = 0x69;
inline constexpr WORD_KEY VK_MULTIPLY = 0x6A;
inline constexpr WORD_KEY VK_ADD = 0x6B;
inline constexpr WORD_KEY VK_SEPARATOR = 0x6C;
inline constexpr WORD_KEY VK_SUBTRACT = 0x6D;
inline constexpr WORD_KEY VK_DECIMAL = 0x6E;
inline constexpr WORD_KEY VK_DIVIDE = 0x6F;
inline constexpr WORD_KEY VK_F1 = 0x70;       // F1..F24: 112..135
inline constexpr WORD_KEY VK_F2 = 0x71;
inline constexpr WORD_KEY VK_F3 = 0x72;
inline constexpr WORD_KEY VK_F4 = 0x73;
inline constexpr WORD_KEY VK_F5 = 0x74;
inline constexpr WORD_KEY VK_F6 = 0x75;
inline constexpr WORD_KEY VK_F7 = 0x76;
inline constexpr WORD_KEY VK_F8 = 0x77;
inline constexpr WORD_KEY VK_F9 = 0x78;
inline constexpr WORD_KEY VK_F10 = 0x79;
inline constexpr WORD_KEY VK_F11 = 0x7A;
inline constexpr WORD_KEY VK_F12 = 0x7B;
inline constexpr WORD_KEY VK_F24 = 0x87;
inline constexpr WORD_KEY VK_NUMLOCK = 0x90;
inline constexpr WORD_KEY VK_SCROLL = 0x91;
inline constexpr WORD_KEY VK_OEM_1 = 0xBA;       // ;:
inline constexpr WORD_KEY VK_OEM_PLUS = 0xBB;    // =+
inline constexpr WORD_KEY VK_OEM_COMMA = 0xBC;   // ,<
inline constexpr WORD_KEY VK_OEM_MINUS = 0xBD;   // -_
inline constexpr WORD_KEY VK_OEM_PERIOD = 0xBE;  // .>
inline constexpr WORD_KEY VK_OEM_2 = 0xBF;       // /?
inline constexpr WORD_KEY VK_OEM_3 = 0xC0;       // `~
inline constexpr WORD_KEY VK_OEM_4 = 0xDB;       // [{
inline constexpr WORD_KEY VK_OEM_5 = 0xDC;       // \|
inline constexpr WORD_KEY VK_OEM_6 = 0xDD;       // ]}
inline constexpr WORD_KEY VK_OEM_7 = 0xDE;       // '"

// The virtual-key code of a Qt key event; 0 for keys without one. A keypad key
// arriving with Num Lock off (a navigation key with the keypad modifier) is
// that navigation key; keypad 5 with Num Lock off is VK_CLEAR.
WORD_KEY VirtualKeyFromEvent(const QKeyEvent& event);
// The same for a Qt key code and whether it came from the keypad.
WORD_KEY VirtualKeyFromQt(int qtKey, bool keypad);
// Shift, Alt and Ctrl of a key or mouse event, with the mouse buttons held.
TShiftState ShiftStateFromEvent(const QInputEvent& event);
// Shift, Alt and Ctrl held now, with the left, right and middle mouse buttons.
TShiftState CurrentShiftState();
