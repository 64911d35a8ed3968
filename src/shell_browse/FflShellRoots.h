// What a folder control holds of the shell while it lives: the shell
// entered, the desktop folder and the identifier list of the user's
// documents folder, each given back when the control goes.
#pragma once

#include "ShellFolder.h"
#include "ShellHandles.h"

class TFflShellRoots {
public:
    TFflShellRoots();
    ~TFflShellRoots();
    TFflShellRoots(const TFflShellRoots&) = delete;
    TFflShellRoots& operator=(const TFflShellRoots&) = delete;

    // The desktop folder (borrowed); null when the shell has none.
    IShellFolder* desktop() const { return FDesktop.get(); }
    // The documents folder's list, relative to the desktop; null when unknown.
    LPCITEMIDLIST documents() const { return FDocuments.get(); }

private:
    ShellRef<IShellFolder> FDesktop;
    UniquePidl FDocuments;
};
