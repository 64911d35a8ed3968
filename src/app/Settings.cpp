#include "Settings.h"

#include "UserFolders.h"

#include "IniFile.h"
#include "Modules.h"
#include "Paths.h"
#include "SortingSession.h"
#include "SysUtils.h"
#include "TransferMode.h"


#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* kSettingsFileName = "Pictal.ini";
constexpr const char* kWindowSection = "SET";
constexpr const char* kSessionSection = "SET1";

std::string slotKey(int slot)
{
    return "LIST0" + std::to_string(slot);  // LIST01 .. LIST09
}

}  // namespace

std::string SettingsFilePath()
{
    return SettingsFilePathFor(ParentFolder(GetModuleFileNameA(nullptr)));
}

std::string SettingsFilePathFor(const std::string& programFolder)
{
    // Beside the program when the file may be made there, or is there and
    // may be written (then it is rewritten in place, see TIniFile).
    const std::string beside = JoinPath(programFolder, kSettingsFileName);
    if (::faccessat(AT_FDCWD, programFolder.c_str(), W_OK | X_OK, AT_EACCESS) == 0
        || ::faccessat(AT_FDCWD, beside.c_str(), W_OK, AT_EACCESS) == 0)
        return beside;
    const std::string folder = JoinPath(XdgFolder("XDG_CONFIG_HOME", ".config"), "Pictal");
    MakeFolders(folder);
    return JoinPath(folder, kSettingsFileName);
}

void ReadSettings(const std::string& file, TSettingsHost& host)
{
    TIniFile ini(file);
    host.SetWindowTop(ini.ReadInteger(kWindowSection, "M_TOP", host.WindowTop()));
    host.SetWindowLeft(ini.ReadInteger(kWindowSection, "M_LEFT", host.WindowLeft()));
    TTransferMode& mode = host.Mode();
    mode.SetMoveFlag(ini.ReadBool(kSessionSection, "MODE1", mode.MoveFlag()));
    mode.SetCopyFlag(ini.ReadBool(kSessionSection, "MODE2", mode.CopyFlag()));
    try {
        host.SetFolderName(ini.ReadString(kSessionSection, "LIST00", host.FolderName()));
    } catch (...) {
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        try {
            host.SetSlotPath(slot, ini.ReadString(kSessionSection, slotKey(slot), host.SlotPath(slot)));
        } catch (...) {
        }
    }
}

void WriteSettings(const std::string& file, TSettingsHost& host)
{
    TIniFile ini(file);
    ini.WriteInteger(kWindowSection, "M_TOP", host.WindowTop());
    ini.WriteInteger(kWindowSection, "M_LEFT", host.WindowLeft());
    ini.WriteBool(kSessionSection, "MODE1", host.Mode().MoveFlag());
    ini.WriteBool(kSessionSection, "MODE2", host.Mode().CopyFlag());
    ini.WriteString(kSessionSection, "LIST00", host.FolderName());
    for (int slot = 1; slot <= kSlotCount; ++slot)
        ini.WriteString(kSessionSection, slotKey(slot), host.SlotPath(slot));
    ini.UpdateFile();
}
