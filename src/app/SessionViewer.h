// The slide viewer as the sorting session sees it, and the viewer's set-up
// that makes its collection list a source folder exactly as the file list
// does (one item per file, the same extensions in the same order, the same
// name order).
#pragma once

#include "SortingSession.h"

class TVxSlide;

// Sets the viewer up for a source folder: one item per file, the image
// extensions of the file list, sorted by name, ascending.
void ConfigureSessionViewer(TVxSlide& viewer);

class TSessionViewer : public ISessionViewer {
public:
    explicit TSessionViewer(TVxSlide& viewer) : FViewer(viewer) {}

    void SetFilePath(const std::string& folder) override;
    bool Open() override;
    bool Close() override;
    void SetCurrentImage(int index) override;
    bool Start() override;
    bool GoNext() override;

private:
    TVxSlide& FViewer;
};
