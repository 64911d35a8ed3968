// The settings file "Pictal.ini" beside the executable: the window position,
// the transfer mode, the source folder and the nine slot paths. It is read
// once while the main window is created and written once when it closes.
#pragma once

#include <string>

class TTransferMode;

// The parts of the main window the settings file restores and records.
class TSettingsHost {
public:
    virtual ~TSettingsHost() = default;
    virtual int WindowTop() = 0;
    virtual void SetWindowTop(int top) = 0;
    virtual int WindowLeft() = 0;
    virtual void SetWindowLeft(int left) = 0;
    virtual TTransferMode& Mode() = 0;
    virtual std::string FolderName() = 0;                 // the folder tree's folder
    virtual void SetFolderName(const std::string& folder) = 0;
    virtual std::string SlotPath(int slot) = 0;           // slot 1..9
    virtual void SetSlotPath(int slot, const std::string& path) = 0;
};

// "Pictal.ini" in the executable's folder while that folder takes the file (a
// build folder, a portable copy); otherwise, as for an installed program,
// "$XDG_CONFIG_HOME/Pictal/Pictal.ini" (XDG_CONFIG_HOME defaulting to
// ~/.config), whose folder is made on the way. Same keys, same format.
std::string SettingsFilePath();
// The same for a program in programFolder.
std::string SettingsFilePathFor(const std::string& programFolder);

// Reads, in this order: "SET" "M_TOP" and "M_LEFT" (window top and left),
// "SET1" "MODE1" and "MODE2" (move and copy flag), "LIST00" (the source
// folder) and "LIST01".."LIST09" (slot paths), each defaulting to the current
// value. An error while reading or applying LIST00 or one LISTnn is dropped and
// reading goes on. A missing file gives every default and is not created.
void ReadSettings(const std::string& file, TSettingsHost& host);
// Writes the fourteen keys in the same order, each at once. A write the system
// refuses raises Exception("<file> に書き込めません"), and a value the file
// cannot hold on one line the same message followed by the key and the reason
// (": [SET1] LIST03 の値に改行が含まれています"); the keys after it are not
// written.
void WriteSettings(const std::string& file, TSettingsHost& host);
