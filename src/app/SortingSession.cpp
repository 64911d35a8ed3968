#include "SortingSession.h"

#include "Exception.h"
#include "FileListBox.h"
#include "FileOps.h"
#include "LastError.h"
#include "Paths.h"
#include "SysUtils.h"
#include "TextCompare.h"
#include "TransferMode.h"
#include "Translation.h"
#include "Vxdllprocs.h"

#include <algorithm>

bool IsSessionFile(const std::string& folder, const WIN32_FIND_DATAA& entry)
{
    constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((entry.dwFileAttributes & excluded) != 0)
        return false;
    // While the image library is loaded, a file it cannot read is left out,
    // as the slide viewer's collection leaves it out.
    if (!Vxdllprocs::VXFileType)
        return true;
    alignas(8) unsigned char record[kVxFileRecordSize] = {};
    return Vxdllprocs::VXFileType(JoinPath(folder, entry.cFileName).c_str(), 0, record) != 0;
}

void ConfigureSessionFileList(TFileListBox& list)
{
    list.SetFileType(TFileType{ftReadOnly, ftHidden, ftNormal});
    list.SetFilter(IsSessionFile);
    list.SetMask(kImageMask);
}

std::string TSortingSession::SlotLabel(const std::string& path)
{
    // One trailing "/" goes first: the root's label is empty.
    return ExtractFileName(ExcludeTrailingPathDelimiter(path));
}

void TSortingSession::FolderTreeView0Change()
{
    // One guard for every step: an error ends the operation quietly and keeps
    // what was done so far.
    try {
        const std::string folder = FControls.FolderName();
        TFileListBox& list = FControls.FileList();
        clearLeftovers(folder);
        list.SetDirectory(folder);
        if (list.Count() > 0)
            list.SetItemIndex(0);
        ISessionViewer& viewer = FControls.Viewer();
        viewer.Close();
        viewer.SetFilePath(folder);
        viewer.Open();
        FileListBox1Click();
    } catch (...) {
    }
}

void TSortingSession::FileListBox1Click()
{
    const int selected = FControls.FileList().ItemIndex();
    if (selected >= 0)
        FControls.Viewer().SetCurrentImage(selected);
    if (!FControls.Viewer().Start())
        followList(selected);
}

void TSortingSession::followList(int index)
{
    // A file the viewer could not show (its data cut short, say) is still the
    // file the list shows: the current file follows the list, so a dispatch
    // acts on the file the user sees, and broken files can be sorted away too.
    TFileListBox& list = FControls.FileList();
    if (index >= 0 && index < list.Count())
        FControls.SetCurrentFilePath(JoinPath(list.Directory(), list.Item(index)));
}

void TSortingSession::goNext()
{
    if (!FControls.Viewer().GoNext())
        followList(FControls.FileList().ItemIndex());
}

void TSortingSession::FormActivate()
{
    FControls.RepaintWindow();
    FileListBox1Click();
}

void TSortingSession::VxSlide1StartSlide(int, const std::string& pathName, const std::string& fileName)
{
    FControls.SetCurrentFilePath(pathName + fileName);
}

void TSortingSession::SpeedButton1Click()
{
    TFileListBox& list = FControls.FileList();
    const int selected = list.ItemIndex();
    if (selected >= 0 && selected < list.Count() - 1)
        list.SetItemIndex(selected + 1);
    goNext();
}

void TSortingSession::DispatchToSlot(int slot)
{
    const std::string current = FControls.CurrentFilePath();
    const std::string folder = FControls.SlotPath(slot);
    // Before any image was shown there is no current file; an empty slot path
    // names no folder (the button is disabled then).
    if (current.empty() || current == kNoCurrentFile || folder.empty())
        return;
    const std::string target = JoinPath(folder, ExtractFileName(current));
    if (FControls.Mode().MoveFlag())
        moveTo(target);
    if (FControls.Mode().CopyFlag())
        copyTo(target);
}

void TSortingSession::moveTo(const std::string& target)
{
    const std::string current = FControls.CurrentFilePath();
    // A file of that name in the slot's folder goes to the trash in one step
    // with the move, so a move that fails leaves both files as they were.
    // Nothing is replaced when the current file is gone or is the target itself.
    std::string failure;
    if (FileExists(current) && !IsSameFile(current, target)) {
        const TTransferResult result = FHistory.Transfer(current, target, false);
        if (!result.Done)
            failure = transferFailure(target, false, result);
    }
    // The list and the viewer go on as after a move; after a failed one they
    // show the same file again, and then the failure is reported.
    showAfterMove();
    if (!failure.empty())
        throw Exception(failure);
}

void TSortingSession::showAfterMove()
{
    TFileListBox& list = FControls.FileList();
    int selected = list.ItemIndex();
    if (selected < 0)
        return;
    list.Update();
    ISessionViewer& viewer = FControls.Viewer();
    if (list.Count() == 0) {
        viewer.Close();
        return;
    }
    if (selected == list.Count())
        selected = selected - 1;  // the moved file was the last entry
    list.SetItemIndex(selected);
    viewer.Close();
    viewer.Open();
    viewer.SetCurrentImage(selected);
    if (!viewer.Start())
        followList(selected);
}

