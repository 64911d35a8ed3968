#include "FileTime.h"
#include "FindFile.h"
#include "LastError.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

std::uint64_t ticksOf(const FILETIME& ft)
{
    return (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

std::uint64_t ticksOf(const struct timespec& ts)
{
    return std::uint64_t(ts.tv_sec) * 10000000 + std::uint64_t(ts.tv_nsec) / 100 + 116444736000000000ULL;
}

// Every entry a search returns, by name; the search must end with
// ERROR_NO_MORE_FILES and close cleanly.
std::map<std::string, WIN32_FIND_DATAA> findAll(const std::string& pattern)
{
    std::map<std::string, WIN32_FIND_DATAA> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        EXPECT_TRUE(found.emplace(data.cFileName, data).second) << "twice: " << data.cFileName;
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return found;
}

std::vector<std::string> namesOf(const std::map<std::string, WIN32_FIND_DATAA>& found)
{
    std::vector<std::string> names;
    for (const auto& [name, data] : found)
        names.push_back(name);
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(FindFile, AttributesOfEachKindOfEntry)
{
    TempFolder folder;
    writeFile(folder.file("a.jpg"), "abc");
    writeFile(folder.file(".hidden.jpg"), "x");
    writeFile(folder.file("readonly.jpg"), "x");
    ASSERT_EQ(::chmod(folder.file("readonly.jpg").c_str(), 0444), 0);
    ASSERT_EQ(::mkdir(folder.file("sub").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("missing.jpg", folder.file("dangling.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("a.jpg", folder.file("link.jpg").c_str()), 0);

    const auto found = findAll(folder.path() + "/*");
    ASSERT_EQ(namesOf(found), (Names{".", "..", ".hidden.jpg", "a.jpg", "dangling.jpg", "fifo", "link.jpg", "readonly.jpg", "sub"}));
    EXPECT_EQ(found.at(".").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(found.at("..").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(found.at(".hidden.jpg").dwFileAttributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(found.at("a.jpg").dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(found.at("dangling.jpg").dwFileAttributes, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(found.at("fifo").dwFileAttributes, FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(found.at("link.jpg").dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT)
        << "a link is marked as one";
    EXPECT_EQ(found.at("link.jpg").nFileSizeLow, 3u);  // the target's size
    EXPECT_EQ(found.at("readonly.jpg").dwFileAttributes, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(found.at("sub").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(found.at("sub").nFileSizeLow, 0u);
}

TEST(FindFile, PatternsIgnoreLetterCaseAndCountCharacters)
{
    TempFolder folder;
    for (const char* name : {"a.jpg", "B.Jpg", "c.jpeg", "写真1.jpg", "写真12.jpg", "Ärger.PNG", "jpg", "x.jpg.txt"})
        writeFile(folder.file(name), "x");

    EXPECT_EQ(namesOf(findAll(folder.path() + "/*.JPG")), (Names{"B.Jpg", "a.jpg", "写真1.jpg", "写真12.jpg"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/写真?.jpg")), (Names{"写真1.jpg"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/??1.jpg")), (Names{"写真1.jpg"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/a*.jpg")), (Names{"a.jpg"}));  // "*" also matches nothing
    EXPECT_EQ(namesOf(findAll(folder.path() + "/*jpg*")), (Names{"B.Jpg", "a.jpg", "jpg", "x.jpg.txt", "写真1.jpg", "写真12.jpg"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/ärger.png")), (Names{"Ärger.PNG"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/*.jp?g")), (Names{"c.jpeg"}));
    // Doubled separators before the name pattern are one.
    EXPECT_EQ(namesOf(findAll(folder.path() + "//A.JPG")), (Names{"a.jpg"}));
}

TEST(FindFile, PlainNamePrefersTheExactCase)
{
    TempFolder folder;
    writeFile(folder.file("Same.txt"), "upper");
    writeFile(folder.file("same.txt"), "lower");

    EXPECT_EQ(namesOf(findAll(folder.path() + "/same.txt")), (Names{"same.txt"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/Same.txt")), (Names{"Same.txt"}));
    EXPECT_EQ(findAll(folder.path() + "/SAME.TXT").size(), 1u);
}

TEST(FindFile, SizesAndTimesMatchTheFileSystem)
{
    TempFolder folder;
    const std::string path = folder.file("big.bin");
    writeFile(path, "");
    ASSERT_EQ(::truncate(path.c_str(), (std::int64_t(5) << 32) + 77), 0);  // sparse, over 20 GiB
    const struct timespec times[2] = {{1600000000, 987654321}, {981173106, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct statx sx {};
    ASSERT_EQ(::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx), 0);

    const auto found = findAll(folder.path() + "/big.bin");
    ASSERT_EQ(found.size(), 1u);
    const WIN32_FIND_DATAA& data = found.begin()->second;
    EXPECT_EQ(data.nFileSizeHigh, 5u);
    EXPECT_EQ(data.nFileSizeLow, 77u);
    EXPECT_EQ(ticksOf(data.ftLastWriteTime), ticksOf(times[1]));
    EXPECT_EQ(ticksOf(data.ftLastAccessTime), ticksOf(times[0]));
    const statx_timestamp created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime;
    EXPECT_EQ(ticksOf(data.ftCreationTime), ticksOf(timespec{time_t(created.tv_sec), long(created.tv_nsec)}));
}

TEST(FindFile, FailuresGiveTheInvalidHandleAndAReason)
{
    TempFolder folder;
    writeFile(folder.file("a.jpg"), "x");
    WIN32_FIND_DATAA data;

    EXPECT_EQ(FindFirstFileA(folder.path() + "/*.png", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileA(folder.path() + "/b.jpg", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileA(folder.path() + "/missing/*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(FindFirstFileA(folder.path() + "/a.jpg/*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(FindFirstFileA(folder.path() + "/*", nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA("", &data), INVALID_HANDLE_VALUE);

    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileA(reinterpret_cast<HANDLE>(&data), &data));
    EXPECT_FALSE(FindClose(nullptr));

    HANDLE search = FindFirstFileA(folder.path() + "/*", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_FALSE(FindNextFileA(search, &data));
}

TEST(FindFile, EntriesRemovedDuringTheSearchAreSkipped)
{
    TempFolder folder;
    for (const char* name : {"a1.jpg", "a2.jpg", "a3.jpg"})
        writeFile(folder.file(name), "x");
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(folder.path() + "/a*", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.cFileName, "a1.jpg");
    ASSERT_EQ(::unlink(folder.file("a2.jpg").c_str()), 0);
    ASSERT_TRUE(FindNextFileA(search, &data));
    EXPECT_EQ(data.cFileName, "a3.jpg");
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
}

TEST(FindFile, MatchesMask)
{
    EXPECT_TRUE(MatchesMask("a.jpg", "*.JPG"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_TRUE(MatchesMask("abcabd", "*ab?"));
    EXPECT_TRUE(MatchesMask("ÉTÉ.png", "été.*"));
    EXPECT_TRUE(MatchesMask("写真.jpg", "??.jpg"));
    EXPECT_FALSE(MatchesMask("写真.jpg", "?.jpg"));
    EXPECT_FALSE(MatchesMask("a.jpeg", "*.jpg"));
    EXPECT_FALSE(MatchesMask("ac", "a?c"));
    EXPECT_FALSE(MatchesMask("a.jpg", ""));
}

TEST(FileTime, SystemTimeOfAFileTime)
{
    // 2024-02-29 12:34:56.789 UTC, a Thursday.
    const struct timespec leapDay = {1709210096, 789000000};
    SYSTEMTIME st;
    const FILETIME ft = TimespecToFileTime(leapDay);
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wDayOfWeek, 4);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 34);
    EXPECT_EQ(st.wSecond, 56);
    EXPECT_EQ(st.wMilliseconds, 789);

    const FILETIME first{};  // 1601-01-01, a Monday
    ASSERT_TRUE(FileTimeToSystemTime(&first, &st));
    EXPECT_EQ(st.wYear, 1601);
    EXPECT_EQ(st.wDayOfWeek, 1);

    const FILETIME outOfRange{0, 0x80000000u};
    EXPECT_FALSE(FileTimeToSystemTime(&outOfRange, &st));
}

TEST(FileTime, TimespecRoundTripsBefore1970)
{
    const struct timespec before = {-86401, 500000000};  // 1969-12-30 23:59:59.5
    const struct timespec back = FileTimeToTimespec(TimespecToFileTime(before));
    EXPECT_EQ(back.tv_sec, before.tv_sec);
    EXPECT_EQ(back.tv_nsec, before.tv_nsec);
    EXPECT_EQ(ticksOf(TimespecToFileTime({-20000000000, 0})), 0u);  // before 1601
}

TEST(FileTime, LocalTimeUsesDaylightSavingOfThatInstant)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);

    const FILETIME winter = TimespecToFileTime({1704067200, 0});  // 2024-01-01 00:00 UTC
    const FILETIME summer = TimespecToFileTime({1719792000, 0});  // 2024-07-01 00:00 UTC
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &local));
    EXPECT_EQ(ticksOf(local) - ticksOf(winter), 3600ULL * 10000000);
    ASSERT_TRUE(FileTimeToLocalFileTime(&summer, &local));
    EXPECT_EQ(ticksOf(local) - ticksOf(summer), 7200ULL * 10000000);

    if (saved)
        ::setenv("TZ", previous.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(FindFile, RepeatedSearchesSeeEveryChangeOfTheFolder)
{
    testfiles::TempFolder folder;
    testfiles::writeFile(folder.file("a.jpg"), "");
    const std::string jpegs = folder.path() + "/*.jpg";

    // Changes right after a search, in a folder changed a moment ago (the same
    // tick of the file system's clock, quite possibly).
    EXPECT_EQ(namesOf(findAll(jpegs)), (Names{"a.jpg"}));
    testfiles::writeFile(folder.file("b.jpg"), "");
    EXPECT_EQ(namesOf(findAll(jpegs)), (Names{"a.jpg", "b.jpg"}));
    ::unlink(folder.file("a.jpg").c_str());
    EXPECT_EQ(namesOf(findAll(jpegs)), (Names{"b.jpg"}));

    // The same once the folder has been left alone for a while, so that its
    // names may be reused by the next searches.
    ::usleep(100 * 1000);
    EXPECT_EQ(namesOf(findAll(jpegs)), (Names{"b.jpg"}));
    EXPECT_EQ(namesOf(findAll(folder.path() + "/*.png")), (Names{}));
    testfiles::writeFile(folder.file("c.png"), "");
    EXPECT_EQ(namesOf(findAll(folder.path() + "/*.png")), (Names{"c.png"}));
    ::rename(folder.file("b.jpg").c_str(), folder.file("d.jpg").c_str());
    EXPECT_EQ(namesOf(findAll(jpegs)), (Names{"d.jpg"}));
}
