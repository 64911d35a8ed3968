#include "FileTime.h"

#include "LastError.h"

#include <cstdint>
#include <limits>
#include <time.h>

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;             // 100 ns units
constexpr std::int64_t kUnixEpoch = 116444736000000000;          // 1970-01-01 in file time
constexpr std::int64_t kMaxTicks = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kSecondsPerDay = 86400;

std::uint64_t ticksOf(const FILETIME& ft)
{
    return (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME fileTimeOf(std::uint64_t ticks)
{
    FILETIME ft;
    ft.dwLowDateTime = DWORD(ticks & 0xFFFFFFFFu);
    ft.dwHighDateTime = DWORD(ticks >> 32);
    return ft;
}

// Floor division, so times before 1970 split into a negative second and a
// non-negative remainder.
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Year, month (1..12) and day (1..31) of a day count since 1970-01-01, in the
// proleptic Gregorian calendar.
void civilFromDays(std::int64_t z, std::int64_t& year, unsigned& month, unsigned& day)
{
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = std::int64_t(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

FILETIME TimespecToFileTime(const struct timespec& time)
{
    const std::int64_t sec = time.tv_sec;
    const std::int64_t minSec = floorDiv(-kUnixEpoch, kTicksPerSecond);
    const std::int64_t maxSec = (kMaxTicks - kUnixEpoch) / kTicksPerSecond - 1;
    if (sec < minSec)
        return fileTimeOf(0);
    if (sec > maxSec)
        return fileTimeOf(std::uint64_t(kMaxTicks));
    const std::int64_t ticks = sec * kTicksPerSecond + time.tv_nsec / 100 + kUnixEpoch;
    return fileTimeOf(ticks < 0 ? 0 : std::uint64_t(ticks));
}

struct timespec FileTimeToTimespec(const FILETIME& fileTime)
{
    std::uint64_t ticks = ticksOf(fileTime);
    if (ticks > std::uint64_t(kMaxTicks))
        ticks = std::uint64_t(kMaxTicks);
    const std::int64_t sinceEpoch = std::int64_t(ticks) - kUnixEpoch;
    struct timespec ts{};
    ts.tv_sec = time_t(floorDiv(sinceEpoch, kTicksPerSecond));
    ts.tv_nsec = long(sinceEpoch - std::int64_t(ts.tv_sec) * kTicksPerSecond) * 100;
    return ts;
}

// A refused argument: the last error says so.
static BOOL invalidParameter()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime)
{
    if (!fileTime || !localFileTime || ticksOf(*fileTime) > std::uint64_t(kMaxTicks))
        return invalidParameter();
    const std::uint64_t ticks = ticksOf(*fileTime);
    const time_t seconds = time_t(floorDiv(std::int64_t(ticks) - kUnixEpoch, kTicksPerSecond));
    struct tm local{};
    ::tzset();  // localtime_r need not look at TZ again by itself
    if (!::localtime_r(&seconds, &local))
        return invalidParameter();
    const std::int64_t offset = std::int64_t(local.tm_gmtoff) * kTicksPerSecond;
    if (offset > 0 && std::int64_t(ticks) > kMaxTicks - offset)
        return invalidParameter();
    const std::int64_t result = std::int64_t(ticks) + offset;
    if (result < 0)
        return invalidParameter();
    *localFileTime = fileTimeOf(std::uint64_t(result));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime)
{
    if (!fileTime || !systemTime || ticksOf(*fileTime) > std::uint64_t(kMaxTicks))
        return invalidParameter();
    const std::uint64_t ticks = ticksOf(*fileTime);
    const std::int64_t totalSeconds = std::int64_t(ticks / kTicksPerSecond);
    const std::int64_t daysSince1601 = totalSeconds / kSecondsPerDay;
    const std::int64_t secondOfDay = totalSeconds % kSecondsPerDay;

    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(daysSince1601 - 134774, year, month, day);  // 134774 days from 1601 to 1970

    systemTime->wYear = WORD(year);
    systemTime->wMonth = WORD(month);
    systemTime->wDay = WORD(day);
    systemTime->wDayOfWeek = WORD((daysSince1601 + 1) % 7);  // 1601-01-01 was a Monday
    systemTime->wHour = WORD(secondOfDay / 3600);
    systemTime->wMinute = WORD(secondOfDay / 60 % 60);
    systemTime->wSecond = WORD(secondOfDay % 60);
    systemTime->wMilliseconds = WORD(ticks / 10000 % 1000);
    return TRUE;
}
