// Directory search with the Win32 names: a pattern is a folder path, "/" and
// a name pattern in which "*" stands for any run of characters (also none)
// and "?" for exactly one character; letter case is ignored. A name pattern
// without wildcards finds that one entry, an exact-case match first.
//
// Entries come in the byte order of their names, "." and ".." among them when
// the pattern matches them (as folders, not hidden ones). Each gives its name, size, times and attributes
// (FILE_ATTRIBUTE_* in WinTypes.h); a symbolic link is described by its
// target, with FILE_ATTRIBUTE_REPARSE_POINT, a dangling one as a system entry. Several searches of one unchanged
// folder read its names once.
#pragma once

#include "CaseFold.h"
#include "WinTypes.h"

#include <string>
#include <string_view>

// The first matching entry, and a search handle for the rest; or
// INVALID_HANDLE_VALUE with GetLastError() ERROR_PATH_NOT_FOUND (no such
// folder), ERROR_FILE_NOT_FOUND (nothing matches) or ERROR_ACCESS_DENIED.
HANDLE FindFirstFileA(const std::string& pattern, WIN32_FIND_DATAA* data);
// The next matching entry; FALSE with ERROR_NO_MORE_FILES at the end, or with
// ERROR_INVALID_HANDLE for a handle that is not an open search.
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
// Ends a search and frees its handle.
BOOL FindClose(HANDLE search);

// Describes the one entry `name` of folder exactly as a search finds it
// (no wildcards, letter case as given); false when there is no such entry.
bool DescribeEntry(const std::string& folder, const std::string& name, WIN32_FIND_DATAA* data);

// The name-pattern test of the search, for use elsewhere: "*" and "?" as
// above, letter case ignored (Unicode case folding).
bool MatchesMask(const std::string& name, const std::string& pattern);

// The same test for many names against a few patterns: fold each once with
// FoldName (CaseFold.h), then match the folded forms.
bool MatchesFolded(std::u32string_view foldedName, std::u32string_view foldedPattern);
