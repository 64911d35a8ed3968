// The history combo box: the order of its entries, and its history kept in a
// profile file or in the registry store, on real files.
#include "HistoryComboBox.h"

#include "Application.h"
#include "EnvOverride.h"
#include "Modules.h"
#include "Paths.h"
#include "RegistryIniFile.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

using Entries = std::vector<std::string>;
using Properties = std::function<void(THistoryComboBox&)>;

Entries entries(THistoryComboBox& box)
{
    Entries result;
    for (int i = 0; i < box.Items().Count(); ++i)
        result.push_back(box.Items().Strings(i));
    return result;
}

// The control as a form makes it: properties assigned while it loads, then Loaded.
std::unique_ptr<THistoryComboBox> readFromForm(const Properties& properties)
{
    auto box = std::make_unique<THistoryComboBox>();
    box->SetName("Combo1");
    box->BeginLoading();
    properties(*box);
    box->EndLoading();
    return box;
}

std::string raisedBy(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "nothing raised";
}

}  // namespace

TEST(THistoryComboBox, TheNewestEntryIsOnTopAndEachEntryIsThereOnce)
{
    QWidget host;
    THistoryComboBox box;
    const std::vector<std::tuple<std::string, bool, Entries>> steps = {
        {"abc", true, {"abc"}},
        {"xyz", true, {"xyz", "abc"}},
        {"ABC", false, {"abc", "xyz"}},  // moves up in its own spelling
        {"", false, {"abc", "xyz"}},
        {"東京", true, {"東京", "abc", "xyz"}},
        {"XYZ", false, {"xyz", "東京", "abc"}},
    };
    for (const auto& [text, added, after] : steps) {
        EXPECT_EQ(box.AddText(text), added) << text;
        EXPECT_EQ(entries(box), after) << text;
    }
    // The edit text, typed or picked, stays in the edit part as it goes on top.
    box.SetParent(&host);
    QTest::keyClicks(&box, "new");
    EXPECT_TRUE(box.AddText());
    box.SetItemIndex(3);
    EXPECT_FALSE(box.AddText());
    EXPECT_EQ(entries(box), (Entries{"abc", "new", "xyz", "東京"}));
    EXPECT_EQ(box.Text(), "abc");
}

TEST(THistoryComboBox, TheHistoryGoesThroughEachStoreAndOnlyWhereSaveModeSays)
{
    const TempFolder folder;
    const testfiles::EnvOverride config("XDG_CONFIG_HOME", folder.file("config"));
    const std::string bare = "pictal-history-" + std::to_string(::getpid());
    const std::string besideProgram = JoinPath(ParentFolder(GetModuleFileNameA(nullptr)), bare + ".ini");
    const std::shared_ptr<void> removeAtEnd(nullptr, [&](void*) { std::remove(besideProgram.c_str()); });

    struct Store {
        std::string keyName, fileName, sectionName;
        std::function<std::unique_ptr<TCustomIniFile>()> open;
        std::string section;
    };
    const std::vector<Store> stores = {
        {"", folder.file("hist"), "", [&] { return std::make_unique<TIniFile>(folder.file("hist.ini")); }, "Combo1"},
        {"", bare, "", [&] { return std::make_unique<TIniFile>(besideProgram); }, "Combo1"},
        {"Software\\Pictal\\History\\", folder.file("unused.ini"), "Recent",
         [] { return std::make_unique<TRegistryIniFile>("Software\\Pictal\\History"); }, "Recent"},
    };
    for (const Store& store : stores) {
        SCOPED_TRACE(store.fileName);
        const auto names = [&](THistoryMode mode) {
            return [&store, mode](THistoryComboBox& box) {
                box.SetSaveKeyName(store.keyName);
                box.SetSaveFileName(store.fileName);
                box.SetSaveSectionName(store.sectionName);
                box.SetSaveMode(mode);
            };
        };
        store.open()->WriteInteger(store.section, "HistoryCount", 4);  // an earlier, longer history
        store.open()->WriteString(store.section, "History3", "old");

        // Saved on destruction by a control that never had a window.
        auto writer = readFromForm(names(hsAutoSave));
        EXPECT_TRUE(entries(*writer).empty()) << "hsAutoSave loads nothing";
        for (const char* text : {"三番目", "second", " first "})
            writer->AddText(text);
        writer.reset();
        const auto stored = store.open();
        EXPECT_EQ(stored->ReadString(store.section, "HistoryCount", ""), "3");
        EXPECT_EQ(stored->ReadString(store.section, "History0", ""), " first ");
        EXPECT_FALSE(stored->ValueExists(store.section, "History3"));
        EXPECT_FALSE(testfiles::exists(folder.file("unused.ini"))) << "the registry wins";

        auto manual = readFromForm(names(hsManual));
        EXPECT_TRUE(entries(*manual).empty());
        manual->AddText("not kept");
        manual.reset();

        auto reader = readFromForm(names(hsAutoLoad));
        EXPECT_EQ(entries(*reader), (Entries{" first ", "second", "三番目"}));
        EXPECT_TRUE(store.keyName.empty() ? reader->LoadFromFile() : reader->LoadFromRegistry());
        EXPECT_EQ(entries(*reader).size(), 6u) << "a load appends";
        reader.reset();

        // hsAutoLoad saved nothing; hsAuto loads and saves.
        auto both = readFromForm(names(hsAuto));
        EXPECT_EQ(entries(*both), (Entries{" first ", "second", "三番目"}));
        both->AddText("second");
        both.reset();
        EXPECT_EQ(store.open()->ReadString(store.section, "History0", ""), "second");
        EXPECT_EQ(store.open()->ReadString(store.section, "HistoryCount", ""), "3");
    }
}

