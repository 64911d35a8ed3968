// An image list that copies shell icons into itself on demand. Items that use
// the same icon (the same icon file, letter case aside, and index) share one
// image; each image counts its users and is deleted when its last user goes.
// Three overlay slots hold the images of the hidden mark (0), the shared
// folder overlay (1) and the shortcut overlay (2).
#pragma once

#include "ExtractIcon.h"
#include "FflRecords.h"
#include "ImageList.h"
#include "ShellFolder.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TFflIconList : public TImageList {
public:
    // Small lists are 16 by 16 and large ones 48 by 48, unless the system
    // image list of that kind tells its own size.
    TFflIconList(TComponent* owner, bool smallIcons);
    ~TFflIconList() override;

    // The image of the icon at (iconFile, iconIndex), shared when the list
    // already has it: its index, or -1. An empty iconFile names the system
    // image list; without an extractor iconFile names a bitmap resource of
    // the program (magenta is transparent).
    int addIcon(IExtractIconA* extractor, const std::string& iconFile, int iconIndex);
    // Gives back one use of image index: true when the image was deleted
    // (later images then move down by one, and the caller shifts its own
    // indexes).
    bool removeIcon(int index);
    // Overlay slot n filled from the shell's overlay of item in folder: the
    // image index, or -1. A filled slot is returned as it is.
    int addShellOverlay(int n, IShellFolder* folder, LPCITEMIDLIST item);
    // Overlay slot n filled from a bitmap resource: the image index, or -1.
    int addResourceOverlay(int n, const std::string& resourceName);

    // The image of overlay slot n (0 to 2), -1 when empty.
    int overlaySlot(int n) const;
    // Reference record i (position i describes image i).
    const TFflIconRefs& iconRefs(int index) const { return *FIconRefs.at(static_cast<std::size_t>(index)); }
    int iconRefsCount() const { return static_cast<int>(FIconRefs.size()); }

private:
    HICON extractIcon(IExtractIconA* extractor, const std::string& iconFile, int iconIndex) const;
    int addBitmapResource(const std::string& resourceName);
    void setSlot(int n, int image);

    std::vector<std::unique_ptr<TFflIconRefs>> FIconRefs;
    std::array<int, 3> FOverlaySlots{-1, -1, -1};
};
