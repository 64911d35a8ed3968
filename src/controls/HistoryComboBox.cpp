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

// The indices below count of the "History<i>" keys the section holds, in
// order: the entries a load reads.
std::vector<int> storedEntries(const TCustomIniFile& store, const std::string& section, int count)
{
    const std::string prefix = kEntryKeyPrefix;
    std::vector<std::string> keys;
    store.ReadSection(section, keys);
    std::vector<int> indices;
    for (const std::string& key : keys) {
        if (key.size() <= prefix.size() || !AnsiSameText(key.substr(0, prefix.size()), prefix))
            continue;
        const std::string digits = key.substr(prefix.size());
        int index = 0;
        // Only the names entryKey writes (no sign, blank or leading zero).
        if (TryStrToInt(digits, index) && index >= 0 && index < count && std::to_string(index) == digits)
            indices.push_back(index);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

}  // namespace

THistoryComboBox::THistoryComboBox(TComponent* owner) : TCustomComboBox(owner)
{
}

THistoryComboBox::~THistoryComboBox()
{
    if (ComponentState().Contains(csDesigning) || (FSaveMode != hsAuto && FSaveMode != hsAutoSave))
        return;
    // The store holds a history this control could not read: replacing it
    // with what the control holds (nothing, when the failed load also ended
    // the form) would lose it.
    if (FAutoLoadFailed)
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
    try {
        if (!LoadFromRegistry())
            LoadFromFile();
    } catch (...) {
        FAutoLoadFailed = true;
        throw;
    }
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
    const int count = Items().Count();
    // A store refuses a value it cannot hold on one line (a pasted line
    // break) from that write, before it changes anything. Such entries are
    // offered first, so that a refused save leaves the stored history whole
    // instead of erased and cut short; what the store takes is erased below.
    for (int i = 0; i < count; ++i) {
        const std::string entry = Items().Strings(i);
        if (entry.find_first_of("\r\n") != std::string::npos)
            store.WriteString(section, entryKey(i), entry);
    }
    store.EraseSection(section);
    store.WriteInteger(section, kCountKey, count);
    for (int i = 0; i < count; ++i)
        store.WriteString(section, entryKey(i), Items().Strings(i));
}

void THistoryComboBox::appendFrom(const TCustomIniFile& store, int count)
{
    const std::string section = GetSectionString();
    // Only a damaged store lacks an entry below its count; reading the gaps
    // as empty entries would let one key such as "History1999999999" fill
    // the list without end. The entries it holds are read, in their order.
    for (const int index : storedEntries(store, section, count))
        Items().AddObject(store.ReadString(section, entryKey(index), ""), nullptr);
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
