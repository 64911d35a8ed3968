#include "FolderFileToolBar.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "Exception.h"
#include "FflFileStyleMenu.h"
#include "FileListView.h"
#include "FolderDropDown.h"
#include "FolderTreeView.h"
#include "ImageList.h"
#include "SafeCall.h"
#include "Translation.h"

namespace {

// The glyph strip: 16 by 16 images on magenta.
constexpr int kGlyphSize = 16;
constexpr TColor kGlyphMaskColor = clFuchsia;
// Beyond the two buttons, the bar has room for the view-style button's arrow.
constexpr int kExtraWidth = 18;

}  // namespace

TFolderFileToolBar::TFolderFileToolBar(TComponent* owner) : TToolBar(owner)
{
    FImageList = new TImageList(this);
    FImageList->SetWidth(kGlyphSize);
    FImageList->SetHeight(kGlyphSize);
    TBitmap strip;
    try {
        strip.LoadFromResourceName("ToolBar-Normal");
        FImageList->AddMasked(strip, kGlyphMaskColor);
    } catch (const Exception&) {
        // Without the glyphs the buttons are blank.
    }
    SetCustomizable(false);
    SetEdgeBorders({});
    SetFlat(true);
    SetTabStop(true);
    FStyleMenu = new TFflFileStyleMenu(this);

    FUpButton = new TToolButton(this);
    FUpButton->SetImageIndex(kFflUpButton);
    FUpButton->SetHint(Translate("TFolderFileToolBar", "1つ上のフォルダへ"));
    FUpButton->SetShowHint(true);
    FUpButton->SetVisible(false);
    FUpButton->OnClick = [this](TObject* sender) { clickSelectParent(sender); };

    FViewStyleButton = new TToolButton(this);
    FViewStyleButton->SetImageIndex(kFflViewStyleButton);
    FViewStyleButton->SetHint(Translate("TFolderFileToolBar", "表示メニュー"));
    FViewStyleButton->SetShowHint(true);
    FViewStyleButton->SetVisible(false);
    FViewStyleButton->OnClick = [this](TObject* sender) { clickViewStyle(sender); };
    FViewStyleButton->SetDropdownMenu(FStyleMenu);
}

TFolderFileToolBar::~TFolderFileToolBar()
{
    FDestroying = true;
    OnClick = nullptr;
    OnViewStyle = nullptr;
    delete FViewStyleButton;
    delete FUpButton;
    delete FStyleMenu;
    delete FImageList;
    FViewStyleButton = nullptr;
    FUpButton = nullptr;
    FStyleMenu = nullptr;
    FImageList = nullptr;
}

void TFolderFileToolBar::SetParent(QWidget* parent)
{
    TToolBar::SetParent(parent);
    if (!parent)
        return;
    if (!ComponentState().Contains(csDesigning)) {
        // The up button stands left of the view-style button.
        FUpButton->SetParent(this);
        FViewStyleButton->SetParent(this);
        // Links made before the bar was placed show their buttons now.
        showButton(FUpButton, FFolderControl != nullptr);
        showButton(FViewStyleButton, FFileListControl != nullptr);
    }
    SetImages(FImageList);
    SetBounds(Left(), Top(), 2 * ButtonWidth() + kExtraWidth, ButtonHeight());
}

void TFolderFileToolBar::showButton(TToolButton* button, bool visible)
{
    // A button off the bar would become a window of its own: it is shown
    // when the bar is placed.
    if (button->Parent())
        button->SetVisible(visible);
}

void TFolderFileToolBar::setFolderControl(TComponent* control)
{
    if (dynamic_cast<TFolderTreeView*>(control) || dynamic_cast<TFolderDropDown*>(control)) {
        FFolderControl = control;
        control->FreeNotification(this);
        showButton(FUpButton, true);
        return;
    }
    FFolderControl = nullptr;
    if (!FDestroying && FUpButton)
        showButton(FUpButton, false);
}

void TFolderFileToolBar::setFileListControl(TComponent* list)
{
    if (auto* fileList = dynamic_cast<TFileListView*>(list)) {
        FFileListControl = fileList;
        fileList->FreeNotification(this);
        FViewStyleButton->SetStyle(tbsDropDown);
        showButton(FViewStyleButton, true);
        FStyleMenu->setFileListControl(fileList);
        return;
    }
    if (list)
        return;
    FFileListControl = nullptr;
    if (FStyleMenu)
        FStyleMenu->setFileListControl(nullptr);
    if (!FDestroying && FViewStyleButton)
        showButton(FViewStyleButton, false);
}

void TFolderFileToolBar::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove) {
        if (component == FFolderControl)
            setFolderControl(nullptr);
        if (component == FFileListControl) {
            // The menu hears of the list's end itself.
            FFileListControl = nullptr;
            if (!FDestroying && FViewStyleButton)
                showButton(FViewStyleButton, false);
        }
    }
    TToolBar::Notification(component, operation);
}

void TFolderFileToolBar::clickSelectParent(TObject* sender)
{
    if (auto* tree = dynamic_cast<TFolderTreeView*>(FFolderControl))
        tree->SelectParent();
    else if (auto* dropDown = dynamic_cast<TFolderDropDown*>(FFolderControl))
        dropDown->SelectParent();
    if (OnClick)
        OnClick(sender, kFflUpButton);
}

void TFolderFileToolBar::clickViewStyle(TObject* sender)
{
    const QPoint at = mapToGlobal(QPoint(FViewStyleButton->Left(), FViewStyleButton->Top() + FViewStyleButton->Height()));
    FStyleMenu->Popup(at.x(), at.y());
    if (OnClick)
        OnClick(sender, kFflViewStyleButton);
}

bool TFolderFileToolBar::customDrawEvent(const RECT&)
{
    if (!ComponentState().Contains(csDesigning))
        return true;
    // The hidden buttons previewed at design time.
    FImageList->Draw(Canvas(), (ButtonWidth() - kGlyphSize) / 2, (ButtonHeight() - kGlyphSize) / 2, kFflUpButton);
    FImageList->Draw(Canvas(), ButtonWidth() + (ButtonWidth() - kGlyphSize) / 2, (ButtonHeight() - kGlyphSize) / 2,
                     kFflViewStyleButton);
    return false;
}

bool TFolderFileToolBar::CustomDraw(const RECT& rect)
{
    return customDrawEvent(rect) && TToolBar::CustomDraw(rect);
}
