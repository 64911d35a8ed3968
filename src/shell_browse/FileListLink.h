// What a folder control asks of the file list linked to it: list a folder's
// contents, and select a file by name. The file list view implements it.
#pragma once

#include "Component.h"
#include "ShellFolder.h"

#include <string>

class TFflFileListLink {
public:
    virtual ~TFflFileListLink() = default;
    // Lists folder (the list takes over the reference; null lists nothing
    // new). control is the folder control that asks.
    virtual void OpenFolder(TObject* control, IShellFolder* folder) = 0;
    // Selects the listed file called name; false when there is none.
    virtual bool SelectFile(const std::string& name) = 0;
};
