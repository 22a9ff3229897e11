#pragma once

// The settings file's sections, keys and defaults in one place, shared by the
// main window's load and save code and the tests.

#include "settings/WindowPlacement.h"

#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr std::string_view SettingsFileName = "VeskColorPicker.ini";
inline constexpr std::string_view SettingsSection = "Settings";
inline constexpr std::string_view PositionSection = "Position";

struct TBoolSetting {
    std::string_view Key;
    bool Default;
};

struct TIntegerSetting {
    std::string_view Key;
    std::int32_t Default;
};

namespace Setting {

// Section "Settings"
inline constexpr TBoolSetting AllowMultipleInstances{"AllowMultipleInstances", false};
inline constexpr std::string_view Language = "Language"; // no default: the language manager decides
inline constexpr TBoolSetting WindowAlwaysOnTop{"WindowAlwaysOnTop", false};
inline constexpr TBoolSetting LoremIpsumText{"LoremIpsumText", true};
inline constexpr TBoolSetting LaunchInEyeDropperMode{"LaunchInEyeDropperMode", false};
inline constexpr TBoolSetting UppercaseCode{"UppercaseCode", false};
inline constexpr TBoolSetting CodeWithPrefix{"CodeWithPrefix", true};
inline constexpr TBoolSetting AutomaticallyCopyCodeToClipboard{"AutomaticallyCopyCodeToClipboard", true};
inline constexpr TBoolSetting MinimizeWhileUsingDropper{"MinimizeWhileUsingDropper", true};
inline constexpr TBoolSetting UseTrayIcon{"UseTrayIcon", false};
inline constexpr TBoolSetting DisableSkin_FasterLaunch{"DisableSkin_FasterLaunch", false};
inline constexpr TBoolSetting SaveConfigurationOnExit{"SaveConfigurationOnExit", true};
inline constexpr TBoolSetting SaveLastColorOnExit{"SaveLastColorOnExit", true};
inline constexpr TIntegerSetting LastColor{"LastColor", 0x808080};
inline constexpr TIntegerSetting LastColor2{"LastColor2", 0x808080};
inline constexpr TIntegerSetting OutputFormat{"OutputFormat", 0};
inline constexpr TBoolSetting TwoColorMode{"TwoColorMode", false};
inline constexpr TIntegerSetting ColorSpace{"ColorSpace", 0};
inline constexpr TIntegerSetting DropperZoomFactor{"DropperZoomFactor", 8};
inline constexpr TIntegerSetting DropperSourceSize{"DropperSourceSize", 49};
inline constexpr TIntegerSetting DropperSampleSize{"DropperSampleSize", 1};
// Its default depends on the system: DefaultDropperMouseSpeed.
inline constexpr std::string_view DropperMouseSpeed = "DropperMouseSpeed";

// Section "Position": the outer top-left corner of the main window.
inline constexpr TIntegerSetting Top{"Top", NoStoredCoordinate};
inline constexpr TIntegerSetting Left{"Left", NoStoredCoordinate};

} // namespace Setting

// Half the system pointer speed (1 to 20), remainder dropped; a speed the
// system would not tell counts as the usual 10.
constexpr std::int32_t DefaultDropperMouseSpeed(std::optional<std::int32_t> systemPointerSpeed)
{
    return systemPointerSpeed.value_or(10) / 2;
}
