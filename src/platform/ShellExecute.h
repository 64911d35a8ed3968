// Opening a document or an address with the user's preferred program.
#pragma once

#include "WinTypes.h"

inline constexpr int SW_SHOWNORMAL = 1;

// verb "open" (any letter case) or empty opens `file` (a path or an address)
// through xdg-open, started detached; parameters and folder are passed on to
// it. Returns a value above 32 when the program was started, otherwise an
// error code: 2 (file not found: a path that does not exist), 31 (no
// association: an unknown verb), 0 (the opener could not be started).
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show);
