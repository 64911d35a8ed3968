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

// A folder control's link to its file list: the component set as
// FileListControl and the link it implements.
class TFflLinkedFileList {
public:
    // Links list when it implements the link, asking to have owner told when
    // it goes; null unlinks. Anything else is ignored and the old link stays:
    // false.
    bool set(TComponent* list, TComponent* owner)
    {
        if (!list) {
            FControl = nullptr;
            FLink = nullptr;
            return true;
        }
        auto* link = dynamic_cast<TFflFileListLink*>(list);
        if (!link)
            return false;
        FControl = list;
        FLink = link;
        list->FreeNotification(owner);
        return true;
    }
    // Unlinks when component is the linked list going away.
    void removed(TComponent* component)
    {
        if (component == FControl)
            set(nullptr, nullptr);
    }
    TComponent* control() const { return FControl; }
    TFflFileListLink* link() const { return FLink; }

private:
    TComponent* FControl = nullptr;
    TFflFileListLink* FLink = nullptr;
};
