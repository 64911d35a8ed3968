#include "Exception.h"
#include "IniFile.h"
#include "NoNewEntries.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testfiles::exists;
using testfiles::NoNewEntries;
using testfiles::readFile;
using testfiles::writeFile;

namespace {

// A byte string literal with its NUL bytes.
template <size_t N>
std::string Bytes(const char (&s)[N])
{
    return std::string(s, N - 1);
}

class TIniFileTest : public ::testing::Test {
protected:
    testfiles::TempFolder folder;
    std::string path = folder.file("Pictal.ini");

    static mode_t ModeOf(const std::string& p)
    {
        struct stat st;
        return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }

    // Runs a write that must be refused, and checks the message (with the
    // reason, when one is given) and that the file kept its bytes.
    template <typename Write>
    void ExpectRefused(const std::string& file, Write write, const std::string& reason = {})
    {
        const bool existed = exists(file) && !QFileInfo(QString::fromStdString(file)).isDir();
        const std::string before = existed ? readFile(file) : std::string();
        try {
            write();
            ADD_FAILURE() << "write to " << file << " was not refused";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), file + " に書き込めません" + (reason.empty() ? "" : ": " + reason));
        }
        if (existed) {
            EXPECT_EQ(readFile(file), before);
        }
    }
};

}  // namespace

