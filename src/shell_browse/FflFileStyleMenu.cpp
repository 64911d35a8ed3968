#include "FflFileStyleMenu.h"

#include "FileListView.h"
#include "FolderFileToolBar.h"
#include "Translation.h"

namespace {

struct StyleItem {
    const char* caption;
    TViewStyle style;
};
constexpr StyleItem kStyleItems[] = {
    {QT_TRANSLATE_NOOP("TFflFileStyleMenu", "並べて表示(&S)"), vsSmallIcon},
    {QT_TRANSLATE_NOOP("TFflFileStyleMenu", "アイコン(&N)"), vsIcon},
    {QT_TRANSLATE_NOOP("TFflFileStyleMenu", "一覧(&L)"), vsList},
    {QT_TRANSLATE_NOOP("TFflFileStyleMenu", "詳細(&D)"), vsReport},
};

}  // namespace

TFflFileStyleMenu::TFflFileStyleMenu(TComponent* owner) : TPopupMenu(owner)
{
    OnPopup = [this](TObject*) { reflectViewStyle(); };
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        auto* item = new TMenuItem(this);
        item->SetCaption(Translate("TFflFileStyleMenu", kStyleItems[i].caption));
        item->SetTag(kStyleItems[i].style);
        item->SetRadioItem(true);
        item->OnClick = [this](TObject* sender) { clickEvent(sender); };
        Add(item);
        FItems[i] = item;
    }
    FItems[2]->SetChecked(true);
}

TFflFileStyleMenu::~TFflFileStyleMenu()
{
    OnPopup = nullptr;
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        delete *it;
        *it = nullptr;
    }
    setFileListControl(nullptr);
}

void TFflFileStyleMenu::setFileListControl(TComponent* list)
{
    // The list may be linked to this menu in another way too (the menu as its
    // popup menu): unlinking asks for no removal of notices.
    if (!list) {
        FFileList = nullptr;
        return;
    }
    auto* fileList = dynamic_cast<TFileListView*>(list);
    if (!fileList)
        return;
    FFileList = fileList;
    fileList->FreeNotification(this);
    reflectViewStyle();
}

void TFflFileStyleMenu::reflectViewStyle()
{
    if (!FFileList)
        return;
    for (TMenuItem* item : FItems) {
        if (item && item->Tag() == FFileList->ViewStyle()) {
            item->SetChecked(true);
            return;
        }
    }
}

void TFflFileStyleMenu::clickEvent(TObject* sender)
{
    auto* clicked = dynamic_cast<TMenuItem*>(sender);
    TViewStyle style = vsList;
    for (TMenuItem* item : FItems) {
        if (item && item == clicked) {
            item->SetChecked(true);
            style = static_cast<TViewStyle>(item->Tag());
        }
    }
    if (FFileList)
        FFileList->SetViewStyle(style);
    if (auto* toolBar = dynamic_cast<TFolderFileToolBar*>(Owner()); toolBar && toolBar->OnViewStyle)
        toolBar->OnViewStyle(sender, style);
}

void TFflFileStyleMenu::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component == FFileList)
        setFileListControl(nullptr);
    TPopupMenu::Notification(component, operation);
}
