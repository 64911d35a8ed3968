// The shell's view settings, as the folder controls ask for them.
//
// Hidden entries (names starting with ".") are shown when the desktop's file
// chooser setting says so (GTK's "show-hidden" of the settings schema
// "org.gtk.Settings.FileChooser", read only when that schema is installed
// with that key) and not shown otherwise. Linux has no separate class of
// system files, so the same setting answers for them. Extensions are part of
// a file's name here and are always shown.
#pragma once

#include "WinTypes.h"

// The flag state, one 32-bit word: fShowAllObjects is bit 0, fShowExtensions
// bit 1, fShowSysFiles bit 3 (value 8).
struct SHELLFLAGSTATE {
    UINT fShowAllObjects : 1;
    UINT fShowExtensions : 1;
    UINT fNoConfirmRecycle : 1;
    UINT fShowSysFiles : 1;
    UINT fShowCompColor : 1;
    UINT fDoubleClickInWebView : 1;
    UINT fDesktopHTML : 1;
    UINT fWin95Classic : 1;
    UINT fDontPrettyPath : 1;
    UINT fShowAttribCol : 1;
    UINT fMapNetDrvBtn : 1;
    UINT fShowInfoTip : 1;
    UINT fHideIcons : 1;
    UINT fRestFlags : 19;
};
static_assert(sizeof(SHELLFLAGSTATE) == 4, "the flag state is one 32-bit word");

// Which fields SHGetSettings fills.
inline constexpr DWORD SSF_SHOWALLOBJECTS = 0x1;   // hidden entries shown
inline constexpr DWORD SSF_SHOWEXTENSIONS = 0x2;   // always 1
inline constexpr DWORD SSF_SHOWSYSFILES = 0x20;    // the same as fShowAllObjects

// Fills the fields of state that mask asks for and leaves the others as they
// are. A null state is ignored.
void SHGetSettings(SHELLFLAGSTATE* state, DWORD mask);