void TSortingSession::copyTo(const std::string& target)
{
    const std::string current = FControls.CurrentFilePath();
    // A copy that fails leaves the list and the viewer on the file. A copy
    // onto the file itself (a slot naming the source folder) is no copy.
    if (!IsSameFile(current, target)) {
        const TTransferResult result = FHistory.Transfer(current, target, true);
        if (!result.Done && FileExists(current))
            throw Exception(transferFailure(target, true, result));
    }
    TFileListBox& list = FControls.FileList();
    const int selected = list.ItemIndex();
    if (selected >= 0 && selected < list.Count() - 1)
        list.SetItemIndex(selected + 1);
    goNext();
}

std::string TSortingSession::transferError(const std::string& target, const char* message)
{
    const DWORD error = GetLastError();
    const PathParts parts = SplitAtLastSlash(target);
    return Substitute(Translate("TSortingSession", message), {parts.name, parts.folder, SysErrorMessage(error)});
}

std::string TSortingSession::transferFailure(const std::string& target, bool copy, const TTransferResult& result)
{
    SetLastError(result.Error);
    std::string message;
    if (result.TrashRefused) {
        const PathParts parts = SplitAtLastSlash(target);
        const char* text =
            copy ? QT_TRANSLATE_NOOP("TSortingSession", "%1 を %2 に複製できません: 同じ名前のファイルをごみ箱に移せません: %3")
                 : QT_TRANSLATE_NOOP("TSortingSession", "%1 を %2 に移動できません: 同じ名前のファイルをごみ箱に移せません: %3");
        message = Substitute(Translate("TSortingSession", text),
                             {parts.name, parts.folder, SysErrorMessage(result.Error)});
    } else {
        message = transferError(target, copy ? QT_TRANSLATE_NOOP("TSortingSession", "%1 を %2 に複製できません: %3")
                                             : QT_TRANSLATE_NOOP("TSortingSession", "%1 を %2 に移動できません: %3"));
    }
    if (result.Stranded)
        message += Substitute(Translate("TSortingSession", "（置き換えられるはずだったファイルはごみ箱にあります: %1）"),
                              {result.Stranded->TrashPath});
    return message;
}

bool TSortingSession::IsHistoryKey(WORD_KEY Key, TShiftState Shift)
{
    return Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && (Key == 'Z' || Key == 'Y');
}

void TSortingSession::Undo()
{
    if (!FHistory.CanUndo())
        return;
    showInFolder(FHistory.Undo().Source, false);
}

void TSortingSession::Redo()
{
    if (!FHistory.CanRedo())
        return;
    // A moved file is gone from the list: the entry at its place follows it.
    // After a copy the session goes on to the next file.
    showInFolder(FHistory.Redo().Source, true);
}

void TSortingSession::showInFolder(const std::string& path, bool next)
{
    const PathParts parts = SplitAtLastSlash(path);
    if (FControls.FolderName() != parts.folder)
        FControls.SelectFolder(parts.folder);
    TFileListBox& list = FControls.FileList();
    if (list.Directory() == parts.folder)
        list.Update();  // the file came or went since the list was read
    else
        list.SetDirectory(parts.folder);
    // The entry's place in the list's order.
    const std::string key = parts.name + "0000";
    int index = 0;
    while (index < list.Count() && lstrcmpiA(list.Item(index) + "0000", key) < 0)
        ++index;
    if (next && index < list.Count() && list.Item(index) == parts.name)
        ++index;
    index = std::min(index, list.Count() - 1);
    if (index >= 0)
        list.SetItemIndex(index);
    ISessionViewer& viewer = FControls.Viewer();
    viewer.Close();
    viewer.SetFilePath(parts.folder);
    viewer.Open();
    FileListBox1Click();
}

void TSortingSession::FormKeyDown(WORD_KEY& Key, TShiftState Shift)
{
    if (IsHistoryKey(Key, Shift)) {
        if (Key == 'Z' && !Shift.Contains(ssShift))
            Undo();
        else
            Redo();
        return;
    }
    int slot = 0;
    if (Key == VK_SPACE || Key == VK_NUMPAD0) {
        SpeedButton1Click();
    } else if (Key > VK_NUMPAD0 && Key <= VK_NUMPAD9) {
        slot = Key - VK_NUMPAD0;  // keypad 1..9: 97..105
    } else if (Key >= VK_F1 && Key <= VK_F9) {
        slot = Key - VK_F1 + 1;  // F1..F9: 112..120
        // Alt+F4 closes the window; closing never sorts a file.
        if (Key == VK_F4 && Shift.Contains(ssAlt))
            slot = 0;
    }
    // The folder is checked at the moment of the key, whatever the button says.
    if (slot > 0 && DirectoryExists(FControls.SlotPath(slot)))
        DispatchToSlot(slot);
}

void TSortingSession::E1Click()
{
    FControls.FileList().Update();
}

void TSortingSession::clearLeftovers(const std::string& folder)
{
    if (!folder.empty() && FCleared.insert(folder).second)
        RecoverInterruptedTransfers(folder);
}

void TSortingSession::SlotPathChanged(int slot)
{
    const std::string path = FControls.SlotPath(slot);
    if (DirectoryExists(path)) {
        clearLeftovers(path);
        FControls.SetSlotEnabled(slot, true);
        FControls.SetSlotLabel(slot, SlotLabel(path));
    } else {
        FControls.SetSlotEnabled(slot, false);
        FControls.SetSlotLabel(slot, "");
    }
}
