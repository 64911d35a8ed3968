#include "RegistryIniFile.h"

#include "UserFolders.h"

#include "Paths.h"


namespace {

std::string ConfigFolder()
{
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::string EncodeComponent(const std::string& component)
{
    if (component.empty())
        return "%";
    std::string encoded;
    for (char c : component) {
        switch (c) {
        case '%': encoded += "%25"; break;
        case '/': encoded += "%2F"; break;
        case '.': encoded += "%2E"; break;
        case '\0': encoded += "%00"; break;
        default: encoded += c;
        }
    }
    return encoded;
}

// <config>/Pictal/registry/<components joined with "/">.ini
std::string StoreFileOf(const std::string& keyName)
{
    std::string key = keyName;
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    if (!key.empty() && key.front() == '\\')
        key.erase(0, 1);

    std::string relative;
    if (!key.empty()) {
        size_t start = 0;
        for (;;) {
            const size_t sep = key.find('\\', start);
            const std::string component = key.substr(start, sep == std::string::npos ? sep : sep - start);
            if (!relative.empty())
                relative += '/';
            relative += EncodeComponent(component);
            if (sep == std::string::npos)
                break;
            start = sep + 1;
        }
    }
    return ConfigFolder() + "/Pictal/registry/" + relative + ".ini";
}

}  // namespace

TRegistryIniFile::TRegistryIniFile(const std::string& keyName)
    : TCustomIniFile(keyName), FStore(StoreFileOf(keyName))
{
}

void TRegistryIniFile::CreateKeyFolder() const
{
    // When this fails the write that follows is refused with the file's path.
    MakeFolders(ParentFolder(FStore.FileName()));
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& def) const
{
    return FStore.ReadString(section, ident, def);
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident,
                                   const std::string& value)
{
    CreateKeyFolder();
    FStore.WriteString(section, ident, value);
}

void TRegistryIniFile::ReadSection(const std::string& section, std::vector<std::string>& idents) const
{
    FStore.ReadSection(section, idents);
}

void TRegistryIniFile::ReadSections(std::vector<std::string>& sections) const
{
    FStore.ReadSections(sections);
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) const
{
    return FStore.ValueExists(section, ident);
}

void TRegistryIniFile::EraseSection(const std::string& section)
{
    FStore.EraseSection(section);
}

void TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    FStore.DeleteKey(section, ident);
}
