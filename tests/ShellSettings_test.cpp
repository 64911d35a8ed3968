// The shell flag state: hidden entries follow the desktop's file chooser
// setting when its schema is installed, and stay hidden otherwise.
//
// GLib reads the installed schemas once per process, so every case asks in a
// child process of its own (a death-test child) whose environment points
// GLib at a schema folder the test builds, or at empty folders: GLib's own
// GSETTINGS_SCHEMA_DIR, XDG_DATA_DIRS and XDG_DATA_HOME choose where schemas
// are looked for, and GSETTINGS_BACKEND=memory keeps the user's stored
// settings out of the tests.
#include "ShellSettings.h"
#include "TestFiles.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char* const kSchemaId = "org.gtk.Settings.FileChooser";

// The flag state as the one word the folder controls keep.
std::uint32_t word(const SHELLFLAGSTATE& state)
{
    std::uint32_t value = 0;
    std::memcpy(&value, &state, sizeof value);
    return value;
}

SHELLFLAGSTATE fromWord(std::uint32_t value)
{
    SHELLFLAGSTATE state;
    std::memcpy(&state, &value, sizeof state);
    return state;
}

class ShellSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_TRUE(m_dir.valid());
        std::filesystem::create_directory(m_dir.file("data"));
        std::filesystem::create_directory(m_dir.file("home"));
        std::filesystem::create_directory(m_dir.file("schemas"));
    }

    // Points GLib at the test's folders only; schemas: whether the schema
    // folder is used.
    void isolate(bool schemas) const
    {
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(m_dir.file("data")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_dir.file("home")));
        qputenv("GSETTINGS_BACKEND", "memory");
        if (schemas)
            qputenv("GSETTINGS_SCHEMA_DIR", QByteArray::fromStdString(m_dir.file("schemas")));
        else
            qunsetenv("GSETTINGS_SCHEMA_DIR");
    }

    // Installs a schema with the file chooser's id holding keyXml, compiled
    // by GLib's schema compiler; false when the compiler is missing.
    bool installSchema(const std::string& keyXml) const
    {
        const QString compiler = QStandardPaths::findExecutable("glib-compile-schemas");
        if (compiler.isEmpty())
            return false;
        testfiles::writeFile(m_dir.file("schemas/") + kSchemaId + ".gschema.xml",
                             std::string("<schemalist><schema id=\"") + kSchemaId +
                                 "\" path=\"/org/gtk/settings/file-chooser/\">" + keyXml + "</schema></schemalist>");
        QProcess process;
        process.start(compiler, {QString::fromStdString(m_dir.file("schemas"))});
        return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    // Asks for mask with the state preset to before and ends the (child)
    // process with the low 8 bits of the result as its exit code: bits 0, 1
    // and 3 live there. The child's own temporary folder is removed first,
    // as exiting skips its destructor.
    [[noreturn]] void askAndExit(DWORD mask, std::uint32_t before) const
    {
        SHELLFLAGSTATE state = fromWord(before);
        SHGetSettings(&state, mask);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir.path(), ignored);
        std::exit(int(word(state) & 0xFF));
    }

    testfiles::TempFolder m_dir;
};

constexpr DWORD kAll = SSF_SHOWALLOBJECTS | SSF_SHOWEXTENSIONS | SSF_SHOWSYSFILES;

TEST_F(ShellSettings, HidesHiddenEntriesWhenNoSchemaIsInstalled)
{
    // Preset: fShowAllObjects (1), fNoConfirmRecycle (4), fShowSysFiles (8).
    // The asked flags are cleared or set; fNoConfirmRecycle is not asked.
    EXPECT_EXIT((isolate(false), askAndExit(kAll, 0x0D)), ::testing::ExitedWithCode(0x06), "");
    EXPECT_EXIT((isolate(false), askAndExit(SSF_SHOWSYSFILES, 0x08)), ::testing::ExitedWithCode(0x00), "");
}

TEST_F(ShellSettings, FollowsTheFileChooserSetting)
{
    if (!installSchema("<key name=\"show-hidden\" type=\"b\"><default>true</default></key>"))
        GTEST_SKIP() << "glib-compile-schemas is not available";
    EXPECT_EXIT((isolate(true), askAndExit(SSF_SHOWSYSFILES, 0)), ::testing::ExitedWithCode(0x08), "");
    EXPECT_EXIT((isolate(true), askAndExit(kAll, 0)), ::testing::ExitedWithCode(0x0B), "");
    EXPECT_EXIT((isolate(true), askAndExit(SSF_SHOWEXTENSIONS, 0)), ::testing::ExitedWithCode(0x02), "");
}

TEST_F(ShellSettings, ReportsTheSettingTurnedOff)
{
    if (!installSchema("<key name=\"show-hidden\" type=\"b\"><default>false</default></key>"))
        GTEST_SKIP() << "glib-compile-schemas is not available";
    EXPECT_EXIT((isolate(true), askAndExit(kAll, 0x09)), ::testing::ExitedWithCode(0x02), "");
}

TEST_F(ShellSettings, IgnoresASchemaWithoutAUsableKey)
{
    // GSettings would abort on a missing key or a value of another type.
    if (!installSchema("<key name=\"show-hidden\" type=\"s\"><default>'yes'</default></key>"))
        GTEST_SKIP() << "glib-compile-schemas is not available";
    EXPECT_EXIT((isolate(true), askAndExit(kAll, 0x09)), ::testing::ExitedWithCode(0x02), "");

    ASSERT_TRUE(installSchema("<key name=\"sort-column\" type=\"s\"><default>'name'</default></key>"));
    EXPECT_EXIT((isolate(true), askAndExit(kAll, 0x09)), ::testing::ExitedWithCode(0x02), "");
}

TEST_F(ShellSettings, MatchesTheInstalledDesktopSetting)
{
    // The user's own environment, untouched: only where GTK's schema is
    // installed on this machine.
    QProcess list;
    list.start("gsettings", {"get", kSchemaId, "show-hidden"});
    if (!list.waitForFinished(-1) || list.exitStatus() != QProcess::NormalExit || list.exitCode() != 0)
        GTEST_SKIP() << "GTK's file chooser schema is not installed";
    const QByteArray value = list.readAllStandardOutput().trimmed();
    ASSERT_TRUE(value == "true" || value == "false") << value.toStdString();
    const int expected = value == "true" ? 0x0B : 0x02;
    EXPECT_EXIT(askAndExit(kAll, 0), ::testing::ExitedWithCode(expected), "");
}

TEST_F(ShellSettings, IgnoresANullState)
{
    SHGetSettings(nullptr, kAll);  // must return quietly
    SHELLFLAGSTATE state = fromWord(0x05);
    SHGetSettings(&state, 0);
    EXPECT_EQ(word(state), 0x05u);
}

}  // namespace
