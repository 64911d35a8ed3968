// The view-style menu of a file list: four radio items that switch a linked
// TFileListView between small icons, large icons, list and details. Every
// file list owns one as its popup menu; the folder and file toolbar drops one
// down from its view-style button. When the menu pops up, the item of the
// list's style is checked; choosing an item checks it, sets the list's style
// and, in a toolbar's menu, raises the toolbar's OnViewStyle.
#pragma once

#include "CustomListView.h"
#include "PopupMenu.h"

#include <array>

class TFileListView;

class TFflFileStyleMenu : public TPopupMenu {
public:
    explicit TFflFileStyleMenu(TComponent* owner = nullptr);
    ~TFflFileStyleMenu() override;

    // A TFileListView is linked (and its style checked); null unlinks;
    // anything else is ignored.
    virtual void setFileListControl(TComponent* list);
    // Checks the first item whose tag is the linked list's view style.
    virtual void reflectViewStyle();

    TFileListView* FileListControl() const { return FFileList; }
    // The items, in menu order: small icons, large icons, list, details.
    TMenuItem* item(int position) const { return FItems.at(static_cast<std::size_t>(position)); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void clickEvent(TObject* sender);

    std::array<TMenuItem*, 4> FItems{};
    TFileListView* FFileList = nullptr;
};