TEST_F(TIniFileTest, IntegerValuesFollowTheConversionRules)
{
    writeFile(path,
              "[SET]\nHEX=0x20\nDOLLAR=$1F\nX=x10\nBARE0X=0x\nNEG=  -5  \nJUNK=12abc\n"
              "PLUS=+7\nBIG=2147483648\nEMPTY=\nWORDS=left side\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("SET", "HEX", 99), 32);
    EXPECT_EQ(ini.ReadInteger("SET", "DOLLAR", 99), 31);
    EXPECT_EQ(ini.ReadInteger("SET", "X", 99), 16);
    EXPECT_EQ(ini.ReadInteger("SET", "BARE0X", 99), 99);
    EXPECT_EQ(ini.ReadInteger("SET", "NEG", 99), -5);
    EXPECT_EQ(ini.ReadInteger("SET", "JUNK", 99), 99);
    EXPECT_EQ(ini.ReadInteger("SET", "PLUS", 99), 7);
    EXPECT_EQ(ini.ReadInteger("SET", "BIG", 99), 99);
    EXPECT_EQ(ini.ReadInteger("SET", "EMPTY", 99), 99);
    EXPECT_EQ(ini.ReadInteger("SET", "WORDS", 99), 99);
    EXPECT_EQ(ini.ReadInteger("SET", "MISSING", 99), 99);

    ini.WriteInteger("SET", "M_TOP", -12);
    ini.WriteInteger("SET", "M_LEFT", 640);
    EXPECT_NE(readFile(path).find("\nM_TOP=-12\nM_LEFT=640\n"), std::string::npos);
    EXPECT_EQ(ini.ReadInteger("SET", "M_TOP", 0), -12);
}

TEST_F(TIniFileTest, BooleansAreZeroAndOne)
{
    writeFile(path, "[SET1]\nTWO=2\nMINUS=-1\nZERO=0\nHEXONE=$1\nWORD=yes\nEMPTY=\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.ReadBool("SET1", "TWO", false));
    EXPECT_TRUE(ini.ReadBool("SET1", "MINUS", false));
    EXPECT_FALSE(ini.ReadBool("SET1", "ZERO", true));
    EXPECT_TRUE(ini.ReadBool("SET1", "HEXONE", false));
    EXPECT_TRUE(ini.ReadBool("SET1", "WORD", true));
    EXPECT_FALSE(ini.ReadBool("SET1", "WORD", false));
    EXPECT_TRUE(ini.ReadBool("SET1", "EMPTY", true));
    EXPECT_FALSE(ini.ReadBool("SET1", "MISSING", false));

    ini.WriteBool("SET1", "MODE1", true);
    ini.WriteBool("SET1", "MODE2", false);
    EXPECT_NE(readFile(path).find("\nMODE1=1\nMODE2=0\n"), std::string::npos);
    EXPECT_TRUE(ini.ReadBool("SET1", "MODE1", false));
    EXPECT_FALSE(ini.ReadBool("SET1", "MODE2", true));
}

TEST_F(TIniFileTest, LongValuesAreCutTo2047Characters)
{
    TIniFile ini(path);
    ini.WriteString("S", "ascii", std::string(3000, 'a'));
    ini.WriteString("S", "exact", std::string(2047, 'b'));
    std::string japanese;
    for (int i = 0; i < 2100; ++i)
        japanese += "あ";  // three bytes each
    ini.WriteString("S", "japanese", japanese);

    EXPECT_NE(readFile(path).find(std::string(3000, 'a')), std::string::npos);
    EXPECT_EQ(ini.ReadString("S", "ascii", ""), std::string(2047, 'a'));
    EXPECT_EQ(ini.ReadString("S", "exact", ""), std::string(2047, 'b'));
    const std::string cut = ini.ReadString("S", "japanese", "");
    EXPECT_EQ(cut.size(), 2047u * 3);
    EXPECT_EQ(cut, japanese.substr(0, 2047 * 3));
    ini.WriteString("S", "path", japanese.substr(0, 700 * 3));
    EXPECT_EQ(ini.ReadString("S", "path", ""), japanese.substr(0, 700 * 3)) << "a 700-character path comes back whole";
}

TEST_F(TIniFileTest, NamesMatchWithoutLetterCaseAndKeepTheirSpelling)
{
    writeFile(path, "[Set]\nM_Top=5\n[Ärger ＡＢＣ]\nÖl=1\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("SET", "m_top", 0), 5);
    EXPECT_EQ(ini.ReadInteger("  set ", " M_TOP\t", 0), 5);
    EXPECT_EQ(ini.ReadString("ärger ａｂｃ", "öL", ""), "1");
    EXPECT_TRUE(ini.ValueExists("ÄRGER ａｂｃ", "ÖL"));
    EXPECT_FALSE(ini.ValueExists("Arger ABC", "Ol"));

    ini.WriteInteger("SET", "M_TOP", 6);
    ini.WriteString("ÄRGER ａｂｃ", "ÖL", "2");
    EXPECT_EQ(readFile(path), "[Set]\nM_Top=6\n[Ärger ＡＢＣ]\nÖl=2\n");

    // Names that differ in bytes that are no UTF-8 are different names.
    writeFile(path, "[A\xff]\nk=1\n[A\xfe]\nk=2\n");
    EXPECT_EQ(TIniFile(path).ReadInteger("a\xfe", "K", 0), 2);
}

TEST_F(TIniFileTest, WriteKeepsEverythingElseInPlace)
{
    const std::string original =
        "; Pictal settings\n"
        "orphan=before any section\n"
        "\n"
        "[SET]\n"
        "  M_TOP = 10  \n"
        "# a comment\n"
        "not a key line\n"
        "M_LEFT=20\n"
        "\n"
        "[Other]\n"
        "a=\"quoted\"\n"
        "[SET1]\n"
        "LIST00=/home/u\n";
    writeFile(path, original);
    chmod(path.c_str(), 0640);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("SET", "M_TOP", 0), 10);
    EXPECT_EQ(ini.ReadString("Other", "a", ""), "quoted");

    ini.WriteInteger("SET", "M_TOP", 11);            // changed in place
    ini.WriteString("SET", "NEW", "x");              // added at the end of its section
    ini.WriteString("SET1", "LIST01", "");           // added to the last section
    ini.WriteString("Added", "k", "v w");            // a new section at the end
    EXPECT_EQ(readFile(path),
              "; Pictal settings\n"
              "orphan=before any section\n"
              "\n"
              "[SET]\n"
              "M_TOP=11\n"
              "# a comment\n"
              "not a key line\n"
              "M_LEFT=20\n"
              "NEW=x\n"
              "\n"
              "[Other]\n"
              "a=\"quoted\"\n"
              "[SET1]\n"
              "LIST00=/home/u\n"
              "LIST01=\n"
              "\n"
              "[Added]\n"
              "k=v w\n");
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(ini.ReadString("SET1", "LIST01", "default"), "");
}

TEST_F(TIniFileTest, DuplicatesFirstOneWins)
{
    writeFile(path, "[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "K", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "j", "none"), "none");
    ini.WriteString("a", "k", "9");
    EXPECT_EQ(readFile(path), "[A]\nk=9\nk=2\n[a]\nk=3\nj=4\n");
    std::vector<std::string> keys, sections;
    ini.ReadSection("A", keys);
    EXPECT_EQ(keys, std::vector<std::string>{"k"});
    ini.ReadSections(sections);
    EXPECT_EQ(sections, std::vector<std::string>{"A"});
    ini.DeleteKey("A", "k");
    EXPECT_EQ(readFile(path), "[A]\n[a]\nk=3\nj=4\n");
    EXPECT_FALSE(ini.ValueExists("A", "k"));
}

TEST_F(TIniFileTest, CrLfFileIsReadAndRewrittenWithCrLf)
{
    writeFile(path, "\xEF\xBB\xBF[SET]\r\nM_TOP=7\r\n[SET1]\r\nLIST00=/a\r\nLIST01=/b");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("SET", "M_TOP", 0), 7);
    EXPECT_EQ(ini.ReadString("SET1", "LIST01", ""), "/b");
    ini.WriteString("SET1", "LIST00", "/c");
    ini.WriteString("SET1", "LIST02", "/d");
    ini.WriteString("SET2", "X", "1");
    EXPECT_EQ(readFile(path),
              "\xEF\xBB\xBF[SET]\r\nM_TOP=7\r\n[SET1]\r\nLIST00=/c\r\nLIST01=/b\r\nLIST02=/d\r\n"
              "\r\n[SET2]\r\nX=1\r\n");
}

TEST_F(TIniFileTest, NewFileUsesLfAndJapaneseRoundTrips)
{
    const std::string folderPath = "/home/ユーザー/画像/振り分け 済み";
    {
        TIniFile ini(path);
        ini.WriteString("SET1", "LIST00", folderPath);
        ini.WriteString("日本語", "キー", "値");
        ini.UpdateFile();
    }
    EXPECT_EQ(readFile(path), "[SET1]\nLIST00=" + folderPath + "\n\n[日本語]\nキー=値\n");
    TIniFile again(path);
    EXPECT_EQ(again.ReadString("SET1", "LIST00", ""), folderPath);
    EXPECT_EQ(again.ReadString("日本語", "キー", ""), "値");
    EXPECT_EQ(again.FileName(), path);
}

TEST_F(TIniFileTest, ValuesWithBlankEndsOrQuotesRoundTripAndQuotedValuesReadBare)
{
    const std::string values[] = {
        " /home/u/lead",        "/home/u/trail ",     "\t/tab both\t", "  ",
        "/a \"quoted\" b",      "\"/enclosed\"",      "'/single'",      "\"",
        "\"/open",              "/写真/振り分け 済み ", " 猫 ",            "\" both \"",
        "",
    };
    {
        TIniFile ini(path);
        for (size_t i = 0; i < std::size(values); ++i)
            ini.WriteString("SET1", "LIST0" + std::to_string(i), values[i]);
    }
    TIniFile again(path);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(again.ReadString("SET1", "LIST0" + std::to_string(i), "default"), values[i]) << i;
    // Plain values stay unquoted; the file reads naturally.
    EXPECT_NE(readFile(path).find("\nLIST04=/a \"quoted\" b\n"), std::string::npos);
    EXPECT_NE(readFile(path).find("\nLIST00=\" /home/u/lead\"\n"), std::string::npos);

    // Hand-written files: a value enclosed in a matching pair of quotes is
    // read without them.
    writeFile(path, "[S]\na = \"/x \" \nb='/y '\nc=\"/z'\nd=\"\"\n");
    EXPECT_EQ(again.ReadString("S", "a", ""), "/x ");
    EXPECT_EQ(again.ReadString("S", "b", ""), "/y ");
    EXPECT_EQ(again.ReadString("S", "c", ""), "\"/z'");
    EXPECT_EQ(again.ReadString("S", "d", "default"), "");
}

TEST_F(TIniFileTest, MissingFileGivesDefaultsAndIsNotCreated)
{
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("SET1", "LIST00", "/def"), "/def");
    EXPECT_EQ(ini.ReadInteger("SET", "M_TOP", 42), 42);
    EXPECT_TRUE(ini.ReadBool("SET1", "MODE1", true));
    std::vector<std::string> list{"stale"};
    ini.ReadSections(list);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(ini.SectionExists("SET"));
    ini.EraseSection("SET");
    ini.DeleteKey("SET", "M_TOP");
    EXPECT_FALSE(exists(path));

    TIniFile underMissing(folder.file("no/such/folder/Pictal.ini"));
    EXPECT_EQ(underMissing.ReadInteger("SET", "M_TOP", 3), 3);
}

TEST_F(TIniFileTest, RefusedWritesRaiseAndLeaveTheFile)
{
    writeFile(path, "[SET]\nM_TOP=1\n");
    chmod(path.c_str(), 0444);  // no write bit: refused even for root
    TIniFile readOnly(path);
    ExpectRefused(path, [&] { readOnly.WriteInteger("SET", "M_TOP", 2); });
    ExpectRefused(path, [&] { readOnly.WriteBool("SET", "M_TOP", true); });
    ExpectRefused(path, [&] { readOnly.WriteString("NEW", "k", "v"); });
    ExpectRefused(path, [&] { readOnly.EraseSection("set"); });
    ExpectRefused(path, [&] { readOnly.DeleteKey("SET", "m_top"); });
    EXPECT_EQ(ModeOf(path), 0444u);
    readOnly.EraseSection("absent");  // nothing to change, nothing refused
    EXPECT_EQ(readOnly.ReadInteger("SET", "M_TOP", 0), 1);

    const std::string dir = folder.file("dir.ini");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dir)));
    TIniFile isFolder(dir);
    ExpectRefused(dir, [&] { isFolder.WriteString("S", "k", "v"); });
    EXPECT_EQ(isFolder.ReadString("S", "k", "d"), "d");

    const std::string plain = folder.file("plain");
    writeFile(plain, "x");
    const std::string underFile = plain + "/Pictal.ini";
    TIniFile parentIsFile(underFile);
    ExpectRefused(underFile, [&] { parentIsFile.WriteString("S", "k", "v"); });
    EXPECT_EQ(readFile(plain), "x");

    const std::string noFolder = folder.file("missing/Pictal.ini");
    TIniFile missingFolder(noFolder);
    ExpectRefused(noFolder, [&] { missingFolder.WriteString("S", "k", "v"); });
    EXPECT_FALSE(exists(folder.file("missing")));
}

