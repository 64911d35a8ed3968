#include "Exception.h"
#include "RegistryIniFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <algorithm>
#include <sys/stat.h>

using testfiles::exists;
using testfiles::readFile;
using testfiles::writeFile;

namespace {

// Points the XDG configuration folder at a temporary folder for one test and
// restores the caller's setting afterwards.
class TRegistryIniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        savedConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
    }
    void TearDown() override
    {
        if (hadConfigHome)
            qputenv("XDG_CONFIG_HOME", savedConfigHome);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    // Every file below the temporary folder, as paths relative to it.
    std::vector<std::string> FilesBelowRoot() const
    {
        std::vector<std::string> files;
        QDirIterator it(QString::fromStdString(root.path()), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files.push_back(it.next().mid(static_cast<qsizetype>(root.path().size()) + 1).toStdString());
        std::sort(files.begin(), files.end());
        return files;
    }

    testfiles::TempFolder root;
    std::string config = root.file("config");
    std::string store = config + "/Pictal/registry";
    bool hadConfigHome = false;
    QByteArray savedConfigHome;
};

}  // namespace

TEST_F(TRegistryIniFileTest, ValuesRoundTripThroughTheKeyFile)
{
    {
        TRegistryIniFile reg("Software\\Pictal\\History\\");
        EXPECT_EQ(reg.ReadInteger("Combo1", "HistoryCount", 0), 0);
        EXPECT_FALSE(exists(config));  // reading creates nothing
        reg.WriteInteger("Combo1", "HistoryCount", 2);
        reg.WriteString("Combo1", "History0", "/home/ユーザー/画像");
        reg.WriteString("Combo1", "History1", "");
        reg.WriteBool("Other", "Flag", true);
        EXPECT_EQ(reg.FileName(), "Software\\Pictal\\History\\");
    }
    const std::string file = store + "/Software/Pictal/History.ini";
    EXPECT_EQ(readFile(file),
              "[Combo1]\nHistoryCount=2\nHistory0=/home/ユーザー/画像\nHistory1=\n\n[Other]\nFlag=1\n");

    // The same key without the trailing "\" is the same store.
    TRegistryIniFile reg("Software\\Pictal\\History");
    EXPECT_EQ(reg.ReadInteger("combo1", "historycount", 0), 2);
    EXPECT_EQ(reg.ReadString("Combo1", "History0", ""), "/home/ユーザー/画像");
    EXPECT_TRUE(reg.ReadBool("Other", "Flag", false));
    EXPECT_TRUE(reg.ValueExists("Combo1", "History1"));
    std::vector<std::string> list;
    reg.ReadSection("Combo1", list);
    EXPECT_EQ(list, (std::vector<std::string>{"HistoryCount", "History0", "History1"}));
    reg.ReadSections(list);
    EXPECT_EQ(list, (std::vector<std::string>{"Combo1", "Other"}));

    reg.EraseSection("COMBO1");
    EXPECT_FALSE(reg.SectionExists("Combo1"));
    reg.DeleteKey("Other", "flag");
    EXPECT_FALSE(reg.ValueExists("Other", "Flag"));
    EXPECT_EQ(readFile(file), "[Other]\n");  // the subkey stays, empty
}

TEST_F(TRegistryIniFileTest, HostileKeysStayInsideTheStoreAndApart)
{
    const char* keys[] = {"..\\..\\x", "..", ".", "", "\\", "a/b\\c", "a\\b\\c",
                          "a\\\\c", "a\\%\\c", "a.ini\\c", "a", "%2E"};
    for (size_t i = 0; i < std::size(keys); ++i) {
        TRegistryIniFile reg(keys[i]);
        reg.WriteInteger("S", "i", static_cast<int>(i));
    }
    for (size_t i = 0; i < std::size(keys); ++i) {
        TRegistryIniFile reg(keys[i]);
        // "" and "\" are both the user's root
        const int expected = i == 3 ? 4 : static_cast<int>(i);
        EXPECT_EQ(reg.ReadInteger("S", "i", -1), expected) << keys[i];
    }
    const std::vector<std::string> files = FilesBelowRoot();
    EXPECT_EQ(files.size(), std::size(keys) - 1);
    for (const std::string& f : files)
        EXPECT_EQ(f.rfind("config/Pictal/registry/", 0), 0u) << f;
    EXPECT_TRUE(exists(store + "/%2E%2E/%2E%2E/x.ini"));
    EXPECT_TRUE(exists(store + "/a%2Fb/c.ini"));
    EXPECT_TRUE(exists(store + "/a/%/c.ini"));
    EXPECT_TRUE(exists(store + "/.ini"));
}

TEST_F(TRegistryIniFileTest, RefusedWritesNameTheKeyFile)
{
    // The store folder is taken by a plain file: no key can be created.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(config + "/Pictal")));
    writeFile(store, "not a folder");
    TRegistryIniFile blocked("Software\\Pictal");
    try {
        blocked.WriteString("S", "k", "v");
        ADD_FAILURE() << "write was not refused";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), store + "/Software/Pictal.ini に書き込めません");
    }
    EXPECT_EQ(readFile(store), "not a folder");
    EXPECT_EQ(blocked.ReadString("S", "k", "d"), "d");

    // A read-only key file.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(store)));
    TRegistryIniFile reg("Software\\Pictal");
    reg.WriteString("S", "k", "v");
    const std::string file = store + "/Software/Pictal.ini";
    ::chmod(file.c_str(), 0444);
    try {
        reg.WriteString("S", "k", "w");
        ADD_FAILURE() << "write was not refused";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), file + " に書き込めません");
    }
    EXPECT_EQ(reg.ReadString("S", "k", ""), "v");
}
