// A file list for the folder controls' link that notes what it is asked: the
// folders it is given (as full paths; it releases each reference it takes
// over), the control that asked, and the files it is asked to select.
#pragma once

#include "Component.h"
#include "FileListLink.h"
#include "ShellItems.h"

#include <string>
#include <vector>

class RecordingFileList final : public TComponent, public TFflFileListLink {
public:
    void OpenFolder(TObject* control, IShellFolder* folder) override
    {
        ++opened;
        lastControl = control;
        if (folder) {
            std::string name;
            const BYTE own[2] = {0, 0};
            if (displayNameOf(folder, reinterpret_cast<LPCITEMIDLIST>(own), kFullPathName, name))
                folders.push_back(name);
            folder->Release();  // the list owns the reference it was given
        }
    }
    bool SelectFile(const std::string& name) override
    {
        selected.push_back(name);
        return true;
    }

    int opened = 0;
    TObject* lastControl = nullptr;
    std::vector<std::string> folders;
    std::vector<std::string> selected;
};
