// The one case folding of names: section and key names of profile files,
// file names matched against masks or among siblings.
#pragma once

#include <string>
#include <string_view>

// name as case-folded Unicode code points (Unicode's full folding), so that
// two names differing only in letter case fold alike. A byte that is no part
// of valid UTF-8 stays itself, so names that differ in such bytes never fold
// alike.
std::u32string FoldName(std::string_view name);
