#include "RecordingOpener.h"

#include <QThread>

#include <cstdlib>
#include <sys/stat.h>

RecordingOpener::RecordingOpener()
{
    const std::string script = m_folder.file("xdg-open");
    testfiles::writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + log() + ".tmp\" && mv \"" + log() +
                                     ".tmp\" \"" + log() + "\"\n");
    ::chmod(script.c_str(), 0755);
    m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (m_folder.path() + ":" + m_oldPath).c_str(), 1);
}

RecordingOpener::~RecordingOpener()
{
    ::setenv("PATH", m_oldPath.c_str(), 1);
}

std::string RecordingOpener::waitForLog() const
{
    for (int i = 0; i < 500 && !testfiles::exists(log()); ++i)
        QThread::msleep(10);
    return testfiles::exists(log()) ? testfiles::readFile(log()) : std::string();
}
