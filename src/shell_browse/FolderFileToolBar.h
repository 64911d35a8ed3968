// The folder and file toolbar: a flat bar of two buttons, each shown only
// while its control is linked. The up button (image 1) moves the linked
// folder control (FolderControl: a folder tree or drop-down) to the parent
// folder; the view-style button (image 3, with a drop-down arrow) drops down
// the bar's own view-style menu for the linked file list (FileListControl).
// OnClick reports a click on either button with its number; OnViewStyle the
// style chosen from the menu.
#pragma once

#include "CustomListView.h"
#include "ToolBar.h"

#include <cstdint>
#include <functional>

class TFflFileStyleMenu;
class TImageList;

// The number of a toolbar button: the number of its image.
using TFflToolBarButton = std::uint8_t;
inline constexpr TFflToolBarButton kFflUpButton = 1;
inline constexpr TFflToolBarButton kFflViewStyleButton = 3;

using TFflToolBarClickEvent = std::function<void(TObject* Sender, TFflToolBarButton Button)>;
// Sender: the menu item that was chosen.
using TFflViewStyleEvent = std::function<void(TObject* Sender, TViewStyle ViewStyle)>;

class TFolderFileToolBar : public TToolBar {
public:
    explicit TFolderFileToolBar(TComponent* owner = nullptr);
    ~TFolderFileToolBar() override;

    // A folder tree or drop-down is linked and the up button shown; anything
    // else, null included, unlinks and hides it.
    virtual void setFolderControl(TComponent* control);
    // A file list is linked, the view-style button shown and the menu linked
    // to it; null unlinks and hides the button; anything else is ignored.
    virtual void setFileListControl(TComponent* list);
    // Placing the bar puts both buttons on it, the up button first, and sizes
    // it to 2 x ButtonWidth + 18 by ButtonHeight.
    void SetParent(QWidget* parent) override;

    TComponent* FolderControl() const { return FFolderControl; }
    void SetFolderControl(TComponent* control) { setFolderControl(control); }
    TComponent* FileListControl() const { return FFileListControl; }
    void SetFileListControl(TComponent* list) { setFileListControl(list); }

    TToolButton* upButton() const { return FUpButton; }
    TToolButton* viewStyleButton() const { return FViewStyleButton; }
    TFflFileStyleMenu* styleMenu() const { return FStyleMenu; }
    TImageList* imageList() const { return FImageList; }

    // The host's handler of a button click. It stands in for the framework's
    // click event of the bar, which the bar does not raise.
    TFflToolBarClickEvent OnClick;
    TFflViewStyleEvent OnViewStyle;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // A click on the bar itself (not on a button) raises nothing.
    void Click() override {}
    bool CustomDraw(const RECT& rect) override;  // customDrawEvent

private:
    void clickSelectParent(TObject* sender);
    void clickViewStyle(TObject* sender);
    bool customDrawEvent(const RECT& rect);
    void showButton(TToolButton* button, bool visible);

    TToolButton* FUpButton = nullptr;
    TToolButton* FViewStyleButton = nullptr;
    TImageList* FImageList = nullptr;
    TFflFileStyleMenu* FStyleMenu = nullptr;
    TComponent* FFolderControl = nullptr;
    TComponent* FFileListControl = nullptr;
    bool FDestroying = false;
};
