// The folder dialog object: the settings of one run of the folder picker
// (root, options, texts, preselection, placement) and its events, and
// Execute, which runs the picker and keeps the confirmed folder.
#pragma once

#include "Component.h"
#include "ExSystemFolders.h"
#include "ItemIdList.h"
#include "Set.h"
#include "WinTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QWidget;
class TExFolderPicker;

enum TExBrowseDlgOption : std::uint8_t {
    doBrowseForComputer,
    doBrowseForPrinter,
    doDontGoBelowDomain,
    doReturnFileSysAncestors,
    doReturnFileSysDirs,
    doStatusText,
    doShowFiles,
    doAllowEdit,
    doShowPath,
    doEnableOK,
};
using TExBrowseDlgOptions = TSet<TExBrowseDlgOption>;

enum TExDlgPosition : std::uint8_t {
    bpCustom,
    bpTopLeft,
    bpTopCenter,
    bpTopRight,
    bpCenterLeft,
    bpCenter,
    bpCenterRight,
    bpBottomLeft,
    bpBottomCenter,
    bpBottomRight,
};
enum TExDlgPosRel : std::uint8_t { brScreen, brScreenWorkArea, brMainForm, brActiveWindow };

inline constexpr TExBrowseDlgOptions kExBrowseDlgDefaultOptions{doReturnFileSysDirs, doShowPath};

using TExSelectionChangedEvent =
    std::function<void(TObject* Sender, QWidget* DialogHandle, const std::string& path, LPCITEMIDLIST item)>;
using TExValidateEvent = std::function<void(TObject* Sender, const std::string& path, bool& Cancel)>;

// The picker's flags for a set of options.
UINT BrowseFlags(TExBrowseDlgOptions options);

// Where the picker's frame (size) goes for a target rectangle: placed by
// position, moved up to end at the target's bottom when it would reach below
// the screen and left to end at its right edge when it would reach beyond
// it, negative coordinates made 0; then kept inside the work area on every
// side (its top-left corner first when it is larger than the work area).
QPoint PickerPosition(TExDlgPosition position, const QRect& target, const QSize& size, const QRect& screen,
                      const QRect& workArea);

// The status line's form of a path: up to 40 characters as it is, a longer
// one as "..." and its last 37 characters.
QString ShortenedStatusPath(const std::string& path);

class TExBrowseDlg : public TComponent {
public:
    explicit TExBrowseDlg(TComponent* owner = nullptr);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    const std::string& CaptionTitle() const { return FCaptionTitle; }
    void SetCaptionTitle(const std::string& value) { FCaptionTitle = value; }
    TExSystemFolders StartFolder() const { return FStartFolder; }
    void SetStartFolder(TExSystemFolders value) { FStartFolder = value; }
    TExBrowseDlgOptions Options() const { return FOptions; }
    void SetOptions(TExBrowseDlgOptions value) { FOptions = value; }
    const std::string& SelectedFolder() const { return FSelectedFolder; }
    void SetSelectedFolder(const std::string& value) { FSelectedFolder = value; }
    TExDlgPosition Position() const { return FPosition; }
    void SetPosition(TExDlgPosition value) { FPosition = value; }
    TExDlgPosRel RelatePos() const { return FRelatePos; }
    void SetRelatePos(TExDlgPosRel value) { FRelatePos = value; }
    const std::string& StatusText() const { return FStatusText; }
    void SetStatusText(const std::string& value) { FStatusText = value; }
    // The confirmed item's display name, after a confirmed run.
    const std::string& DisplayName() const { return FDisplayName; }

    // Runs the picker; true when a folder was confirmed (SelectedFolder
    // then holds its full path).
    bool Execute();
    // The running picker (null outside Execute).
    TExFolderPicker* Picker() const { return FPicker; }

    TNotifyEvent OnInit;
    TExSelectionChangedEvent OnSelectionChanged;
    TExValidateEvent OnValidate;

private:
    QWidget* ownerWindow() const;
    void setUp(QWidget* owner);
    void selectionChanged(const std::string& path, LPCITEMIDLIST item);

    std::string FCaption;
    std::string FCaptionTitle;
    TExSystemFolders FStartFolder = bfoDesktopExpanded;
    TExBrowseDlgOptions FOptions = kExBrowseDlgDefaultOptions;
    std::string FSelectedFolder;
    TExDlgPosition FPosition = bpCenter;
    TExDlgPosRel FRelatePos = brActiveWindow;
    std::string FStatusText;
    std::string FDisplayName;
    TExFolderPicker* FPicker = nullptr;
};
