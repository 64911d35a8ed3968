#include "Vxslideabout.h"

#include "GraphicsObjects.h"
#include "Modules.h"
#include "Paths.h"
#include "SafeCall.h"
#include "ShellExecute.h"
#include "Translation.h"
#include "VersionInfo.h"
#include "VxAboutPanel.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <link.h>
#include <vector>

namespace {

// A label that reports a left click (press and release inside it).
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            SafeCall(onClick);
        QLabel::mouseReleaseEvent(event);
    }
};

QLabel* newLabel(QWidget* parent, const std::string& text, int x, int y)
{
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

// Sets a label's text and fits its size to it, as an auto-sized label does.
void setLabelText(QLabel* label, const std::string& text)
{
    label->setText(QString::fromStdString(text));
    label->adjustSize();
}

TVxAboutPanel* newPanel(QWidget* parent, int x, int y)
{
    auto* panel = new TVxAboutPanel(nullptr, parent);
    panel->SetBounds(x, y, 97, 20);
    return panel;
}

// The name (without folder) of the shared module holding this code when it
// is not the program itself, that is a run-time package; else empty.
std::string packageName()
{
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr1(reinterpret_cast<void*>(&packageName), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) ||
        !map)
        return {};
    void* program = dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD);
    const bool inProgram = program == nullptr || static_cast<link_map*>(program) == map;
    if (program)
        dlclose(program);
    if (inProgram || !map->l_name)
        return {};
    return LastPathComponent(map->l_name);
}

using LabelField = QLabel* TVxSlideAboutForm::*;
using PanelField = TVxAboutPanel* TVxSlideAboutForm::*;

struct ModuleRow {
    const char* fileName;
    LabelField label;
    PanelField panel;
};

// The twenty rows, ten to a column, each column in alphabetical order.
const ModuleRow kRows[20] = {
    {"Vx7Bmp.dll", &TVxSlideAboutForm::LabelBmp, &TVxSlideAboutForm::PanelBmp},
    {"Vx7Com.dll", &TVxSlideAboutForm::LabelCom, &TVxSlideAboutForm::PanelCom},
    {"Vx7Dxf.dll", &TVxSlideAboutForm::LabelDxf, &TVxSlideAboutForm::PanelDxf},
    {"Vx7Effect.dll", &TVxSlideAboutForm::LabelEffect, &TVxSlideAboutForm::PanelEffect},
    {"Vx7Emf.dll", &TVxSlideAboutForm::LabelEmf, &TVxSlideAboutForm::PanelEmf},
    {"Vx7File.dll", &TVxSlideAboutForm::LabelFile, &TVxSlideAboutForm::PanelFile},
    {"Vx7Fpx.dll", &TVxSlideAboutForm::LabelFpx, &TVxSlideAboutForm::PanelFpx},
    {"Vx7Gif.dll", &TVxSlideAboutForm::LabelGif, &TVxSlideAboutForm::PanelGif},
    {"Vx7J2k.dll", &TVxSlideAboutForm::LabelJ2k, &TVxSlideAboutForm::PanelJ2k},
    {"Vx7Jpeg.dll", &TVxSlideAboutForm::LabelJpeg, &TVxSlideAboutForm::PanelJpeg},
    {"Vx7Pcx.dll", &TVxSlideAboutForm::LabelPcx, &TVxSlideAboutForm::PanelPcx},
    {"Vx7Png.dll", &TVxSlideAboutForm::LabelPng, &TVxSlideAboutForm::PanelPng},
    {"Vx7RasToVect.dll", &TVxSlideAboutForm::LabelRasToVect, &TVxSlideAboutForm::PanelRasToVect},
    {"Vx7Svg.dll", &TVxSlideAboutForm::LabelSvg, &TVxSlideAboutForm::PanelSvg},
    {"Vx7SxfP21.dll", &TVxSlideAboutForm::LabelSxfP21, &TVxSlideAboutForm::PanelSxfP21},
    {"Vx7SxfSfc.dll", &TVxSlideAboutForm::LabelSxfSfc, &TVxSlideAboutForm::PanelSxfSfc},
    {"Vx7Tiff.dll", &TVxSlideAboutForm::LabelTiff, &TVxSlideAboutForm::PanelTiff},
    {"Vx7TransFile.dll", &TVxSlideAboutForm::LabelTransFile, &TVxSlideAboutForm::PanelTransFile},
    {"Vx7VectCom.dll", &TVxSlideAboutForm::LabelVectCom, &TVxSlideAboutForm::PanelVectCom},
    {"Vx7Wmf.dll", &TVxSlideAboutForm::LabelWmf, &TVxSlideAboutForm::PanelWmf},
};

