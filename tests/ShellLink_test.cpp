// Shortcuts (symbolic links) resolved through CoCreateInstance, IPersistFile
// and IShellLinkA on a temporary folder tree.
#include "ShellLink.h"
#include "ShellRefs.h"
#include "TestFiles.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using shelltest::wide;

void makeLink(const std::string& target, const std::string& link)
{
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
}

struct Resolution {
    HRESULT load = E_FAIL;
    HRESULT getPath = E_FAIL;
    std::string path;
    WIN32_FIND_DATAA find;
};

// The shortcut resolution as the folder controls do it: create, ask for the
// persist interface, load, get the path, release both.
Resolution resolve(const std::string& linkPath, int bufferSize = 4096)
{
    Resolution result;
    IShellLinkA* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&rawLink))))
        return result;
    ShellRef<IShellLinkA> link(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile))))
        return result;
    ShellRef<IPersistFile> file(rawFile);
    result.load = file->Load(wide(linkPath).c_str(), STGM_READ);
    std::string buffer(std::size_t(bufferSize), 'x');
    result.getPath = link->GetPath(buffer.data(), bufferSize, &result.find, SLGP_UNCPRIORITY);
    result.path = buffer.c_str();
    return result;
}

class ShellLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.valid());
        m_liveObjects = ShellLiveObjects();
        m_liveBlocks = CoTaskMemLiveBlocks();
        fs::create_directory(m_dir.file("photos"));
        fs::create_directory(m_dir.file("photos/2023"));
        testfiles::writeFile(m_dir.file("photos/cat.jpg"), "12345");
    }
    void TearDown() override
    {
        EXPECT_EQ(ShellLiveObjects(), m_liveObjects);
        EXPECT_EQ(CoTaskMemLiveBlocks(), m_liveBlocks);
    }
    std::string path(const std::string& name) const { return m_dir.file(name); }

    testfiles::TempFolder m_dir;
    std::size_t m_liveObjects = 0;
    std::size_t m_liveBlocks = 0;
};

TEST_F(ShellLink, ResolvesLinksToFoldersAndFiles)
{
    makeLink(path("photos"), path("toFolder"));             // absolute target
    makeLink("photos/cat.jpg", path("toFile"));              // relative target
    makeLink("../cat.jpg", path("photos/2023/up"));          // relative, climbing
    makeLink("./photos/2023/", path("dotted"));              // "." and a trailing slash

    Resolution folder = resolve(path("toFolder"));
    EXPECT_EQ(folder.load, S_OK);
    EXPECT_EQ(folder.getPath, S_OK);
    EXPECT_EQ(folder.path, path("photos"));
    EXPECT_EQ(folder.find.cFileName, "photos");
    EXPECT_TRUE(folder.find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);

    Resolution file = resolve(path("toFile"));
    EXPECT_EQ(file.getPath, S_OK);
    EXPECT_EQ(file.path, path("photos/cat.jpg"));
    EXPECT_EQ(file.find.cFileName, "cat.jpg");
    EXPECT_EQ(file.find.nFileSizeLow, 5u);

    // A climbing target is resolved as the system resolves it, so it is
    // compared with the real path of the temporary folder.
    EXPECT_EQ(resolve(path("photos/2023/up")).path, fs::canonical(path("photos/cat.jpg")).string());
    EXPECT_EQ(resolve(path("dotted")).path, path("photos/2023"));
}

TEST_F(ShellLink, ResolvesOneLevelOnly)
{
    makeLink("photos", path("first"));
    makeLink("first", path("second"));
    // The target of a link to a link is the first link, as a shortcut to a
    // shortcut names the shortcut.
    EXPECT_EQ(resolve(path("second")).path, path("first"));
}

TEST_F(ShellLink, ClimbsFromTheFolderALinkedFolderLeadsTo)
{
    // view -> photos/2023; view/up -> "../cat.jpg". The system follows
    // view first, so ".." is photos, not the temporary folder.
    makeLink(path("photos/2023"), path("view"));
    makeLink("../cat.jpg", path("photos/2023/up"));
    const Resolution r = resolve(path("view/up"));
    EXPECT_EQ(r.getPath, S_OK);
    EXPECT_TRUE(fs::equivalent(r.path, path("photos/cat.jpg"))) << r.path;
    EXPECT_EQ(r.find.nFileSizeLow, 5u);
}

TEST_F(ShellLink, GivesTheTargetOfADanglingLink)
{
    makeLink("gone/missing.png", path("dangling"));
    const Resolution r = resolve(path("dangling"));
    EXPECT_EQ(r.load, S_OK);
    EXPECT_EQ(r.getPath, S_OK);
    EXPECT_EQ(r.path, path("gone/missing.png"));
    EXPECT_TRUE(r.find.cFileName.empty());
    EXPECT_EQ(r.find.dwFileAttributes, 0u);
}

