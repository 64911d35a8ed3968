// Owning handles for the shell's objects: a reference released when its owner
// goes, and an item identifier list given back to the task allocator (the
// one allocator of every list, copies included). release() hands the object
// over to a new owner explicitly; nothing is released then.
#pragma once

#include "ItemIdList.h"
#include "ShellCom.h"

#include <memory>

struct ShellRelease {
    template <typename Object>
    void operator()(Object* object) const
    {
        object->Release();
    }
};
// One reference to a shell object (folder, enumerator, extractor, link).
template <typename Interface>
using ShellRef = std::unique_ptr<Interface, ShellRelease>;

// A new reference to object, held by the result (null stays null).
template <typename Interface>
ShellRef<Interface> AddShellRef(Interface* object)
{
    if (object)
        object->AddRef();
    return ShellRef<Interface>(object);
}

struct TaskMemFree {
    void operator()(void* block) const { CoTaskMemFree(block); }
};
// An item identifier list from the shell or a copy of part of one.
using UniquePidl = std::unique_ptr<ITEMIDLIST, TaskMemFree>;