// The order in which FormShow fills the panels.
const PanelField kFillOrder[20] = {
    &TVxSlideAboutForm::PanelCom,   &TVxSlideAboutForm::PanelFile,      &TVxSlideAboutForm::PanelBmp,
    &TVxSlideAboutForm::PanelJpeg,  &TVxSlideAboutForm::PanelTiff,      &TVxSlideAboutForm::PanelFpx,
    &TVxSlideAboutForm::PanelPcx,   &TVxSlideAboutForm::PanelPng,       &TVxSlideAboutForm::PanelGif,
    &TVxSlideAboutForm::PanelEffect, &TVxSlideAboutForm::PanelWmf,      &TVxSlideAboutForm::PanelEmf,
    &TVxSlideAboutForm::PanelDxf,   &TVxSlideAboutForm::PanelJ2k,       &TVxSlideAboutForm::PanelRasToVect,
    &TVxSlideAboutForm::PanelSvg,   &TVxSlideAboutForm::PanelSxfP21,    &TVxSlideAboutForm::PanelSxfSfc,
    &TVxSlideAboutForm::PanelTransFile, &TVxSlideAboutForm::PanelVectCom,
};

const char* fileNameOf(PanelField panel)
{
    for (const ModuleRow& row : kRows)
        if (row.panel == panel)
            return row.fileName;
    return "";
}

}  // namespace

TVxSlideAboutForm::TVxSlideAboutForm(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(bsDialog);
    // A dialog frame with a title and no border icons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    SetCaption(Translate("TVxSlideAboutForm", "バージョン情報"));
    SetBounds(0, 0, 518, 467);
    setFixedSize(518, 467);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    Font()->SetCharset(ANSI_CHARSET);
    CreateControls();
    OnShow = [this](TObject* sender) { FormShow(sender); };
}

TVxSlideAboutForm::~TVxSlideAboutForm() = default;

void TVxSlideAboutForm::CreateControls()
{
    LabelComponent = newLabel(this, "Pictal slide viewer", 72, 16);
    LabelMaker = newLabel(this, "the Pictal developers", 72, 40);

    auto* url = new ClickLabel(QString::fromUtf8(VxSlideAboutURL), this);
    url->move(72, 64);
    url->adjustSize();
    QFont underlined;
    underlined.setUnderline(true);  // the rest of the font comes from the form
    url->setFont(underlined);
    QPalette palette = url->palette();
    palette.setColor(QPalette::WindowText, ToQColor(clBlue));
    url->setPalette(palette);
    url->setCursor(CursorToQt(crHandPoint));
    url->onClick = [this] { LabelURLClick(this); };
    LabelURL = url;
    setLabelText(LabelURL, VxSlideAboutURL);

    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setGeometry(408, 8, 89, 33);
    ButtonOK->setDefault(true);
    QObject::connect(ButtonOK, &QPushButton::clicked, this, [this] { SafeCall([this] { ButtonOKClick(this); }); });

    GroupBox1 = new QGroupBox(QCoreApplication::translate("TVxSlideAboutForm", "バージョン"), this);
    GroupBox1->setGeometry(16, 104, 486, 345);
    LabelProductVer = newLabel(GroupBox1, Translate("TVxSlideAboutForm", "製品バージョン"), 16, 20);
    PanelProductVer = newPanel(GroupBox1, 136, 18);
    LabelFileVer = newLabel(GroupBox1, Translate("TVxSlideAboutForm", "ファイルバージョン"), 16, 48);
    LabelPack = newLabel(GroupBox1, "", 32, 72);
    PanelPackVer = newPanel(GroupBox1, 136, 70);

    // Two columns of ten: labels at x 32 and 260, panels at x 136 and 368; the
    // first label at y 96 with its panel at y 94, one row every 24 pixels.
    for (int i = 0; i < 20; ++i) {
        const int column = i / 10;
        const int row = i % 10;
        this->*kRows[i].label = newLabel(GroupBox1, kRows[i].fileName, column == 0 ? 32 : 260, 96 + row * 24);
        this->*kRows[i].panel = newPanel(GroupBox1, column == 0 ? 136 : 368, 94 + row * 24);
    }
}

