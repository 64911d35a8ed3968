#include "Settings.h"

#include "IniFile.h"
#include "Modules.h"
#include "SortingSession.h"
#include "SysUtils.h"
#include "TransferMode.h"

namespace {

constexpr const char* kWindowSection = "SET";
constexpr const char* kSessionSection = "SET1";

std::string slotKey(int slot)
{
    return "LIST0" + std::to_string(slot);  // LIST01 .. LIST09
}

}  // namespace

std::string SettingsFilePath()
{
    const std::string executable = GetModuleFileNameA(nullptr);
    return ExtractFilePath(executable) + "Pictal.ini";
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
