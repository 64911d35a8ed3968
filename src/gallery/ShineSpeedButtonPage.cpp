#include "ShineSpeedButtonPage.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "Panel.h"
#include "Shinespdbtn.h"
#include "SpeedButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <functional>

namespace {

// A 16 x 16 glyph on olive (its key colour): a filled circle with a dark
// outline and a light spot.
void drawGlyph(TBitmap& glyph, TColor fill)
{
    glyph.SetSize(16, 16);
    TCanvas& canvas = *glyph.Canvas();
    canvas.Brush()->SetColor(clOlive);
    canvas.FillRect(RECT{0, 0, 16, 16});
    canvas.Pen()->SetColor(clNavy);
    canvas.Brush()->SetColor(fill);
    canvas.Ellipse(2, 2, 14, 14);
    canvas.Brush()->SetColor(clWhite);
    canvas.Pen()->SetColor(clWhite);
    canvas.Ellipse(5, 5, 8, 8);
}

// A combo box of the names, calling set with the chosen index.
QComboBox* choice(QWidget* parent, const QStringList& names, int current, std::function<void(int)> set)
{
    auto* box = new QComboBox(parent);
    box->addItems(names);
    box->setCurrentIndex(current);
    QObject::connect(box, &QComboBox::activated, parent, std::move(set));
    return box;
}

QCheckBox* check(QWidget* parent, const QString& text, bool on, std::function<void(bool)> set)
{
    auto* box = new QCheckBox(text, parent);
    box->setChecked(on);
    QObject::connect(box, &QCheckBox::toggled, parent, std::move(set));
    return box;
}

}  // namespace

