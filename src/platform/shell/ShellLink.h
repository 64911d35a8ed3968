// Shortcuts: on Linux a shortcut is a symbolic link. A shell link object is
// made with CoCreateInstance(CLSID_ShellLink, ...), loaded from the link's
// path through IPersistFile and asked for its target through IShellLinkA.
#pragma once

#include "ShellCom.h"

using LPCOLESTR = const char16_t*;
using LPOLESTR = char16_t*;

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// IPersistFile::Load access modes; the link is only ever read.
inline constexpr DWORD STGM_READ = 0x0;

// GetPath flags; accepted and ignored (there is one kind of path here).
inline constexpr DWORD SLGP_SHORTPATH = 0x1;
inline constexpr DWORD SLGP_UNCPRIORITY = 0x2;
inline constexpr DWORD SLGP_RAWPATH = 0x4;

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* classId) = 0;
};

struct IPersistFile : IPersist {
    // S_FALSE: a link object is never changed, so it has nothing to save.
    virtual HRESULT IsDirty() = 0;
    // Reads the symbolic link at fileName (UTF-16). The target is read one
    // level, as the link stores it; a relative target is taken from the
    // link's folder. E_INVALIDARG for a null name, E_FAIL when the path is
    // not a symbolic link or cannot be read; a failed Load forgets the target
    // of an earlier one. mode is STGM_READ.
    virtual HRESULT Load(LPCOLESTR fileName, DWORD mode) = 0;
    // Not supported: E_NOTIMPL.
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT SaveCompleted(LPCOLESTR fileName) = 0;
    // The loaded link's path, task-allocated UTF-16 (free with CoTaskMemFree);
    // E_FAIL when nothing is loaded.
    virtual HRESULT GetCurFile(LPOLESTR* fileName) = 0;
};

struct IShellLinkA : IUnknown {
    // The target's absolute path (UTF-8, NUL-terminated) into file, a buffer
    // of size bytes. A target that does not exist is still given. When data is
    // not null it receives the target's find data (all zero when the target
    // does not exist). Fails with E_INVALIDARG for no buffer, E_FAIL when no
    // link is loaded and with the insufficient-buffer error (0x8007007A) when
    // the path does not fit; on failure the buffer holds an empty text.
    virtual HRESULT GetPath(char* file, int size, WIN32_FIND_DATAA* data, DWORD flags) = 0;
};

// Creates an object of the class classId (CLSID_ShellLink only) and returns
// the interface riid of it. REGDB_E_CLASSNOTREG for another class or a
// context without CLSCTX_INPROC_SERVER, CLASS_E_NOAGGREGATION with an outer
// object, E_NOINTERFACE for an interface the object does not have.
HRESULT CoCreateInstance(const CLSID& classId, IUnknown* outer, DWORD context, REFIID riid, void** object);
