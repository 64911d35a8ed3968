// The hidden-item rule of the folder controls and the shell settings word it reads.
#pragma once

#include "FflRecords.h"

#include <cstdint>

// The value setShowHidden stores: flhForceHide and flhForceShow as they are,
// flhConformExplorer for anything else.
TFflShowHidden showHiddenValue(int value);

// The shell settings word (SHGetSettings with SSF_SHOWSYSFILES): bit 3
// (value 8) set when the user has chosen to see hidden items.
std::uint32_t shellSettingsWord();
inline constexpr std::uint32_t kShowSysFilesBit = 8;

// Whether a child whose attributes carry any of hiddenFlags is left out:
// always with flhForceHide, never with flhForceShow, and with
// flhConformExplorer exactly when the settings word does not say to show
// hidden items. Items without those flags are never left out.
bool isHiddenItemLeftOut(std::uint32_t attributes, std::uint32_t hiddenFlags, TFflShowHidden showHidden,
                         std::uint32_t settingsWord);
