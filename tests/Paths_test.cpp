#include "Paths.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PathCase {
    const char* path;
    const char* folder;     // SplitAtLastSlash
    const char* name;       // SplitAtLastSlash
    const char* component;  // LastPathComponent
    const char* parent;     // ParentFolder
};

}  // namespace

TEST(Paths, TakingAPathApart)
{
    const PathCase cases[] = {
        {"a/b", "a", "b", "b", "a"},
        {"a/b/", "a/b", "", "b", "a"},
        {"a//b//", "a//b", "", "b", "a"},
        {"/b", "/", "b", "b", "/"},
        {"//b", "/", "b", "b", "/"},
        {"b", "", "b", "b", "."},
        {"b/", "b", "", "b", "."},
        {"/", "/", "", "/", "/"},
        {"", "", "", "", "."},
        {"/a/\xff\xfe.jpg", "/a", "\xff\xfe.jpg", "\xff\xfe.jpg", "/a"},  // bytes as they are
    };
    for (const PathCase& c : cases) {
        const PathParts parts = SplitAtLastSlash(c.path);
        EXPECT_EQ(parts.folder, c.folder) << c.path;
        EXPECT_EQ(parts.name, c.name) << c.path;
        EXPECT_EQ(LastPathComponent(c.path), c.component) << c.path;
        EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
    }
    EXPECT_EQ(WithoutTrailingSlashes("/a//"), "/a");
    EXPECT_EQ(WithoutTrailingSlashes("//"), "/");
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(Paths, TheWorkingFolderOfAnyLength)
{
    testfiles::TempFolder root;
    ASSERT_TRUE(root.valid());
    const std::string before = WorkingFolder();
    ASSERT_FALSE(before.empty());
    // Deeper than the first buffer the folder is read into; the system
    // reports the folder without symbolic links.
    char real[PATH_MAX];
    ASSERT_NE(::realpath(root.path().c_str(), real), nullptr);
    std::string deep = real;
    for (int i = 0; i < 40; ++i) {
        deep = JoinPath(deep, "folder" + std::to_string(i));
        ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
    }
    ASSERT_EQ(::chdir(deep.c_str()), 0);
    const std::string inside = WorkingFolder();
    ASSERT_EQ(::chdir(before.c_str()), 0);
    EXPECT_EQ(inside, deep);
}