TEST_F(TIniFileTest, AWritableFileInAFolderThatTakesNoNewEntriesIsRewrittenInPlace)
{
    const std::string locked = folder.file("locked.ini");
    const std::string old = "[SET]\nM_TOP=1\nOLD=" + std::string(200, 'x') + "\n[SET1]\nLIST00=/a\n";
    writeFile(path, old);
    writeFile(locked, "[SET]\nM_TOP=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);  // QTemporaryDir makes it 0700
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    {
        NoNewEntries user(folder.path());
        ASSERT_TRUE(user.ok()) << std::strerror(errno);
        // The premise: no new file can be made beside the settings file.
        const int probe = ::open(folder.file("probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_LT(probe, 0);
        ASSERT_TRUE(errno == EACCES || errno == EPERM) << std::strerror(errno);

        TIniFile ini(path);
        ini.WriteInteger("SET", "M_TOP", 2);
        ini.DeleteKey("SET", "OLD");               // shorter than before
        ini.WriteString("SET1", "LIST01", "/b ");  // longer again
        EXPECT_EQ(readFile(path), "[SET]\nM_TOP=2\n[SET1]\nLIST00=/a\nLIST01=\"/b \"\n");

        // Still refused: a file this user may not write (root's own, when
        // the test stepped down from root), and a missing one.
        if (user.steppedDown()) {
            TIniFile notMine(locked);
            ExpectRefused(locked, [&] { notMine.WriteInteger("SET", "M_TOP", 2); });
        }
        TIniFile missing(folder.file("new.ini"));
        ExpectRefused(folder.file("new.ini"), [&] { missing.WriteInteger("SET", "M_TOP", 2); });
    }
    struct stat after;
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
              (QStringList{"Pictal.ini", "locked.ini"}));
}

TEST_F(TIniFileTest, TextThatCannotBeOneLineIsRefusedNamingTheKeyAndWhy)
{
    writeFile(path, "[S]\nk=v\n");
    TIniFile ini(path);
    const struct {
        const char* section;
        const char* ident;
        const char* value;
        const char* reason;
    } cases[] = {
        {"S", "k", "two\nlines", "[S] k の値に改行が含まれています"},
        {"S", "k", "carriage\rreturn", "[S] k の値に改行が含まれています"},
        {"S", "a=b", "v", "[S] のキー名 a=b に「=」が含まれています"},
        {"S", "a\nb", "v", "[S] のキー名に改行が含まれています"},
        {"S]x", "k", "v", "節の名前 S]x に「]」が含まれています"},
        {"S\nx", "k", "v", "節の名前に改行が含まれています"},
        {"S", "[x", "y]", "[S] [x の行は節の見出しと読まれてしまいます"},
    };
    for (const auto& c : cases)
        ExpectRefused(path, [&] { ini.WriteString(c.section, c.ident, c.value); }, c.reason);
    ini.WriteString("S", "[x", "y");  // not a section header: stored
    EXPECT_EQ(ini.ReadString("S", "[x", ""), "y");
}

TEST_F(TIniFileTest, EraseSectionAndDeleteKey)
{
    writeFile(path, "[A]\na=1\n\n[B]\nb=2\nc=3\n[a]\nz=9\n[C]\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.SectionExists("b"));
    EXPECT_FALSE(ini.SectionExists("C"));  // a header without keys
    ini.EraseSection("A");                 // both sections of that name go
    EXPECT_EQ(readFile(path), "[B]\nb=2\nc=3\n[C]\n");
    EXPECT_FALSE(ini.ValueExists("A", "a"));
    ini.DeleteKey("B", "B");
    ini.DeleteKey("B", "nothing");
    EXPECT_EQ(readFile(path), "[B]\nc=3\n[C]\n");
    std::vector<std::string> keys;
    ini.ReadSection("B", keys);
    EXPECT_EQ(keys, std::vector<std::string>{"c"});
    ini.WriteString("A", "a", "back");
    EXPECT_EQ(ini.ReadString("A", "a", ""), "back");
}

TEST_F(TIniFileTest, MalformedFilesAreReadWithoutHarm)
{
    std::string junk = Bytes("\x01\x02\xFF\xFE\x00[\x80\x81=\x00\xC3\n");
    junk += "[SET\nbroken=1\n[]\n=\n[\n]=]\n";
    junk += std::string(1 << 20, 'L') + "=long\n";  // a very long line
    const std::string tail = "[SET]\nM_TOP=0x10\nM_LEFT=\xC3\x28\n";
    writeFile(path, junk + tail);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("SET", "M_TOP", 0), 16);
    EXPECT_EQ(ini.ReadInteger("SET", "M_LEFT", 5), 5);
    EXPECT_EQ(ini.ReadString("SET", "broken", "none"), "none");
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"", "SET"}));

    ini.WriteInteger("SET", "M_TOP", 1);
    EXPECT_EQ(readFile(path), junk + "[SET]\nM_TOP=1\nM_LEFT=\xC3\x28\n");
}

