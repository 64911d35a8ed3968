// Following a shortcut: the target path of the shortcut file at linkPath.
#pragma once

#include <string>

// True with the target in target; false, silently, when anything fails
// (target is then left as it was).
bool resolveShortcut(const std::string& linkPath, std::string& target);
