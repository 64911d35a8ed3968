#include "HiddenItems.h"

#include "ShellSettings.h"

#include <cstring>

TFflShowHidden showHiddenValue(int value)
{
    if (value == flhForceHide || value == flhForceShow)
        return static_cast<TFflShowHidden>(value);
    return flhConformExplorer;
}

std::uint32_t shellSettingsWord()
{
    SHELLFLAGSTATE state{};
    SHGetSettings(&state, SSF_SHOWSYSFILES);
    std::uint32_t word = 0;
    std::memcpy(&word, &state, sizeof word);
    return word;
}

bool isHiddenItemLeftOut(std::uint32_t attributes, std::uint32_t hiddenFlags, TFflShowHidden showHidden,
                         std::uint32_t settingsWord)
{
    if ((attributes & hiddenFlags) == 0)
        return false;
    switch (showHidden) {
    case flhForceHide: return true;
    case flhForceShow: return false;
    default: return (settingsWord & kShowSysFilesBit) == 0;
    }
}