ShineSpeedButtonPage::ShineSpeedButtonPage(QWidget* parent) : QWidget(parent)
{
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 1);

    // The buttons on a coloured panel, so Transparent shows what lies behind.
    auto* panel = new TPanel;
    panel->SetParent(this);
    panel->SetColor(RGB(0xE8, 0xD8, 0xB0));
    panel->setMinimumSize(380, 150);
    left->addWidget(panel);

    const struct {
        const char* caption;
        TColor fill;
        int left, top, width, height;
        int group;
    } placed[] = {
        {QT_TR_NOOP("赤(&R)"), clRed, 10, 10, 80, 32, 1},
        {QT_TR_NOOP("緑(&G)"), clLime, 95, 10, 80, 32, 1},
        {QT_TR_NOOP("青(&B)"), clBlue, 180, 10, 80, 32, 1},
        {QT_TR_NOOP("単独"), clFuchsia, 10, 60, 120, 60, 0},
        {"", clAqua, 140, 60, 25, 25, 0},
    };
    for (const auto& p : placed) {
        auto* button = new TShineSpeedButton(nullptr, panel);
        button->SetBounds(p.left, p.top, p.width, p.height);
        button->SetCaption(tr(p.caption).toStdString());
        TBitmap glyph;
        drawGlyph(glyph, p.fill);
        button->SetGlyph(&glyph);
        button->SetGroupIndex(p.group);
        button->OnClick = [this, button](TObject*) {
            log(QStringLiteral("%1 OnClick (Down: %2)").arg(QString::fromStdString(button->Caption())).arg(button->Down()));
        };
        button->OnMouseEnter = [this, button](TObject*, TShiftState, int x, int y) {
            log(QStringLiteral("%1 OnMouseEnter (%2, %3)").arg(QString::fromStdString(button->Caption())).arg(x).arg(y));
        };
        button->OnMouseLeave = [this, button](TObject*, TShiftState, int x, int y) {
            log(QStringLiteral("%1 OnMouseLeave (%2, %3)").arg(QString::fromStdString(button->Caption())).arg(x).arg(y));
        };
        m_buttons.push_back(button);
    }
    m_plain = new TSpeedButton(nullptr, panel);
    m_plain->SetBounds(265, 10, 100, 32);
    m_plain->SetCaption("TSpeedButton");
    m_plain->SetGroupIndex(1);
    m_plain->OnClick = [this](TObject*) { log(QStringLiteral("TSpeedButton OnClick (Down: %1)").arg(m_plain->Down())); };

    auto* settings = new QFormLayout;
    left->addLayout(settings);
    settings->addRow(tr("枠 (FrameType):"),
                     choice(this, {"ftFlatFrame", "ftNormalFrame", "ftEnclosedFrame"}, ftNormalFrame, [this](int v) {
                         forEachButton([v](TShineSpeedButton& b) { b.SetFrameType(TFrameType(v)); });
                     }));
    settings->addRow(tr("ホット時の画像 (ActiveImage):"),
                     choice(this,
                            {"aiNormal", "aiXorLight", "aiHalfLight", "aiQuaterLight", "aiAddLight", "aiFrameLight",
                             "aiFrameLight2", "aiMaskLight"},
                            aiFrameLight, [this](int v) {
                                forEachButton([v](TShineSpeedButton& b) { b.SetActiveImage(TActiveImageType(v)); });
                            }));
    settings->addRow(tr("無効時の画像 (DisabledImage):"),
                     choice(this, {"diDefault", "diGrayscale", "diAlphaHalfTrans", "diAlphaQuaterTrans", "diMaskTrans"},
                            diDefault, [this](int v) {
                                forEachButton([v](TShineSpeedButton& b) { b.SetDisabledImage(TDisabledImageType(v)); });
                            }));
    settings->addRow(tr("配置 (Layout):"),
                     choice(this, {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, blGlyphLeft,
                            [this](int v) {
                                forEachButton([v](TShineSpeedButton& b) { b.SetLayout(TButtonLayout(v)); });
                            }));
    const TColor shines[] = {clYellow, clWhite, clRed, clAqua};
    settings->addRow(tr("光の色 (ShineColor):"),
                     choice(this, {tr("黄"), tr("白"), tr("赤"), tr("水色")}, 0, [this, shines](int v) {
                         forEachButton([&](TShineSpeedButton& b) { b.SetShineColor(shines[v]); });
                     }));

    auto* caption = new QLineEdit(QString::fromStdString(m_buttons[3]->Caption()), this);
    settings->addRow(tr("単独ボタンの表題:"), caption);
    connect(caption, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_buttons[3]->SetCaption(text.toStdString()); });

    auto* flags = new QVBoxLayout;
    settings->addRow(QString(), flags);
    flags->addWidget(check(this, tr("有効 (Enabled)"), true, [this](bool on) {
        forEachButton([on](TShineSpeedButton& b) { b.SetEnabled(on); });
    }));
    flags->addWidget(check(this, tr("グラデーション (Colors.Gradation)"), false, [this](bool on) {
        forEachButton([on](TShineSpeedButton& b) {
            b.Colors()->SetGradation(on);
            b.PressedColors()->SetGradation(on);
        });
    }));
    flags->addWidget(check(this, tr("透明 (Transparent)"), false, [this](bool on) {
        forEachButton([on](TShineSpeedButton& b) { b.SetTransparent(on); });
    }));
    flags->addWidget(check(this, tr("すべて上げられる (AllowAllUp)"), false, [this](bool on) {
        m_buttons[0]->SetAllowAllUp(on);
    }));
    flags->addWidget(check(this, tr("クリック中は押した表示 (ClickDownHook)"), false, [this](bool on) {
        forEachButton([on](TShineSpeedButton& b) { b.SetClickDownHook(on); });
    }));
    flags->addWidget(check(this, tr("アクセラレータで押し下げ (AccelCharDown)"), false, [this](bool on) {
        forEachButton([on](TShineSpeedButton& b) { b.SetAccelCharDown(on); });
    }));
    flags->addWidget(check(this, tr("文字の影 (FontShadow)"), false, [this](bool on) {
        forEachButton([on](TShineSpeedButton& b) { b.SetFontShadow(on ? clGray : clNone); });
    }));

    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    right->addWidget(new QLabel(tr("イベント:"), this));
    m_events = new QPlainTextEdit(this);
    m_events->setReadOnly(true);
    right->addWidget(m_events, 1);
}

ShineSpeedButtonPage::~ShineSpeedButtonPage()
{
    // The handlers point at this page.
    for (TShineSpeedButton* button : m_buttons) {
        button->OnClick = nullptr;
        button->OnMouseEnter = nullptr;
        button->OnMouseLeave = nullptr;
    }
    m_plain->OnClick = nullptr;
}

template <typename F>
void ShineSpeedButtonPage::forEachButton(F&& change)
{
    for (TShineSpeedButton* button : m_buttons)
        change(*button);
}

void ShineSpeedButtonPage::log(const QString& text)
{
    m_events->appendPlainText(text);
}
