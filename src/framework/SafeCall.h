// The one wrapper around every handler the framework dispatches: an exception
// never crosses Qt's own code. An Exception is shown by the application's
// exception box; any other exception becomes one with an empty message.
#pragma once

#include "Exception.h"

#include <exception>
#include <utility>

// Shows the exception through the application object (or on standard error
// when there is none). Never throws.
void HandleException(const Exception& error) noexcept;

// Runs f; true when it returned normally, false when it raised (and the
// exception was shown).
template <typename F>
bool SafeCall(F&& f) noexcept
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (const Exception& error) {
        HandleException(error);
    } catch (...) {
        HandleException(Exception(""));
    }
    return false;
}