TEST_F(ShellLink, KeepsNonAsciiNames)
{
    fs::create_directory(path("写真"));
    makeLink("写真", path("リンク"));
    const Resolution r = resolve(path("リンク"));
    EXPECT_EQ(r.getPath, S_OK);
    EXPECT_EQ(r.path, path("写真"));
}

TEST_F(ShellLink, RefusesWhatIsNotALink)
{
    for (const std::string& name : {path("photos/cat.jpg"), path("photos"), path("absent"), std::string()}) {
        const Resolution r = resolve(name);
        EXPECT_EQ(r.load, E_FAIL) << name;
        EXPECT_TRUE(FAILED(r.getPath)) << name;
        EXPECT_EQ(r.path, "") << name;
    }

    IPersistFile* raw = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistFile,
                               reinterpret_cast<void**>(&raw)),
              S_OK);
    ShellRef<IPersistFile> file(raw);
    EXPECT_EQ(file->Load(nullptr, STGM_READ), E_INVALIDARG);
}

TEST_F(ShellLink, FailedLoadForgetsTheEarlierTarget)
{
    makeLink("photos", path("toFolder"));
    IShellLinkA* rawLink = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&rawLink)),
              S_OK);
    ShellRef<IShellLinkA> link(rawLink);
    IPersistFile* rawFile = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)), S_OK);
    ShellRef<IPersistFile> file(rawFile);

    char buffer[4096];
    EXPECT_EQ(link->GetPath(buffer, sizeof buffer, nullptr, 0), E_FAIL);  // nothing loaded yet
    ASSERT_EQ(file->Load(wide(path("toFolder")).c_str(), STGM_READ), S_OK);
    ASSERT_EQ(link->GetPath(buffer, sizeof buffer, nullptr, 0), S_OK);

    LPOLESTR current = nullptr;
    ASSERT_EQ(file->GetCurFile(&current), S_OK);
    EXPECT_EQ(std::u16string(current), wide(path("toFolder")));
    CoTaskMemFree(current);

    EXPECT_EQ(file->Load(wide(path("photos")).c_str(), STGM_READ), E_FAIL);
    EXPECT_EQ(link->GetPath(buffer, sizeof buffer, nullptr, 0), E_FAIL);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(file->GetCurFile(&current), E_FAIL);
    EXPECT_EQ(current, nullptr);
}

TEST_F(ShellLink, RefusesABufferThePathDoesNotFit)
{
    makeLink("photos", path("toFolder"));
    const std::string target = path("photos");
    const int fits = int(target.size()) + 1;

    const Resolution exact = resolve(path("toFolder"), fits);
    EXPECT_EQ(exact.getPath, S_OK);
    EXPECT_EQ(exact.path, target);

    const Resolution shortBuffer = resolve(path("toFolder"), fits - 1);
    EXPECT_EQ(shortBuffer.getPath, static_cast<HRESULT>(0x8007007Au));
    EXPECT_EQ(shortBuffer.path, "");

    EXPECT_EQ(resolve(path("toFolder"), 0).getPath, E_INVALIDARG);
}

TEST_F(ShellLink, CreationAndInterfaces)
{
    void* object = &object;
    EXPECT_EQ(CoCreateInstance(IID_IShellFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, 0x4, IID_IShellLinkA, &object), REGDB_E_CLASSNOTREG);
    IUnknown* outer = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer)),
              S_OK);
    ShellRef<IUnknown> outerRef(outer);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, outer, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(ShellLiveObjects(), m_liveObjects + 1);  // only the one held by outerRef

    // Both interfaces are one object: references taken through either keep
    // it alive, and it goes with the last release.
    IPersistFile* file = nullptr;
    ASSERT_EQ(outer->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    IShellLinkA* link = nullptr;
    ASSERT_EQ(file->QueryInterface(IID_IShellLinkA, reinterpret_cast<void**>(&link)), S_OK);
    IUnknown* identity = nullptr;
    ASSERT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, outer);
    CLSID classId;
    EXPECT_EQ(file->GetClassID(&classId), S_OK);
    EXPECT_TRUE(classId == CLSID_ShellLink);
    EXPECT_EQ(file->QueryInterface(IID_IShellFolder, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    EXPECT_EQ(identity->Release(), 3u);
    outerRef.reset();
    EXPECT_EQ(link->Release(), 1u);
    EXPECT_EQ(ShellLiveObjects(), m_liveObjects + 1);
    EXPECT_EQ(file->Release(), 0u);
    EXPECT_EQ(ShellLiveObjects(), m_liveObjects);
}

}  // namespace
