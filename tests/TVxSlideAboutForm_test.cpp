#include "Color.h"
#include "GraphicsObjects.h"
#include "Modules.h"
#include "RecordingOpener.h"
#include "TestFiles.h"
#include "Translation.h"
#include "VxAboutPanel.h"
#include "Vxslideabout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <sys/stat.h>

namespace {

const std::string kProjectVersion = std::to_string(PICTAL_VERSION_MAJOR) + "." +
                                    std::to_string(PICTAL_VERSION_MINOR) + "." +
                                    std::to_string(PICTAL_VERSION_PATCH) + "." + std::to_string(PICTAL_VERSION_TWEAK);

QRect rectOf(int x, int y, int w, int h)
{
    return QRect(x, y, w, h);
}


std::string text(const QLabel* label)
{
    return label->text().toStdString();
}

// The English translation installed for one scope, as on a system that is not
// Japanese.
struct EnglishSystem {
    EnglishSystem() { EXPECT_TRUE(UseEnglishTranslation(true)); }
    ~EnglishSystem() { UseEnglishTranslation(false); }
};

}  // namespace

TEST(TVxSlideAboutForm, LayoutMatchesTheDesign)
{
    const EnglishSystem english;
    TVxSlideAboutForm form;
    EXPECT_EQ(form.windowTitle().toStdString(), "Version Information");
    EXPECT_EQ(form.ClientWidth(), 518);
    EXPECT_EQ(form.ClientHeight(), 467);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "a dialog frame is not resized";
    EXPECT_EQ(form.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form.Font()->Height(), -11);

    EXPECT_EQ(form.ButtonOK->text().toStdString(), "OK");
    EXPECT_EQ(form.ButtonOK->geometry(), rectOf(408, 8, 89, 33));
    EXPECT_EQ(form.GroupBox1->title().toStdString(), "Version");
    EXPECT_EQ(form.GroupBox1->geometry(), rectOf(16, 104, 486, 345));
    EXPECT_EQ(form.LabelURL->pos(), QPoint(72, 64));
    EXPECT_EQ(text(form.LabelURL), VxSlideAboutURL);
    EXPECT_TRUE(form.LabelURL->font().underline());
    EXPECT_EQ(form.LabelURL->cursor().shape(), Qt::PointingHandCursor);

    EXPECT_EQ(text(form.LabelProductVer), "Product Version");
    EXPECT_EQ(form.LabelProductVer->pos(), QPoint(16, 20));
    EXPECT_EQ(form.PanelProductVer->geometry(), rectOf(136, 18, 97, 20));
    EXPECT_EQ(text(form.LabelFileVer), "File Version");
    EXPECT_EQ(form.LabelFileVer->pos(), QPoint(16, 48));
    EXPECT_EQ(form.LabelPack->pos(), QPoint(32, 72));
    EXPECT_EQ(form.PanelPackVer->geometry(), rectOf(136, 70, 97, 20));

    // First and last rows of both columns, inside the group box.
    struct Row {
        QLabel* label;
        TVxAboutPanel* panel;
        const char* name;
        int labelX, panelX, labelY;
    };
    for (const Row& row : {Row{form.LabelBmp, form.PanelBmp, "Vx7Bmp.dll", 32, 136, 96},
                           Row{form.LabelJpeg, form.PanelJpeg, "Vx7Jpeg.dll", 32, 136, 312},
                           Row{form.LabelPcx, form.PanelPcx, "Vx7Pcx.dll", 260, 368, 96},
                           Row{form.LabelWmf, form.PanelWmf, "Vx7Wmf.dll", 260, 368, 312}}) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(text(row.label), row.name);
        EXPECT_EQ(row.label->parentWidget(), form.GroupBox1);
        EXPECT_EQ(row.label->pos(), QPoint(row.labelX, row.labelY));
        EXPECT_EQ(row.panel->parentWidget(), form.GroupBox1);
        EXPECT_EQ(row.panel->geometry(), rectOf(row.panelX, row.labelY - 2, 97, 20));
        EXPECT_EQ(row.panel->Caption(), "");
    }
    EXPECT_EQ(text(form.LabelCom), "Vx7Com.dll");
    EXPECT_EQ(form.PanelSvg->geometry(), rectOf(368, 94 + 3 * 24, 97, 20));
}

TEST(TVxSlideAboutForm, FormShowFillsThePanelsFromTheModules)
{
    TVxSlideAboutForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // The modules built beside the test carry the project's version; the
    // others are absent.
    EXPECT_EQ(form.PanelCom->Caption(), kProjectVersion);
    EXPECT_EQ(form.PanelFile->Caption(), kProjectVersion);
    EXPECT_EQ(form.PanelEffect->Caption(), kProjectVersion);
    EXPECT_EQ(form.PanelVectCom->Caption(), kProjectVersion);
    for (TVxAboutPanel* absent : {form.PanelBmp, form.PanelJpeg, form.PanelTiff, form.PanelFpx, form.PanelPcx,
                                  form.PanelPng, form.PanelGif, form.PanelWmf, form.PanelEmf, form.PanelDxf,
                                  form.PanelJ2k, form.PanelRasToVect, form.PanelSvg, form.PanelSxfP21,
                                  form.PanelSxfSfc, form.PanelTransFile})
        EXPECT_EQ(absent->Caption(), "");
    // Linked into the program, not a package: the product row is blank.
    EXPECT_EQ(text(form.LabelProductVer), "");
    EXPECT_EQ(text(form.LabelPack), "");
    EXPECT_EQ(form.PanelProductVer->Caption(), "");
    EXPECT_EQ(form.PanelPackVer->Caption(), "");
}

