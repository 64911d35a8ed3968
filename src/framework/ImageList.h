// The framework's image list: a component that owns a platform image list
// (CommonControls.h) of Width by Height images and draws them, with an
// overlay or dimmed, for the item views and tool bars.
#pragma once

#include "Color.h"
#include "Component.h"
#include "CommonControls.h"

#include <QPixmap>

class TBitmap;
class TCanvas;

// Overlay numbers of the framework: 0 to 3 (the platform's overlays 1 to 4).
using TOverlay = int;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner = nullptr);
    ~TImageList() override;

    // Changing the size removes every image.
    int Width() const { return FWidth; }
    void SetWidth(int value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    // The colour behind the images when they are drawn (clNone: none).
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor value);

    int Count() const;
    HIMAGELIST Handle() const { return FHandle; }

    // A copy of the icon at the list's size: the new index, or -1. The caller
    // keeps the icon.
    int AddIcon(HICON icon);
    // The bitmap cut into Width-wide images, maskColor transparent: the index
    // of the first new image, or -1.
    int AddMasked(const TBitmap& image, TColor maskColor);
    void Delete(int index);
    void Clear();
    // Makes image imageIndex overlay number overlay (0 to 3); false when it cannot.
    bool Overlay(int imageIndex, TOverlay overlay);

    // Image index, with overlay number overlay (-1: none) drawn over it and,
    // when dimmed, half transparent (the look of cut items). A null pixmap
    // for a bad index.
    QPixmap GetPixmap(int index, TOverlay overlay = -1, bool dimmed = false) const;
    void Draw(TCanvas* canvas, int x, int y, int index, TOverlay overlay = -1, bool dimmed = false) const;

    // Raised after every change of images, size or overlays.
    TNotifyEvent OnChange;

private:
    void changeSize(int width, int height);
    void changed();
    UINT drawFlags(TOverlay overlay, bool dimmed) const;

    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
};
