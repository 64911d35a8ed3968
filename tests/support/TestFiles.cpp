#include "TestFiles.h"

#include <QDir>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace testfiles {

static QString templateUnder(const std::string& base)
{
    QString folder = base.empty() ? QDir::tempPath() : QString::fromStdString(base);
    return folder + "/pictal-test-XXXXXX";
}

TempFolder::TempFolder(const std::string& base) : m_dir(templateUnder(base))
{
    if (m_dir.isValid())
        m_path = m_dir.path().toStdString();
}

TempFolder::~TempFolder()
{
    std::error_code error;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, error);
}

std::string TempFolder::file(const std::string& name) const
{
    return m_path + "/" + name;
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    out << contents;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace testfiles
