#include "Modules.h"
#include "TestFiles.h"
#include "VersionInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <elf.h>
#include <string>
#include <vector>

namespace {

// A module built beside this test executable.
std::string moduleBeside(const std::string& name)
{
    std::string program = GetModuleFileNameA();
    return program.substr(0, program.rfind('/') + 1) + name;
}

std::string versionText(DWORD ms, DWORD ls)
{
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
           std::to_string(ls & 0xFFFF);
}

const std::string kProjectVersion = std::to_string(PICTAL_VERSION_MAJOR) + "." +
                                    std::to_string(PICTAL_VERSION_MINOR) + "." +
                                    std::to_string(PICTAL_VERSION_PATCH) + "." + std::to_string(PICTAL_VERSION_TWEAK);

std::vector<char> versionBlock(const std::string& file)
{
    DWORD handle = 77;
    const DWORD size = GetFileVersionInfoSizeA(file, &handle);
    EXPECT_EQ(handle, 0u);
    if (size == 0)
        return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file, handle, size, block.data()))
        return {};
    return block;
}

std::string queryText(const std::vector<char>& block, const std::string& subBlock)
{
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), subBlock, &value, &length))
        return "<absent>";
    EXPECT_EQ(length, std::strlen(static_cast<const char*>(value)) + 1);
    return static_cast<const char*>(value);
}

// Whether GetFileVersionInfoSizeA finds no record, and the copy fails too.
bool hasNoRecord(const std::string& file)
{
    DWORD handle = 0;
    char block[1024];
    return GetFileVersionInfoSizeA(file, &handle) == 0 && !GetFileVersionInfoA(file, 0, sizeof block, block);
}

// A copy of a built module with `patch` applied to its bytes.
template <typename Patch>
std::string patchedCopy(const testfiles::TempFolder& folder, const std::string& name, Patch patch)
{
    std::string bytes = testfiles::readFile(moduleBeside("Vx7Com.so"));
    patch(bytes);
    const std::string path = folder.file(name);
    testfiles::writeFile(path, bytes);
    return path;
}

}  // namespace

TEST(VersionInfo, ModulesCarryTheProjectsVersion)
{
    for (const char* name : {"Vx7Com.so", "Vx7File.so", "Vx7Effect.so", "Vx7VectCom.so"}) {
        SCOPED_TRACE(name);
        const std::vector<char> block = versionBlock(moduleBeside(name));
        ASSERT_FALSE(block.empty());

        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(versionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS), kProjectVersion);
        EXPECT_EQ(versionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS), kProjectVersion);

        ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
        ASSERT_EQ(length, 4u);
        DWORD translation = 0;
        std::memcpy(&translation, value, sizeof translation);
        char table[9];
        std::snprintf(table, sizeof table, "%04X%04X", translation & 0xFFFF, translation >> 16);

        const std::string strings = std::string("\\StringFileInfo\\") + table + "\\";
        EXPECT_EQ(queryText(block, strings + "FileVersion"), kProjectVersion);
        EXPECT_EQ(queryText(block, strings + "ProductVersion"), kProjectVersion);
        // Doubled separators count as one, names ignore letter case.
        EXPECT_EQ(queryText(block, "\\" + strings + "fileversion"), kProjectVersion);
        // Another translation, another name or a partial path finds nothing.
        EXPECT_EQ(queryText(block, "\\StringFileInfo\\041104B0\\FileVersion"), "<absent>");
        EXPECT_EQ(queryText(block, strings + "CompanyName"), "<absent>");
        EXPECT_EQ(queryText(block, "\\StringFileInfo"), "<absent>");
    }
}

TEST(VersionInfo, QueriesNeedAVersionBlock)
{
    void* value = &value;
    UINT length = 5;
    const std::vector<char> notABlock(512, '\0');
    EXPECT_FALSE(VerQueryValueA(notABlock.data(), "\\", &value, &length));
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &value, &length));

    const std::string module = moduleBeside("Vx7Com.so");
    const DWORD size = GetFileVersionInfoSizeA(module, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> small(size - 1);
    EXPECT_FALSE(GetFileVersionInfoA(module, 0, size - 1, small.data())) << "a buffer too small is refused";
    EXPECT_FALSE(GetFileVersionInfoA(module, 0, size, nullptr));
}

TEST(VersionInfo, FilesWithoutARecordGiveNothing)
{
    testfiles::TempFolder folder;
    // ELF files without the section: the test program and the platform library.
    EXPECT_TRUE(hasNoRecord(GetModuleFileNameA()));
    EXPECT_TRUE(hasNoRecord(moduleBeside("libpictal_platform.so")));
    // Missing, empty, a folder, not ELF.
    EXPECT_TRUE(hasNoRecord(folder.file("Vx7Missing.so")));
    testfiles::writeFile(folder.file("empty.so"), "");
    EXPECT_TRUE(hasNoRecord(folder.file("empty.so")));
    EXPECT_TRUE(hasNoRecord(folder.path()));
    testfiles::writeFile(folder.file("text.so"), std::string(4096, 'x'));
    EXPECT_TRUE(hasNoRecord(folder.file("text.so")));
}

TEST(VersionInfo, DamagedModulesGiveNothing)
{
    testfiles::TempFolder folder;
    // The untouched copy still has its record: the damage below is what removes it.
    ASSERT_FALSE(hasNoRecord(patchedCopy(folder, "copy.so", [](std::string&) {})));

    Elf64_Ehdr header{};
    std::memcpy(&header, testfiles::readFile(moduleBeside("Vx7Com.so")).data(), sizeof header);
    auto setHeader = [](std::string& bytes, const Elf64_Ehdr& h) { std::memcpy(bytes.data(), &h, sizeof h); };

    // Cut short: the section headers lie at the end of the file.
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "half.so", [](std::string& b) { b.resize(b.size() / 2); })));
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "last.so", [](std::string& b) { b.pop_back(); })));
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "header.so", [](std::string& b) { b.resize(40); })));

    Elf64_Ehdr h = header;
    h.e_shoff = ~Elf64_Off{0} - 8;  // offset + table size overflows
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "shoff.so", [&](std::string& b) { setHeader(b, h); })));
    h = header;
    h.e_shstrndx = h.e_shnum;
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "shstrndx.so", [&](std::string& b) { setHeader(b, h); })));
    h = header;
    h.e_shentsize = 10;
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "shentsize.so", [&](std::string& b) { setHeader(b, h); })));
    h = header;
    h.e_ident[EI_CLASS] = ELFCLASS32;
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "class.so", [&](std::string& b) { setHeader(b, h); })));

    // Every section pointing outside the file, or the record's magic spoilt.
    auto eachSection = [&](std::string& b, auto change) {
        for (unsigned i = 0; i < header.e_shnum; ++i) {
            Elf64_Shdr s{};
            std::memcpy(&s, b.data() + header.e_shoff + i * sizeof s, sizeof s);
            change(s);
            std::memcpy(b.data() + header.e_shoff + i * sizeof s, &s, sizeof s);
        }
    };
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "far.so", [&](std::string& b) {
        eachSection(b, [](Elf64_Shdr& s) { s.sh_offset = ~Elf64_Off{0} - 4; });
    })));
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "names.so", [&](std::string& b) {
        eachSection(b, [](Elf64_Shdr& s) { s.sh_name = 0x7FFFFFFF; });
    })));
    EXPECT_TRUE(hasNoRecord(patchedCopy(folder, "magic.so", [&](std::string& b) {
        const auto at = b.find("PXVR");
        ASSERT_NE(at, std::string::npos);
        b[at] = 'Q';
    })));
}
