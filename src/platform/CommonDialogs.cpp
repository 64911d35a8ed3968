#include "CommonDialogs.h"

#include "GdiInternal.h"
#include "UserWindows.h"
#include "Unicode.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

thread_local DWORD t_dialogError = 0;

BOOL fail(DWORD error)
{
    t_dialogError = error;
    return FALSE;
}

// Widgets exist only with the application object of Qt Widgets, and only on
// its thread.
bool haveWidgets()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<const QApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
}

QColor toQColor(COLORREF c)
{
    return QColor(pictal_platform_internal::toRgb(c));
}

COLORREF toColorRef(const QColor& c)
{
    return pictal_platform_internal::toColorRef(c.rgb());
}

// A Qt dialog whose accepting and cancelling go through the hook procedure
// first, as WM_COMMAND with IDOK or IDCANCEL; a non-zero answer keeps it open.
template <typename Dialog>
class HookedDialog : public Dialog {
public:
    HookedDialog(QWidget* owner, LPCCHOOKPROC hook) : Dialog(owner), m_hook(hook)
    {
        this->setOption(Dialog::DontUseNativeDialog, true);
    }

    void done(int result) override
    {
        const WPARAM id = result == QDialog::Accepted ? IDOK : IDCANCEL;
        if (m_hook && m_hook(this, WM_COMMAND, id, 0) != 0)
            return;
        Dialog::done(result);
    }

private:
    LPCCHOOKPROC m_hook;
};

// Qt keeps one set of custom colours for the application and stores it in
// the user's Qt settings, shared by every Qt program; the caller's custom
// colours take their place for one dialog only.
class CustomColoursLent {
public:
    explicit CustomColoursLent(const COLORREF* colours) : m_count(std::min(16, QColorDialog::customCount()))
    {
        for (int i = 0; i < m_count; ++i) {
            m_own[i] = QColorDialog::customColor(i);
            if (colours)
                QColorDialog::setCustomColor(i, toQColor(colours[i]));
        }
    }
    ~CustomColoursLent()
    {
        for (int i = 0; i < m_count; ++i)
            QColorDialog::setCustomColor(i, m_own[i]);
    }
    CustomColoursLent(const CustomColoursLent&) = delete;
    CustomColoursLent& operator=(const CustomColoursLent&) = delete;

    // The custom colours as the dialog leaves them.
    void giveBack(COLORREF* colours) const
    {
        if (colours)
            for (int i = 0; i < m_count; ++i)
                colours[i] = toColorRef(QColorDialog::customColor(i));
    }

private:
    int m_count;
    QColor m_own[16];
};

// The sixteen colours of the font dialog's colour list.
constexpr COLORREF kFontColours[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                       0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                       0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

QIcon swatch(COLORREF colour)
{
    QPixmap pixmap(24, 12);
    pixmap.fill(toQColor(colour));
    return QIcon(pixmap);
}

// The group of the effect check boxes in Qt's font dialog, if it has one.
QGroupBox* effectsGroup(QFontDialog& dialog)
{
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        if (!group->findChildren<QCheckBox*>().isEmpty())
            return group;
    return nullptr;
}

// Adds the colour label and list (ids stc4 and cmb4) to the effects, with
// colour selected; returns the list.
QComboBox* addColourPart(QFontDialog& dialog, COLORREF colour)
{
    QGroupBox* group = effectsGroup(dialog);
    QWidget* host = group ? static_cast<QWidget*>(group) : &dialog;
    auto* row = new QWidget(host);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QCoreApplication::translate("CommonDialogs", "色(&C):"), row);
    auto* list = new QComboBox(row);
    for (COLORREF c : kFontColours)
        list->addItem(swatch(c), QString(), QVariant::fromValue(uint(c)));
    const auto known = std::find(std::begin(kFontColours), std::end(kFontColours), colour & 0xFFFFFF);
    if (known == std::end(kFontColours))
        list->addItem(swatch(colour & 0xFFFFFF), QString(), QVariant::fromValue(uint(colour & 0xFFFFFF)));
    list->setCurrentIndex(known == std::end(kFontColours) ? list->count() - 1
                                                          : int(known - std::begin(kFontColours)));
    label->setBuddy(list);
    rowLayout->addWidget(label);
    rowLayout->addWidget(list, 1);
    SetDlgCtrlID(label, stc4);
    SetDlgCtrlID(list, cmb4);
    if (host->layout())
        host->layout()->addWidget(row);
    return list;
}

// Qt's font dialog selects a style by its name. A font made from a LOGFONT
// has none, and the name Qt would guess ("Normal") need not be one the family
// has ("Book"): the family's style nearest in weight and slant is named, the
// shortest name among equals (the plain one before "Condensed"). A slanted
// style may be italic or oblique ("Oblique" is DejaVu Sans's only one).
QFont withStyleName(QFont font)
{
    QString best;
    int bestScore = INT_MAX;
    for (const QString& style : QFontDatabase::styles(font.family())) {
        const int weight = QFontDatabase::weight(font.family(), style);
        if (weight < 0)
            continue;
        const bool slanted = QFontDatabase::font(font.family(), style, 12).italic();
        const int score = std::abs(weight - int(font.weight())) + (slanted != font.italic() ? 10000 : 0);
        if (score < bestScore || (score == bestScore && style.size() < best.size())) {
            best = style;
            bestScore = score;
        }
    }
    if (!best.isEmpty())
        font.setStyleName(best);
    return font;
}

