#include "Mainwindow1.h"

#include "Application.h"
#include "Clearctrl.h"
#include "Color.h"
#include "Cursors.h"
#include "ExBrowseEdit.h"
#include "ExTechnicalLine.h"
#include "FadeButton.h"
#include "FileListBox.h"
#include "FileOps.h"
#include "FolderTreeView.h"
#include "GraphicsObjects.h"
#include "ImageControl.h"
#include "Label.h"
#include "Modules.h"
#include "Newhint.h"
#include "Panel.h"
#include "Paths.h"
#include "Picture.h"
#include "Bitmap.h"
#include "PopupMenu.h"
#include "RadioButton.h"
#include "SafeCall.h"
#include "SessionViewer.h"
#include "ShellExecute.h"
#include "Shape.h"
#include "SpeedButton.h"
#include "Translation.h"
#include "Vxslide.h"
#include "Vxslideabout.h"

#include <QWindow>

namespace {

// ---- the stored layout's values ----

constexpr int kClientWidth = 796;
constexpr int kClientHeight = 704;
constexpr int SW_SHOW = 5;

constexpr TColor kWorkPanelColor = 8421631;   // R 255, G 128, B 128
constexpr TColor kPaleRed = 12632319;         // R 255, G 192, B 192
constexpr TColor kTreeTextColor = 4605510;    // grey 70
constexpr TColor kArrowColor = 4210816;       // R 128, G 64, B 64
constexpr TColor kFadeButtonColor = 8388863;  // R 255, G 0, B 128
constexpr TColor kHintBrushColor = 5592405;   // grey 85

constexpr char kGothic[] = "ＭＳ Ｐゴシック";
constexpr char kMincho[] = "ＭＳ Ｐ明朝";
constexpr char kFormats[] = "BMP JPEG J2K GIF TIFF PCX FPX PNG WMF EMF";

// Slot n's row (n = 1..9): every 76 pixels down the work panel.
constexpr int kRowPitch = 76;
int rowOffset(int slot)
{
    return kRowPitch * (slot - 1);
}

// The hints of slot n's dispatch button and browse edit (n = 1..9), the
// numeral in full width.
const char* const kDispatchHints[] = {
    QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け１"), QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け２"),
    QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け３"), QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け４"),
    QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け５"), QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け６"),
    QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け７"), QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け８"),
    QT_TRANSLATE_NOOP("TMainForm1", " ファイル振り分け９"),
};
const char* const kSlotFolderHints[] = {
    QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ１"), QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ２"),
    QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ３"), QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ４"),
    QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ５"), QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ６"),
    QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ７"), QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ８"),
    QT_TRANSLATE_NOOP("TMainForm1", " 移動・複製先フォルダ９"),
};

// A text of the tables above in the language installed.
std::string translated(const char* text)
{
    return Translate("TMainForm1", text);
}

// The connector arrows, from the centre to the rows.
struct ArrowRow {
    int slot;
    int top;
    int height;
    TExTechnicalLineTypes type;
};
constexpr ArrowRow kArrows[] = {
    {1, 30, 318, lsTopLeftCurve},  {2, 106, 240, lsTopLeftCurve},        {3, 182, 164, lsTopLeftCurve},
    {8, 256, 90, lsTopLeftCurve},  {4, 332, 29, lsStraightLeftToRight}, {5, 344, 94, lsTopRightCurve},
    {6, 344, 168, lsTopRightCurve}, {7, 344, 244, lsTopRightCurve},     {9, 344, 320, lsTopRightCurve},
};

std::unique_ptr<TFont> makeFont(const char* name, int height, TColor color, TFontStyles style = 0)
{
    auto font = std::make_unique<TFont>();
    font->SetName(name);
    font->SetCharset(SHIFTJIS_CHARSET);
    font->SetHeight(height);
    font->SetColor(color);
    font->SetStyle(style);
    return font;
}

