// Reference counting shared by the shell's objects: a class derives from its
// interface and from ComObjectCount, and the template supplies AddRef/Release.
#pragma once

#include "ShellCom.h"

// Counts live shell objects for ShellLiveObjects().
class ComObjectCount {
public:
    ComObjectCount();
    ComObjectCount(const ComObjectCount&) = delete;
    ComObjectCount& operator=(const ComObjectCount&) = delete;
    ~ComObjectCount();
};

template <typename Interface>
class ComObject : public Interface, private ComObjectCount {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    // Answers IUnknown and the given interface with this object.
    HRESULT queryFor(REFIID riid, REFIID own, void** object)
    {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (!(riid == IID_IUnknown) && !(riid == own))
            return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }

private:
    ULONG m_refs = 1;  // the creator's reference
};
