// File times: FILETIME counts 100-nanosecond intervals since 1601-01-01 UTC.
#pragma once

#include "WinTypes.h"

#include <ctime>

// The local time (time zone and daylight saving in force at that instant)
// of a UTC file time. Fails for null pointers or a result out of range.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);

// Splits a file time into calendar fields, with the day of the week
// (0 = Sunday). Fails for null pointers and values with the top bit set.
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

// A Unix time as a file time; times before 1601 give 0, times beyond the
// range the largest representable value.
FILETIME TimespecToFileTime(const struct timespec& time);
// A file time as a Unix time (tv_nsec always 0..999999999, in steps of 100).
struct timespec FileTimeToTimespec(const FILETIME& fileTime);
