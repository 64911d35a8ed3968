// The image library's version dialog: the file versions of the library's
// modules, each read from the module's version record.
//
// VxShowSlideAbout creates the form without owner, gives it the Japanese font
// and web page on a Japanese system, shows it modally and frees it. Its texts
// follow the translation installed (Translation.h).
#pragma once

#include "Form.h"

#include <string>

class QEventLoop;
class QGroupBox;
class QLabel;
class QPushButton;
class TVxAboutPanel;

// The component's web page, shown and opened by LabelURL; its Japanese page
// is the "ja/" page below it.
inline constexpr char VxSlideAboutURL[] = "https://pictal.github.io/";

class TVxSlideAboutForm : public TForm {
public:
    explicit TVxSlideAboutForm(TComponent* owner = nullptr);
    ~TVxSlideAboutForm() override;

    // The Japanese font and web page when japanese; otherwise the form stays
    // as designed.
    void Localize(bool japanese);
    // Centres the form on its screen, shows it modal to the application and
    // returns when it is closed.
    void ShowModal();

    // Handlers.
    void FormShow(TObject* Sender);
    void LabelURLClick(TObject* Sender);
    void ButtonOKClick(TObject* Sender);

    // The version text of a module found as LoadLibraryA finds it: its file
    // version when FileVersion is true, else its product version. Empty when
    // the module is absent or carries no version record.
    std::string GetDllVer(const std::string& FileName, bool FileVersion);

    // Controls (owned by the form through Qt's parent ownership).
    QLabel* LabelComponent = nullptr;
    QLabel* LabelMaker = nullptr;
    QLabel* LabelURL = nullptr;
    QPushButton* ButtonOK = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* LabelProductVer = nullptr;
    TVxAboutPanel* PanelProductVer = nullptr;
    QLabel* LabelFileVer = nullptr;
    QLabel* LabelPack = nullptr;
    TVxAboutPanel* PanelPackVer = nullptr;

    QLabel* LabelBmp = nullptr;
    TVxAboutPanel* PanelBmp = nullptr;
    QLabel* LabelCom = nullptr;
    TVxAboutPanel* PanelCom = nullptr;
    QLabel* LabelDxf = nullptr;
    TVxAboutPanel* PanelDxf = nullptr;
    QLabel* LabelEffect = nullptr;
    TVxAboutPanel* PanelEffect = nullptr;
    QLabel* LabelEmf = nullptr;
    TVxAboutPanel* PanelEmf = nullptr;
    QLabel* LabelFile = nullptr;
    TVxAboutPanel* PanelFile = nullptr;
    QLabel* LabelFpx = nullptr;
    TVxAboutPanel* PanelFpx = nullptr;
    QLabel* LabelGif = nullptr;
    TVxAboutPanel* PanelGif = nullptr;
    QLabel* LabelJ2k = nullptr;
    TVxAboutPanel* PanelJ2k = nullptr;
    QLabel* LabelJpeg = nullptr;
    TVxAboutPanel* PanelJpeg = nullptr;
    QLabel* LabelPcx = nullptr;
    TVxAboutPanel* PanelPcx = nullptr;
    QLabel* LabelPng = nullptr;
    TVxAboutPanel* PanelPng = nullptr;
    QLabel* LabelRasToVect = nullptr;
    TVxAboutPanel* PanelRasToVect = nullptr;
    QLabel* LabelSvg = nullptr;
    TVxAboutPanel* PanelSvg = nullptr;
    QLabel* LabelSxfP21 = nullptr;
    TVxAboutPanel* PanelSxfP21 = nullptr;
    QLabel* LabelSxfSfc = nullptr;
    TVxAboutPanel* PanelSxfSfc = nullptr;
    QLabel* LabelTiff = nullptr;
    TVxAboutPanel* PanelTiff = nullptr;
    QLabel* LabelTransFile = nullptr;
    TVxAboutPanel* PanelTransFile = nullptr;
    QLabel* LabelVectCom = nullptr;
    TVxAboutPanel* PanelVectCom = nullptr;
    QLabel* LabelWmf = nullptr;
    TVxAboutPanel* PanelWmf = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void CreateControls();

    QEventLoop* FModalLoop = nullptr;
};

void VxShowSlideAbout();
