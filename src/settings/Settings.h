#pragma once

// The program's settings as one record. It is read from the settings file in
// one read, applied to the main window, collected from it again and written
// back in one write. Every key and every default is named once: the keys in
// SettingKeys(), the defaults in the members' initialisers below.

#include "color/RecentColors.h"
#include "settings/SettingsFile.h"
#include "settings/WindowPlacement.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view SettingsFileName = "VeskColorPicker.ini";
inline constexpr std::string_view SettingsSection = "Settings";
inline constexpr std::string_view PositionSection = "Position";
// The language manager reads it on its own, before any window exists.
inline constexpr std::string_view LanguageSettingKey = "Language";

// The settings file of a program installed in folder.
TPath SettingsFileIn(const TPath& folder);

// Where the settings are kept. Beside the program, which stays portable
// wherever its folder takes a file; where it does not (a program under
// "Program Files"), in a folder of the program's own in the user's local
// application data folder.
struct TSettingsLocation {
    TPath BesideProgram;
    TPath InUserFolder; // empty where the user's folder is not known

    // The file beside the program when it exists; else the user's one when
    // that exists; else the one beside the program, which a first save makes
    // (and, should the folder refuse it, the user's one instead).
    TPath File() const;
};
TSettingsLocation SettingsLocation(const TPath& programFolder, const TPath& localApplicationData);

// Half the system pointer speed (1 to 20), remainder dropped; a speed the
// system would not tell counts as the usual 10.
constexpr std::int32_t DefaultDropperMouseSpeed(std::optional<std::int32_t> systemPointerSpeed)
{
    return systemPointerSpeed.value_or(10) / 2;
}

struct TSettings {
    bool AllowMultipleInstances = false;
    std::string Language; // empty when none is stored: the language manager decides
    bool WindowAlwaysOnTop = false;
    bool LoremIpsumText = true;
    bool LaunchInEyeDropperMode = false;
    bool UppercaseCode = false;
    bool CodeWithPrefix = true;
    bool AutomaticallyCopyCodeToClipboard = true;
    bool MinimizeWhileUsingDropper = true;
    bool UseTrayIcon = false;
    bool DisableSkin_FasterLaunch = false;
    bool SaveConfigurationOnExit = true;
    bool SaveLastColorOnExit = true;
    std::int32_t LastColor = 0x808080;
    std::int32_t LastColor2 = 0x808080;
    std::int32_t OutputFormat = 0; // TColorCodeFormat
    bool TwoColorMode = false;
    std::int32_t ColorSpace = 0; // TColorSpace
    std::int32_t DropperZoomFactor = 8;
    std::int32_t DropperSourceSize = 49;
    std::int32_t DropperSampleSize = 1;
    // Depends on the system: DefaultSettings() gives the system's value.
    std::int32_t DropperMouseSpeed = DefaultDropperMouseSpeed(std::nullopt);
    TRecentColors RecentColors;
    // The file holds the key RecentColors (with any value). Until there is a
    // color to keep, a save leaves a file without the key as it was; once
    // the key is there, a save writes it, an empty list too, so that a
    // cleared list stays cleared.
    bool RecentColorsStored = false;

    // Section "Position": the outer top-left corner of the main window.
    bool PositionStored = false; // the section holds any key at all
    std::int32_t Top = NoStoredCoordinate;
    std::int32_t Left = NoStoredCoordinate;

    TStoredPosition StoredPosition() const { return {PositionStored, Top, Left}; }

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

// One key of the file and the member of TSettings that holds its value.
struct TSettingKey {
    enum class TWrittenBy {
        Save, // the Save configuration command, in the order of SettingKeys()
        Exit, // only the exit, when the last colors are kept
    };

    constexpr TSettingKey(std::string_view section, std::string_view key, bool TSettings::*field,
                          TWrittenBy writtenBy = TWrittenBy::Save)
        : Section(section), Key(key), Bool(field), WrittenBy(writtenBy)
    {}
    constexpr TSettingKey(std::string_view section, std::string_view key, std::int32_t TSettings::*field,
                          TWrittenBy writtenBy = TWrittenBy::Save)
        : Section(section), Key(key), Integer(field), WrittenBy(writtenBy)
    {}
    constexpr TSettingKey(std::string_view section, std::string_view key, std::string TSettings::*field)
        : Section(section), Key(key), Text(field)
    {}
    constexpr TSettingKey(std::string_view section, std::string_view key, TRecentColors TSettings::*field)
        : Section(section), Key(key), Colors(field)
    {}

    std::string_view Section;
    std::string_view Key;
    // Exactly one of the four is set.
    bool TSettings::*Bool = nullptr;
    std::int32_t TSettings::*Integer = nullptr;
    std::string TSettings::*Text = nullptr;
    TRecentColors TSettings::*Colors = nullptr;
    TWrittenBy WrittenBy = TWrittenBy::Save;

    // The value as the file holds it: booleans "1"/"0", numbers in decimal.
    std::string ValueIn(const TSettings& settings) const;
};

// A list of colors as one value: the colors in decimal, as every color of
// the file, separated by commas, newest first ("13395507,33023"). Reading
// takes what a number of the file may be, blanks around each; beyond the
// limit of the list the rest is dropped, a color listed twice counts where it
// comes first. Any other text (an item that is not a color, an empty item)
// gives the empty list.
std::string RecentColorsValue(const TRecentColors& colors);
TRecentColors ParseRecentColorsValue(std::string_view value);

// Every key the program reads and writes, in the order a save writes them.
std::span<const TSettingKey> SettingKeys();
const TSettingKey& SettingKeyOf(bool TSettings::*field);
const TSettingKey& SettingKeyOf(std::int32_t TSettings::*field);

// The defaults, with the pointer speed of this system (nothing when the
// system would not tell it).
TSettings DefaultSettings(std::optional<std::int32_t> systemPointerSpeed);

// The settings a file's text holds; an absent key, or a value that is not a
// number, gives the key's default.
TSettings ParseSettings(std::string_view text, std::optional<std::int32_t> systemPointerSpeed);
TSettings ReadSettings(const TSettingsFile& file, std::optional<std::int32_t> systemPointerSpeed);

// What the Save configuration command writes, and what the exit adds when
// the last colors are kept.
std::vector<TSettingsValue> SavedValues(const TSettings& settings);
std::vector<TSettingsValue> LastColorValues(const TSettings& settings);
TSettingsValue ValueOf(const TSettings& settings, bool TSettings::*field);
