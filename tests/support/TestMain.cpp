// Entry point of every test executable: GoogleTest over a real QApplication.
// Widget tests run on Qt's offscreen platform unless the caller chose another.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Sanitizer settings live in the executables, so a test behaves the same under
// ctest and when run by hand. An impossible allocation returns null (the code
// under test must cope with that) instead of stopping the run.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:allocator_may_return_null=1";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Allocations that system libraries keep for the life of the process (Qt's
// D-Bus link, which the X11 platform opens, among them).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libQt6DBus\nleak:libglib\nleak:libgobject\n";
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the program keeps in the user's folders (the trash it puts
    // replaced files into, the dispatch log, the registry store, Qt's own
    // settings) goes to a folder of the run.
    const QTemporaryDir userData;
    qputenv("XDG_DATA_HOME", userData.filePath("data").toUtf8());
    qputenv("XDG_STATE_HOME", userData.filePath("state").toUtf8());
    qputenv("XDG_CONFIG_HOME", userData.filePath("config").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
