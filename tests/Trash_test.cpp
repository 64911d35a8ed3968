#include "EnvOverride.h"
#include "LastError.h"
#include "SmallTmpfs.h"
#include "TestFiles.h"
#include "Trash.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

using testfiles::EnvOverride;
using testfiles::exists;
using testfiles::readFile;
using testfiles::SmallTmpfs;
using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

// A home trash of the test's own, on the file system of the temporary folders.
struct HomeTrash {
    TempFolder data;
    EnvOverride env{"XDG_DATA_HOME", data.path()};
    std::string trash() const { return data.file("Trash"); }
};

// The original path a .trashinfo gives, decoded; "" unless the file has the
// header, the Path= and the DeletionDate= lines in their form.
std::string infoPath(const std::string& file)
{
    static const QRegularExpression form("^\\[Trash Info\\]\nPath=([^\n]*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$");
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(readFile(file)));
    return match.hasMatch() ? QByteArray::fromPercentEncoding(match.captured(1).toLatin1()).toStdString() : "";
}

}  // namespace

TEST(Trash, ReplacingMovesAndCopiesPutTheOldFileInTheTrashWithItsInfo)
{
    HomeTrash home;
    TempFolder src;
    TempFolder dst;
    // A name with a blank, a percent sign and bytes that are no UTF-8.
    const std::string odd = "sj\x83\x65 100%.jpg";
    struct Case {
        bool copy;
        std::string name;
        std::string trashName;  // the second file of a name in the trash gets a number
    };
    const Case cases[] = {{false, "a.jpg", "a.jpg"}, {true, "a.jpg", "a.2.jpg"}, {false, odd, odd}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trashName);
        writeFile(src.file(c.name), "new");
        writeFile(dst.file(c.name), "old " + c.trashName);
        TrashReplacement result;
        ASSERT_TRUE(TransferReplacingIntoTrash(src.file(c.name), dst.file(c.name), c.copy, result));
        EXPECT_EQ(readFile(dst.file(c.name)), "new");
        EXPECT_EQ(exists(src.file(c.name)), c.copy);
        ASSERT_TRUE(result.Replaced);
        EXPECT_EQ(result.Replaced->TrashPath, home.trash() + "/files/" + c.trashName);
        EXPECT_EQ(readFile(result.Replaced->TrashPath), "old " + c.trashName);
        EXPECT_EQ(infoPath(home.trash() + "/info/" + c.trashName + ".trashinfo"), dst.file(c.name));
    }
    struct stat st;
    ASSERT_EQ(::stat(home.trash().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a trash made where there was none is private";
}

TEST(Trash, ATrashThatCannotBeWrittenLeavesBothFilesAsTheyWere)
{
    TempFolder data;
    EnvOverride env("XDG_DATA_HOME", data.path());
    writeFile(data.file("Trash"), "a file where the trash folder would be");
    TempFolder src;
    TempFolder dst;
    for (bool copy : {false, true}) {
        writeFile(src.file("a.jpg"), "new");
        writeFile(dst.file("a.jpg"), "old");
        TrashReplacement result;
        EXPECT_FALSE(TransferReplacingIntoTrash(src.file("a.jpg"), dst.file("a.jpg"), copy, result));
        EXPECT_TRUE(result.TrashRefused);
        EXPECT_NE(GetLastError(), ERROR_SUCCESS);
        EXPECT_EQ(readFile(src.file("a.jpg")), "new");
        EXPECT_EQ(readFile(dst.file("a.jpg")), "old");
    }
}

TEST(Trash, AFailedReplacementBringsTheOldFileBackAndRestoreRefusesWhatChanged)
{
    HomeTrash home;
    TempFolder src;
    TempFolder dst;
    // A folder cannot be copied: the copy fails after the old file went.
    ASSERT_EQ(::mkdir(src.file("a.jpg").c_str(), 0755), 0);
    writeFile(dst.file("a.jpg"), "old");
    TrashReplacement result;
    EXPECT_FALSE(TransferReplacingIntoTrash(src.file("a.jpg"), dst.file("a.jpg"), true, result));
    EXPECT_FALSE(result.TrashRefused);
    EXPECT_FALSE(result.Replaced);
    EXPECT_EQ(readFile(dst.file("a.jpg")), "old");
    EXPECT_FALSE(exists(home.trash() + "/files/a.jpg"));
    EXPECT_FALSE(exists(home.trash() + "/info/a.jpg.trashinfo"));

    // Restoring: not over a name taken again, not a file changed in the trash.
    TrashedFile trashed;
    ASSERT_TRUE(MoveToTrash(dst.file("a.jpg"), trashed));
    writeFile(dst.file("a.jpg"), "a newer file");
    EXPECT_FALSE(RestoreFromTrash(trashed));
    EXPECT_EQ(readFile(dst.file("a.jpg")), "a newer file");
    ASSERT_EQ(::unlink(dst.file("a.jpg").c_str()), 0);
    writeFile(trashed.TrashPath, "changed in the trash");
    EXPECT_FALSE(RestoreFromTrash(trashed));
    EXPECT_FALSE(exists(dst.file("a.jpg")));
}

TEST(Trash, AnotherFileSystemHasATrashOfItsOwn)
{
    SmallTmpfs other;
    if (!other.mounted)
        GTEST_SKIP() << "mounting a tmpfs needs root (uid " << ::geteuid() << ")";
    HomeTrash home;
    TempFolder src;
    const std::string top = other.mountPoint.path();
    const std::string uid = std::to_string(::getuid());
    writeFile(src.file("a.jpg"), "new");
    writeFile(top + "/a.jpg", "old");

    // A replacing move across file systems: the old file stays on its own.
    TrashReplacement result;
    ASSERT_TRUE(TransferReplacingIntoTrash(src.file("a.jpg"), top + "/a.jpg", false, result));
    EXPECT_FALSE(exists(src.file("a.jpg")));
    EXPECT_EQ(readFile(top + "/a.jpg"), "new");
    ASSERT_TRUE(result.Replaced);
    EXPECT_EQ(result.Replaced->TrashPath, top + "/.Trash-" + uid + "/files/a.jpg");
    EXPECT_EQ(readFile(result.Replaced->TrashPath), "old");
    EXPECT_EQ(infoPath(top + "/.Trash-" + uid + "/info/a.jpg.trashinfo"), top + "/a.jpg");
    EXPECT_FALSE(exists(home.trash()));

    // An administrator's .Trash serves only with the sticky bit and as a real folder.
    ASSERT_EQ(::mkdir((top + "/.Trash").c_str(), 01777), 0);
    ASSERT_EQ(::chmod((top + "/.Trash").c_str(), 01777), 0);
    EXPECT_EQ(TrashFolderFor(top + "/a.jpg"), top + "/.Trash/" + uid);
    ASSERT_EQ(::chmod((top + "/.Trash").c_str(), 0777), 0);
    EXPECT_EQ(TrashFolderFor(top + "/a.jpg"), top + "/.Trash-" + uid);
    ASSERT_EQ(::rename((top + "/.Trash").c_str(), (top + "/shared").c_str()), 0);
    ASSERT_EQ(::chmod((top + "/shared").c_str(), 01777), 0);
    ASSERT_EQ(::symlink("shared", (top + "/.Trash").c_str()), 0);
    EXPECT_EQ(TrashFolderFor(top + "/a.jpg"), top + "/.Trash-" + uid);
}
