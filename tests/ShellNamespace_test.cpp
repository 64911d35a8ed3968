// The shell namespace over a temporary folder tree: parsing, names,
// enumeration, attributes, order, binding, find data and ownership.
#include "ShellFolder.h"
#include "EnvOverride.h"
#include "ShellRefs.h"
#include "TestFiles.h"
#include "Translation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using shelltest::desktop;
using shelltest::parse;
using shelltest::wide;

using testfiles::EnvOverride;

std::string nameOf(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags)
{
    STRRET strret;
    if (FAILED(folder->GetDisplayNameOf(item, flags, &strret)))
        return "<failed>";
    char* text = nullptr;
    if (FAILED(StrRetToStrA(&strret, item, &text)))
        return "<failed>";
    std::string result = text;
    CoTaskMemFree(text);
    return result;
}

ShellRef<IShellFolder> bind(IShellFolder* folder, LPCITEMIDLIST item)
{
    void* object = nullptr;
    if (FAILED(folder->BindToObject(item, nullptr, IID_IShellFolder, &object)))
        return nullptr;
    return ShellRef<IShellFolder>(static_cast<IShellFolder*>(object));
}

std::vector<UniquePidl> children(IShellFolder* folder, SHCONTF flags)
{
    std::vector<UniquePidl> result;
    IEnumIDList* raw = nullptr;
    if (FAILED(folder->EnumObjects(nullptr, flags, &raw)))
        return result;
    ShellRef<IEnumIDList> enumerator(raw);
    LPITEMIDLIST item = nullptr;
    while (enumerator->Next(1, &item, nullptr) == S_OK)
        result.emplace_back(item);
    return result;
}

std::vector<std::string> childNames(IShellFolder* folder, SHCONTF flags)
{
    std::vector<std::string> names;
    for (const UniquePidl& item : children(folder, flags))
        names.push_back(nameOf(folder, item.get(), SHGDN_INFOLDER | SHGDN_FORPARSING));
    std::sort(names.begin(), names.end());
    return names;
}

WORD cbOf(LPCITEMIDLIST list)
{
    WORD cb;
    std::memcpy(&cb, list, sizeof cb);
    return cb;
}

// The identifiers of a list, each as a one-item list of its own.
std::vector<std::vector<BYTE>> splitItems(LPCITEMIDLIST list)
{
    std::vector<std::vector<BYTE>> items;
    const auto* at = reinterpret_cast<const BYTE*>(list);
    for (WORD cb = cbOf(list); cb != 0; at += cb, cb = cbOf(reinterpret_cast<LPCITEMIDLIST>(at))) {
        std::vector<BYTE> one(at, at + cb);
        one.push_back(0);
        one.push_back(0);
        items.push_back(std::move(one));
    }
    return items;
}

LPCITEMIDLIST asList(const std::vector<BYTE>& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

SFGAOF attributesOf(IShellFolder* folder, LPCITEMIDLIST item)
{
    SFGAOF attributes = 0xFFFFFFFF;
    LPCITEMIDLIST items[] = {item};
    EXPECT_EQ(folder->GetAttributesOf(1, items, &attributes), S_OK);
    return attributes;
}

// files, folders, dot-files, links to a folder and to a file, and two folders
// whose names differ only in letter case
class ShellNamespace : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_blocks = CoTaskMemLiveBlocks();
        m_objects = ShellLiveObjects();
        ASSERT_TRUE(m_temp.valid());
        m_root = std::filesystem::canonical(m_temp.path()).string();
        namespace fs = std::filesystem;
        fs::create_directory(m_root + "/Alpha");
        testfiles::writeFile(m_root + "/Alpha/sub.txt", "sub");
        testfiles::writeFile(m_root + "/beta.txt", "12345");
        testfiles::writeFile(m_root + "/Gamma.JPG", "jpeg");
        testfiles::writeFile(m_root + "/.hidden", "h");
        fs::create_directory(m_root + "/.hiddendir");
        fs::create_directory_symlink(m_root + "/Alpha", m_root + "/linkdir");
        fs::create_symlink(m_root + "/beta.txt", m_root + "/linkfile");
        fs::create_directory(m_root + "/Case");
        fs::create_directory(m_root + "/case");
        testfiles::writeFile(m_root + "/case/lower.txt", "x");
        m_desktop = desktop();
        m_folder = bind(m_desktop.get(), parse(m_desktop.get(), m_root).get());
        ASSERT_TRUE(m_folder);
    }
    void TearDown() override
    {
        m_folder.reset();
        m_desktop.reset();
        EXPECT_EQ(CoTaskMemLiveBlocks(), m_blocks) << "item lists or names not freed";
        EXPECT_EQ(ShellLiveObjects(), m_objects) << "shell objects not released";
    }

    UniquePidl child(const std::string& name) { return parse(m_folder.get(), name); }

    std::size_t m_blocks = 0;
    std::size_t m_objects = 0;
    testfiles::TempFolder m_temp;
    std::string m_root;
    ShellRef<IShellFolder> m_desktop;
    ShellRef<IShellFolder> m_folder;  // the tree's root folder
};

