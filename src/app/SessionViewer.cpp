#include "SessionViewer.h"

#include "Vxslide.h"

void ConfigureSessionViewer(TVxSlide& viewer)
{
    viewer.SetFileReadWay(vxFolder);
    viewer.SetFileExt(kImageExtensions);
    viewer.SetSort(vxSortFileName);
    viewer.SetSortOrder(vxSortOrderInc);
}

void TSessionViewer::SetFilePath(const std::string& folder)
{
    FViewer.SetFilePath(folder);
}

bool TSessionViewer::Open()
{
    return FViewer.Open();
}

bool TSessionViewer::Close()
{
    return FViewer.Close();
}

void TSessionViewer::SetCurrentImage(int index)
{
    FViewer.SetCurrentImage(index);
}

bool TSessionViewer::Start()
{
    return FViewer.Start();
}

bool TSessionViewer::GoNext()
{
    return FViewer.GoNext();
}
