// Real files on disk for tests: a temporary folder that is removed with its
// contents, and small helpers to write and read whole files.
#pragma once

#include <QTemporaryDir>
#include <string>

namespace testfiles {

class TempFolder {
public:
    // A fresh folder under base (the system's temporary folder when empty).
    explicit TempFolder(const std::string& base = {});
    // Removes the folder by its bytes: names that are no UTF-8 cannot be
    // named through Qt.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    bool valid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
    std::string m_path;
};

void writeFile(const std::string& path, const std::string& contents);
std::string readFile(const std::string& path);
bool exists(const std::string& path);

}  // namespace testfiles