const TFontStyles kBoldUnderlined = FontStyleBit(fsBold) | FontStyleBit(fsUnderline);

// A control of the stored layout: owned by the form, on its parent, named,
// at its bounds.
template <class Control>
Control* place(TComponent* form, QWidget* parent, const std::string& name, int left, int top, int width, int height)
{
    auto* control = new Control(form, parent);
    control->SetName(name);
    control->SetBounds(left, top, width, height);
    return control;
}

// A rectangle with a black outline 2 pixels wide.
TShape* framedShape(TComponent* form, QWidget* parent, const char* name, int left, int top, int width, int height,
                    TColor fill)
{
    auto* shape = place<TShape>(form, parent, name, left, top, width, height);
    shape->Brush()->SetColor(fill);
    shape->Pen()->SetColor(clBlack);
    shape->Pen()->SetWidth(2);
    return shape;
}

TPanel* panel(TComponent* form, QWidget* parent, const char* name, int left, int top, int width, int height,
              TColor color)
{
    auto* panel = place<TPanel>(form, parent, name, left, top, width, height);
    panel->SetColor(color);
    return panel;
}

}  // namespace

TMainForm1::TMainForm1(TComponent* owner) : TForm(owner)
{
    BeginLoading();
    buildLayout();
    wireEvents();
    EndLoading();
    applyTabOrder();
    // The program folder: the executable's folder without a trailing separator.
    FProgramFolder = ParentFolder(GetModuleFileNameA(nullptr));
    FSettingsFile = SettingsFilePath();
}

TMainForm1::~TMainForm1()
{
    // The session's controls go before the viewer adapter that names one.
    FileListBox1->OnClick = nullptr;
    VxSlide1->OnStartSlide = nullptr;
}

