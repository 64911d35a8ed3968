// The special folders a folder picker can take as its root, and where each
// of them lies in the shell namespace.
#pragma once

#include "ShellHandles.h"

#include <cstdint>
#include <string>

enum TExSystemFolders : std::uint8_t {
    bfoDesktop,
    bfoDesktopExpanded,
    bfoPrograms,
    bfoControlPanel,
    bfoPrinters,
    bfoPersonal,
    bfoFavorites,
    bfoStartup,
    bfoRecent,
    bfoSendto,
    bfoRecycleBin,
    bfoStartMenu,
    bfoDesktopDirectory,
    bfoMyComputer,
    bfoNetwork,
    bfoNetworkNeighborhood,
    bfoInternet,
    bfoFonts,
    bfoTemplates,
    bfoCommonStartMenu,
    bfoCommonPrograms,
    bfoCommonStartup,
    bfoCommonDesktopDirectory,
    bfoAppData,
    bfoPrintHood,
    bfoAltStartup,
    bfoCommonAltstartup,
    bfoCommonFavorites,
    bfoInternetChache,
    bfoCookies,
    bfoHistory,
};

// The absolute identifier list of the folder a picker shows as its root:
// the desktop (the empty list), the documents folder and Computer as the
// desktop's own items, the desktop and templates folders of the user's
// folder settings by their paths, when they exist. Null for
// bfoDesktopExpanded and for every folder without a counterpart here: the
// picker then shows the whole namespace.
UniquePidl SystemFolderLocation(TExSystemFolders folder);

// The absolute list of a parsing name (an absolute path, or a virtual
// folder's "::{…}" name); null when it does not parse.
UniquePidl AbsoluteList(const std::string& parsingName);
