// The program's one name comparison, shared by the file list's order and the
// slide order so that both sides list the same files in the same order.
#pragma once

#include <string>

// Compares two UTF-8 texts without regard to letter case, by the rules of the
// user's locale (English rules when the locale is "C"/POSIX, so the order does
// not depend on an unset LANG). Texts that compare equal that way are ordered by
// their bytes, so the order is total. Negative, 0 or positive, like strcmp.
int lstrcmpiA(const std::string& a, const std::string& b);

// The same comparison without the tie-break: 0 for texts that differ only in
// letter case (and whatever else the locale's rules do not tell apart).
int CollateIgnoringCase(const std::string& a, const std::string& b);