TEST(THistoryComboBox, ADamagedCountRaisesTheConversionErrorFromTheLoad)
{
    const TempFolder folder;
    const std::string file = folder.file("hist.ini");
    const std::string conversionError = raisedBy([] { StrToInt("zwei"); });
    writeFile(file, "[Combo1]\nHistoryCount=zwei\nHistory0=a\n");
    const Properties names = [&](THistoryComboBox& box) { box.SetSaveFileName(file); };
    // The control goes with the form that failed; the history it could not
    // read stays in the file for whoever mends it.
    EXPECT_EQ(raisedBy([&] { readFromForm(names); }), conversionError) << "to whoever reads the form";
    EXPECT_EQ(testfiles::readFile(file), "[Combo1]\nHistoryCount=zwei\nHistory0=a\n");
    THistoryComboBox box;
    box.SetName("Combo1");
    names(box);
    EXPECT_EQ(raisedBy([&] { box.LoadFromFile(); }), conversionError);
    EXPECT_TRUE(entries(box).empty());

    // Entries missing below the count are left out, however far it reaches.
    const std::vector<std::pair<std::string, Entries>> sections = {
        {"HistoryCount=2000000000\nHistory0=a\nHistory2=c\nHistory02=x\nHistory1999999999=z\n", {"a", "c", "z"}},
        {"HistoryCount=3\nHistory2=c\nHistory1=\nHistory3=beyond\n", {"", "c"}},
    };
    for (const auto& [section, read] : sections) {
        writeFile(file, "[Combo1]\n" + section);
        box.Items().Clear();
        box.LoadFromFile();
        EXPECT_EQ(entries(box), read) << section;
    }

    // The registry's count is an integer value: one that is no integer reads as none.
    const testfiles::EnvOverride config("XDG_CONFIG_HOME", folder.file("config"));
    TRegistryIniFile("Software\\Pictal").WriteString("Combo1", "HistoryCount", "zwei");
    TRegistryIniFile("Software\\Pictal").WriteString("Combo1", "History0", "a");
    box.Items().Clear();
    box.LoadFromRegistry("Software\\Pictal");
    EXPECT_TRUE(entries(box).empty());
}

TEST(THistoryComboBox, ARefusedSaveRaisesFromAnExplicitCallKeepsTheStoredHistoryAndIsOnlyShownFromTheDestructor)
{
    TApplication application;
    const TempFolder folder;
    writeFile(folder.file("config"), "");  // the registry store cannot make its folders below a file
    const testfiles::EnvOverride config("XDG_CONFIG_HOME", folder.file("config"));
    const std::vector<std::pair<Properties, std::function<bool(THistoryComboBox&)>>> stores = {
        {[&](THistoryComboBox& box) { box.SetSaveFileName(folder.file("missing/hist")); },
         [](THistoryComboBox& box) { return box.SaveToFile(); }},
        {[](THistoryComboBox& box) { box.SetSaveKeyName("Software\\Pictal"); },
         [](THistoryComboBox& box) { return box.SaveToRegistry(); }},
    };
    for (const auto& [names, save] : stores) {
        auto box = readFromForm(names);
        box->AddText("kept");
        EXPECT_THROW(save(*box), Exception);
        Entries shown;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.push_back(message->text().toStdString());
                message->accept();
            }
        });
        answer.start(10);
        box.reset();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find("に書き込めません"), std::string::npos) << shown[0];
    }

    // An entry with a line break (pasted, say) cannot be stored: the history
    // stored before is neither erased nor cut short.
    const std::string file = folder.file("hist.ini");
    const std::string before = "[Combo1]\nHistoryCount=2\nHistory0=old\nHistory1=older\n";
    writeFile(file, before);
    THistoryComboBox box;
    box.SetName("Combo1");
    for (const char* text : {"two\nlines", "first"})
        box.AddText(text);
    EXPECT_THROW(box.SaveToFile(file), Exception);
    EXPECT_EQ(testfiles::readFile(file), before);
}
