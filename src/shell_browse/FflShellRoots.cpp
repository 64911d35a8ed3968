#include "FflShellRoots.h"

TFflShellRoots::TFflShellRoots()
{
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)))
        FDesktop.reset(desktop);
    LPITEMIDLIST documents = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &documents)))
        FDocuments.reset(documents);
    CoInitialize(nullptr);
}

TFflShellRoots::~TFflShellRoots()
{
    // Given back before the shell is left.
    FDesktop.reset();
    FDocuments.reset();
    CoUninitialize();
}
