// The history combo box: the order of its entries, and its history kept in a
// profile file or in the registry store, read and written on real files.
#include "HistoryComboBox.h"

#include "Application.h"
#include "EnvOverride.h"
#include "Exception.h"
#include "IniFile.h"
#include "Modules.h"
#include "Paths.h"
#include "RegistryIniFile.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using testfiles::EnvOverride;
using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

using Entries = std::vector<std::string>;

Entries entries(THistoryComboBox& box)
{
    Entries result;
    for (int i = 0; i < box.Items().Count(); ++i)
        result.push_back(box.Items().Strings(i));
    return result;
}

// The control as a form makes it: named, its properties assigned while it
// loads, then Loaded.
std::unique_ptr<THistoryComboBox> readFromForm(const std::function<void(THistoryComboBox&)>& properties)
{
    auto box = std::make_unique<THistoryComboBox>();
    box->SetName("Combo1");
    box->BeginLoading();
    properties(*box);
    box->EndLoading();
    return box;
}

// The message boxes the application shows while f runs, each accepted.
Entries shownWhile(const std::function<void()>& f)
{
    Entries shown;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.push_back(box->text().toStdString());
            box->accept();
        }
    });
    answer.start();
    f();
    return shown;
}

struct RemovedAtEnd {
    std::string path;
    ~RemovedAtEnd() { std::remove(path.c_str()); }
};

}  // namespace

