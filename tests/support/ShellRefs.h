// Owning handles for shell objects in tests: references released and item
// identifier lists freed at the end of their scope, and the usual ways to
// reach a folder or an item of the namespace.
#pragma once

#include "ShellFolder.h"

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

namespace shelltest {

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using Ref = std::unique_ptr<T, Releaser>;

struct TaskFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using Pidl = std::unique_ptr<ITEMIDLIST, TaskFree>;

// A path or name as the shell's wide text (every byte kept).
std::u16string wide(const std::string& text);

// What the shell has alive in the process: objects (folders, enumerators,
// extractors) and task-allocator blocks (item identifier lists, names).
struct ShellCounts {
    std::size_t objects = 0;
    std::size_t blocks = 0;
    bool operator==(const ShellCounts&) const = default;
};
ShellCounts shellCounts();
void PrintTo(const ShellCounts& counts, std::ostream* out);

// A new reference to the desktop folder.
Ref<IShellFolder> desktop();
// The list of path parsed by folder; null when it does not parse.
Pidl parse(IShellFolder* folder, const std::string& path, ULONG* attributes = nullptr);
// The folder object of an absolute path; null when it cannot be bound.
Ref<IShellFolder> folderAt(const std::string& path);

}  // namespace shelltest
