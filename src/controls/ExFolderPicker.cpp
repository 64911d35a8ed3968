#include "ExFolderPicker.h"

#include "ExPathText.h"
#include "ExSystemFolders.h"
#include "FileOps.h"
#include "ItemIdHelpers.h"
#include "Paths.h"
#include "SafeCall.h"
#include "ShellItems.h"
#include "SysUtils.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

TExFolderPicker::TExFolderPicker(QWidget* owner, UINT flags, LPCITEMIDLIST root, const std::string& instruction)
    : QDialog(owner), FFlags(flags), FTree(std::make_unique<TFolderTreeView>())
{
    setWindowTitle(QCoreApplication::translate("TExFolderPicker", "フォルダーの参照"));
    auto* layout = new QVBoxLayout(this);
    auto* instructionLabel = new QLabel(QString::fromStdString(instruction), this);
    instructionLabel->setWordWrap(true);
    instructionLabel->setVisible(!instruction.empty());
    layout->addWidget(instructionLabel);
    if (flags & BIF_STATUSTEXT) {
        FStatus = new QLabel(this);
        layout->addWidget(FStatus);
    }

    FTree->SetIncludeFile((flags & BIF_BROWSEINCLUDEFILES) != 0);
    FTree->SetParent(this);
    layout->addWidget(FTree.get(), 1);

    if (flags & BIF_EDITBOX) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QCoreApplication::translate("TExFolderPicker", "フォルダー:"), this));
        FEdit = new QLineEdit(this);
        FEdit->setMaxLength(std::numeric_limits<int>::max());
        row->addWidget(FEdit, 1);
        layout->addLayout(row);
    }

    auto* buttons = new QDialogButtonBox(this);
    FOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QCoreApplication::translate("TExFolderPicker", "キャンセル"), QDialogButtonBox::RejectRole);
    FOK->setDefault(true);
    connect(FOK, &QPushButton::clicked, this, [this] { SafeCall([this] { Confirm(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    layout->addWidget(buttons);
    resize(340, 420);

    TTreeNode* top = FTree->Items().GetFirstNode();
    FRoot = root ? nodeOfList(root) : nullptr;
    if (!FRoot)
        FRoot = top;
    showOnlyRoot();
    FTree->SetSelected(FRoot);
    selectionChanged(FRoot);
    FTree->OnChange = [this](TObject*, TTreeNode* node) { selectionChanged(node); };
}

TExFolderPicker::~TExFolderPicker()
{
    FTree->OnChange = nullptr;  // nothing may reach the picker while its tree goes
}

TTreeNode* TExFolderPicker::nodeOfList(LPCITEMIDLIST list)
{
    // Each identifier names a child of the node reached so far.
    TTreeNode* node = FTree->Items().GetFirstNode();
    for (LPCITEMIDLIST at = list; node && at && at->mkid.cb != 0; at = nextItemId(at)) {
        const UniquePidl first(copyFirstItemId(at));
        const ShellRef<IShellFolder> folder(FTree->newShellFolder(node));
        std::string name;
        if (!first || !displayNameOf(folder.get(), first.get(), kInFolderName, name))
            return nullptr;
        FTree->SetSelected(node);
        node = FTree->OpenFolder(name) ? FTree->Selected() : nullptr;
    }
    return node;
}

void TExFolderPicker::showOnlyRoot()
{
    TTreeNode* parent = FRoot ? FRoot->Parent() : nullptr;
    if (!parent)
        return;  // the desktop: the whole tree
    FTree->setRootIndex(FTree->indexFromItem(parent));
    for (TTreeNode* sibling = parent->getFirstChild(); sibling; sibling = sibling->getNextSibling())
        sibling->setHidden(sibling != FRoot);
    // Loads the root's folders and opens it (no child has an empty name).
    FTree->SetSelected(FRoot);
    FTree->OpenFolder(std::string());
}

bool TExFolderPicker::withinRoot(TTreeNode* node) const
{
    for (; node; node = node->Parent())
        if (node == FRoot)
            return true;
    return false;
}

bool TExFolderPicker::Acceptable(TTreeNode* node) const
{
    const TFflNodeInfo* info = TFolderTreeView::nodeInfo(node);
    if (!info || (FFlags & (BIF_BROWSEFORCOMPUTER | BIF_BROWSEFORPRINTER)))
        return false;
    if ((FFlags & BIF_RETURNONLYFSDIRS) && !(info->attributes & SFGAO_FILESYSTEM))
        return false;
    if ((FFlags & BIF_RETURNFSANCESTORS) && !(info->attributes & SFGAO_FILESYSANCESTOR))
        return false;
    return true;
}

std::string TExFolderPicker::selectedPath() const
{
    const TFflNodeInfo* info = TFolderTreeView::nodeInfo(FTree->Selected());
    if (!info || !(info->attributes & SFGAO_FILESYSTEM))
        return {};
    return WithoutTrailingSlashes(FTree->FolderName());
}

void TExFolderPicker::selectionChanged(TTreeNode* node)
{
    EnableOK(Acceptable(node));
    if (FEdit)
        FEdit->setText(node ? QString::fromStdString(node->Text()) : QString());
    if (OnSelectionChanged) {
        const UniquePidl item = node ? AbsoluteList(FTree->FolderName()) : nullptr;
        OnSelectionChanged(selectedPath(), item.get());
    }
}

void TExFolderPicker::SetStatusText(const QString& text)
{
    if (FStatus)
        FStatus->setText(text);
}

void TExFolderPicker::SetSelection(const std::string& path)
{
    FTree->setFolderName(path);
    if (!withinRoot(FTree->Selected()))
        FTree->SetSelected(FRoot);
    if (TTreeNode* selected = FTree->Selected())
        FTree->scrollToItem(selected);
}

void TExFolderPicker::EnableOK(bool enable)
{
    FOK->setEnabled(enable);
}

bool TExFolderPicker::Run()
{
    if (OnInitialized)
        OnInitialized();
    if (!FFinished)
        exec();
    return result() == Accepted && !FResultPath.empty();
}

void TExFolderPicker::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (TTreeNode* selected = FTree->Selected())
        FTree->scrollToItem(selected);
}

void TExFolderPicker::done(int result)
{
    FFinished = true;
    QDialog::done(result);
}

void TExFolderPicker::Confirm()
{
    if (!FOK->isEnabled())
        return;
    TTreeNode* node = FTree->Selected();
    const std::string shown = node ? node->Text() : std::string();
    if (FEdit) {
        const std::string typed = PathFromQString(FEdit->text());
        if (typed != shown && confirmTyped(typed))
            return;
    }
    finish(selectedPath(), shown);
}

bool TExFolderPicker::confirmTyped(const std::string& typed)
{
    std::string path = typed;
    if (path.empty() || path.front() != '/') {
        const std::string base = selectedPath();
        path = base.empty() || path.empty() ? std::string() : JoinPath(base, path);
    }
    path = path.empty() ? path : ExpandFileName(path);
    if (!path.empty() && (DirectoryExists(path) || ((FFlags & BIF_BROWSEINCLUDEFILES) && FileExists(path)))) {
        finish(WithoutTrailingSlashes(path), LastPathComponent(path));
        return true;
    }
    if (!(FFlags & BIF_VALIDATE))
        return false;  // the typed text is not looked at: the selection counts
    const bool keepOpen = OnValidateFailed && OnValidateFailed(typed);
    if (!keepOpen)
        reject();
    return true;
}

void TExFolderPicker::finish(const std::string& path, const std::string& displayName)
{
    if (path.empty()) {
        reject();  // an item without a file-system path is never returned
        return;
    }
    FResultPath = path;
    FResultDisplayName = displayName;
    accept();
}
