// The main window: one borderless surface of 796 x 704 pixels with the folder
// tree, the slide viewer, the file list, the move/copy switch, the next-file
// button and the nine destination rows (dispatch button, folder edit, label,
// connector arrow), and a red strip on the left with the title banner, the
// format list and four small buttons. Its controls are built from one stored
// layout; its handlers hand every event to the sorting session, the settings
// file and the key map.
//
// The window is moved by dragging its own surface: a left press that no child
// window takes (the strip, its picture and format list, the thin frame around
// the work panel) starts the window system's move.
#pragma once

#include "Form.h"
#include "Settings.h"
#include "SortingSession.h"
#include "TransferMode.h"

#include <array>
#include <memory>
#include <string>

class TAppHint;
class TClearButton;
class TExBrowseEdit;
class TExTechnicalLine;
class TFadeButton;
class TFileListBox;
class TFolderTreeView;
class TImage;
class TLabel;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TRadioButton;
class TSessionViewer;
class TShape;
class TSpeedButton;
class TVxSlide;

class TMainForm1 : public TForm, private TSessionControls, private TSettingsHost {
public:
    explicit TMainForm1(TComponent* owner = nullptr);
    ~TMainForm1() override;

    // The executable's folder, without a trailing separator.
    const std::string& ProgramFolder() const { return FProgramFolder; }
    // The settings file the window reads at creation and writes on closing
    // (SettingsFilePath() unless set otherwise before FormCreate).
    const std::string& SettingsFile() const { return FSettingsFile; }
    void SetSettingsFile(const std::string& file) { FSettingsFile = file; }
    // Reads the settings (window position, mode, source folder, slots). The
    // program calls it once the window is built; it is FormCreate.
    void FormCreate();

    // The controls, as the stored layout names them.
    TShape* Shape1 = nullptr;
    TShape* Shape0 = nullptr;
    TLabel* Label11 = nullptr;
    TImage* Image1 = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TFolderTreeView* FolderTreeView0 = nullptr;
    TVxSlide* VxSlide1 = nullptr;
    TFileListBox* FileListBox1 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    std::array<TClearButton*, kSlotCount> ClearButtons{};
    std::array<TExBrowseEdit*, kSlotCount> BrowseEdits{};
    std::array<TLabel*, kSlotCount> Labels{};
    std::array<TExTechnicalLine*, kSlotCount> TechnicalLines{};
    TLabel* Label0 = nullptr;
    TFadeButton* FadeButton1 = nullptr;
    TFadeButton* FadeButton2 = nullptr;
    TFadeButton* FadeButton3 = nullptr;
    TFadeButton* FadeButton4 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* E1 = nullptr;
    TAppHint* AppHint1 = nullptr;

    // Handlers of the window's own commands.
    void FadeButton1Click();  // the user guide
    void FadeButton2Click();  // minimise
    void FadeButton3Click();  // close
    void FadeButton4Click();  // the information page

    // The information page's address for an executable of this name.
    static std::string InformationAddress(const std::string& executable);

protected:
    // A left press on the window's own surface moves the window.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void buildLayout();
    void wireEvents();
    void applyTabOrder();
    void FormActivate();
    void FormClose(TCloseAction& action);
    void keyDown(WORD_KEY& key, TShiftState shift);

    // TSessionControls
    std::string FolderName() override;
    void SelectFolder(const std::string& folder) override;
    TFileListBox& FileList() override;
    ISessionViewer& Viewer() override;
    TTransferMode& Mode() override;
    std::string SlotPath(int slot) override;
    void SetSlotLabel(int slot, const std::string& text) override;
    void SetSlotEnabled(int slot, bool enabled) override;
    std::string CurrentFilePath() override;
    void SetCurrentFilePath(const std::string& path) override;
    void RepaintWindow() override;

    // TSettingsHost
    int WindowTop() override;
    void SetWindowTop(int top) override;
    int WindowLeft() override;
    void SetWindowLeft(int left) override;
    void SetFolderName(const std::string& folder) override;
    void SetSlotPath(int slot, const std::string& path) override;

    std::string FProgramFolder;
    std::string FSettingsFile;
    TTransferMode FMode;
    std::unique_ptr<TSessionViewer> FViewer;
    TSortingSession FSession{*this};
};
