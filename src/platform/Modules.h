// Run-time loading of shared modules with the Win32 names, over dlopen, and
// the program's own file and path names.
#pragma once

#include "WinTypes.h"

#include <string>

// The full path of the running program (module nullptr) or of a module
// opened by LoadLibraryA; empty on failure.
std::string GetModuleFileNameA(HMODULE module = nullptr);

// An absolute path: a relative one is taken from the working folder, "." and
// ".." are resolved by the text alone (links are not followed), doubled and
// trailing "/" are dropped; the root stays "/". Empty on failure.
std::string GetFullPathNameA(const std::string& path);

// Opens a module. A ".dll" suffix (any letter case) becomes ".so"; a name
// without "/" is looked for in the program's folder first, then along the
// system's library search path. Modules are never unmapped (RTLD_NODELETE).
// nullptr on failure, with ERROR_MOD_NOT_FOUND and the loader's message in
// LastModuleError().
HMODULE LoadLibraryA(const std::string& name);
// An exported entry point of a module from LoadLibraryA; nullptr when absent
// (ERROR_PROC_NOT_FOUND) or for an unknown handle (ERROR_INVALID_HANDLE).
FARPROC GetProcAddress(HMODULE module, const std::string& name);
// Releases one LoadLibraryA of the module.
BOOL FreeLibrary(HMODULE module);

// The loader's message about the calling thread's last failed LoadLibraryA,
// GetProcAddress or FreeLibrary, for diagnostics.
std::string LastModuleError();
