// Test doubles for driving the sorting session without the main window.
//
// RecordingViewer follows the slide viewer's rules for a source folder: it
// collects the folder's image files itself (the same files in the same order
// the file list shows), shows one of them at a time and raises OnStartSlide
// when it starts showing an image that is not already on display. Each call
// is recorded as a line of text ("Close", "Open", "Start 3", "slide a.jpg").
//
// SessionControls holds the session's state the way the main window does: a
// real file list box set up for a source folder, the viewer, the transfer
// mode, nine slot paths with their labels and enabled flags, the current-file
// caption, the folder tree's folder and a count of repaints.
#pragma once

#include "FileListBox.h"
#include "SortingSession.h"
#include "TestFiles.h"
#include "TransferMode.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace sessiontest {

class RecordingViewer : public ISessionViewer {
public:
    void SetFilePath(const std::string& folder) override;
    bool Open() override;
    bool Close() override;
    void SetCurrentImage(int index) override;
    bool Start() override;
    bool GoNext() override;

    // Raised when an image starts being shown: its index, its folder with "/"
    // added, its name.
    std::function<void(int imageNumber, const std::string& pathName, const std::string& fileName)> OnStartSlide;

    const std::string& FilePath() const { return m_folder; }
    bool HasCollection() const { return m_open; }
    const std::vector<std::string>& Collection() const { return m_collection; }
    int CurrentImage() const { return m_current; }
    // The name of the image on display, or "" when nothing is shown.
    std::string Shown() const;

    // The calls so far, oldest first.
    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }

    // The image files of a folder as the viewer collects them: regular files
    // that are neither hidden nor system files, whose extension is one of the
    // session's image extensions (letter case ignored), ordered by lstrcmpiA
    // of the name followed by "0000". Empty for a missing folder.
    static std::vector<std::string> CollectFolder(const std::string& folder);

private:
    void show(int index);

    std::string m_folder;
    bool m_open = false;
    std::vector<std::string> m_collection;
    int m_current = 0;
    int m_shown = -1;
    std::vector<std::string> m_calls;
};

class SessionControls : public TSessionControls {
public:
    SessionControls();

    std::string FolderName() override { return folder; }
    void SelectFolder(const std::string& path) override { folder = path; }
    TFileListBox& FileList() override { return list; }
    ISessionViewer& Viewer() override { return viewer; }
    TTransferMode& Mode() override { return mode; }
    std::string SlotPath(int slot) override { return slotPaths.at(std::size_t(slot - 1)); }
    void SetSlotLabel(int slot, const std::string& text) override { slotLabels.at(std::size_t(slot - 1)) = text; }
    void SetSlotEnabled(int slot, bool on) override { slotEnabled.at(std::size_t(slot - 1)) = on; }
    std::string CurrentFilePath() override { return currentFile; }
    void SetCurrentFilePath(const std::string& path) override { currentFile = path; }
    void RepaintWindow() override { ++repaints; }

    // The names the list shows, in order.
    std::vector<std::string> ListedNames() const;
    // The selected entry's name, or "" when nothing is selected.
    std::string SelectedName() const;

    TFileListBox list;
    RecordingViewer viewer;
    TTransferMode mode;
    std::string folder;
    std::array<std::string, kSlotCount> slotPaths{};
    std::array<std::string, kSlotCount> slotLabels{};
    std::array<bool, kSlotCount> slotEnabled{};
    std::string currentFile = kNoCurrentFile;
    int repaints = 0;
};

// The session over its controls, with the viewer's start-of-slide event bound
// as the main window binds it.
struct SessionRig {
    SessionControls controls;
    TSortingSession session{controls};

    SessionRig()
    {
        controls.viewer.OnStartSlide = [this](int image, const std::string& pathName, const std::string& fileName) {
            session.VxSlide1StartSlide(image, pathName, fileName);
        };
    }
    SessionRig(const SessionRig&) = delete;
    SessionRig& operator=(const SessionRig&) = delete;

    void ChangeFolder(const std::string& folder)
    {
        controls.folder = folder;
        session.FolderTreeView0Change();
    }

    void SetSlot(int slot, const std::string& path)
    {
        controls.slotPaths[std::size_t(slot - 1)] = path;
        session.SlotPathChanged(slot);
    }

    TFileListBox& List() { return controls.list; }
    RecordingViewer& Viewer() { return controls.viewer; }
    const std::vector<std::string>& ViewerCalls() { return controls.viewer.Calls(); }
};

// Files whose content is their own name, so a moved or copied file can be
// recognised wherever it ends up.
inline void MakeFiles(const testfiles::TempFolder& folder, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        testfiles::writeFile(folder.file(name), name);
}

}  // namespace sessiontest