void TMainForm1::buildLayout()
{
    SetCaption("Pictal");
    SetBorderStyle(bsNone);
    resize(kClientWidth, kClientHeight);
    SetColor(clBtnFace);
    SetFont(*makeFont(kGothic, 12, clWindowText));

    // The left strip and the frame around the work panel.
    Shape1 = framedShape(this, this, "Shape1", 0, 0, 60, 704, clRed);
    Shape0 = framedShape(this, this, "Shape0", 58, 0, 738, 704, clWhite);

    Label11 = place<TLabel>(this, this, "Label11", 27, 524, 29, 150);
    Label11->SetCaption(kFormats);
    Label11->SetAlignment(taRightJustify);
    Label11->SetWordWrap(true);
    Label11->SetLayout(tlCenter);
    Label11->SetTransparent(true);
    Label11->SetFont(*makeFont("Tahoma", 12, kPaleRed));

    Image1 = place<TImage>(this, this, "Image1", 6, 8, 48, 473);
    {
        TBitmap banner;
        banner.LoadFromResourceName("TitleBanner");
        Image1->Picture()->SetBitmap(&banner);
    }

    Panel1 = panel(this, this, "Panel1", 60, 2, 734, 700, kWorkPanelColor);
    Panel2 = panel(this, this, "Panel2", 3, 680, 55, 18, clRed);
    Panel3 = panel(this, this, "Panel3", 3, 660, 17, 18, clRed);

    // The work panel.
    FolderTreeView0 = new TFolderTreeView(this);
    FolderTreeView0->SetName("FolderTreeView0");
    FolderTreeView0->SetParent(Panel1);
    FolderTreeView0->setGeometry(10, 8, 240, 216);
    FolderTreeView0->SetEmphasizeFocus(true);
    FolderTreeView0->SetIndent(20);
    FolderTreeView0->SetMultiSelectStyle({msControlSelect, msShiftSelect});
    {
        const auto font = makeFont(kMincho, 12, kTreeTextColor);
        FolderTreeView0->setFont(font->ToQFont());
        QPalette palette = FolderTreeView0->palette();
        palette.setColor(QPalette::Text, ToQColor(font->Color()));
        FolderTreeView0->setPalette(palette);
    }
    SetWidgetHint(FolderTreeView0, Translate("TMainForm1", " フォルダの選択"), true);

    VxSlide1 = place<TVxSlide>(this, Panel1, "VxSlide1", 6, 228, 320, 240);
    VxSlide1->SetAppearance(vxLowered);
    VxSlide1->SetBorderVisible(true);
    ConfigureSessionViewer(*VxSlide1);  // FileExt, FileReadWay, Sort
    VxSlide1->SetScrollDir(vxLeftToRight);
    VxSlide1->SetColor(kPaleRed);
    VxSlide1->SetHint(Translate("TMainForm1", " 振り分ける画像"));
    VxSlide1->SetShowHint(true);
    FViewer = std::make_unique<TSessionViewer>(*VxSlide1);

    FileListBox1 = new TFileListBox(this, Panel1);
    FileListBox1->SetName("FileListBox1");
    FileListBox1->setGeometry(10, 472, 240, 216);
    ConfigureSessionFileList(*FileListBox1);
    FileListBox1->SetItemHeight(16);
    {
        const auto font = makeFont(kMincho, 12, kTreeTextColor);
        FileListBox1->setFont(font->ToQFont());
        QPalette palette = FileListBox1->palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, ToQColor(font->Color()));
        FileListBox1->setPalette(palette);
    }
    FileListBox1->setCursor(Qt::PointingHandCursor);
    SetWidgetHint(FileListBox1,
                  Translate("TMainForm1", " ファイルの選択(BMP,JPEG,JPEG2000,GIF,TIFF,PCX,FPX,PNG,WMF,EMF)"),
                  true);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    E1 = new TMenuItem(this);
    E1->SetName("E1");
    E1->SetCaption(Translate("TMainForm1", "最新の情報に更新(&E)"));
    E1->SetShortCut(16466);  // Ctrl+R as stored
    PopupMenu1->Add(E1);
    SetPopupMenu(FileListBox1, PopupMenu1);

    RadioButton1 = new TRadioButton(this, Panel1);
    RadioButton1->SetName("RadioButton1");
    RadioButton1->setGeometry(260, 488, 113, 17);
    RadioButton1->SetCaption(Translate("TMainForm1", "ファイルの移動"));
    RadioButton1->SetFont(*makeFont(kMincho, 12, clBlack));
    RadioButton1->SetChecked(true);
    SetWidgetHint(RadioButton1, Translate("TMainForm1", " ファイル移動モードへ"), true);
    RadioButton2 = new TRadioButton(this, Panel1);
    RadioButton2->SetName("RadioButton2");
    RadioButton2->setGeometry(260, 512, 113, 17);
    RadioButton2->SetCaption(Translate("TMainForm1", "ファイルの複製"));
    RadioButton2->SetFont(*makeFont(kMincho, 12, clBlack));
    SetWidgetHint(RadioButton2, Translate("TMainForm1", " ファイル複製モードへ"), true);

    SpeedButton1 = place<TSpeedButton>(this, Panel1, "SpeedButton1", 332, 626, 46, 50);
    SpeedButton1->SetFlat(true);
    SpeedButton1->SetCaption("0");
    SpeedButton1->SetFont(*makeFont(kGothic, 21, clRed, kBoldUnderlined));
    SpeedButton1->SetCursor(crHandPoint);
    SpeedButton1->SetHint(Translate("TMainForm1", " 次のファイルへ"));
    SpeedButton1->SetShowHint(true);

    // The arrows lie beneath every other control of the panel (non-windowed
    // controls are beneath windowed ones), so the next-file button and the
    // radio buttons they cross keep their clicks.
    for (const ArrowRow& row : kArrows) {
        auto* line = place<TExTechnicalLine>(this, Panel1, "TechnicalLine" + std::to_string(row.slot), 330, row.top, 100,
                                             row.height);
        line->SetTechnicalLineType(row.type);
        line->SetLineEnding(leClosedArrowRight);
        line->SetLineStart(leNothing);
        line->SetSignSize(24);
        line->LineSettings()->SetColor(kArrowColor);
        line->LineSettings()->SetWidth(2);
        line->SetShadowVisible(true);
        line->SetShadowColor(clRed);
        line->SetShadowDepth(1);
        line->SetFillColor(clRed);
        line->lower();
        TechnicalLines[std::size_t(row.slot - 1)] = line;
    }

    TBitmap face;
    face.LoadFromResourceName("DispatchButton");
    TPicture facePicture;
    facePicture.SetBitmap(&face);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const std::string n = std::to_string(slot);
        auto* button = new TClearButton(this, Panel1);
        button->SetName("ClearButton" + n);
        button->SetAutoSize(false);
        button->SetBounds(434, 18 + rowOffset(slot), 46, 50);
        button->SetCaption(n);
        button->SetPicture(facePicture);
        button->SetStyle(sbsPushBtn);
        button->SetTransparentColor(clWhite);
        button->SetShadowColor(clSilver);
        button->SetColor(clWhite);
        button->SetFont(*makeFont(kMincho, 21, clRed, kBoldUnderlined));
        button->SetCursor(crHandPoint);
        button->SetHint(translated(kDispatchHints[slot - 1]));
        button->SetShowHint(true);
        button->SetEnabled(false);
        ClearButtons[std::size_t(slot - 1)] = button;

        auto* edit = place<TExBrowseEdit>(this, Panel1, "BrowseEdit" + n, 486, 14 + rowOffset(slot), 240, 20);
        edit->SetBevel(ebvWindows);
        edit->SetCaretBlinkRate(200);
        edit->SetFont(*makeFont(kMincho, 12, clBlack));
        edit->setCursor(Qt::IBeamCursor);
        edit->SetHint(translated(kSlotFolderHints[slot - 1]));
        edit->SetShowHint(true);
        BrowseEdits[std::size_t(slot - 1)] = edit;

        auto* label = place<TLabel>(this, Panel1, "Label" + n, 486, 40 + rowOffset(slot), 240, 21);
        label->SetAlignment(taCenter);
        label->SetTransparent(true);
        label->SetFont(*makeFont(kMincho, 21, clWhite, FontStyleBit(fsBold)));
        Labels[std::size_t(slot - 1)] = label;
    }

    Label0 = place<TLabel>(this, Panel1, "Label0", 20, 688, 22, 12);
    Label0->SetCaption(kNoCurrentFile);
    Label0->SetVisible(false);

    // The small buttons of the strip.
    struct FadeRow {
        TFadeButton** button;
        const char* name;
        TPanel* parent;
        int left;
        const char* caption;
        const char* hint;
    };
    const FadeRow fades[] = {
        {&FadeButton3, "FadeButton3", Panel2, 0, "×", QT_TRANSLATE_NOOP("TMainForm1", " 閉じる")},
        {&FadeButton2, "FadeButton2", Panel2, 18, "_", QT_TRANSLATE_NOOP("TMainForm1", " 最小化")},
        {&FadeButton1, "FadeButton1", Panel2, 36, "?", QT_TRANSLATE_NOOP("TMainForm1", " ユーザーズガイド")},
        {&FadeButton4, "FadeButton4", Panel3, 0, "i", QT_TRANSLATE_NOOP("TMainForm1", " インフォメーション")},
    };
    for (const FadeRow& row : fades) {
        auto* button = new TFadeButton(this, row.parent);
        button->SetName(row.name);
        button->SetBounds(row.left, 0, 17, 18);
        button->SetCaption(row.caption);
        button->SetColor(kFadeButtonColor);
        button->SetFont(*makeFont("Tahoma", 12, clWhite));
        button->SetCaptionOverColor(clYellow);
        button->SetShowBorder(true);
        button->SetBorderColor(clSilver);
        button->SetBorderDestColor(clWhite);
        button->SetBorderHeight(1);
        button->SetDestColor(clWhite);
        button->SetStep(2);
        button->SetSpeed(10);
        button->SetFadeOnOver(true);
        button->SetFadeOnLeave(false);
        button->SetCursor(crHandPoint);
        button->SetHint(translated(row.hint));
        button->SetShowHint(true);
        *row.button = button;
    }

    // Every hint of the program takes this look.
    AppHint1 = new TAppHint(this);
    AppHint1->SetName("AppHint1");
    AppHint1->SetHintStyle(hsLineString);
    AppHint1->SetBGColor(clBlack);
    {
        TBrush brush;
        brush.SetColor(kHintBrushColor);
        AppHint1->SetBrush(brush);
    }
    AppHint1->SetFont(*makeFont("HGS行書体", 27, clWhite, FontStyleBit(fsBold)));
    AppHint1->SetShadowColor(clBlack);
    AppHint1->SetShadowVisible(true);
    AppHint1->SetHintPause(500);
    AppHint1->SetHintHidePause(2000);
    AppHint1->SetHintShortPause(0);
}

