// The program's texts in the system's language, under a real X server: the
// main window as the program opens it, every text and hint of it walked, a
// hint shown by real pointer rest, and the version dialog. tests/CMakeLists.txt
// runs this suite once with LANG=ja_JP.UTF-8 and once with LANG=en_US.UTF-8
// and names the language in PICTAL_TEST_LANGUAGE.
#include "Application.h"
#include "EnvOverride.h"
#include "ExBrowseEdit.h"
#include "FontSubstitution.h"
#include "GraphicsObjects.h"
#include "HintWindow.h"
#include "Mainwindow1.h"
#include "Newhint.h"
#include "PopupMenu.h"
#include "RadioButton.h"
#include "RealInput.h"
#include "SpeedButton.h"
#include "TestFiles.h"
#include "Translation.h"
#include "Vxslideabout.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFontInfo>
#include <QLabel>
#include <QRawFont>

#include <filesystem>
#include <map>
#include <memory>

using testfiles::EnvOverride;
using testfiles::TempFolder;

namespace {

// Whether the system's language is Japanese here: the language named by the
// test's registration, which Qt must have read from LANG.
bool japaneseRun()
{
    const QString named = qEnvironmentVariable("PICTAL_TEST_LANGUAGE");
    if (!named.isEmpty()) {
        EXPECT_EQ(SystemIsJapanese(), named == "ja") << "Qt read another language than LANG names";
    }
    return SystemIsJapanese();
}

// Japanese script: kana, CJK ideographs and punctuation, full-width forms.
bool hasJapanese(const QString& text)
{
    for (const char32_t c : text.toUcs4())
        if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
            (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    return false;
}

// One text shown by the window: what shows it ("RadioButton1 caption") and
// the font it is drawn in.
struct ShownText {
    std::string text;
    QFont font;
};
using Texts = std::map<std::string, ShownText>;

// Every caption, hint, menu item, window title and list or tree entry of the
// window: its components (controls, menu items) and every widget beneath it.
Texts textsOf(TMainForm1& window, const QFont& hintFont)
{
    Texts texts;
    auto add = [&](const std::string& where, const std::string& text, const QFont& font) {
        if (!text.empty())
            texts[where] = {text, font};
    };
    add("window caption", window.windowTitle().toStdString(), window.font());
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        auto* component = dynamic_cast<TComponent*>(widget);
        const std::string name =
            component && !component->Name().empty() ? component->Name() : widget->metaObject()->className();
        if (auto* control = dynamic_cast<TControl*>(widget)) {
            add(name + " caption", control->Caption(), widget->font());
            add(name + " hint", control->Hint(), hintFont);
        }
        if (auto* edit = dynamic_cast<TExBrowseEdit*>(widget))
            add(name + " hint", edit->Hint(), hintFont);
        add(name + " hint", widget->property("pictalHint").toString().toStdString(), hintFont);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            add(name + " caption", button->text().toStdString(), widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget))
            add(name + " caption", label->text().toStdString(), widget->font());
        if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            // Every entry, through the whole tree.
            std::vector<QModelIndex> pending = {QModelIndex()};
            while (!pending.empty()) {
                const QModelIndex parent = pending.back();
                pending.pop_back();
                for (int row = 0; row < view->model()->rowCount(parent); ++row) {
                    const QModelIndex index = view->model()->index(row, 0, parent);
                    add(name + " entry " + index.data().toString().toStdString(),
                        index.data().toString().toStdString(), widget->font());
                    pending.push_back(index);
                }
            }
        }
    }
    for (TComponent* component : window.Components())
        if (auto* item = dynamic_cast<TMenuItem*>(component))
            add(item->Name() + " caption", item->Caption(), window.font());
    return texts;
}

// The main window opened as the program opens it, on an empty home.
struct OpenWindow {
    TempFolder home, settings;
    EnvOverride homeOverride{"HOME", std::filesystem::canonical(home.path()).string()};
    EnvOverride configOverride{"XDG_CONFIG_HOME", std::filesystem::canonical(home.path()).string() + "/.config"};
    std::unique_ptr<TApplication> application;
    std::unique_ptr<TMainForm1> window;

    OpenWindow()
    {
        InstallTranslation();
        application = std::make_unique<TApplication>();
        application->SetTitle("Pictal");
        window = std::make_unique<TMainForm1>();
        window->SetSettingsFile(settings.file("Pictal.ini"));
        application->SetMainForm(window.get());
        window->FormCreate();
        window->show();
        window->activateWindow();
        realinput::settle(500);
    }
    ~OpenWindow()
    {
        window.reset();
        application.reset();
        UseEnglishTranslation(false);
    }
};

