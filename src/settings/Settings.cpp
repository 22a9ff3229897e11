#include "settings/Settings.h"

#include "common/FileSystem.h"

#include "common/PathText.h"

#include "common/Exception.h"

#include <algorithm>

namespace {

using TWrittenBy = TSettingKey::TWrittenBy;

constexpr auto Settings = SettingsSection;
constexpr auto Position = PositionSection;

// In the order a save writes them: a file that gains these keys lists them
// in this order, so the order is part of the file's format.
constexpr TSettingKey Keys[] = {
    {Settings, "AllowMultipleInstances", &TSettings::AllowMultipleInstances},
    {Settings, LanguageSettingKey, &TSettings::Language},
    {Position, "Top", &TSettings::Top},
    {Position, "Left", &TSettings::Left},
    {Settings, "ColorSpace", &TSettings::ColorSpace},
    {Settings, "OutputFormat", &TSettings::OutputFormat},
    {Settings, "WindowAlwaysOnTop", &TSettings::WindowAlwaysOnTop},
    {Settings, "TwoColorMode", &TSettings::TwoColorMode},
    {Settings, "LoremIpsumText", &TSettings::LoremIpsumText},
    {Settings, "LaunchInEyeDropperMode", &TSettings::LaunchInEyeDropperMode},
    {Settings, "UppercaseCode", &TSettings::UppercaseCode},
    {Settings, "CodeWithPrefix", &TSettings::CodeWithPrefix},
    {Settings, "AutomaticallyCopyCodeToClipboard", &TSettings::AutomaticallyCopyCodeToClipboard},
    {Settings, "MinimizeWhileUsingDropper", &TSettings::MinimizeWhileUsingDropper},
    {Settings, "UseTrayIcon", &TSettings::UseTrayIcon},
    {Settings, "DisableSkin_FasterLaunch", &TSettings::DisableSkin_FasterLaunch},
    {Settings, "SaveConfigurationOnExit", &TSettings::SaveConfigurationOnExit},
    {Settings, "SaveLastColorOnExit", &TSettings::SaveLastColorOnExit},
    {Settings, "DropperZoomFactor", &TSettings::DropperZoomFactor},
    {Settings, "DropperSourceSize", &TSettings::DropperSourceSize},
    {Settings, "DropperSampleSize", &TSettings::DropperSampleSize},
    {Settings, "DropperMouseSpeed", &TSettings::DropperMouseSpeed},
    {Settings, "RecentColors", &TSettings::RecentColors},
    {Settings, "LastColor", &TSettings::LastColor, TWrittenBy::Exit},
    {Settings, "LastColor2", &TSettings::LastColor2, TWrittenBy::Exit},
};

template <typename TField>
const TSettingKey& FindKey(TField TSettings::*field, TField TSettings::*TSettingKey::*slot)
{
    const auto found =
        std::find_if(std::begin(Keys), std::end(Keys), [&](const TSettingKey& key) { return key.*slot == field; });
    if (found == std::end(Keys))
        throw Exception("SettingKeyOf: Unhandled TSettings member");
    return *found;
}

TSettingsValue ValueOfKey(const TSettings& settings, const TSettingKey& key)
{
    return {key.Section, key.Key, key.ValueIn(settings)};
}

} // namespace

TPath SettingsFileIn(const TPath& folder)
{
    return folder / PathFromUtf8(SettingsFileName);
}

TSettingsLocation SettingsLocation(const TPath& programFolder, const TPath& localApplicationData)
{
    TSettingsLocation location;
    location.BesideProgram = SettingsFileIn(programFolder);
    if (!localApplicationData.Empty())
        location.InUserFolder = SettingsFileIn(localApplicationData / PathFromUtf8("Vesk Color Picker"));
    return location;
}

TPath TSettingsLocation::File() const
{
    if (InUserFolder.Empty() || FileStatus(BesideProgram).Kind != TFileKind::Missing)
        return BesideProgram;
    return FileStatus(InUserFolder).Kind != TFileKind::Missing ? InUserFolder : BesideProgram;
}