void TMainForm1::wireEvents()
{
    OnActivate = [this](TObject*) { FormActivate(); };
    OnClose = [this](TObject*, TCloseAction& action) { FormClose(action); };
    OnKeyDown = [this](TObject*, WORD_KEY& key, TShiftState shift) { keyDown(key, shift); };

    FolderTreeView0->OnChange = [this](TObject*, TTreeNode*) { FSession.FolderTreeView0Change(); };
    FileListBox1->OnClick = [this](TObject*) { FSession.FileListBox1Click(); };
    FileListBox1->OnKeyDown = OnKeyDown;
    RadioButton1->OnKeyDown = OnKeyDown;
    RadioButton2->OnKeyDown = OnKeyDown;
    VxSlide1->OnStartSlide = [this](TObject*, std::int16_t image, const std::string& pathName,
                                    const std::string& fileName) {
        FSession.VxSlide1StartSlide(image, pathName, fileName);
    };
    SpeedButton1->OnClick = [this](TObject*) { FSession.SpeedButton1Click(); };
    E1->OnClick = [this](TObject*) {
        FSession.E1Click();
        FolderTreeView0->viewport()->update();  // the tree is only repainted
    };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        ClearButtons[std::size_t(slot - 1)]->OnClick = [this, slot](TObject*) { FSession.DispatchToSlot(slot); };
        TExBrowseEdit* edit = BrowseEdits[std::size_t(slot - 1)];
        edit->OnChange = [this, slot](TObject*) { FSession.SlotPathChanged(slot); };
        // Ctrl+Z and Ctrl+Y stay the edit's own text undo and redo.
        edit->OnKeyDown = [this](TObject*, WORD_KEY& key, TShiftState shift) {
            if (!TSortingSession::IsHistoryKey(key, shift))
                keyDown(key, shift);
        };
    }
    FadeButton1->OnClick = [this](TObject*) { FadeButton1Click(); };
    FadeButton2->OnClick = [this](TObject*) { FadeButton2Click(); };
    FadeButton3->OnClick = [this](TObject*) { FadeButton3Click(); };
    FadeButton4->OnClick = [this](TObject*) { FadeButton4Click(); };

    // The radio pair and the mode follow each other.
    QObject::connect(RadioButton1, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            SafeCall([&] { FMode.SetMoveFlag(true); });
    });
    QObject::connect(RadioButton2, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            SafeCall([&] { FMode.SetCopyFlag(true); });
    });
    FMode.OnChange = [this] {
        RadioButton1->SetChecked(FMode.MoveFlag());
        RadioButton2->SetChecked(FMode.CopyFlag());
    };
}

