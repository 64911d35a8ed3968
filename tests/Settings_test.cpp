#include "Exception.h"
#include "EnvOverride.h"
#include "NoNewEntries.h"
#include "Settings.h"
#include "SortingSession.h"
#include "TestFiles.h"
#include "TransferMode.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

using testfiles::exists;
using testfiles::readFile;
using testfiles::TempFolder;
using testfiles::writeFile;
using Lines = std::vector<std::string>;

namespace {

// The main window as the settings file sees it. Each assignment of the
// folder and the slot paths is recorded in order ("folder <path>",
// "slot <n> <path>").
class SettingsHost : public TSettingsHost {
public:
    int WindowTop() override { return top; }
    void SetWindowTop(int value) override { top = value; }
    int WindowLeft() override { return left; }
    void SetWindowLeft(int value) override { left = value; }
    TTransferMode& Mode() override { return mode; }
    std::string FolderName() override { return folder; }
    void SetFolderName(const std::string& value) override
    {
        calls.push_back("folder " + value);
        if (folderFails)
            throw std::runtime_error("the tree cannot select " + value);
        folder = value;
    }
    std::string SlotPath(int slot) override { return slotPaths.at(std::size_t(slot - 1)); }
    void SetSlotPath(int slot, const std::string& value) override
    {
        calls.push_back("slot " + std::to_string(slot) + " " + value);
        slotPaths.at(std::size_t(slot - 1)) = value;
    }

    int top = 0;
    int left = 0;
    TTransferMode mode;
    std::string folder;
    bool folderFails = false;
    std::array<std::string, kSlotCount> slotPaths{};
    std::vector<std::string> calls;
};

// The file's lines without the blank ones (the layout between sections is
// the profile writer's business).
Lines NonBlankLines(const std::string& text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// Every key present, the window at (top 10, left 20) in move mode.
const char* kFullFile =
    "[SET]\nM_TOP=10\nM_LEFT=20\n"
    "[SET1]\nMODE1=1\nMODE2=0\nLIST00=/old/src\n"
    "LIST01=/old/1\nLIST02=/old/2\nLIST03=/old/3\nLIST04=/old/4\nLIST05=/old/5\n"
    "LIST06=/old/6\nLIST07=/old/7\nLIST08=/old/8\nLIST09=/old/9\n";

// The message names the file, and the key and the reason when the value is
// at fault.
void ExpectRefused(const std::string& file, SettingsHost& host, const std::string& reason = {})
{
    try {
        WriteSettings(file, host);
        ADD_FAILURE() << "writing " << file << " was not refused";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), file + " に書き込めません" + (reason.empty() ? "" : ": " + reason));
    }
}

}  // namespace

TEST(Settings, RoundTripKeepsEveryValueIncludingJapanesePaths)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    SettingsHost saved;
    saved.top = -20;
    saved.left = 1930;
    saved.mode.SetCopyFlag(true);
    saved.folder = "/home/利用者/写真/2024 夏";
    saved.slotPaths[0] = "/home/利用者/振り分け/猫";
    saved.slotPaths[2] = "/mnt/外付け/";
    saved.slotPaths[8] = "/";

    WriteSettings(file, saved);

    EXPECT_EQ(NonBlankLines(readFile(file)),
              (Lines{"[SET]", "M_TOP=-20", "M_LEFT=1930", "[SET1]", "MODE1=0", "MODE2=1",
                     "LIST00=/home/利用者/写真/2024 夏", "LIST01=/home/利用者/振り分け/猫", "LIST02=",
                     "LIST03=/mnt/外付け/", "LIST04=", "LIST05=", "LIST06=", "LIST07=", "LIST08=", "LIST09=/"}));

    SettingsHost restored;
    restored.top = 5;
    restored.left = 6;
    restored.slotPaths[1] = "/was/here";  // an empty saved path empties the slot
    ReadSettings(file, restored);

    EXPECT_EQ(restored.top, -20);
    EXPECT_EQ(restored.left, 1930);
    EXPECT_FALSE(restored.mode.MoveFlag());
    EXPECT_TRUE(restored.mode.CopyFlag());
    EXPECT_EQ(restored.folder, saved.folder);
    EXPECT_EQ(restored.slotPaths, saved.slotPaths);
    // The source folder first, then the slotPaths in order.
    ASSERT_EQ(restored.calls.size(), 10u);
    EXPECT_EQ(restored.calls[0], "folder /home/利用者/写真/2024 夏");
    for (int slot = 1; slot <= kSlotCount; ++slot)
        EXPECT_EQ(restored.calls[std::size_t(slot)].rfind("slot " + std::to_string(slot) + " ", 0), 0u);
}