TEST_F(TIniFileTest, HugeFilesStayWithinBounds)
{
    std::string big;
    for (int i = 0; i < 50000; ++i)
        big += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    writeFile(path, big);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("s49999", "K", -1), 49999);
    ini.WriteInteger("S49999", "k", 7);
    EXPECT_EQ(ini.ReadInteger("S49999", "k", -1), 7);
    EXPECT_EQ(ini.ReadInteger("S0", "k", -1), 0);

    // Over 64 MiB (sparse, so cheap): not a profile file; read as empty and
    // never replaced.
    const std::string oversize = folder.file("oversize.ini");
    writeFile(oversize, "[S]\nk=1\n");
    ASSERT_TRUE(QFile::resize(QString::fromStdString(oversize), 64 * 1024 * 1024 + 1));
    TIniFile huge(oversize);
    EXPECT_EQ(huge.ReadInteger("S", "k", -1), -1);
    ExpectRefused(oversize, [&] { huge.WriteInteger("S", "k", 2); });
    EXPECT_EQ(QFileInfo(QString::fromStdString(oversize)).size(), 64 * 1024 * 1024 + 1);
}

TEST_F(TIniFileTest, SymbolicLinkIsWrittenThroughToItsTarget)
{
    const std::string target = folder.file("real.ini");
    writeFile(target, "[S]\nk=1\n");
    ASSERT_EQ(::symlink("real.ini", path.c_str()), 0);
    TIniFile ini(path);
    ini.WriteString("S", "k", "2");
    struct stat st;
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(target), "[S]\nk=2\n");
}

TEST_F(TIniFileTest, AFileIsWrittenAndReadAtTheBytesOfItsNameAndKeepsItsPermissionBits)
{
    // A name that is no UTF-8 (Latin-1, from another system) names that file
    // and no other.
    const std::string latin1 = folder.file("caf\xe9.ini");
    TIniFile ini(latin1);
    ini.WriteString("S", "k", "1");
    EXPECT_EQ(readFile(latin1), "[S]\nk=1\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "1");
    ini.WriteString("S", "k", "2");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "2");

    // A new file gets the bits the umask leaves; a file's own bits stay.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(ModeOf(latin1), 0666u & ~mask);
    ASSERT_EQ(::chmod(latin1.c_str(), 0640), 0);
    ini.WriteString("S", "k", "3");
    EXPECT_EQ(ModeOf(latin1), 0640u);
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.path().c_str()), &::closedir);
    ASSERT_TRUE(dir);
    while (const dirent* entry = ::readdir(dir.get()))
        names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "caf\xe9.ini"})) << "no temporary file is left";
}
