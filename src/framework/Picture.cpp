#include "Picture.h"

#include "Bitmap.h"

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::adopt(std::unique_ptr<TBitmap> bitmap)
{
    if (bitmap)
        bitmap->OnChange = [this](TGraphicsObject*) { Changed(); };
    FBitmap = std::move(bitmap);
}

TBitmap* TPicture::Bitmap()
{
    if (!FBitmap)
        adopt(std::make_unique<TBitmap>());
    return FBitmap.get();
}

void TPicture::SetBitmap(const TBitmap* value)
{
    if (value == FBitmap.get() && value)
        return;
    std::unique_ptr<TBitmap> copy;
    if (value) {
        copy = std::make_unique<TBitmap>();
        copy->Assign(*value);
    }
    adopt(std::move(copy));
    Changed();
}

int TPicture::Width() const { return FBitmap ? FBitmap->Width() : 0; }

int TPicture::Height() const { return FBitmap ? FBitmap->Height() : 0; }

bool TPicture::Empty() const { return !FBitmap || FBitmap->Empty(); }

void TPicture::LoadFromFile(const std::string& path)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFile(path);
    adopt(std::move(bitmap));
    Changed();
}

void TPicture::SaveToFile(const std::string& path) const
{
    if (FBitmap)
        FBitmap->SaveToFile(path);
    else
        TBitmap().SaveToFile(path);  // raises the empty-bitmap error
}

void TPicture::Assign(const TPicture& source)
{
    if (&source == this)
        return;
    SetBitmap(source.FBitmap.get());
}

void TPicture::Clear()
{
    adopt(nullptr);
    Changed();
}