TEST_F(ShellNamespace, AbsolutePathParsesToComputerDriveAndEntriesWithThreeNameKinds)
{
    const std::string path = m_root + "/Alpha/sub.txt";
    UniquePidl list = parse(m_desktop.get(), path);
    ASSERT_TRUE(list);
    EXPECT_EQ(nameOf(m_desktop.get(), list.get(), SHGDN_FORPARSING), path);

    // Walk it as the folder tree does: each identifier named in its folder.
    const auto items = splitItems(list.get());
    ASSERT_GE(items.size(), 4u);
    EXPECT_EQ(nameOf(m_desktop.get(), asList(items[0]), SHGDN_INFOLDER | SHGDN_FORPARSING),
              "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
    ShellRef<IShellFolder> current = bind(m_desktop.get(), asList(items[0]));
    ASSERT_TRUE(current);
    const std::string drive = nameOf(current.get(), asList(items[1]), SHGDN_INFOLDER | SHGDN_FORPARSING);
    EXPECT_EQ(m_root.rfind(drive == "/" ? drive : drive + "/", 0), 0u) << drive;
    std::string rebuilt = drive;
    for (std::size_t i = 1; i + 1 < items.size(); ++i) {
        current = bind(current.get(), asList(items[i]));
        ASSERT_TRUE(current) << i;
        const std::string name = nameOf(current.get(), asList(items[i + 1]), SHGDN_INFOLDER | SHGDN_FORPARSING);
        EXPECT_EQ(nameOf(current.get(), asList(items[i + 1]), SHGDN_NORMAL), name);
        rebuilt += (rebuilt == "/" ? "" : "/") + name;
        EXPECT_EQ(nameOf(current.get(), asList(items[i + 1]), SHGDN_FORPARSING), rebuilt);
    }
    EXPECT_EQ(rebuilt, path);

    // The parsing name parses back to an equal list.
    UniquePidl again = parse(m_desktop.get(), nameOf(m_desktop.get(), list.get(), SHGDN_FORPARSING));
    ASSERT_TRUE(again);
    EXPECT_EQ(HRESULT_CODE(m_desktop->CompareIDs(0, list.get(), again.get())), 0);

    // Attributes asked while parsing keep only what the item has.
    ULONG asked = SFGAO_FOLDER;
    UniquePidl folder = parse(m_desktop.get(), m_root + "//Alpha/", &asked);
    ASSERT_TRUE(folder);
    EXPECT_EQ(asked, SFGAO_FOLDER);
    EXPECT_EQ(nameOf(m_desktop.get(), folder.get(), SHGDN_FORPARSING), m_root + "/Alpha");
    asked = SFGAO_FOLDER;
    EXPECT_TRUE(parse(m_desktop.get(), m_root + "/beta.txt", &asked));
    EXPECT_EQ(asked, 0u);

    // A relative name from a file system folder.
    UniquePidl relative = child("Alpha/sub.txt");
    ASSERT_TRUE(relative);
    EXPECT_EQ(nameOf(m_folder.get(), relative.get(), SHGDN_FORPARSING), path);
}

TEST_F(ShellNamespace, BadNamesAndDamagedListsFailQuietly)
{
    EXPECT_FALSE(parse(m_desktop.get(), ""));
    EXPECT_FALSE(parse(m_desktop.get(), "relative/path"));
    EXPECT_FALSE(parse(m_desktop.get(), m_root + "/../x"));
    EXPECT_FALSE(parse(m_folder.get(), "/absolute"));
    EXPECT_FALSE(parse(m_folder.get(), "Alpha/../beta.txt"));
    LPITEMIDLIST out = reinterpret_cast<LPITEMIDLIST>(1);
    EXPECT_EQ(m_desktop->ParseDisplayName(nullptr, nullptr, nullptr, nullptr, &out, nullptr), E_INVALIDARG);
    EXPECT_EQ(out, nullptr);

    const BYTE damaged[] = {3, 0, 5, 0, 0};  // cb too small for any item
    const BYTE foreign[48] = {46, 0, 9};       // unknown kind
    STRRET name;
    for (LPCITEMIDLIST bad : {reinterpret_cast<LPCITEMIDLIST>(damaged), reinterpret_cast<LPCITEMIDLIST>(foreign)}) {
        EXPECT_EQ(m_folder->GetDisplayNameOf(bad, SHGDN_NORMAL, &name), E_INVALIDARG);
        EXPECT_EQ(m_folder->CompareIDs(0, bad, bad), E_INVALIDARG);
        EXPECT_FALSE(bind(m_folder.get(), bad));
    }
    EXPECT_EQ(m_folder->GetDisplayNameOf(nullptr, SHGDN_NORMAL, &name), E_INVALIDARG);
    char* text = reinterpret_cast<char*>(1);
    EXPECT_EQ(StrRetToStrA(nullptr, nullptr, &text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
}

TEST_F(ShellNamespace, MissingTrailingComponentsGiveItemsWithoutFindData)
{
    const std::string path = m_root + "/Alpha/gone/deeper";
    ULONG asked = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    UniquePidl list = parse(m_desktop.get(), path, &asked);
    ASSERT_TRUE(list);
    EXPECT_EQ(asked, SFGAO_FILESYSTEM);
    EXPECT_EQ(nameOf(m_desktop.get(), list.get(), SHGDN_FORPARSING), path);

    UniquePidl relative = child("Alpha/gone");
    ASSERT_TRUE(relative);
    const auto items = splitItems(relative.get());
    ASSERT_EQ(items.size(), 2u);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(SHGetDataFromIDListA(m_folder.get(), asList(items[0]), SHGDFIL_FINDDATA, &data, sizeof data), S_OK);
    EXPECT_EQ(data.cFileName, "Alpha");
    ShellRef<IShellFolder> alpha = bind(m_folder.get(), asList(items[0]));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(SHGetDataFromIDListA(alpha.get(), asList(items[1]), SHGDFIL_FINDDATA, &data, sizeof data), E_INVALIDARG);
    EXPECT_FALSE(bind(alpha.get(), asList(items[1])));
    EXPECT_EQ(nameOf(alpha.get(), asList(items[1]), SHGDN_INFOLDER | SHGDN_FORPARSING), "gone");
}

TEST_F(ShellNamespace, ExactCaseMatchWinsOverCaseInsensitiveOne)
{
    EXPECT_EQ(nameOf(m_desktop.get(), parse(m_desktop.get(), m_root + "/case/lower.txt").get(), SHGDN_FORPARSING),
              m_root + "/case/lower.txt");
    EXPECT_EQ(nameOf(m_desktop.get(), parse(m_desktop.get(), m_root + "/Case").get(), SHGDN_FORPARSING),
              m_root + "/Case");
    // Without an exact match the entry's own spelling is used.
    EXPECT_EQ(nameOf(m_desktop.get(), parse(m_desktop.get(), m_root + "/ALPHA/SUB.TXT").get(), SHGDN_FORPARSING),
              m_root + "/Alpha/sub.txt");
    const std::string loose = nameOf(m_folder.get(), child("CASE").get(), SHGDN_INFOLDER);
    EXPECT_TRUE(loose == "Case" || loose == "case") << loose;
}

TEST_F(ShellNamespace, EnumerationFollowsFolderNonFolderAndHiddenFlags)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(childNames(m_folder.get(), SHCONTF_FOLDERS), (Names{"Alpha", "Case", "case", "linkdir"}));
    EXPECT_EQ(childNames(m_folder.get(), SHCONTF_NONFOLDERS), (Names{"Gamma.JPG", "beta.txt", "linkfile"}));
    EXPECT_EQ(childNames(m_folder.get(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN),
              (Names{".hiddendir", "Alpha", "Case", "case", "linkdir"}));
    EXPECT_EQ(childNames(m_folder.get(), 0xE0).size(), 9u);
    EXPECT_TRUE(childNames(m_folder.get(), SHCONTF_INCLUDEHIDDEN).empty());

    // Several at once: S_FALSE when fewer than asked remain.
    IEnumIDList* raw = nullptr;
    ASSERT_EQ(m_folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &raw), S_OK);
    ShellRef<IEnumIDList> enumerator(raw);
    LPITEMIDLIST items[4] = {};
    ULONG fetched = 99;
    EXPECT_EQ(enumerator->Next(2, items, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(enumerator->Next(2, items + 2, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(enumerator->Next(1, items + 3, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(enumerator->Next(2, items + 3, nullptr), E_INVALIDARG);
    for (int i = 0; i < 3; ++i)
        CoTaskMemFree(items[i]);
    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Skip(3), S_OK);
    EXPECT_EQ(enumerator->Next(1, items, nullptr), S_FALSE);
}

TEST_F(ShellNamespace, FolderRemovedBeforeEnumerationEnumeratesNothing)
{
    namespace fs = std::filesystem;
    fs::create_directory(m_root + "/doomed");
    testfiles::writeFile(m_root + "/doomed/file", "x");
    ShellRef<IShellFolder> doomed = bind(m_folder.get(), child("doomed").get());
    ASSERT_TRUE(doomed);
    fs::remove_all(m_root + "/doomed");
    EXPECT_TRUE(childNames(doomed.get(), 0xE0).empty());
}

TEST_F(ShellNamespace, FolderWithoutReadPermissionEnumeratesNothing)
{
    namespace fs = std::filesystem;
    fs::create_directory(m_root + "/locked");
    testfiles::writeFile(m_root + "/locked/file", "x");
    ::chmod((m_root + "/locked").c_str(), 0);
    ShellRef<IShellFolder> locked = bind(m_folder.get(), child("locked").get());
    ASSERT_TRUE(locked);
    const bool readable = ::access((m_root + "/locked").c_str(), R_OK) == 0;
    const std::vector<std::string> names = childNames(locked.get(), 0xE0);
    ::chmod((m_root + "/locked").c_str(), 0755);
    if (readable)
        GTEST_SKIP() << "running as a user who can read any folder";
    EXPECT_TRUE(names.empty());
}

TEST_F(ShellNamespace, AttributesDescribeFoldersHiddenNamesAndLinks)
{
    const SFGAOF folder = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
    EXPECT_EQ(attributesOf(m_folder.get(), child("Alpha").get()), folder);
    EXPECT_EQ(attributesOf(m_folder.get(), child("beta.txt").get()), SFGAO_FILESYSTEM);
    EXPECT_EQ(attributesOf(m_folder.get(), child(".hidden").get()), SFGAO_FILESYSTEM | SFGAO_HIDDEN | SFGAO_GHOSTED);
    EXPECT_EQ(attributesOf(m_folder.get(), child(".hiddendir").get()), folder | SFGAO_HIDDEN | SFGAO_GHOSTED);
    EXPECT_EQ(attributesOf(m_folder.get(), child("linkdir").get()), folder | SFGAO_LINK);
    EXPECT_EQ(attributesOf(m_folder.get(), child("linkfile").get()), SFGAO_FILESYSTEM | SFGAO_LINK);

    // Several items: the bits all of them have, within the asked ones.
    UniquePidl a = child("linkdir");
    UniquePidl b = child("linkfile");
    LPCITEMIDLIST both[] = {a.get(), b.get()};
    SFGAOF asked = 0x748BE000;
    EXPECT_EQ(m_folder->GetAttributesOf(2, both, &asked), S_OK);
    EXPECT_EQ(asked, SFGAO_FILESYSTEM | SFGAO_LINK);
    EXPECT_EQ(m_folder->GetAttributesOf(2, both, nullptr), E_INVALIDARG);

    // The desktop itself, asked with the empty list.
    UniquePidl self;
    {
        LPITEMIDLIST raw = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &raw), S_OK);
        self.reset(raw);
    }
    const SFGAOF desktopAttributes = attributesOf(m_desktop.get(), self.get());
    EXPECT_TRUE(desktopAttributes & SFGAO_FOLDER);
    EXPECT_TRUE(desktopAttributes & SFGAO_FILESYSANCESTOR);
}

TEST_F(ShellNamespace, CompareIdsPutsFoldersFirstThenNamesIgnoringCase)
{
    std::vector<UniquePidl> items = children(m_folder.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    std::sort(items.begin(), items.end(), [&](const UniquePidl& a, const UniquePidl& b) {
        return HRESULT_CODE(m_folder->CompareIDs(0, a.get(), b.get())) < 0;
    });
    std::vector<std::string> names;
    for (const UniquePidl& item : items)
        names.push_back(nameOf(m_folder.get(), item.get(), SHGDN_INFOLDER));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Case", "case", "linkdir", "beta.txt", "Gamma.JPG", "linkfile"}));

    UniquePidl alpha = child("Alpha");
    UniquePidl beta = child("beta.txt");
    EXPECT_TRUE(SUCCEEDED(m_folder->CompareIDs(0, alpha.get(), beta.get())));
    EXPECT_EQ(HRESULT_CODE(m_folder->CompareIDs(0, alpha.get(), beta.get())), -1);
    EXPECT_EQ(HRESULT_CODE(m_folder->CompareIDs(0, beta.get(), alpha.get())), 1);
    EXPECT_EQ(HRESULT_CODE(m_folder->CompareIDs(0, beta.get(), child("beta.txt").get())), 0);
    EXPECT_EQ(HRESULT_CODE(m_folder->CompareIDs(0, alpha.get(), child("Alpha/sub.txt").get())), -1);
    EXPECT_EQ(m_folder->CompareIDs(1, alpha.get(), beta.get()), E_INVALIDARG);
}

TEST_F(ShellNamespace, BindToObjectOpensFoldersAndLinksToFolders)
{
    EXPECT_EQ(childNames(bind(m_folder.get(), child("Alpha").get()).get(), 0xE0),
              std::vector<std::string>{"sub.txt"});
    ShellRef<IShellFolder> viaLink = bind(m_folder.get(), child("linkdir").get());
    ASSERT_TRUE(viaLink);
    EXPECT_EQ(childNames(viaLink.get(), 0xE0), std::vector<std::string>{"sub.txt"});
    EXPECT_FALSE(bind(m_folder.get(), child("beta.txt").get()));
    EXPECT_FALSE(bind(m_folder.get(), child("linkfile").get()));

    // A two-level list binds in one step.
    ShellRef<IShellFolder> deep = bind(m_desktop.get(), parse(m_desktop.get(), m_root + "/Alpha").get());
    ASSERT_TRUE(deep);
    EXPECT_EQ(nameOf(deep.get(), child("beta.txt").get(), SHGDN_FORPARSING), m_root + "/Alpha/beta.txt");

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(m_folder->BindToObject(child("Alpha").get(), nullptr, IID_IEnumIDList, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(m_folder->QueryInterface(IID_IEnumIDList, &object), E_NOINTERFACE);
    ASSERT_EQ(m_folder->QueryInterface(IID_IUnknown, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
}

TEST_F(ShellNamespace, FindDataIsTheEntrysSnapshot)
{
    WIN32_FIND_DATAA data;
    ASSERT_EQ(SHGetDataFromIDListA(m_folder.get(), child("beta.txt").get(), SHGDFIL_FINDDATA, &data, sizeof data), S_OK);
    EXPECT_EQ(data.cFileName, "beta.txt");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(data.dwFileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DIRECTORY), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);

    ASSERT_EQ(SHGetDataFromIDListA(m_folder.get(), child("linkfile").get(), SHGDFIL_FINDDATA, &data, sizeof data), S_OK);
    EXPECT_EQ(data.cFileName, "linkfile");
    EXPECT_EQ(data.nFileSizeLow, 5u);  // the target's
    ASSERT_EQ(SHGetDataFromIDListA(m_folder.get(), child(".hiddendir").get(), SHGDFIL_FINDDATA, &data, sizeof data), S_OK);
    EXPECT_EQ(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN),
              FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

    // The snapshot does not follow later changes.
    UniquePidl beta = child("beta.txt");
    testfiles::writeFile(m_root + "/beta.txt", "longer contents");
    ASSERT_EQ(SHGetDataFromIDListA(m_folder.get(), beta.get(), SHGDFIL_FINDDATA, &data, sizeof data), S_OK);
    EXPECT_EQ(data.nFileSizeLow, 5u);

    EXPECT_EQ(SHGetDataFromIDListA(m_folder.get(), beta.get(), 2, &data, sizeof data), E_INVALIDARG);
    EXPECT_EQ(SHGetDataFromIDListA(m_folder.get(), beta.get(), SHGDFIL_FINDDATA, &data, 4), E_INVALIDARG);
    EXPECT_EQ(SHGetDataFromIDListA(m_folder.get(), child("Alpha/sub.txt").get(), SHGDFIL_FINDDATA, &data, sizeof data),
              E_INVALIDARG);
}

TEST_F(ShellNamespace, StrRetToStrAReadsEveryKindOfName)
{
    STRRET inPlace;
    inPlace.uType = STRRET_CSTR;
    std::strcpy(inPlace.cStr, "フォルダ");
    char* text = nullptr;
    ASSERT_EQ(StrRetToStrA(&inPlace, nullptr, &text), S_OK);
    EXPECT_STREQ(text, "フォルダ");
    CoTaskMemFree(text);

    // An offset into the item: our identifiers end with the name and a NUL.
    UniquePidl beta = child("beta.txt");
    STRRET offset;
    offset.uType = STRRET_OFFSET;
    offset.uOffset = cbOf(beta.get()) - 9;
    ASSERT_EQ(StrRetToStrA(&offset, beta.get(), &text), S_OK);
    EXPECT_STREQ(text, "beta.txt");
    CoTaskMemFree(text);
    offset.uOffset = cbOf(beta.get());
    EXPECT_EQ(StrRetToStrA(&offset, beta.get(), &text), E_INVALIDARG);
    EXPECT_EQ(StrRetToStrA(&offset, nullptr, &text), E_INVALIDARG);
}

TEST(ShellNamespaceRoots, DesktopComputerAndSpecialFolders)
{
    const std::size_t blocks = CoTaskMemLiveBlocks();
    const std::size_t objects = ShellLiveObjects();
    {
        testfiles::TempFolder temp;
        const std::string home = std::filesystem::canonical(temp.path()).string();
        EnvOverride homeOverride("HOME", home);
        EnvOverride configOverride("XDG_CONFIG_HOME", home + "/.config");
        std::filesystem::create_directories(home + "/Desktop/OnDesktop");
        std::filesystem::create_directories(home + "/Documents");
        testfiles::writeFile(home + "/Desktop/note.txt", "n");

        ShellRef<IShellFolder> root = desktop();
        STRRET unused;
        ASSERT_EQ(root->GetDisplayNameOf(nullptr, 0, &unused), E_INVALIDARG);
        LPITEMIDLIST raw = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &raw), S_OK);
        UniquePidl self(raw);
        EXPECT_EQ(cbOf(self.get()), 0);
        EXPECT_EQ(nameOf(root.get(), self.get(), SHGDN_NORMAL), "デスクトップ");
        EXPECT_EQ(nameOf(root.get(), self.get(), SHGDN_FORPARSING), home + "/Desktop");

        // Documents, home and Computer come first, then the desktop folder's entries.
        std::vector<UniquePidl> items = children(root.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
        std::vector<std::string> names;
        for (const UniquePidl& item : items)
            names.push_back(nameOf(root.get(), item.get(), SHGDN_INFOLDER | SHGDN_FORPARSING));
        ASSERT_EQ(names.size(), 5u);
        EXPECT_EQ(names[0], home + "/Documents");
        EXPECT_EQ(names[1], home);
        EXPECT_EQ(names[2], "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
        std::sort(names.begin() + 3, names.end());
        EXPECT_EQ(names[3], "OnDesktop");
        EXPECT_EQ(names[4], "note.txt");
        EXPECT_EQ(nameOf(root.get(), items[0].get(), SHGDN_NORMAL), "マイ ドキュメント");
        EXPECT_EQ(nameOf(root.get(), items[2].get(), SHGDN_NORMAL), "マイ コンピュータ");
        EXPECT_EQ(childNames(root.get(), SHCONTF_NONFOLDERS), std::vector<std::string>{"note.txt"});

        // The documents folder's own list is the desktop's documents child.
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &raw), S_OK);
        UniquePidl documents(raw);
        EXPECT_EQ(HRESULT_CODE(root->CompareIDs(0, items[0].get(), documents.get())), 0);
        EXPECT_EQ(HRESULT_CODE(root->CompareIDs(0, items[1].get(), documents.get())), 1);
        EXPECT_EQ(HRESULT_CODE(root->CompareIDs(0, items[3].get(), documents.get())), 1);

        // Computer lists "/" first; its parsing name parses back to it.
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw), S_OK);
        UniquePidl drives(raw);
        UniquePidl parsed = parse(root.get(), "::{20d04fe0-3aea-1069-a2d8-08002b30309d}");
        ASSERT_TRUE(parsed);
        EXPECT_EQ(HRESULT_CODE(root->CompareIDs(0, drives.get(), parsed.get())), 0);
        ShellRef<IShellFolder> computer = bind(root.get(), drives.get());
        ASSERT_TRUE(computer);
        std::vector<UniquePidl> mounts = children(computer.get(), SHCONTF_FOLDERS);
        ASSERT_FALSE(mounts.empty());
        EXPECT_EQ(nameOf(computer.get(), mounts[0].get(), SHGDN_INFOLDER | SHGDN_FORPARSING), "/");
        EXPECT_TRUE(children(computer.get(), SHCONTF_NONFOLDERS).empty());
        EXPECT_EQ(attributesOf(root.get(), drives.get()) & (SFGAO_FOLDER | SFGAO_FILESYSTEM), SFGAO_FOLDER);
        EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 0x1234, &raw), E_INVALIDARG);
    }
    EXPECT_EQ(CoTaskMemLiveBlocks(), blocks);
    EXPECT_EQ(ShellLiveObjects(), objects);
}

TEST(ShellNamespaceRoots, VirtualFolderNamesFollowTheTranslation)
{
    ShellRef<IShellFolder> root = desktop();
    LPITEMIDLIST raw = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw), S_OK);
    UniquePidl drives(raw);
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &raw), S_OK);
    UniquePidl self(raw);
    ASSERT_TRUE(UseEnglishTranslation(true));
    EXPECT_EQ(nameOf(root.get(), drives.get(), SHGDN_NORMAL), "Computer");
    EXPECT_EQ(nameOf(root.get(), self.get(), SHGDN_NORMAL), "Desktop");
    EXPECT_EQ(nameOf(root.get(), drives.get(), SHGDN_FORPARSING), "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
    UseEnglishTranslation(false);
    EXPECT_EQ(nameOf(root.get(), drives.get(), SHGDN_NORMAL), "マイ コンピュータ");
}