// The texts as written for a Japanese system.
const std::map<std::string, std::string>& japaneseTexts()
{
    static const std::map<std::string, std::string> texts = [] {
        std::map<std::string, std::string> t = {
            {"window caption", "Pictal"},
            {"FolderTreeView0 hint", " フォルダの選択"},
            {"FolderTreeView0 entry デスクトップ", "デスクトップ"},
            {"FolderTreeView0 entry マイ ドキュメント", "マイ ドキュメント"},
            {"FolderTreeView0 entry マイ コンピュータ", "マイ コンピュータ"},
            {"VxSlide1 hint", " 振り分ける画像"},
            {"FileListBox1 hint", " ファイルの選択(BMP,JPEG,JPEG2000,GIF,TIFF,PCX,FPX,PNG,WMF,EMF)"},
            {"E1 caption", "最新の情報に更新(&E)"},
            {"RadioButton1 caption", "ファイルの移動"},
            {"RadioButton1 hint", " ファイル移動モードへ"},
            {"RadioButton2 caption", "ファイルの複製"},
            {"RadioButton2 hint", " ファイル複製モードへ"},
            {"SpeedButton1 caption", "0"},
            {"SpeedButton1 hint", " 次のファイルへ"},
            {"FadeButton3 caption", "×"},
            {"FadeButton3 hint", " 閉じる"},
            {"FadeButton2 caption", "_"},
            {"FadeButton2 hint", " 最小化"},
            {"FadeButton1 caption", "?"},
            {"FadeButton1 hint", " ユーザーズガイド"},
            {"FadeButton4 caption", "i"},
            {"FadeButton4 hint", " インフォメーション"},
            {"Label11 caption", "BMP JPEG J2K GIF TIFF PCX FPX PNG WMF EMF"},
        };
        const char* const fullWidth[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９"};
        for (int n = 1; n <= 9; ++n) {
            const std::string slot = std::to_string(n);
            t["ClearButton" + slot + " caption"] = slot;
            t["ClearButton" + slot + " hint"] = std::string(" ファイル振り分け") + fullWidth[n - 1];
            t["BrowseEdit" + slot + " hint"] = std::string(" 移動・複製先フォルダ") + fullWidth[n - 1];
        }
        return t;
    }();
    return texts;
}

}  // namespace

TEST(Translation, TheMainWindowSpeaksTheSystemsLanguage)
{
    ASSERT_TRUE(realinput::available()) << "run under run-under-x.sh";
    const bool japanese = japaneseRun();
    OpenWindow open;
    const QFont hintFont = open.window->AppHint1->Font()->ToQFont();
    const Texts texts = textsOf(*open.window, hintFont);

    if (japanese) {
        for (const auto& [where, expected] : japaneseTexts()) {
            const auto found = texts.find(where);
            ASSERT_NE(found, texts.end()) << where;
            EXPECT_EQ(found->second.text, expected) << where;
        }
        return;
    }
    // Every text the Japanese system shows is there, and none is left in Japanese.
    for (const auto& [where, expected] : japaneseTexts()) {
        if (where.find(" entry ") == std::string::npos) {
            EXPECT_TRUE(texts.count(where)) << where;
        }
    }
    for (const char* folder : {"Desktop", "Documents", "Computer"})
        EXPECT_TRUE(texts.count(std::string("FolderTreeView0 entry ") + folder)) << folder;
    EXPECT_EQ(texts.at("E1 caption").text, "R&efresh") << "the same access key";
    EXPECT_EQ(texts.at("ClearButton9 hint").text, " Send the file to folder 9");
    for (const auto& [where, shown] : texts) {
        const QString text = QString::fromStdString(shown.text);
        EXPECT_FALSE(hasJapanese(text)) << where << ": " << shown.text;
        // Drawn in the control's own (substituted) family, which has every letter.
        const QRawFont raw = QRawFont::fromFont(shown.font);
        for (const char32_t c : text.toUcs4()) {
            if (c != ' ' && c != '&') {
                EXPECT_TRUE(raw.supportsCharacter(c)) << where << ": U+" << std::hex << unsigned(c) << " in "
                                                       << raw.familyName().toStdString();
            }
        }
    }
    EXPECT_EQ(QFontInfo(hintFont).family().toStdString(), BrushScriptFamily()) << "hints keep the brush lettering";
    EXPECT_EQ(QFontInfo(open.window->RadioButton1->font()).family(), "IPAPMincho");
}

TEST(Translation, AHintShownByThePointerIsInTheSystemsLanguage)
{
    ASSERT_TRUE(realinput::available()) << "run under run-under-x.sh";
    const bool japanese = japaneseRun();
    OpenWindow open;
    TSpeedButton& next = *open.window->SpeedButton1;
    realinput::moveTo(next.mapToGlobal(QPoint(20, 20)));
    THintWindow* hint = nullptr;
    realinput::waitUntil([&] {
        hint = open.application->HintWindow();
        return hint && hint->isVisible();
    });
    ASSERT_TRUE(hint && hint->isVisible());
    EXPECT_EQ(hint->Caption(), japanese ? " 次のファイルへ" : " Next file");
}

TEST(Translation, TheVersionDialogFollowsTheSystemsLanguage)
{
    const bool japanese = japaneseRun();
    InstallTranslation();
    {
        TVxSlideAboutForm form;
        form.Localize(SystemIsJapanese());  // as VxShowSlideAbout prepares it
        EXPECT_EQ(form.Caption(), japanese ? "バージョン情報" : "Version Information");
        EXPECT_EQ(form.LabelURL->text().toStdString(), std::string(VxSlideAboutURL) + (japanese ? "ja/" : ""));
        EXPECT_EQ(form.Font()->Name(), japanese ? "ＭＳ Ｐゴシック" : "MS Sans Serif");
    }
    UseEnglishTranslation(false);
}