TEST(Settings, WritingKeepsOtherKeysAndOverwritesInPlace)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    writeFile(file, "[SET1]\r\nLIST00=/old\r\nEXTRA=kept\r\n[OTHER]\r\nK=v\r\n");
    SettingsHost host;
    host.folder = "/new";

    WriteSettings(file, host);

    const std::string text = readFile(file);
    EXPECT_EQ(NonBlankLines(text),
              (Lines{"[SET1]", "LIST00=/new", "EXTRA=kept", "MODE1=1", "MODE2=0", "LIST01=", "LIST02=", "LIST03=",
                     "LIST04=", "LIST05=", "LIST06=", "LIST07=", "LIST08=", "LIST09=", "[OTHER]", "K=v", "[SET]",
                     "M_TOP=0", "M_LEFT=0"}));
}

TEST(Settings, WindowPositionFollowsTheIntegerRules)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    writeFile(file, "[SET]\nM_TOP=0x20\nM_LEFT=abc\n");
    SettingsHost host;
    host.top = 100;
    host.left = 77;

    ReadSettings(file, host);

    EXPECT_EQ(host.top, 32);
    EXPECT_EQ(host.left, 77);
}

TEST(Settings, ModeFlagsCombine)
{
    struct Case {
        const char* keys;
        bool copyBefore;  // the mode the window had before reading
        bool move;
        bool copy;
    };
    const Case cases[] = {
        {"MODE1=1\nMODE2=1\n", false, false, true},  // the second assignment wins
        {"MODE1=0\nMODE2=0\n", false, false, false},
        {"", false, true, false},                  // missing: the current mode stays
        {"", true, false, true},
        {"MODE1=0\nMODE2=1\n", false, false, true},
        {"MODE1=1\nMODE2=0\n", true, true, false},
        {"MODE1=yes\nMODE2=-1\n", false, false, true},  // no number: default; non-zero is on
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const std::string file = dir.file("Pictal.ini");
        writeFile(file, std::string("[SET1]\n") + c.keys);
        SettingsHost host;
        host.mode.SetCopyFlag(c.copyBefore);

        ReadSettings(file, host);

        EXPECT_EQ(host.mode.MoveFlag(), c.move) << c.keys << " copy before " << c.copyBefore;
        EXPECT_EQ(host.mode.CopyFlag(), c.copy) << c.keys << " copy before " << c.copyBefore;
    }
}

TEST(Settings, AFolderThatCannotBeAppliedDoesNotStopTheSlots)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    writeFile(file, kFullFile);
    SettingsHost host;
    host.folderFails = true;

    ReadSettings(file, host);

    EXPECT_EQ(host.calls, (Lines{"folder /old/src", "slot 1 /old/1", "slot 2 /old/2", "slot 3 /old/3", "slot 4 /old/4",
                                 "slot 5 /old/5", "slot 6 /old/6", "slot 7 /old/7", "slot 8 /old/8",
                                 "slot 9 /old/9"}));
}

TEST(Settings, AMissingSlotFolderIsPassedOnAndReadingContinues)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    const std::string missing = dir.file("gone");
    writeFile(file, "[SET1]\nLIST03=" + missing + "\nLIST04=" + dir.path() + "\n");
    SettingsHost host;
    host.slotPaths[4] = "/kept";

    ReadSettings(file, host);

    EXPECT_EQ(host.slotPaths[2], missing);  // the slot decides what a missing folder means
    EXPECT_EQ(host.slotPaths[3], dir.path());
    EXPECT_EQ(host.slotPaths[4], "/kept");
    ASSERT_EQ(host.calls.size(), 10u);
    EXPECT_EQ(host.calls[3], "slot 3 " + missing);
    EXPECT_EQ(host.calls[4], "slot 4 " + dir.path());
}