void TVxSlideAboutForm::Localize(bool japanese)
{
    if (!japanese)
        return;
    Font()->SetCharset(SHIFTJIS_CHARSET);
    Font()->SetName("ＭＳ Ｐゴシック");
    Font()->SetSize(9);
    // The labels fit their texts in the new font.
    LabelProductVer->adjustSize();
    LabelFileVer->adjustSize();
    setLabelText(LabelURL, std::string(VxSlideAboutURL) + "ja/");
}

void TVxSlideAboutForm::ShowModal()
{
    // Centred by its frame, which is known once the window exists.
    auto centre = [this] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    };
    centre();
    setWindowModality(Qt::ApplicationModal);
    show();
    centre();
    if (!isVisible())
        return;
    QEventLoop loop;
    FModalLoop = &loop;
    loop.exec();
    FModalLoop = nullptr;
}

void TVxSlideAboutForm::hideEvent(QHideEvent* event)
{
    TForm::hideEvent(event);
    if (FModalLoop)
        FModalLoop->quit();
}

void TVxSlideAboutForm::FormShow(TObject* /*Sender*/)
{
    const std::string package = packageName();
    if (!package.empty()) {
        PanelProductVer->SetCaption(GetDllVer(package, false));
        setLabelText(LabelPack, package);
        PanelPackVer->SetCaption(GetDllVer(package, true));
    } else {
        setLabelText(LabelProductVer, "");
    }
    for (PanelField panel : kFillOrder)
        (this->*panel)->SetCaption(GetDllVer(fileNameOf(panel), true));
}

std::string TVxSlideAboutForm::GetDllVer(const std::string& FileName, bool FileVersion)
{
    HMODULE module = LoadLibraryA(FileName);
    if (!module)
        return {};
    struct Release {
        HMODULE module;
        ~Release() { FreeLibrary(module); }
    } release{module};

    const std::string path = GetModuleFileNameA(module);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return {};
    std::vector<char> buffer(size);
    if (!GetFileVersionInfoA(path, handle, size, buffer.data()))
        return {};

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &value, &length) || length < sizeof(DWORD))
        return {};
    DWORD translation = 0;
    std::memcpy(&translation, value, sizeof translation);
    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\\\StringFileInfo\\%04X%04X\\%s", translation & 0xFFFFu,
                  translation >> 16, FileVersion ? "FileVersion" : "ProductVersion");
    if (!VerQueryValueA(buffer.data(), subBlock, &value, &length) || length == 0)
        return {};
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

void TVxSlideAboutForm::LabelURLClick(TObject* /*Sender*/)
{
    const std::string address = LabelURL->text().toStdString();
    ShellExecuteA(this, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TVxSlideAboutForm::ButtonOKClick(TObject* /*Sender*/)
{
    Close();
}

void VxShowSlideAbout()
{
    TVxSlideAboutForm form;
    form.Localize(SystemIsJapanese());
    form.ShowModal();
}
