#include "ExBrowseDlg.h"

#include "Application.h"
#include "ExFolderPicker.h"
#include "ExPathText.h"
#include "Form.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>

namespace {

struct OptionFlags {
    TExBrowseDlgOption option;
    UINT flags;
};
// doShowPath and doEnableOK add no flag: the dialog object does their work.
constexpr OptionFlags kOptionFlags[] = {
    {doBrowseForComputer, BIF_BROWSEFORCOMPUTER},
    {doBrowseForPrinter, BIF_BROWSEFORPRINTER},
    {doDontGoBelowDomain, BIF_DONTGOBELOWDOMAIN},
    {doReturnFileSysAncestors, BIF_RETURNFSANCESTORS},
    {doReturnFileSysDirs, BIF_RETURNONLYFSDIRS},
    {doStatusText, BIF_STATUSTEXT},
    {doShowFiles, BIF_BROWSEINCLUDEFILES},
    {doAllowEdit, BIF_EDITBOX | BIF_VALIDATE},
};

constexpr int kStatusPathLength = 40;

// The rectangle the picker is placed against.
QRect targetRect(TExDlgPosRel relatePos, const QScreen& screen)
{
    switch (relatePos) {
    case brScreen:
        break;
    case brScreenWorkArea:
        return screen.availableGeometry();
    case brMainForm:
        if (Application && Application->MainForm())
            return Application->MainForm()->frameGeometry();
        break;
    case brActiveWindow:
        if (QWidget* active = QApplication::activeWindow())
            return active->frameGeometry();
        break;
    }
    return screen.geometry();
}

// value moved into [low, high - extent], low winning when it does not fit.
int keptInside(int value, int extent, int low, int high)
{
    return std::max(low, std::min(value, high - extent));
}

}  // namespace

UINT BrowseFlags(TExBrowseDlgOptions options)
{
    UINT flags = 0;
    for (const OptionFlags& entry : kOptionFlags)
        if (options.Contains(entry.option))
            flags |= entry.flags;
    return flags;
}

QPoint PickerPosition(TExDlgPosition position, const QRect& target, const QSize& size, const QRect& screen,
                      const QRect& workArea)
{
    const int L = target.left();
    const int T = target.top();
    const int R = L + target.width();
    const int B = T + target.height();
    const int w = size.width();
    const int h = size.height();
    const int centredLeft = L + (R - L - w) / 2;
    const int centredTop = T + (B - T - h) / 2;
    int left = L;
    int top = T;
    switch (position) {
    case bpCustom:
    case bpTopLeft:
        break;
    case bpTopCenter: left = centredLeft; break;
    case bpTopRight: left = R - w; break;
    case bpCenterLeft: top = centredTop; break;
    case bpCenter: left = centredLeft; top = centredTop; break;
    case bpCenterRight: left = R - w; top = centredTop; break;
    case bpBottomLeft: top = B - h; break;
    case bpBottomCenter: left = centredLeft; top = B - h; break;
    case bpBottomRight: left = R - w; top = B - h; break;
    }
    if (top + h > screen.top() + screen.height())
        top = B - h;
    if (left + w > screen.left() + screen.width())
        left = R - w;
    left = std::max(left, 0);
    top = std::max(top, 0);
    // A window reaching below the screen would have pushed the picker further
    // down: it stays where it can be seen and answered.
    left = keptInside(left, w, workArea.left(), workArea.left() + workArea.width());
    top = keptInside(top, h, workArea.top(), workArea.top() + workArea.height());
    return {left, top};
}

QString ShortenedStatusPath(const std::string& path)
{
    const std::u32string text = PathToQString(path).toStdU32String();
    if (text.size() <= std::size_t(kStatusPathLength))
        return QString::fromStdU32String(text);
    return QStringLiteral("...") + QString::fromStdU32String(text.substr(text.size() - (kStatusPathLength - 3)));
}

TExBrowseDlg::TExBrowseDlg(TComponent* owner) : TComponent(owner) {}

QWidget* TExBrowseDlg::ownerWindow() const
{
    for (TComponent* owner = Owner(); owner; owner = owner->Owner())
        if (auto* widget = dynamic_cast<QWidget*>(owner))
            return widget->window();
    return Application ? Application->MainForm() : nullptr;
}

bool TExBrowseDlg::Execute()
{
    QWidget* owner = ownerWindow();
    const UniquePidl root = SystemFolderLocation(FStartFolder);
    TExFolderPicker picker(owner, BrowseFlags(FOptions), root.get(), FCaption);
    FPicker = &picker;
    struct Running {
        TExFolderPicker*& picker;
        ~Running() { picker = nullptr; }
    } running{FPicker};
    picker.OnInitialized = [this, owner] { setUp(owner); };
    picker.OnSelectionChanged = [this](const std::string& path, LPCITEMIDLIST item) { selectionChanged(path, item); };
    picker.OnValidateFailed = [this](const std::string& typed) {
        bool cancel = false;
        if (OnValidate)
            OnValidate(this, typed, cancel);
        return cancel;
    };
    if (!picker.Run())
        return false;
    FSelectedFolder = picker.ResultPath();
    FDisplayName = picker.ResultDisplayName();
    return true;
}

void TExBrowseDlg::setUp(QWidget* owner)
{
    QScreen* screen = owner ? owner->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect target = targetRect(FRelatePos, *screen);
        FPicker->MoveTo(PickerPosition(FPosition, target, FPicker->frameGeometry().size(), screen->geometry(),
                                       screen->availableGeometry()));
    }
    if (!FCaptionTitle.empty())
        FPicker->SetTitle(QString::fromStdString(FCaptionTitle));
    if (!FStatusText.empty())
        FPicker->SetStatusText(QString::fromStdString(FStatusText));
    if (!FSelectedFolder.empty())
        FPicker->SetSelection(FSelectedFolder);
    FPicker->EnableOK(FOptions.Contains(doEnableOK));
    if (OnInit)
        OnInit(this);
}

void TExBrowseDlg::selectionChanged(const std::string& path, LPCITEMIDLIST item)
{
    if (FOptions.Contains(doShowPath))
        FPicker->SetStatusText(ShortenedStatusPath(path));
    if (OnSelectionChanged)
        OnSelectionChanged(this, FPicker, path, item);
}