TEST(THistoryComboBox, TheNewestEntryIsOnTopAndEachEntryIsThereOnce)
{
    QWidget host;
    THistoryComboBox box;
    struct Step {
        std::string text;
        bool added;
        Entries after;
    };
    const std::vector<Step> steps = {
        {"abc", true, {"abc"}},
        {"xyz", true, {"xyz", "abc"}},
        {"ABC", false, {"abc", "xyz"}},  // moves up with its own spelling
        {"", false, {"abc", "xyz"}},
        {"東京", true, {"東京", "abc", "xyz"}},
        {"XYZ", false, {"xyz", "東京", "abc"}},
        {"東京", false, {"東京", "xyz", "abc"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.text);
        EXPECT_EQ(box.AddText(step.text), step.added);
        EXPECT_EQ(entries(box), step.after);
    }

    // The edit text as the user left it, picked or typed; it stays in the
    // edit part when it moves to the top.
    box.SetParent(&host);
    host.show();
    box.SetItemIndex(2);
    EXPECT_FALSE(box.AddText());
    EXPECT_EQ(entries(box), (Entries{"abc", "東京", "xyz"}));
    EXPECT_EQ(box.Text(), "abc");
    box.SetText("");
    QTest::keyClicks(&box, "new");
    EXPECT_TRUE(box.AddText());
    EXPECT_EQ(entries(box), (Entries{"new", "abc", "東京", "xyz"}));
    EXPECT_EQ(box.Text(), "new");
}

TEST(THistoryComboBox, TheHistoryGoesThroughEachStoreAndOnlyWhereSaveModeSays)
{
    const TempFolder folder;
    const EnvOverride config("XDG_CONFIG_HOME", folder.file("config"));
    const std::string bare = "pictal-history-" + std::to_string(::getpid());
    const RemovedAtEnd besideProgram{JoinPath(ParentFolder(GetModuleFileNameA(nullptr)), bare + ".ini")};

    struct Store {
        const char* what;
        std::string keyName;
        std::string fileName;
        std::string sectionName;
        std::function<std::unique_ptr<TCustomIniFile>()> open;
        std::string section;
    };
    const std::vector<Store> stores = {
        {"file", "", folder.file("hist"), "",
         [&] { return std::make_unique<TIniFile>(folder.file("hist.ini")); }, "Combo1"},
        {"bare file name", "", bare, "",
         [&] { return std::make_unique<TIniFile>(besideProgram.path); }, "Combo1"},
        {"registry before file", "Software\\Pictal\\History\\", folder.file("unused.ini"), "Recent",
         [] { return std::make_unique<TRegistryIniFile>("Software\\Pictal\\History"); }, "Recent"},
    };
    for (const Store& store : stores) {
        SCOPED_TRACE(store.what);
        const auto names = [&](THistoryComboBox& box, THistoryMode mode) {
            box.SetSaveKeyName(store.keyName);
            box.SetSaveFileName(store.fileName);
            box.SetSaveSectionName(store.sectionName);
            box.SetSaveMode(mode);
        };
        // An earlier, longer history.
        {
            const auto stored = store.open();
            stored->WriteInteger(store.section, "HistoryCount", 4);
            for (int i = 0; i < 4; ++i)
                stored->WriteString(store.section, "History" + std::to_string(i), "old");
        }

        // Saved on destruction, by a control that never had a window, in
        // place of the earlier history.
        auto writer = readFromForm([&](THistoryComboBox& box) { names(box, hsAutoSave); });
        EXPECT_TRUE(entries(*writer).empty()) << "hsAutoSave loads nothing";
        for (const char* text : {"三番目", "second", " first "})
            writer->AddText(text);
        writer.reset();
        {
            const auto stored = store.open();
            EXPECT_EQ(stored->ReadString(store.section, "HistoryCount", ""), "3");
            EXPECT_EQ(stored->ReadString(store.section, "History0", ""), " first ");
            EXPECT_EQ(stored->ReadString(store.section, "History2", ""), "三番目");
            EXPECT_FALSE(stored->ValueExists(store.section, "History3"));
        }
        EXPECT_FALSE(testfiles::exists(folder.file("unused.ini")));

        // hsManual neither loads nor saves by itself.
        auto manual = readFromForm([&](THistoryComboBox& box) { names(box, hsManual); });
        EXPECT_TRUE(entries(*manual).empty());
        manual->AddText("not kept");
        manual.reset();

        // Loaded after the form is read; a second load appends.
        auto reader = readFromForm([&](THistoryComboBox& box) { names(box, hsAutoLoad); });
        EXPECT_EQ(entries(*reader), (Entries{" first ", "second", "三番目"}));
        EXPECT_TRUE(reader->SaveKeyName().empty() ? reader->LoadFromFile() : reader->LoadFromRegistry());
        EXPECT_EQ(entries(*reader).size(), 6u);
    }
}

TEST(THistoryComboBox, ADamagedCountRaisesTheConversionErrorFromTheLoad)
{
    const TempFolder folder;
    const std::string file = folder.file("hist.ini");
    std::string conversionError;
    try {
        StrToInt("zwei");
    } catch (const Exception& error) {
        conversionError = error.Message();
    }
    ASSERT_FALSE(conversionError.empty());

    writeFile(file, "[Combo1]\nHistoryCount=zwei\nHistory0=a\n");
    const auto raisedMessage = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const Exception& error) {
            return error.Message();
        }
        return std::string("nothing raised");
    };
    std::unique_ptr<THistoryComboBox> box;
    EXPECT_EQ(raisedMessage([&] { box = readFromForm([&](THistoryComboBox& b) {
                  b.SetSaveFileName(file);
                  b.SetSaveMode(hsAutoLoad);
              });
              }),
              conversionError)
        << "the automatic load raises to whoever reads the form";
    THistoryComboBox manual;
    manual.SetName("Combo1");
    manual.SetSaveFileName(file);
    manual.SetSaveMode(hsManual);
    EXPECT_EQ(raisedMessage([&] { manual.LoadFromFile(); }), conversionError);
    EXPECT_TRUE(entries(manual).empty());

    // A count beyond the stored entries reads as far as the last of them, the
    // missing ones empty; it does not fill the list with empty entries.
    writeFile(file, "[Combo1]\nHistoryCount=2000000000\nHistory0=a\nHistory2=c\nHistory02=x\n");
    manual.LoadFromFile();
    EXPECT_EQ(entries(manual), (Entries{"a", "", "c"}));
    writeFile(file, "[Combo1]\nHistoryCount=-3\nHistory0=a\n");
    manual.LoadFromFile();
    EXPECT_EQ(entries(manual).size(), 3u);
}

TEST(THistoryComboBox, AnUnwritableStoreRaisesFromAnExplicitSaveAndIsOnlyShownFromTheDestructor)
{
    TApplication application;
    const TempFolder folder;
    // The registry store cannot make its folders below a file.
    writeFile(folder.file("config"), "");
    const EnvOverride config("XDG_CONFIG_HOME", folder.file("config"));

    struct Store {
        const char* what;
        std::function<void(THistoryComboBox&)> names;
        std::function<bool(THistoryComboBox&)> save;
    };
    const std::vector<Store> stores = {
        {"file in a missing folder", [&](THistoryComboBox& box) { box.SetSaveFileName(folder.file("missing/hist")); },
         [](THistoryComboBox& box) { return box.SaveToFile(); }},
        {"registry", [](THistoryComboBox& box) { box.SetSaveKeyName("Software\\Pictal"); },
         [](THistoryComboBox& box) { return box.SaveToRegistry(); }},
    };
    for (const Store& store : stores) {
        SCOPED_TRACE(store.what);
        auto box = readFromForm(store.names);
        box->AddText("kept");
        EXPECT_THROW(store.save(*box), Exception);
        const Entries shown = shownWhile([&] { box.reset(); });
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find("に書き込めません"), std::string::npos) << shown[0];
    }
}
