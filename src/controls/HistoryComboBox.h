// The history combo box: an editable combo box that remembers what was
// entered in it. The host adds the edit text with AddText; the newest entry is
// at the top and each entry occurs once (letter case ignored); there is no
// limit to the number of entries.
//
// The history of one control is one section of a store, named by
// GetSectionString: a profile file (TIniFile) or the registry (TRegistryIniFile,
// the key below the user's root, the section a subkey of it). The section
// holds "HistoryCount" (the number of entries n) and "History0" ..
// "History<n-1>", entry 0 being the top of the list.
//
// SaveMode says what happens by itself: with hsAuto or hsAutoLoad the
// history is loaded once the control has been read from its form (Loaded);
// with hsAuto or hsAutoSave it is saved when the control is destroyed. Either
// uses the registry when SaveKeyName is set, otherwise the file when
// SaveFileName is set. Loading appends to the entries already held.
//
// Failures: the load and save methods raise the stores' errors (a file or key
// that cannot be written raises the framework's write error; a "HistoryCount"
// in a file that is no integer raises the integer conversion error; for the
// automatic load, the error goes to whoever ends the form's loading). The
// automatic save on destruction shows its error through the application's
// exception box and the program goes on. The entries the control holds are
// what it saves, also when it was never shown; when the automatic load
// failed, there is no automatic save, so the store keeps the history it
// holds.
#pragma once

#include "CustomComboBox.h"

#include <cstdint>
#include <string>

class TCustomIniFile;

enum THistoryMode : std::uint8_t {
    hsAuto,      // load and save by itself
    hsManual,    // neither
    hsAutoSave,  // save only
    hsAutoLoad,  // load only
};

class THistoryComboBox : public TCustomComboBox {
public:
    explicit THistoryComboBox(TComponent* owner = nullptr);
    // The automatic save (see SaveMode); an error is shown, never raised.
    ~THistoryComboBox() override;

    THistoryMode SaveMode() const { return FSaveMode; }
    void SetSaveMode(THistoryMode value) { FSaveMode = value; }
    // Registry key below the user's root ("Software\Pictal\History"); empty:
    // no registry.
    const std::string& SaveKeyName() const { return FSaveKeyName; }
    void SetSaveKeyName(const std::string& value) { FSaveKeyName = value; }
    // Profile file of the history; empty: no file. Without an extension
    // ".ini" is added; a bare name lies in the program's folder.
    const std::string& SaveFileName() const { return FSaveFileName; }
    void SetSaveFileName(const std::string& value) { FSaveFileName = value; }
    // Section (file) or subkey (registry); empty: the component's Name.
    const std::string& SaveSectionName() const { return FSaveSectionName; }
    void SetSaveSectionName(const std::string& value) { FSaveSectionName = value; }

    // Puts text at the top of the list. Empty text: false, nothing changes.
    // A new entry: true. An entry already there (letter case ignored, an
    // exact match found first) moves to the top with its own spelling: false.
    bool AddText(const std::string& text);
    // AddText of the edit text.
    bool AddText();

    // Replaces the section in the file (the file name rule as for
    // SaveFileName) with the entries held. An entry the store cannot hold (a
    // line break in it) raises before the stored history is touched.
    void SaveToFile(const std::string& fileName);
    // False when SaveFileName is empty; otherwise saves to it.
    bool SaveToFile();
    // Replaces the subkey of the key (trailing "\" removed; the key is made
    // when missing) with the entries held. An empty key does nothing.
    void SaveToRegistry(const std::string& keyName);
    bool SaveToRegistry();
    // Appends the entries of the section in the file, up to its count. A
    // missing file or section reads as no entries; an entry missing below the
    // count (a damaged file) is left out.
    void LoadFromFile(const std::string& fileName);
    bool LoadFromFile();
    // Appends the entries of the subkey of the key. An empty key does nothing.
    void LoadFromRegistry(const std::string& keyName);
    bool LoadFromRegistry();

    // SaveSectionName, or the component's Name when that is empty.
    std::string GetSectionString() const;

protected:
    // The automatic load (see SaveMode); its errors are raised.
    void Loaded() override;

private:
    void saveTo(TCustomIniFile& store);
    void appendFrom(const TCustomIniFile& store, int count);

    THistoryMode FSaveMode = hsAuto;
    std::string FSaveKeyName;
    std::string FSaveFileName;
    std::string FSaveSectionName;
    bool FAutoLoadFailed = false;  // the automatic load raised: no automatic save
};