void TMainForm1::applyTabOrder()
{
    // FileListBox1, VxSlide1, RadioButton1, RadioButton2, BrowseEdit1..7,
    // BrowseEdit9, BrowseEdit8, FolderTreeView0.
    std::vector<QWidget*> order = {FileListBox1, VxSlide1, RadioButton1, RadioButton2};
    for (int slot : {1, 2, 3, 4, 5, 6, 7, 9, 8})
        order.push_back(BrowseEdits[std::size_t(slot - 1)]);
    order.push_back(FolderTreeView0);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    FileListBox1->setFocus();
}

void TMainForm1::FormCreate()
{
    ReadSettings(FSettingsFile, *this);
}

void TMainForm1::FormActivate()
{
    FSession.FormActivate();
}

void TMainForm1::FormClose(TCloseAction&)
{
    WriteSettings(FSettingsFile, *this);
}

void TMainForm1::keyDown(WORD_KEY& key, TShiftState shift)
{
    FSession.FormKeyDown(key, shift);
}

void TMainForm1::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // The window's own surface acts as its caption.
    if (button == mbLeft && windowHandle())
        windowHandle()->startSystemMove();
    TForm::MouseDown(button, shift, x, y);
}

void TMainForm1::FadeButton1Click()
{
    const std::string path = FProgramFolder + "/Readme.txt";
    ShellExecuteA(FadeButton1->parentWidget(), "OPEN", path.c_str(), "", "", SW_SHOW);
}

