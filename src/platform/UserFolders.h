// The user's own folders: home and the XDG base folders, and making a folder
// with the missing ones above it.
#pragma once

#include <string>

// $HOME, else the password database's home of the user; "" when neither is known.
std::string HomeFolder();

// An XDG base folder: the variable's value when it is an absolute path (a
// relative one is invalid and ignored), else underHome inside the home
// folder ("" when no home is known). XdgFolder("XDG_STATE_HOME", ".local/state").
std::string XdgFolder(const char* variable, const char* underHome);

// Makes folder and the folders above it that are missing (mode 0700 before
// the umask); true when it is a folder afterwards, else errno tells why.
bool MakeFolders(const std::string& folder);
