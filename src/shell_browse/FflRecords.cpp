#include "FflRecords.h"

TFflNodeInfo::~TFflNodeInfo()
{
    CoTaskMemFree(pidl);
    if (folder)
        folder->Release();
}

TFflItemInfo::~TFflItemInfo()
{
    CoTaskMemFree(pidl);
}