void TMainForm1::FadeButton2Click()
{
    if (Application)
        Application->Minimize();
}

void TMainForm1::FadeButton3Click()
{
    Close();
}

std::string TMainForm1::InformationAddress(const std::string& executable)
{
    // The executable's name without its folder and its last extension,
    // unescaped.
    std::string name = LastPathComponent(executable);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return std::string(VxSlideAboutURL) + "info.php?pf=w&sn=" + name;
}

void TMainForm1::FadeButton4Click()
{
    const std::string address = InformationAddress(GetModuleFileNameA(nullptr));
    ShellExecuteA(FadeButton4->parentWidget(), "OPEN", address.c_str(), "", "", SW_SHOW);
}

// ---- the session's state in the window's controls ----

std::string TMainForm1::FolderName()
{
    return FolderTreeView0->FolderName();
}

void TMainForm1::SelectFolder(const std::string& folder)
{
    FolderTreeView0->setFolderName(folder);
}

TFileListBox& TMainForm1::FileList()
{
    return *FileListBox1;
}

ISessionViewer& TMainForm1::Viewer()
{
    return *FViewer;
}

TTransferMode& TMainForm1::Mode()
{
    return FMode;
}

std::string TMainForm1::SlotPath(int slot)
{
    return BrowseEdits.at(std::size_t(slot - 1))->Path();
}

void TMainForm1::SetSlotLabel(int slot, const std::string& text)
{
    Labels.at(std::size_t(slot - 1))->SetCaption(text);
}

void TMainForm1::SetSlotEnabled(int slot, bool enabled)
{
    ClearButtons.at(std::size_t(slot - 1))->SetEnabled(enabled);
}

std::string TMainForm1::CurrentFilePath()
{
    return Label0->Caption();
}

void TMainForm1::SetCurrentFilePath(const std::string& path)
{
    Label0->SetCaption(path);
}

void TMainForm1::RepaintWindow()
{
    repaint();
}

// ---- the settings file's view of the window ----

int TMainForm1::WindowTop()
{
    return Top();
}

void TMainForm1::SetWindowTop(int top)
{
    move(x(), top);
}

int TMainForm1::WindowLeft()
{
    return Left();
}

void TMainForm1::SetWindowLeft(int left)
{
    move(left, y());
}

void TMainForm1::SetFolderName(const std::string& folder)
{
    FolderTreeView0->setFolderName(folder);
}

void TMainForm1::SetSlotPath(int slot, const std::string& path)
{
    BrowseEdits.at(std::size_t(slot - 1))->SetPath(path);
}
