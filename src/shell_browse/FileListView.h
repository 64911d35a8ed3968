// The file list: the contents of one shell folder (files and, with
// IncludeFolder, its folders) with their shell icons, and in the details view
// their size, time stamps, attribute letters and online state. A linked folder
// control (the folder tree or the folder drop-down, through their
// FileListControl) opens folders in it; FileName opens the folder of a path
// and selects its file. Filter keeps only the files whose names match one of
// its patterns. Double-clicking a folder or a shortcut goes there: through the
// folder control that last opened the list, or inside the list itself.
//
// FileName is the full path of the focused item, SelectedFiles those of the
// selected items, in list order. OnChange (the host's) reports every change
// of them, made by the user or by a listing (a folder control opening a
// folder, FileName, Filter): a listing reports once, when it is complete,
// with the focused item.
#pragma once

#include "CustomListView.h"
#include "FflIconList.h"
#include "FflRecords.h"
#include "FflShellRoots.h"
#include "FileListLink.h"
#include "ShellHandles.h"

#include <cstdint>
#include <string>
#include <vector>

class TFflFileStyleMenu;
class TPopupMenu;

class TFileListView : public TCustomListView, public TFflFileListLink {
public:
    explicit TFileListView(TComponent* owner = nullptr);
    ~TFileListView() override;

    // Stores the patterns and lists the listed folder again.
    virtual void setFilter(const std::string& patterns);
    // Lists the folder of path: a folder path lists that folder, a file path
    // its folder with the file selected. A path that cannot be parsed or
    // bound leaves the list as it is. OnChange reports once either way.
    virtual void setFileName(const std::string& path);
    // flhForceHide (1) and flhForceShow (2) as they are; anything else is
    // flhConformExplorer. Applies from the next listing.
    virtual void setShowHidden(int value);
    // A popup menu of the host's becomes the list's menu; null gives the list
    // its own view-style menu back; anything else is ignored.
    virtual void setPopupMenu(TComponent* menu);
    // Takes the focus from the focused item, then clears the selection.
    virtual void Deselect();
    // The folder link: folder is listed (the list takes over the reference),
    // control (a folder tree or drop-down) is remembered for double-clicks.
    void OpenFolder(TObject* control, IShellFolder* folder) override;
    // Selects the first item called name (letter case aside) and gives it the
    // focus; the selection is not cleared first. False when there is none.
    bool SelectFile(const std::string& name) override;
    // Deletes the items and the icon lists and lets the listed folder go;
    // FileName and SelectedFiles empty with them, reported once.
    void Clear() override;

    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& patterns) { setFilter(patterns); }
    bool IncludeFolder() const { return FIncludeFolder; }
    void SetIncludeFolder(bool value) { FIncludeFolder = value; }
    bool OnlyFileSystem() const { return FOnlyFileSystem; }
    void SetOnlyFileSystem(bool value) { FOnlyFileSystem = value; }
    TFflShowHidden ShowHidden() const { return FShowHidden; }
    void SetShowHidden(int value) { setShowHidden(value); }
    // The host's popup menu (null while the view-style menu is shown).
    TPopupMenu* PopupMenu() const { return FHostMenu; }
    void SetPopupMenu(TComponent* menu) { setPopupMenu(menu); }
    const std::string& FileName() const { return FFilePath; }
    void SetFileName(const std::string& path) { setFileName(path); }
    const std::vector<std::string>& SelectedFiles() const { return FSelectedFiles; }

    // The list's own view-style menu.
    TFflFileStyleMenu* styleMenu() const { return FStyleMenu; }
    // The folder control that last opened the list, or null.
    TComponent* folderControl() const { return FFolderControl; }
    // The icon lists (null while nothing is listed).
    TFflIconList* largeIconList() const { return FLargeIcons; }
    TFflIconList* smallIconList() const { return FSmallIcons; }
    // The record of an item (null for none).
    static TFflItemInfo* itemInfo(const TListItem* item);

    // Whether name matches one of the patterns of Filter (split at ";", each
    // piece as it stands).
    bool isMatchFilter(const std::string& name) const;
    // The list's wildcard match: "?" is one byte, "*" runs up to the first
    // occurrence of the next pattern byte (no backtracking) and that byte
    // must match exactly; other bytes match letter case aside (ASCII letters).
    static bool isMatchPattern(const std::string& name, const std::string& pattern);
    // The column texts: a file time in local time as "2009/12/01  9:05"
    // (empty when it cannot be converted), the letters R, H, S and A of the
    // read-only, hidden, system and archive bits, and the online state.
    static std::string getDateString(const FILETIME& time);
    static std::string getAttributeString(std::uint32_t fileAttributes);
    static std::string getStatusString(std::uint32_t fileAttributes);
    // The size column: whole kilobytes and "KB"; empty for a folder of size 0.
    static std::string getSizeString(std::uint64_t size, bool folder);
    // Refreshes the shell settings word.
    void getShellSettings();

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void Change(TListItem* item, TItemChange change) override;  // changeEvent
    void Delete(TListItem* item) override;                      // deleteItem
    void DblClick() override;                                   // doubleClick
    int CompareItems(TListItem* item1, TListItem* item2) override;  // compareItem

private:
    void clear();
    void initialize();
    bool openFolder(IShellFolder* folder);
    TListItem* addItem(IShellFolder* folder, LPITEMIDLIST item);
    int compareItem(TListItem* item1, TListItem* item2) const;
    void reflectSelection();
    void reportChange();
    void changeEvent(TObject* sender, TListItem* item, TItemChange change);
    void doubleClick(TObject* sender);
    void deleteItem(TObject* sender, TListItem* item);
    void shiftImageIndexes(int deleted);
    void setFolderControl(TComponent* control);
    // The first item called name, an exact match before one that differs
    // only in letter case; null when there is none.
    TListItem* itemNamed(const std::string& name) const;
    // The full path of an item of the listed folder; false when it has none.
    bool fullPathOf(const TListItem* item, std::string& path) const;

    TFflShellRoots FShell;
    std::uint32_t FShellSettings = 0;
    ShellRef<IShellFolder> FFolder;  // the listed folder
    TFflIconList* FLargeIcons = nullptr;
    TFflIconList* FSmallIcons = nullptr;
    bool FOpening = false;
    TComponent* FFolderControl = nullptr;
    TFflFileStyleMenu* FStyleMenu = nullptr;
    std::string FFilePath;
    std::vector<std::string> FSelectedFiles;
    std::string FFilter;
    bool FIncludeFolder = true;
    bool FOnlyFileSystem = true;
    TFflShowHidden FShowHidden = flhConformExplorer;
    TPopupMenu* FHostMenu = nullptr;
};
