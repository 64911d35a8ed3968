// The file list box: the names of one folder's files that match a mask,
// sorted, one entry selected at most, with a glyph before each name.
//
// Reading (Update, and at creation from the working folder): the folder
// becomes the process's working folder, the list is emptied, the folder is
// scanned once and every entry whose attributes FileType admits, which the
// filter accepts and whose name matches a pattern of the mask ("*" and "?",
// letter case ignored; patterns separated by ";") is added at its sorted place,
// once per pattern it matches. The order is lstrcmpiA of the name followed by
// "0000" (the slide viewer's name key in folder mode), so both list one folder
// in one order. While a long reading runs (the list reached entry 100) the
// screen shows the busy cursor; the previous cursor comes back in every case.
//
// Update after a few changes to the folder (a file moved away, say) redoes
// only the names the kernel reports changed, with the same result as a whole
// reading; when the report may be incomplete, when many names changed, when
// a changed name would sort level with another, when folders are listed, or
// when the folder holds symbolic links (their targets change unseen), the
// whole folder is read.
// The filter must therefore answer from the entry alone.
//
// Selecting from code (SetItemIndex) raises no click. A pick with the mouse (on
// the press), a selection moved with the keyboard and the type-ahead search
// raise OnClick; the other mouse and key events come from the control base.
#pragma once

#include "FolderChanges.h"
#include "Keys.h"
#include "Set.h"
#include "WidgetControl.h"

#include "WinTypes.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

enum TFileAttr : std::uint8_t { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileType = TSet<TFileAttr>;

// An extra test for each entry (its folder and its find data); false leaves
// the entry out.
using TFileFilter = std::function<bool(const std::string& folder, const WIN32_FIND_DATAA& entry)>;

class TFileListBox : public TWidgetControl<QListWidget> {
public:
    explicit TFileListBox(TComponent* owner = nullptr, QWidget* parent = nullptr);

    // Pointing the list at a folder: an empty path changes nothing; a folder
    // that cannot be entered raises an Exception; the folder already shown
    // (the same path) keeps its entries and selection; any other is read.
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& folder);
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& mask);
    TFileType FileType() const { return FFileType; }
    void SetFileType(TFileType fileType);
    void SetFilter(TFileFilter filter);
    // Reads the list again from its folder; nothing is selected afterwards.
    void Update();

    int Count() const { return int(FNames.size()); }
    // Entry i's name; an index outside the list raises the list-index error.
    const std::string& Item(int index) const;
    // The selected entry, or -1.
    int ItemIndex() const;
    // Selects entry `index` (-1: none) and scrolls it into view, raising no
    // click; an index outside the list raises the list-index error.
    void SetItemIndex(int index);
    // The selected file's full path, or "" when nothing is selected.
    std::string FileName() const;

    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int height);

protected:
    bool ClicksOnRelease() const override { return false; }
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void readFolder();
    // Redoes the changed names; false (nothing changed) when the whole
    // folder must be read instead.
    bool readChanges();
    // How many times a reading lists the entry: once per pattern of the mask
    // it matches, when FileType admits it and the filter accepts it.
    std::size_t listedTimes(const WIN32_FIND_DATAA& entry, const std::vector<std::u32string>& patterns) const;
    void afterReading();
    void typeAhead(const QString& typed, bool backspace);
    void checkIndex(int index) const;

    std::string FDirectory;
    std::string FMask = "*.*";
    TFileType FFileType{ftNormal};
    TFileFilter FFilter;
    std::vector<std::string> FNames;
    TFolderChanges FChanges;  // changes to FDirectory since it was read
    bool FLinked = false;     // the folder held symbolic links when it was read
    int FItemHeight = 16;
    QString FSearchText;
    QElapsedTimer FLastTyped;
};