TEST(TVxSlideAboutForm, GetDllVerReadsTheRecordOfTheModuleLoaded)
{
    TVxSlideAboutForm form;
    EXPECT_EQ(form.GetDllVer("Vx7Com.dll", true), kProjectVersion);
    EXPECT_EQ(form.GetDllVer("Vx7File.DLL", false), kProjectVersion);
    EXPECT_EQ(form.GetDllVer("Vx7Bmp.dll", true), "");
    // Loaded, but without a version record.
    EXPECT_EQ(form.GetDllVer("libpictal_platform.so", true), "");
    testfiles::TempFolder folder;
    testfiles::writeFile(folder.file("Vx7Fake.so"), "not a module");
    EXPECT_EQ(form.GetDllVer(folder.file("Vx7Fake.so"), true), "");
}

TEST(TVxSlideAboutForm, AJapaneseSystemGetsJapaneseTextsFontAndPage)
{
    // No translation installed: the texts as written.
    TVxSlideAboutForm form;
    form.Localize(true);
    EXPECT_EQ(form.windowTitle().toStdString(), "バージョン情報");
    EXPECT_EQ(form.Caption(), "バージョン情報");
    EXPECT_EQ(form.GroupBox1->title().toStdString(), "バージョン");
    EXPECT_EQ(text(form.LabelProductVer), "製品バージョン");
    EXPECT_EQ(text(form.LabelFileVer), "ファイルバージョン");
    EXPECT_EQ(text(form.LabelURL), std::string(VxSlideAboutURL) + "ja/");
    EXPECT_EQ(form.Font()->Name(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(form.Font()->Size(), 9);
    EXPECT_EQ(form.Font()->Charset(), SHIFTJIS_CHARSET);
    EXPECT_EQ(form.LabelFileVer->font().pixelSize(), form.Font()->ToQFont().pixelSize()) << "children follow";
    EXPECT_EQ(form.ButtonOK->text().toStdString(), "OK");
}

TEST(TVxSlideAboutForm, ClickingTheLinkOpensItsAddress)
{
    RecordingOpener opener;
    TVxSlideAboutForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.LabelURL, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(opener.waitForLog(), std::string(VxSlideAboutURL) + "\n");

    ::unlink(opener.log().c_str());
    form.Localize(true);
    form.LabelURLClick(&form);
    EXPECT_EQ(opener.waitForLog(), std::string(VxSlideAboutURL) + "ja/\n");
}

TEST(TVxSlideAboutForm, VxShowSlideAboutIsModalUntilOK)
{
    bool seen = false, modal = false;
    std::string comVersion;
    QRect frame;
    // Finds the dialog once it is up and presses its OK button.
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* form = dynamic_cast<TVxSlideAboutForm*>(widget);
            if (!form || !form->isVisible())
                continue;
            seen = true;
            modal = form->isModal();
            comVersion = form->PanelCom->Caption();
            frame = form->frameGeometry();
            presser.stop();
            QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
            return;
        }
    });
    presser.start(20);
    VxShowSlideAbout();

    EXPECT_TRUE(seen);
    EXPECT_TRUE(modal);
    EXPECT_EQ(comVersion, kProjectVersion);
    EXPECT_GE(frame.width(), 518);
    EXPECT_GE(frame.height(), 467);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TVxSlideAboutForm*>(widget), nullptr) << "the form is freed";
}

TEST(TVxAboutPanel, DrawsALoweredBevelAndItsCaption)
{
    TVxAboutPanel panel;
    panel.resize(97, 20);
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor light = ToQColor(clBtnHighlight);
    const QColor face = ToQColor(clBtnFace);
    ASSERT_NE(shadow, light);
    ASSERT_NE(shadow, face);

    QImage image = panel.grab().toImage();
    ASSERT_EQ(image.size(), QSize(97, 20));
    auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    // Top row and left column in the shadow colour, the top-right pixel excepted.
    EXPECT_EQ(at(0, 0), shadow);
    EXPECT_EQ(at(48, 0), shadow);
    EXPECT_EQ(at(95, 0), shadow);
    EXPECT_EQ(at(0, 10), shadow);
    EXPECT_EQ(at(0, 18), shadow);
    // Right column and bottom row in the highlight colour, both ends included.
    EXPECT_EQ(at(96, 0), light);
    EXPECT_EQ(at(96, 10), light);
    EXPECT_EQ(at(96, 19), light);
    EXPECT_EQ(at(48, 19), light);
    EXPECT_EQ(at(0, 19), light);
    // Inside: the face colour only, while there is no caption.
    int notFace = 0;
    for (int y = 1; y < 19; ++y)
        for (int x = 1; x < 96; ++x)
            notFace += at(x, y) != face;
    EXPECT_EQ(notFace, 0);

    panel.SetCaption("0.1.0.0");
    image = panel.grab().toImage();
    int inked = 0, left = 97, right = -1;
    for (int y = 1; y < 19; ++y)
        for (int x = 1; x < 96; ++x)
            if (at(x, y) != face) {
                ++inked;
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GT(inked, 0) << "the caption is drawn";
    EXPECT_LE(std::abs((left + right) / 2 - 48), 2) << "centred";
    EXPECT_EQ(at(0, 0), shadow);
    EXPECT_EQ(at(96, 19), light);
}
