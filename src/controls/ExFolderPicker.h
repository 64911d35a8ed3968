// The modal folder picker: the shell namespace as a folder tree below an
// instruction text, with OK and Cancel, and on request a status line and an
// edit field for typing a name. Its owner drives it as a platform picker is
// driven: callbacks when it has been set up, when the selection changes and
// when a typed name is rejected, and requests to move it, title it, set the
// status text, select a folder and enable OK.
#pragma once

#include "FolderTreeView.h"
#include "ShellHandles.h"
#include "WinTypes.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// What the picker offers and accepts.
inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;   // only file-system items can be confirmed
inline constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;  // no network here: no effect
inline constexpr UINT BIF_STATUSTEXT = 0x0004;         // a status line above the tree
inline constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;  // only file-system ancestors can be confirmed
inline constexpr UINT BIF_EDITBOX = 0x0010;            // an edit field for a typed name
inline constexpr UINT BIF_VALIDATE = 0x0020;           // a typed name that names nothing is reported
inline constexpr UINT BIF_BROWSEFORCOMPUTER = 0x1000;  // only network computers: none here
inline constexpr UINT BIF_BROWSEFORPRINTER = 0x2000;   // only printers: none here
inline constexpr UINT BIF_BROWSEINCLUDEFILES = 0x4000; // files are listed too

class TExFolderPicker : public QDialog {
public:
    // root: the absolute list of the folder shown as the tree's top (null:
    // the whole namespace from the desktop down). The root is selected.
    TExFolderPicker(QWidget* owner, UINT flags, LPCITEMIDLIST root, const std::string& instruction);
    ~TExFolderPicker() override;

    // Callbacks.
    std::function<void()> OnInitialized;
    // path: the selected item's file-system path (empty for none); item: its
    // absolute list (null when nothing is selected).
    std::function<void(const std::string& path, LPCITEMIDLIST item)> OnSelectionChanged;
    // A typed name that names nothing acceptable (with BIF_VALIDATE): true
    // keeps the picker open, false closes it without a result.
    std::function<bool(const std::string& typed)> OnValidateFailed;

    // Requests.
    void SetTitle(const QString& title) { setWindowTitle(title); }
    // Shown only when the picker has a status line.
    void SetStatusText(const QString& text);
    // Selects the folder of path; a path outside the root selects the root.
    void SetSelection(const std::string& path);
    void EnableOK(bool enable);
    // Moves the window's frame to position without resizing or activating it.
    void MoveTo(const QPoint& position) { move(position); }

    // Set-up callback, then the modal loop unless the picker was closed
    // during set-up. True when a file-system item was confirmed.
    bool Run();
    // Whether the picker has been answered (OK or Cancel).
    bool Finished() const { return FFinished; }

    // The user's answers: OK (does nothing while OK is disabled) and Cancel.
    void Confirm();
    void Cancel() { reject(); }

    // The confirmed item: its file-system path (no trailing "/" but for the
    // root) and its display name.
    const std::string& ResultPath() const { return FResultPath; }
    const std::string& ResultDisplayName() const { return FResultDisplayName; }

    TFolderTreeView* Tree() const { return FTree.get(); }
    TTreeNode* RootNode() const { return FRoot; }
    QPushButton* OKButton() const { return FOK; }
    QLabel* StatusLine() const { return FStatus; }   // null without BIF_STATUSTEXT
    QLineEdit* EditField() const { return FEdit; }   // null without BIF_EDITBOX
    // Whether the flags let node be confirmed.
    bool Acceptable(TTreeNode* node) const;

protected:
    void done(int result) override;
    // The selected node comes into view once the tree has its size.
    void showEvent(QShowEvent* event) override;

private:
    TTreeNode* nodeOfList(LPCITEMIDLIST list);
    void showOnlyRoot();
    bool withinRoot(TTreeNode* node) const;
    void selectionChanged(TTreeNode* node);
    std::string selectedPath() const;
    bool confirmTyped(const std::string& typed);
    void finish(const std::string& path, const std::string& displayName);

    UINT FFlags;
    std::unique_ptr<TFolderTreeView> FTree;
    TTreeNode* FRoot = nullptr;
    QLabel* FStatus = nullptr;
    QLineEdit* FEdit = nullptr;
    QPushButton* FOK = nullptr;
    bool FFinished = false;
    std::string FResultPath;
    std::string FResultDisplayName;
};
