// A recording xdg-open put first on PATH for one test: it writes the
// arguments it was started with to a file, so a test can see what the
// program asked the desktop to open. PATH is restored afterwards.
#pragma once

#include "TestFiles.h"

#include <string>

class RecordingOpener {
public:
    RecordingOpener();
    ~RecordingOpener();
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    // The file the opener writes, one argument a line.
    std::string log() const { return m_folder.file("opened.txt"); }
    // The log once the (detached) opener wrote it, or "" after 5 seconds.
    std::string waitForLog() const;

private:
    testfiles::TempFolder m_folder;
    std::string m_oldPath;
};
