// Exporting the modules' entry points: C linkage, default visibility (the
// modules are built with hidden visibility), and no C++ exception ever leaves
// an entry point.
#pragma once

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

namespace vxmodule {

// Runs body and gives its result; any exception gives failure instead.
template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// The same for entry points without a result.
template <typename Body>
void guardedVoid(Body&& body) noexcept
{
    try {
        body();
    } catch (...) {
    }
}

}  // namespace vxmodule
