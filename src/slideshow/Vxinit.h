// Loading and releasing the image library, counted by user.
//
// Users identify themselves by kind (101 to 104; the slide viewer is 102).
// The first user loads every module not yet loaded, in load order: its
// procedure variables are cleared, the module is opened by its bare name and
// each entry point is looked up (a miss leaves the variable null; a module
// that cannot be opened leaves all of its variables null), and the mouse
// cursor is shown if ShowMouseCursor hid it (g_ShowCursorDispFlag is set to
// shown). When the last user is gone, every module is released in load order
// and all variables cleared.
#pragma once

inline constexpr int kVxUserFirst = 101;
inline constexpr int kVxUserLast = 104;
inline constexpr int kVxUserSlide = 102;

// Counts a user of that kind; false for a kind outside 101..104.
bool InitializeVX(int kind);
// Uncounts a user of that kind; false when no such user is counted.
bool TerminateVX(int kind);
// Users counted now (all kinds).
int VXUserCount();
// Whether the module of that file name ("Vx7File.DLL", ...) is loaded now.
bool VXModuleLoaded(const char* fileName);
