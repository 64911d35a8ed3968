// A picture: holds at most one graphic, which is always a bitmap (every picture
// format Qt reads is loaded as one). OnChange reports a new or changed graphic.
#pragma once

#include "GraphicsObjects.h"

#include <memory>
#include <string>

class TBitmap;

class TPicture : public TGraphicsObject {
public:
    TPicture();
    ~TPicture() override;

    // The bitmap, created empty on first use (creating it raises no OnChange).
    TBitmap* Bitmap();
    // A copy of value becomes the graphic; nullptr removes the graphic.
    void SetBitmap(const TBitmap* value);
    // The graphic, nullptr when there is none.
    TBitmap* Graphic() const { return FBitmap.get(); }

    int Width() const;
    int Height() const;
    // No graphic, or an empty one.
    bool Empty() const;

    // Raises Exception on failure and leaves the picture as it was.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    void Assign(const TPicture& source);
    void Clear();

private:
    void adopt(std::unique_ptr<TBitmap> bitmap);

    std::unique_ptr<TBitmap> FBitmap;
};
