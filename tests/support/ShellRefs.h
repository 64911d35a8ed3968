// The usual ways for tests to reach a folder or an item of the namespace,
// held by the platform's owning handles, and the shell's live counts.
#pragma once

#include "ShellFolder.h"
#include "ShellHandles.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace shelltest {

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
ShellRef<IShellFolder> desktop();
// The list of path parsed by folder; null when it does not parse.
UniquePidl parse(IShellFolder* folder, const std::string& path, ULONG* attributes = nullptr);
// The folder object of an absolute path; null when it cannot be bound.
ShellRef<IShellFolder> folderAt(const std::string& path);

}  // namespace shelltest