std::string TSettingKey::ValueIn(const TSettings& settings) const
{
    if (Bool)
        return settings.*Bool ? "1" : "0";
    if (Integer)
        return std::to_string(settings.*Integer);
    if (Colors)
        return RecentColorsValue(settings.*Colors);
    return settings.*Text;
}

std::span<const TSettingKey> SettingKeys()
{
    return Keys;
}

const TSettingKey& SettingKeyOf(bool TSettings::*field)
{
    return FindKey(field, &TSettingKey::Bool);
}

const TSettingKey& SettingKeyOf(std::int32_t TSettings::*field)
{
    return FindKey(field, &TSettingKey::Integer);
}

std::string RecentColorsValue(const TRecentColors& colors)
{
    std::string value;
    for (const TColor color : colors.Colors()) {
        if (!value.empty())
            value += ',';
        value += std::to_string(color);
    }
    return value;
}

TRecentColors ParseRecentColorsValue(std::string_view value)
{
    const auto trimmed = [](std::string_view text) {
        const auto first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            return std::string_view();
        return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    };
    std::vector<TColor> colors;
    if (trimmed(value).empty())
        return {};
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        const auto number = ParseSettingsInteger(trimmed(value.substr(start, comma - start)));
        if (!number || *number < 0 || *number > 0xFFFFFF)
            return {};
        colors.push_back(*number);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    // Oldest first into the list, so the first listed ends in front and
    // keeps the place where it comes first.
    TRecentColors list;
    for (auto color = colors.rbegin(); color != colors.rend(); ++color)
        list.Add(*color);
    return list;
}

TSettings DefaultSettings(std::optional<std::int32_t> systemPointerSpeed)
{
    TSettings settings;
    settings.DropperMouseSpeed = DefaultDropperMouseSpeed(systemPointerSpeed);
    return settings;
}

TSettings ParseSettings(std::string_view text, std::optional<std::int32_t> systemPointerSpeed)
{
    TSettings settings = DefaultSettings(systemPointerSpeed);
    std::vector<TSettingsName> names;
    for (const TSettingKey& key : Keys)
        names.push_back({key.Section, key.Key});
    const std::vector<TFoundSetting> found = FindSettingsValues(text, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const TSettingKey& key = Keys[i];
        if (key.Section == Position)
            settings.PositionStored = found[i].SectionHasKeys;
        const std::optional<std::string>& value = found[i].Value;
        if (!value)
            continue;
        if (key.Text) {
            settings.*key.Text = *value;
            continue;
        }
        if (key.Colors) {
            settings.*key.Colors = ParseRecentColorsValue(*value);
            settings.RecentColorsStored = true;
            continue;
        }
        const auto number = ParseSettingsInteger(*value);
        if (!number)
            continue;
        if (key.Bool)
            settings.*key.Bool = *number != 0;
        else
            settings.*key.Integer = *number;
    }
    return settings;
}

TSettings ReadSettings(const TSettingsFile& file, std::optional<std::int32_t> systemPointerSpeed)
{
    return ParseSettings(file.Text(), systemPointerSpeed);
}

std::vector<TSettingsValue> SavedValues(const TSettings& settings)
{
    std::vector<TSettingsValue> values;
    for (const TSettingKey& key : Keys) {
        if (key.WrittenBy != TWrittenBy::Save)
            continue;
        if (key.Colors && (settings.*key.Colors).Empty() && !settings.RecentColorsStored)
            continue;
        values.push_back(ValueOfKey(settings, key));
    }
    return values;
}

std::vector<TSettingsValue> LastColorValues(const TSettings& settings)
{
    return {ValueOfKey(settings, SettingKeyOf(&TSettings::LastColor)),
            ValueOfKey(settings, SettingKeyOf(&TSettings::LastColor2))};
}

TSettingsValue ValueOf(const TSettings& settings, bool TSettings::*field)
{
    return ValueOfKey(settings, SettingKeyOf(field));
}