TEST(IMalloc, AllocReallocGetSizeAndFree)
{
    const std::size_t blocks = CoTaskMemLiveBlocks();
    IMalloc* malloc = nullptr;
    ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
    ShellRef<IMalloc> allocator(malloc);
    auto* block = static_cast<char*>(allocator->Alloc(6));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "hello", 6);
    EXPECT_EQ(allocator->GetSize(block), 6u);
    EXPECT_EQ(allocator->DidAlloc(block), 1);
    EXPECT_EQ(CoTaskMemLiveBlocks(), blocks + 1);
    block = static_cast<char*>(allocator->Realloc(block, 4000));
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block, "hello");
    EXPECT_EQ(allocator->GetSize(block), 4000u);
    EXPECT_EQ(allocator->Realloc(block, 0), nullptr);
    EXPECT_EQ(CoTaskMemLiveBlocks(), blocks);
    allocator->Free(nullptr);
    CoTaskMemFree(nullptr);
    EXPECT_EQ(allocator->DidAlloc(nullptr), -1);
    void* other = nullptr;
    EXPECT_EQ(allocator->QueryInterface(IID_IMalloc, &other), S_OK);
    EXPECT_EQ(other, static_cast<void*>(malloc));
    static_cast<IMalloc*>(other)->Release();

    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

}  // namespace