TEST(Settings, AMissingFileGivesTheDefaultsAndIsNotCreated)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    SettingsHost host;
    host.top = 12;
    host.left = 34;
    host.folder = "/tree/own";
    host.slotPaths[6] = "/seven";

    ReadSettings(file, host);

    EXPECT_FALSE(exists(file));
    EXPECT_EQ(host.top, 12);
    EXPECT_EQ(host.left, 34);
    EXPECT_TRUE(host.mode.MoveFlag());
    EXPECT_FALSE(host.mode.CopyFlag());
    EXPECT_EQ(host.folder, "/tree/own");
    EXPECT_EQ(host.calls.front(), "folder /tree/own");
    EXPECT_EQ(host.calls[7], "slot 7 /seven");
}

TEST(Settings, AReadOnlyFileIsRefusedAndKeptThenTheNextCloseTriesAgain)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    writeFile(file, kFullFile);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    SettingsHost host;
    host.top = 99;
    host.folder = "/new/src";

    ExpectRefused(file, host);
    EXPECT_EQ(readFile(file), kFullFile);

    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    WriteSettings(file, host);
    const Lines lines = NonBlankLines(readFile(file));
    EXPECT_EQ(lines[1], "M_TOP=99");
    EXPECT_EQ(lines[6], "LIST00=/new/src");
}

TEST(Settings, AFolderInPlaceOfTheFileIsRefused)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    ASSERT_EQ(::mkdir(file.c_str(), 0755), 0);
    SettingsHost host;

    ExpectRefused(file, host);

    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(Settings, KeysAfterARefusedOneAreNotWritten)
{
    TempFolder dir;
    const std::string file = dir.file("Pictal.ini");
    writeFile(file, kFullFile);
    SettingsHost host;
    host.top = 1;
    host.left = 2;
    host.folder = "/new/src";
    for (int slot = 1; slot <= kSlotCount; ++slot)
        host.slotPaths[std::size_t(slot - 1)] = "/new/" + std::to_string(slot);
    host.slotPaths[2] = "/new/two\nlines";  // a folder name the file cannot hold on one line

    ExpectRefused(file, host, "[SET1] LIST03 の値に改行が含まれています");

    EXPECT_EQ(NonBlankLines(readFile(file)),
              (Lines{"[SET]", "M_TOP=1", "M_LEFT=2", "[SET1]", "MODE1=1", "MODE2=0", "LIST00=/new/src",
                     "LIST01=/new/1", "LIST02=/new/2", "LIST03=/old/3", "LIST04=/old/4", "LIST05=/old/5",
                     "LIST06=/old/6", "LIST07=/old/7", "LIST08=/old/8", "LIST09=/old/9"}));
}

TEST(Settings, TheFileLivesBesideTheExecutableUnlessThatFolderTakesNoFile)
{
    const std::string expected = QCoreApplication::applicationDirPath().toStdString() + "/Pictal.ini";
    EXPECT_EQ(SettingsFilePath(), expected) << "a build folder takes the file";

    // An installed program: its folder takes no new file, so the user's
    // configuration folder does, made on the way.
    TempFolder program, home, kept;
    ASSERT_EQ(::chmod(home.path().c_str(), 0777), 0);
    testfiles::EnvOverride config("XDG_CONFIG_HOME", home.path() + "/config");
    writeFile(kept.file("Pictal.ini"), "[SET]\n");
    ASSERT_EQ(::chmod(kept.file("Pictal.ini").c_str(), 0666), 0);
    {
        testfiles::NoNewEntries closed(program.path());
        ASSERT_TRUE(closed.ok());
        EXPECT_EQ(SettingsFilePathFor(program.path()), home.path() + "/config/Pictal/Pictal.ini");
        struct stat st;
        EXPECT_EQ(::stat((home.path() + "/config/Pictal").c_str(), &st), 0);
    }
    {
        // A file already there that may be written stays where it is.
        testfiles::NoNewEntries closed(kept.path());
        ASSERT_TRUE(closed.ok());
        EXPECT_EQ(SettingsFilePathFor(kept.path()), kept.file("Pictal.ini"));
    }
    EXPECT_EQ(SettingsFilePathFor(program.path()), program.file("Pictal.ini"));
}
