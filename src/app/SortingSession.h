// The sorting session: the source folder's file list, the file shown now, the
// nine destination slots and the transfer mode, and the operation the program
// exists for: sending the current file to a slot's folder by moving or copying
// it, then going on to the next file.
//
// The session's state lives in the main window's controls, which it reaches
// only through TSessionControls; it remembers which folders it has already
// cleared of what killed transfers left, and the history of its transfers
// for undo and redo (TUndoHistory), which it logs (TDispatchLog). The operations
// carry the names of the main window's handlers that call them.
#pragma once

#include "DispatchLog.h"
#include "Keys.h"
#include "UndoHistory.h"
#include "WinTypes.h"

#include <set>
#include <string>

class TFileListBox;
class TTransferMode;

// The image files of a source folder, as both the file list and the slide
// viewer list them: names matching one of these patterns (in this order)...
inline constexpr const char* kImageMask = "*.bmp;*.jpg;*.jpeg;*.j2k;*.jp2;*.gif;*.tif;*.tiff;*.pcx;*.fpx;*.png;*.wmf;*.emf";
// ...the viewer's extension list, the same thirteen in the same order...
inline constexpr const char* kImageExtensions = "bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf";
// ...of regular files that are neither hidden nor system files, and that the
// image library reads while it is loaded.
bool IsSessionFile(const std::string& folder, const WIN32_FIND_DATAA& entry);
// Sets the file list up to list a source folder by that rule.
void ConfigureSessionFileList(TFileListBox& list);

// What the session uses of the slide viewer.
class ISessionViewer {
public:
    virtual ~ISessionViewer() = default;
    virtual void SetFilePath(const std::string& folder) = 0;
    // Builds the collection of FilePath (nothing while one exists).
    virtual bool Open() = 0;
    // Drops the collection; the display is cleared.
    virtual bool Close() = 0;
    // The image to show next; a negative value is stored as 0.
    virtual void SetCurrentImage(int index) = 0;
    // Shows image CurrentImage (clamped into the collection).
    virtual bool Start() = 0;
    // Shows the next image; at the last image it stays there.
    virtual bool GoNext() = 0;
};

// The controls that hold the session's state.
class TSessionControls {
public:
    virtual ~TSessionControls() = default;
    virtual std::string FolderName() = 0;                            // the folder tree's folder
    virtual void SelectFolder(const std::string& folder) = 0;        // the tree goes to a folder
    virtual TFileListBox& FileList() = 0;                            // the file list
    virtual ISessionViewer& Viewer() = 0;                            // the slide viewer
    virtual TTransferMode& Mode() = 0;                               // the move and copy flags
    virtual std::string SlotPath(int slot) = 0;                      // browse edit n's path
    virtual void SetSlotLabel(int slot, const std::string& text) = 0;  // label n
    virtual void SetSlotEnabled(int slot, bool enabled) = 0;         // dispatch button n
    virtual std::string CurrentFilePath() = 0;                       // the hidden label's caption
    virtual void SetCurrentFilePath(const std::string& path) = 0;
    virtual void RepaintWindow() = 0;
};

// The hidden label's caption before any image was shown.
inline constexpr const char* kNoCurrentFile = "path";
inline constexpr int kSlotCount = 9;

class TSortingSession {
public:
    explicit TSortingSession(TSessionControls& controls) : FControls(controls) {}

    // The folder tree reports a new folder: the list and the viewer switch to
    // it and the first file is shown. Any error ends it silently.
    void FolderTreeView0Change();
    // The viewer shows the selected entry. When it cannot, the selected entry
    // becomes the current file all the same.
    void FileListBox1Click();
    // The window became active: it repaints, then shows the selected entry.
    void FormActivate();
    // The viewer starts showing an image: it becomes the current file.
    void VxSlide1StartSlide(int imageNumber, const std::string& pathName, const std::string& fileName);
    // Next file: the list and the viewer step on by one.
    void SpeedButton1Click();
    // Sends the current file to slot n (1..9) by the transfer mode, then goes on.
    // A file of the same name in the slot's folder goes to the trash in one
    // step with the transfer; when it cannot, nothing is transferred. Each
    // transfer is logged and becomes the step to undo.
    // A move or copy that fails raises Exception("<name> を <folder> に移動できません:
    // <reason>", or "複製できません" for a copy) after the list and the viewer were
    // put back on that file; nothing else is transferred then.
    void DispatchToSlot(int slot);
    // The window's key map: Space and keypad 0 step on; keypad 1..9 and F1..F9
    // dispatch to that slot when its path names an existing folder at the
    // moment of the key. Modifiers are not looked at, except that F4 with Alt
    // (the window's close) never dispatches. Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z
    // undo and redo. The key is left to the focused control.
    void FormKeyDown(WORD_KEY& Key, TShiftState Shift);
    // Ctrl+Z undoes the last dispatch's transfer; Ctrl+Y and Ctrl+Shift+Z
    // redo it (TUndoHistory). The list and the viewer then show the file in
    // its source folder as after a folder change with that file selected: the
    // file itself after an undo, after a redo the entry a dispatch would go on
    // to. An undo or redo that cannot be done safely raises Exception with the
    // reason and changes nothing; with nothing to undo or redo, nothing happens.
    void Undo();
    void Redo();
    // Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z (without Alt): the keys FormKeyDown
    // takes for undo and redo, which a text edit keeps for its own.
    static bool IsHistoryKey(WORD_KEY Key, TShiftState Shift);
    // Refresh: the list is read again.
    void E1Click();
    // Slot n's path changed: the slot is enabled with its folder's name as its
    // label while the path names an existing folder, else disabled and unlabelled.
    // What killed transfers left in the folder is cleared up, as it is in a
    // source folder when the list switches to it.
    void SlotPathChanged(int slot);

    // The last component of a slot path: one trailing "/" removed, then what
    // follows the last "/" ("/" gives "").
    static std::string SlotLabel(const std::string& path);

private:
    // The current file becomes the list's entry `index` (when there is one).
    void followList(int index);
    // The viewer steps on; when it cannot show the next image, the current
    // file follows the list's selection.
    void goNext();
    // Clears the folder of what killed transfers left, once in a session:
    // a slot path changes on every key typed into it.
    void clearLeftovers(const std::string& folder);
    void moveTo(const std::string& target);
    // The list read again and the entry at the moved file's place shown.
    void showAfterMove();
    // The message (%1 the name, %2 the folder, %3 the reason) in the language
    // installed, for the last error of a transfer to target.
    static std::string transferError(const std::string& target, const char* message);
    void copyTo(const std::string& target);
    // The message for a transfer to target that did not take place.
    static std::string transferFailure(const std::string& target, bool copy, const TTransferResult& result);
    // As after a folder change to path's folder, with path's entry selected
    // (or, when next is set or it is not listed, the entry that follows it).
    void showInFolder(const std::string& path, bool next);

    TSessionControls& FControls;
    std::set<std::string> FCleared;
    TDispatchLog FLog;
    TUndoHistory FHistory{FLog};
};
