#include "ExBrowseEdit.h"

#include "Application.h"
#include "Color.h"
#include "ExPathText.h"
#include "SafeCall.h"
#include "SystemUi.h"

#include <QAbstractButton>
#include <QPainter>

#include <limits>

namespace {

constexpr int kButtonWidth = 18;
constexpr int kGlyphWidth = 13;
constexpr int kGlyphHeight = 14;

// The folder glyph: K outline, Y and W the dithered face, "." clear.
constexpr const char* kFolderGlyph[kGlyphHeight] = {
    ".............",
    ".............",
    "..KKKK.......",
    ".KWYWYK......",
    "KWYWYWYKKKKKK",
    "KYWYWYWYWYWYK",
    "KWYWYWYWYWYWK",
    "KYWYWYWYWYWYK",
    "KWYWYWYWYWYWK",
    "KYWYWYWYWYWYK",
    "KWYWYWYWYWYWK",
    "KYWYWYWYWYWYK",
    "KKKKKKKKKKKKK",
    ".............",
};

QColor glyphColor(char code, bool enabled)
{
    if (!enabled)
        return ToQColor(code == 'K' ? clBtnShadow : clBtnHighlight);
    switch (code) {
    case 'K': return ToQColor(clBlack);
    case 'Y': return ToQColor(clYellow);
    default: return ToQColor(clWhite);
    }
}

void drawGlyph(QPainter& painter, int left, int top, bool enabled)
{
    for (int y = 0; y < kGlyphHeight; ++y)
        for (int x = 0; x < kGlyphWidth; ++x)
            if (const char code = kFolderGlyph[y][x]; code != '.')
                painter.fillRect(left + x, top + y, 1, 1, glyphColor(code, enabled));
}

// Lines along the top and left (topLeft) and the bottom and right
// (bottomRight) of r, one pixel wide.
void drawEdge(QPainter& painter, const QRect& r, TColor topLeft, TColor bottomRight)
{
    painter.fillRect(r.left(), r.top(), r.width(), 1, ToQColor(topLeft));
    painter.fillRect(r.left(), r.top(), 1, r.height(), ToQColor(topLeft));
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, ToQColor(bottomRight));
    painter.fillRect(r.right(), r.top(), 1, r.height(), ToQColor(bottomRight));
}

// The browse button: a raised face with the folder glyph, sunken while
// pressed. It takes no focus.
class FolderButton final : public QAbstractButton {
public:
    explicit FolderButton(QWidget* parent) : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect r = rect();
        painter.fillRect(r, ToQColor(clBtnFace));
        const bool down = isDown();
        if (down) {
            drawEdge(painter, r, clBtnShadow, clBtnShadow);
        } else {
            drawEdge(painter, r, cl3DLight, cl3DDkShadow);
            drawEdge(painter, r.adjusted(1, 1, -1, -1), clBtnHighlight, clBtnShadow);
        }
        const int shift = down ? 1 : 0;
        drawGlyph(painter, (r.width() - kGlyphWidth) / 2 + shift, (r.height() - kGlyphHeight) / 2 + shift,
                  isEnabled());
    }
};

}  // namespace

TExBrowseEdit::TExBrowseEdit(TComponent* owner, QWidget* parent)
    : TWidgetControl<QLineEdit>(owner, parent), FFoundBlinkTime(GetCaretBlinkTime())
{
    setFrame(false);
    setMaxLength(std::numeric_limits<int>::max());
    setTextMargins(0, 0, kButtonWidth, 0);
    FButton = new FolderButton(this);
    connect(FButton, &QAbstractButton::clicked, this, [this] { SafeCall([this] { Browse(); }); });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!ComponentState().Contains(csLoading))
            SafeCall([this] { Change(); });
    });
    FFont.OnChange = [this](TGraphicsObject*) { fontChanged(); };
    fontChanged();
    SetBevel(ebvFlat);
}

TExBrowseEdit::~TExBrowseEdit()
{
    restoreCaretBlinkTime();
}

std::string TExBrowseEdit::Path() const
{
    return PathFromQString(text());
}

void TExBrowseEdit::SetPath(const std::string& value)
{
    if (value == Path())
        return;
    setText(PathToQString(value));
}

void TExBrowseEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TExBrowseEdit::Browse()
{
    TExBrowseDlg dialog(Owner());
    dialog.SetStartFolder(FStartFolder);
    dialog.SetOptions(FOptions);
    if (FStartWithLast && !text().isEmpty())
        dialog.SetSelectedFolder(Path());
    if (OnExecute)
        OnExecute(this, &dialog);
    if (dialog.Execute())
        SetPath(dialog.SelectedFolder());
}

void TExBrowseEdit::SetBevel(TExEditBevel value)
{
    FBevel = value;
    const int width = bevelWidth();
    setContentsMargins(width, width, width, width);
    placeButton();
    update();
}

int TExBrowseEdit::bevelWidth() const
{
    switch (FBevel) {
    case ebvNone: return 0;
    case ebvFlat: return 1;
    case ebvWindows: return 2;
    }
    return 0;
}

void TExBrowseEdit::placeButton()
{
    const QRect inside = contentsRect();
    FButton->setGeometry(inside.right() + 1 - kButtonWidth, inside.top(), kButtonWidth, inside.height());
}

void TExBrowseEdit::SetHint(const std::string& hint)
{
    FHint = hint;
    SetWidgetHint(this, FHint, FShowHint);
}

void TExBrowseEdit::SetShowHint(bool value)
{
    FShowHint = value;
    SetWidgetHint(this, FHint, FShowHint);
}

void TExBrowseEdit::fontChanged()
{
    setFont(FFont.ToQFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, ToQColor(FFont.Color()));
    setPalette(palette);
}

void TExBrowseEdit::focusInEvent(QFocusEvent* event)
{
    if (FCaretBlinkRate > 0 && SetCaretBlinkTime(unsigned(FCaretBlinkRate)))
        FBlinkTimeSet = true;
    QLineEdit::focusInEvent(event);
}

void TExBrowseEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    restoreCaretBlinkTime();
}

void TExBrowseEdit::restoreCaretBlinkTime()
{
    if (!FBlinkTimeSet)
        return;
    SetCaretBlinkTime(FFoundBlinkTime);
    FBlinkTimeSet = false;
}

void TExBrowseEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TExBrowseEdit::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    const QRect r = rect();
    switch (FBevel) {
    case ebvNone:
        break;
    case ebvFlat:
        drawEdge(painter, r, clWindowFrame, clWindowFrame);
        break;
    case ebvWindows:
        drawEdge(painter, r, clBtnShadow, clBtnHighlight);
        drawEdge(painter, r.adjusted(1, 1, -1, -1), cl3DDkShadow, cl3DLight);
        break;
    }
}
