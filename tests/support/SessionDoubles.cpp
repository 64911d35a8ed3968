#include "SessionDoubles.h"
#include "Paths.h"

#include "FindFile.h"
#include "TextCompare.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace sessiontest {

namespace {

bool hasImageExtension(const std::string& name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const QString extension = QString::fromStdString(name.substr(dot + 1));
    const QStringList known = QString(kImageExtensions).split(';');
    return std::any_of(known.begin(), known.end(), [&](const QString& e) {
        return extension.compare(e, Qt::CaseInsensitive) == 0;
    });
}

}  // namespace

std::vector<std::string> RecordingViewer::CollectFolder(const std::string& folder)
{
    std::vector<std::string> names;
    if (folder.empty())
        return names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(JoinPath(folder, "*"), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (IsSessionFile(folder, entry) && hasImageExtension(entry.cFileName))
            names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a + "0000", b + "0000") < 0;
    });
    return names;
}

void RecordingViewer::SetFilePath(const std::string& folder)
{
    m_calls.push_back("FilePath " + folder);
    m_folder = folder;
}

bool RecordingViewer::Open()
{
    m_calls.push_back("Open");
    if (m_open)
        return true;
    m_collection = CollectFolder(m_folder);
    m_open = !m_collection.empty();
    m_current = 0;
    return m_open;
}

bool RecordingViewer::Close()
{
    m_calls.push_back("Close");
    const bool wasOpen = m_open;
    m_open = false;
    m_collection.clear();
    m_shown = -1;
    return wasOpen;
}

void RecordingViewer::SetCurrentImage(int index)
{
    m_calls.push_back("CurrentImage " + std::to_string(index));
    m_current = std::max(0, index);
}

bool RecordingViewer::Start()
{
    m_calls.push_back("Start " + std::to_string(m_current));
    if (!m_open)
        return false;
    m_current = std::min(m_current, int(m_collection.size()) - 1);
    show(m_current);
    return true;
}

bool RecordingViewer::GoNext()
{
    m_calls.push_back("GoNext");
    if (!m_open)
        return false;
    m_current = std::min(m_current + 1, int(m_collection.size()) - 1);
    show(m_current);
    return true;
}

std::string RecordingViewer::Shown() const
{
    return m_shown < 0 ? std::string() : m_collection[std::size_t(m_shown)];
}

// An image already on display is not drawn again and raises no event.
void RecordingViewer::show(int index)
{
    if (index == m_shown)
        return;
    m_shown = index;
    const std::string& name = m_collection[std::size_t(index)];
    m_calls.push_back("slide " + name);
    if (OnStartSlide)
        OnStartSlide(index, JoinPath(m_folder, ""), name);
}

SessionControls::SessionControls()
{
    ConfigureSessionFileList(list);
}

std::vector<std::string> SessionControls::ListedNames() const
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Item(i));
    return names;
}

std::string SessionControls::SelectedName() const
{
    const int selected = list.ItemIndex();
    return selected < 0 ? std::string() : list.Item(selected);
}

}  // namespace sessiontest
