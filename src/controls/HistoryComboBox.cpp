#include "HistoryComboBox.h"

#include "IniFile.h"
#include "Modules.h"
#include "Paths.h"
#include "RegistryIniFile.h"
#include "SafeCall.h"
#include "SysUtils.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kCountKey = "HistoryCount";
constexpr const char* kEntryKeyPrefix = "History";

std::string entryKey(int index)
{
    return kEntryKeyPrefix + std::to_string(index);  // History0, History1, ...
}

// ".ini" added to a name without an extension; a name without a folder lies
// in the program's folder.
std::string historyFilePath(std::string fileName)
{
    if (ExtractFileExt(fileName).empty())
        fileName += ".ini";
    if (fileName.find('/') == std::string::npos)
        fileName = JoinPath(ParentFolder(GetModuleFileNameA(nullptr)), fileName);
    return fileName;
}

// The index n of the last "History<n>" key the section holds, or -1.
int lastStoredEntry(const TCustomIniFile& store, const std::string& section)
{
    const std::string prefix = kEntryKeyPrefix;
    std::vector<std::string> keys;
    store.ReadSection(section, keys);
    int last = -1;
    for (const std::string& key : keys) {
        if (key.size() <= prefix.size() || !AnsiSameText(key.substr(0, prefix.size()), prefix))
            continue;
        const std::string digits = key.substr(prefix.size());
        int index = 0;
        // Only the names entryKey writes (no sign, blank or leading zero).
        if (TryStrToInt(digits, index) && index >= 0 && std::to_string(index) == digits)
            last = std::max(last, index);
    }
    return last;
}

}  // namespace

THistoryComboBox::THistoryComboBox(TComponent* owner) : TCustomComboBox(owner)
{
}

THistoryComboBox::~THistoryComboBox()
{
    if (ComponentState().Contains(csDesigning) || (FSaveMode != hsAuto && FSaveMode != hsAutoSave))
        return;
    // An exception leaving a destructor would end the program (the program's
    // folder, where a bare file name lies, is often not writable).
    SafeCall([this] {
        if (!SaveToRegistry())
            SaveToFile();
    });
}

void THistoryComboBox::Loaded()
{
    TCustomComboBox::Loaded();
    if (ComponentState().Contains(csDesigning) || (FSaveMode != hsAuto && FSaveMode != hsAutoLoad))
        return;
    if (!LoadFromRegistry())
        LoadFromFile();
}

std::string THistoryComboBox::GetSectionString() const
{
    return FSaveSectionName.empty() ? Name() : FSaveSectionName;
}

bool THistoryComboBox::AddText(const std::string& text)
{
    if (text.empty())
        return false;
    TComboBoxItems& items = Items();
    int found = -1;
    for (int i = 0; i < items.Count() && found < 0; ++i) {
        if (items.Strings(i) == text)
            found = i;
    }
    for (int i = 0; i < items.Count() && found < 0; ++i) {
        if (AnsiSameText(items.Strings(i), text))
            found = i;
    }
    if (found < 0) {
        items.InsertObject(0, text, nullptr);
        return true;
    }
    const std::string entry = items.Strings(found);
    void* data = items.Objects(found);
    items.Delete(found);
    items.InsertObject(0, entry, data);
    return false;
}

bool THistoryComboBox::AddText()
{
    return AddText(Text());
}

void THistoryComboBox::saveTo(TCustomIniFile& store)
{
    const std::string section = GetSectionString();
    store.EraseSection(section);
    const int count = Items().Count();
    store.WriteInteger(section, kCountKey, count);
    for (int i = 0; i < count; ++i)
        store.WriteString(section, entryKey(i), Items().Strings(i));
}

void THistoryComboBox::appendFrom(const TCustomIniFile& store, int count)
{
    const std::string section = GetSectionString();
    // A count beyond the last stored entry can only come from a damaged
    // store; reading it through would fill the list with empty entries.
    count = std::min(count, lastStoredEntry(store, section) + 1);
    for (int i = 0; i < count; ++i)
        Items().AddObject(store.ReadString(section, entryKey(i), ""), nullptr);
}

void THistoryComboBox::SaveToFile(const std::string& fileName)
{
    TIniFile store(historyFilePath(fileName));
    saveTo(store);
}

bool THistoryComboBox::SaveToFile()
{
    if (FSaveFileName.empty())
        return false;
    SaveToFile(FSaveFileName);
    return true;
}

void THistoryComboBox::SaveToRegistry(const std::string& keyName)
{
    if (keyName.empty())
        return;
    std::string key = keyName;
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    TRegistryIniFile store(key);
    saveTo(store);
}

bool THistoryComboBox::SaveToRegistry()
{
    if (FSaveKeyName.empty())
        return false;
    SaveToRegistry(FSaveKeyName);
    return true;
}

void THistoryComboBox::LoadFromFile(const std::string& fileName)
{
    const TIniFile store(historyFilePath(fileName));
    appendFrom(store, StrToInt(store.ReadString(GetSectionString(), kCountKey, "0")));
}

bool THistoryComboBox::LoadFromFile()
{
    if (FSaveFileName.empty())
        return false;
    LoadFromFile(FSaveFileName);
    return true;
}

void THistoryComboBox::LoadFromRegistry(const std::string& keyName)
{
    if (keyName.empty())
        return;
    const TRegistryIniFile store(keyName);
    appendFrom(store, store.ReadInteger(GetSectionString(), kCountKey, 0));
}

bool THistoryComboBox::LoadFromRegistry()
{
    if (FSaveKeyName.empty())
        return false;
    LoadFromRegistry(FSaveKeyName);
    return true;
}
