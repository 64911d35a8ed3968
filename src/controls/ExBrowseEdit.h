// The folder browse edit: a one-line edit holding a folder path, with a
// small button at its right end that runs the folder picker; the folder
// chosen there replaces the text.
//
// OnChange follows every change of the text (by code, typing, deleting,
// pasting), except while the component is loading. OnKeyDown sees each key
// before the edit does; a key left non-zero is then handled as usual. While
// the edit has the focus the caret blinks at CaretBlinkRate; the blink time
// is one setting of the whole window system, so the value found at creation
// is put back when the focus leaves and when the edit goes.
#pragma once

#include "ExBrowseDlg.h"
#include "GraphicsObjects.h"
#include "WidgetControl.h"

#include <QLineEdit>

#include <functional>
#include <string>

class QAbstractButton;

// The border drawn around the edit.
enum TExEditBevel : std::uint8_t {
    ebvNone,
    ebvFlat,     // one line in the window frame colour
    ebvWindows,  // the sunken two-line edge of Windows edits
};

using TExBrowseExecuteEvent = std::function<void(TObject* Sender, TExBrowseDlg* bDlg)>;

class TExBrowseEdit : public TWidgetControl<QLineEdit> {
public:
    explicit TExBrowseEdit(TComponent* owner = nullptr, QWidget* parent = nullptr);
    ~TExBrowseEdit() override;

    // The text, byte for byte; setting the current text does nothing.
    std::string Path() const;
    void SetPath(const std::string& value);

    TExBrowseDlgOptions Options() const { return FOptions; }
    void SetOptions(TExBrowseDlgOptions value) { FOptions = value; }
    TExSystemFolders StartFolder() const { return FStartFolder; }
    void SetStartFolder(TExSystemFolders value) { FStartFolder = value; }
    bool StartWithLast() const { return FStartWithLast; }
    void SetStartWithLast(bool value) { FStartWithLast = value; }

    // Milliseconds the caret stays on while the edit has the focus; 0 leaves
    // the system's blink time alone.
    int CaretBlinkRate() const { return FCaretBlinkRate; }
    void SetCaretBlinkRate(int milliseconds) { FCaretBlinkRate = milliseconds; }
    TExEditBevel Bevel() const { return FBevel; }
    void SetBevel(TExEditBevel value);
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& font) { FFont.Assign(font); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

    // What a click on the browse button does: runs the folder picker and
    // takes the confirmed folder as the text.
    void Browse();
    QAbstractButton* BrowseButton() const { return FButton; }

    TExBrowseExecuteEvent OnExecute;
    TNotifyEvent OnChange;

protected:
    // The text changed: raises OnChange.
    virtual void Change();

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int bevelWidth() const;
    void placeButton();
    void fontChanged();
    void restoreCaretBlinkTime();

    TExBrowseDlgOptions FOptions = kExBrowseDlgDefaultOptions;
    TExSystemFolders FStartFolder = bfoDesktopExpanded;
    bool FStartWithLast = false;
    int FCaretBlinkRate = 0;
    unsigned FFoundBlinkTime;      // the blink time when the edit was made
    bool FBlinkTimeSet = false;    // this edit changed it and has not put it back
    TExEditBevel FBevel = ebvFlat;
    TFont FFont;
    std::string FHint;
    bool FShowHint = false;
    QAbstractButton* FButton = nullptr;
};
