#include "ExSystemFolders.h"

#include "FileOps.h"
#include "ShellFolder.h"
#include "Unicode.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

UniquePidl specialFolder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)))
        return nullptr;
    return UniquePidl(list);
}

// The list of the folder a standard location names; null when it does not exist.
UniquePidl folderAt(QStandardPaths::StandardLocation location)
{
    const QString located = QStandardPaths::writableLocation(location);
    if (located.isEmpty())
        return nullptr;
    const std::string path = QFile::encodeName(QDir::cleanPath(located)).toStdString();
    if (!DirectoryExists(path))
        return nullptr;
    return AbsoluteList(path);
}

}  // namespace

UniquePidl SystemFolderLocation(TExSystemFolders folder)
{
    switch (folder) {
    case bfoDesktop:
        return specialFolder(CSIDL_DESKTOP);
    case bfoPersonal:
        return specialFolder(CSIDL_PERSONAL);
    case bfoMyComputer:
        return specialFolder(CSIDL_DRIVES);
    case bfoDesktopDirectory:
        return folderAt(QStandardPaths::DesktopLocation);
    case bfoTemplates:
        return folderAt(QStandardPaths::TemplatesLocation);
    default:
        return nullptr;
    }
}

UniquePidl AbsoluteList(const std::string& parsingName)
{
    IShellFolder* desktop = nullptr;
    if (parsingName.empty() || FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    const ShellRef<IShellFolder> owned(desktop);
    const std::u16string wide = WideFromNarrow(parsingName);
    LPITEMIDLIST list = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.c_str(), nullptr, &list, nullptr)))
        return nullptr;
    return UniquePidl(list);
}