double pointsOf(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : 0.0;
}

}  // namespace

void SetLogFontFaceName(LOGFONTA& logFont, std::string_view name)
{
    const std::size_t n = Utf8Prefix(name, LF_FACESIZE - 1).size();
    std::memset(logFont.lfFaceName, 0, sizeof logFont.lfFaceName);
    std::memcpy(logFont.lfFaceName, name.data(), n);
}

DWORD CommDlgExtendedError()
{
    return t_dialogError;
}

QFont LogFontToQFont(const LOGFONTA& logFont)
{
    QFont font;
    const std::size_t length = strnlen(logFont.lfFaceName, LF_FACESIZE);
    if (length > 0)
        font.setFamily(QString::fromUtf8(logFont.lfFaceName, qsizetype(length)));
    const double pixels = std::abs(double(logFont.lfHeight));
    if (pixels > 0)
        font.setPointSizeF(pixels * 72.0 / 96.0);
    font.setWeight(logFont.lfWeight == FW_DONTCARE ? QFont::Normal
                                                   : QFont::Weight(std::clamp<LONG>(logFont.lfWeight, 1, 1000)));
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);
    return font;
}

void QFontToLogFont(const QFont& font, LOGFONTA& logFont)
{
    const QByteArray family = font.family().toUtf8();
    SetLogFontFaceName(logFont, std::string_view(family.constData(), std::size_t(family.size())));
    const LONG pixels = LONG(std::lround(std::min(pointsOf(font) * 96.0 / 72.0, 1.0e6)));
    logFont.lfHeight = logFont.lfHeight > 0 ? pixels : -pixels;
    logFont.lfWeight = LONG(font.weight());
    logFont.lfItalic = font.italic() ? 1 : 0;
    logFont.lfUnderline = font.underline() ? 1 : 0;
    logFont.lfStrikeOut = font.strikeOut() ? 1 : 0;
}

BOOL ChooseColorA(CHOOSECOLORA* choose)
{
    t_dialogError = 0;
    if (!choose)
        return fail(CDERR_INITIALIZATION);
    if (choose->lStructSize != sizeof(CHOOSECOLORA))
        return fail(CDERR_STRUCTSIZE);
    if (!haveWidgets())
        return fail(CDERR_INITIALIZATION);

    HookedDialog<QColorDialog> dialog(choose->hwndOwner,
                                      (choose->Flags & CC_ENABLEHOOK) ? choose->lpfnHook : nullptr);
    const CustomColoursLent customs(choose->lpCustColors);
    dialog.setCurrentColor(toQColor((choose->Flags & CC_RGBINIT) ? choose->rgbResult : 0));
    if ((choose->Flags & CC_ENABLEHOOK) && choose->lpfnHook)
        choose->lpfnHook(&dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(choose));
    if (dialog.exec() != QDialog::Accepted)
        return FALSE;
    choose->rgbResult = toColorRef(dialog.currentColor());
    customs.giveBack(choose->lpCustColors);
    return TRUE;
}

BOOL ChooseFontA(CHOOSEFONTA* choose)
{
    t_dialogError = 0;
    if (!choose)
        return fail(CDERR_INITIALIZATION);
    if (choose->lStructSize != sizeof(CHOOSEFONTA))
        return fail(CDERR_STRUCTSIZE);
    if (!choose->lpLogFont || !haveWidgets())
        return fail(CDERR_INITIALIZATION);

    const bool hooked = (choose->Flags & CF_ENABLEHOOK) && choose->lpfnHook;
    HookedDialog<QFontDialog> dialog(choose->hwndOwner, hooked ? choose->lpfnHook : nullptr);
    if (choose->Flags & CF_INITTOLOGFONTSTRUCT)
        dialog.setCurrentFont(withStyleName(LogFontToQFont(*choose->lpLogFont)));
    QComboBox* colours = nullptr;
    if (choose->Flags & CF_EFFECTS)
        colours = addColourPart(dialog, choose->rgbColors);
    else if (QGroupBox* effects = effectsGroup(dialog))
        effects->hide();
    if (hooked)
        choose->lpfnHook(&dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(choose));
    if (dialog.exec() != QDialog::Accepted)
        return FALSE;
    const QFont font = dialog.selectedFont();
    QFontToLogFont(font, *choose->lpLogFont);
    choose->iPointSize = int(std::lround(std::min(pointsOf(font), 1.0e6) * 10));
    choose->nFontType = SCREEN_FONTTYPE;
    if (colours)
        choose->rgbColors = COLORREF(colours->currentData().toUInt());
    return TRUE;
}
