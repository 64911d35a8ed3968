#include "LastError.h"
#include "Modules.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

namespace {

using EntryPoint = int (*)(int);

std::string programFolder()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toStdString();
}

std::string currentFolder()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

}  // namespace

TEST(Modules, LoadsAModuleByItsWindowsNameFromTheProgramFolder)
{
    HMODULE module = LoadLibraryA("TestModule.DLL");
    ASSERT_NE(module, nullptr) << LastModuleError();
    EXPECT_EQ(GetModuleFileNameA(module), programFolder() + "/TestModule.so");

    auto twicePlusOne = reinterpret_cast<EntryPoint>(GetProcAddress(module, "PictalTestModuleTwicePlusOne"));
    ASSERT_NE(twicePlusOne, nullptr);
    EXPECT_EQ(twicePlusOne(20), 41);

    EXPECT_EQ(GetProcAddress(module, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_FALSE(LastModuleError().empty());

    // A second load by path (any case of the suffix) is the same module.
    HMODULE again = LoadLibraryA(programFolder() + "/TestModule.dll");
    EXPECT_EQ(again, module);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    // Released, but never unmapped.
    const std::string file = programFolder() + "/TestModule.so";
    void* stillLoaded = ::dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(stillLoaded, nullptr);
    if (stillLoaded)
        ::dlclose(stillLoaded);
}

TEST(Modules, RelativePathIsTakenFromTheWorkingFolder)
{
    const std::string previous = currentFolder();
    ASSERT_EQ(::chdir(programFolder().c_str()), 0);
    HMODULE module = LoadLibraryA("./TestModule.Dll");
    ASSERT_EQ(::chdir(previous.c_str()), 0);
    ASSERT_NE(module, nullptr) << LastModuleError();
    // Still the right file after the working folder changed.
    EXPECT_EQ(GetFullPathNameA(GetModuleFileNameA(module)), programFolder() + "/TestModule.so");
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(Modules, MissingModulesAndUnknownHandlesFailQuietly)
{
    EXPECT_EQ(LoadLibraryA("NoSuchModule.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_NE(LastModuleError().find("NoSuchModule.so"), std::string::npos) << LastModuleError();
    EXPECT_EQ(LoadLibraryA(""), nullptr);

    // Something that is no module at all.
    testfiles::TempFolder folder;
    testfiles::writeFile(folder.file("Broken.dll"), "not a shared object");
    EXPECT_EQ(LoadLibraryA(folder.file("Broken.dll")), nullptr);

    int notAModuleAtAll = 0;
    const HMODULE notAModule = reinterpret_cast<HMODULE>(&notAModuleAtAll);
    EXPECT_EQ(GetProcAddress(nullptr, "PictalTestModuleTwicePlusOne"), nullptr);
    EXPECT_EQ(GetProcAddress(notAModule, "PictalTestModuleTwicePlusOne"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetModuleFileNameA(notAModule), "");
    EXPECT_FALSE(FreeLibrary(notAModule));
}

TEST(Modules, ProgramFileName)
{
    EXPECT_EQ(GetModuleFileNameA(), QCoreApplication::applicationFilePath().toStdString());
    EXPECT_EQ(GetModuleFileNameA(nullptr).substr(GetModuleFileNameA(nullptr).rfind('/')), "/test_Modules");
}

TEST(Modules, GetFullPathNameA)
{
    EXPECT_EQ(GetFullPathNameA("/"), "/");
    EXPECT_EQ(GetFullPathNameA("/photos/2024/../2023/./a.jpg"), "/photos/2023/a.jpg");
    EXPECT_EQ(GetFullPathNameA("//photos///a.jpg"), "/photos/a.jpg");
    EXPECT_EQ(GetFullPathNameA("/photos/"), "/photos");
    EXPECT_EQ(GetFullPathNameA("/../../a"), "/a");
    EXPECT_EQ(GetFullPathNameA("/a/.."), "/");
    EXPECT_EQ(GetFullPathNameA("/写真/./旅行/.."), "/写真");

    const std::string cwd = currentFolder();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(GetFullPathNameA("a.jpg"), cwd + "/a.jpg");
    EXPECT_EQ(GetFullPathNameA("."), cwd);
    EXPECT_EQ(GetFullPathNameA("sub/../b.jpg"), cwd + "/b.jpg");

    EXPECT_EQ(GetFullPathNameA(""), "");
    EXPECT_EQ(GetFullPathNameA(std::string("/a\0b", 4)), "");
}
