#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

fs::path FixtureFolder()
{
    const std::string_view folder = VESK_SOURCE_DIR;
    return fs::path(std::u8string(folder.begin(), folder.end())) / "tests" / "fixtures" / "settings";
}

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const TSettingKey* FindKey(std::string_view section, std::string_view key)
{
    const auto keys = SettingKeys();
    const auto found = std::find_if(keys.begin(), keys.end(),
                                    [&](const TSettingKey& k) { return k.Section == section && k.Key == key; });
    return found == keys.end() ? nullptr : &*found;
}

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest()
    {
        std::random_device random;
        FFolder = fs::temp_directory_path() / ("vesk-settings-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(FFolder);
    }
    ~SettingsTest() override
    {
        std::error_code ignored;
        fs::remove_all(FFolder, ignored);
    }

    fs::path Ini() const { return FFolder / SettingsFileName; }

    fs::path FFolder;
};

} // namespace

TEST(SettingsDefaults, EveryKeyHasItsDefault)
{
    struct TRow {
        std::string_view Section;
        std::string_view Key;
        std::string_view Default; // as the file would hold it
    };
    // With a system pointer speed of 7.
    const TRow rows[] = {
        {"Settings", "AllowMultipleInstances", "0"},
        {"Settings", "Language", ""},
        {"Position", "Top", "2147483647"},
        {"Position", "Left", "2147483647"},
        {"Settings", "ColorSpace", "0"},
        {"Settings", "OutputFormat", "0"},
        {"Settings", "WindowAlwaysOnTop", "0"},
        {"Settings", "TwoColorMode", "0"},
        {"Settings", "LoremIpsumText", "1"},
        {"Settings", "LaunchInEyeDropperMode", "0"},
        {"Settings", "UppercaseCode", "0"},
        {"Settings", "CodeWithPrefix", "1"},
        {"Settings", "AutomaticallyCopyCodeToClipboard", "1"},
        {"Settings", "MinimizeWhileUsingDropper", "1"},
        {"Settings", "UseTrayIcon", "0"},
        {"Settings", "DisableSkin_FasterLaunch", "0"},
        {"Settings", "SaveConfigurationOnExit", "1"},
        {"Settings", "SaveLastColorOnExit", "1"},
        {"Settings", "DropperZoomFactor", "8"},
        {"Settings", "DropperSourceSize", "49"},
        {"Settings", "DropperSampleSize", "1"},
        {"Settings", "DropperMouseSpeed", "3"},
        {"Settings", "RecentColors", ""},
        {"Settings", "LastColor", "8421504"},
        {"Settings", "LastColor2", "8421504"},
    };
    const TSettings defaults = DefaultSettings(7);
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Key);
        const TSettingKey* key = FindKey(row.Section, row.Key);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->ValueIn(defaults), row.Default);
    }
    // No key without a row above.
    for (const TSettingKey& key : SettingKeys()) {
        SCOPED_TRACE(key.Key);
        EXPECT_TRUE(std::any_of(std::begin(rows), std::end(rows),
                                [&](const TRow& row) { return row.Section == key.Section && row.Key == key.Key; }));
    }
    EXPECT_FALSE(defaults.PositionStored);
}

TEST(SettingsDefaults, PointerSpeedIsHalfTheSystemSpeed)
{
    const std::pair<std::optional<std::int32_t>, std::int32_t> rows[] = {
        {std::nullopt, 5}, {10, 5}, {1, 0}, {7, 3}, {20, 10}};
    for (const auto& [system, expected] : rows) {
        SCOPED_TRACE(system.value_or(-1));
        EXPECT_EQ(DefaultSettings(system).DropperMouseSpeed, expected);
    }
}

TEST(SettingsDefaults, FilesWithoutTheProgramsKeysGiveTheDefaults)
{
    for (const std::string_view text :
         {"", "; nothing\r\n", "[Other]\r\nTwoColorMode=1\r\n", "[Settings]\r\nTwoColorMode=yes\r\nLastColor=\r\n"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseSettings(text, 12), DefaultSettings(12));
    }
}

TEST(SettingsReading, EachKeyReachesItsOwnMemberOnly)
{
    for (const TSettingKey& key : SettingKeys()) {
        SCOPED_TRACE(key.Key);
        TSettings expected = DefaultSettings(10);
        std::string value;
        if (key.Bool) {
            expected.*key.Bool = !(expected.*key.Bool);
            value = expected.*key.Bool ? "1" : "0";
        } else if (key.Integer) {
            expected.*key.Integer = 0x3039;
            value = "0x3039"; // read as the program reads numbers
        } else if (key.Colors) {
            (expected.*key.Colors).Add(0x3039);
            expected.RecentColorsStored = true;
            value = "0x3039";
        } else {
            expected.*key.Text = "Czech";
            value = "Czech";
        }
        expected.PositionStored = key.Section == PositionSection;
        const std::string text = "[" + std::string(key.Section) + "]\r\n" + std::string(key.Key) + "=" + value + "\r\n";
        EXPECT_EQ(ParseSettings(text, 10), expected);
    }
}

// The window's saves, made from the record alone, against the files the
// window wrote (tests/fixtures/settings; the in-process test SavedSettingsTest
// writes the same rows through the window).
TEST_F(SettingsTest, SavesWriteTheFilesTheWindowWrote)
{
    struct TRow {
        const char* Fixture;
        const char* Before;
        std::function<void(TSettings&)> Change;
        // A toggle written on its own, at once; nothing: the exit's save and
        // last colors.
        bool TSettings::*AtOnce = nullptr;
    };
    const auto flip = [](bool TSettings::*field) { return [field](TSettings& s) { s.*field = !(s.*field); }; };
    const TRow rows[] = {
        {"Unchanged", "Before.ini", [](TSettings&) {}},
        {"AllowMultipleInstances", "Before.ini", flip(&TSettings::AllowMultipleInstances)},
        {"AllowMultipleInstancesAtOnce", "Before.ini", flip(&TSettings::AllowMultipleInstances),
         &TSettings::AllowMultipleInstances},
        {"Language", "Before.ini", [](TSettings& s) { s.Language = "Czech"; }},
        {"Position", "Before.ini", [](TSettings& s) { s.Top = 250, s.Left = 300; }},
        {"ColorSpace", "Before.ini", [](TSettings& s) { s.ColorSpace = 3; }},
        {"OutputFormat", "Before.ini", [](TSettings& s) { s.OutputFormat = 1; }},
        {"WindowAlwaysOnTop", "Before.ini", flip(&TSettings::WindowAlwaysOnTop)},
        {"TwoColorMode", "Before.ini", flip(&TSettings::TwoColorMode)},
        {"LoremIpsumText", "Before.ini", flip(&TSettings::LoremIpsumText)},
        {"LaunchInEyeDropperMode", "Before.ini", flip(&TSettings::LaunchInEyeDropperMode)},
        {"UppercaseCode", "Before.ini", flip(&TSettings::UppercaseCode)},
        {"CodeWithPrefix", "Before.ini", flip(&TSettings::CodeWithPrefix)},
        {"AutomaticallyCopyCodeToClipboard", "Before.ini", flip(&TSettings::AutomaticallyCopyCodeToClipboard)},
        {"MinimizeWhileUsingDropper", "Before.ini", flip(&TSettings::MinimizeWhileUsingDropper)},
        {"DisableSkin_FasterLaunch", "Before.ini", flip(&TSettings::DisableSkin_FasterLaunch)},
        {"SaveConfigurationOnExitAtOnce", "Before.ini", flip(&TSettings::SaveConfigurationOnExit),
         &TSettings::SaveConfigurationOnExit},
        {"SaveLastColorOnExit", "Before.ini", flip(&TSettings::SaveLastColorOnExit)},
        {"LastColor", "Before.ini", [](TSettings& s) { s.LastColor = 0x0000FF; }},
        {"LastColor2", "Before.ini", [](TSettings& s) { s.LastColor2 = 0xFF0000; }},
        {"DropperZoomFactor", "Before.ini", [](TSettings& s) { s.DropperZoomFactor = 12; }},
        {"DropperSourceSize", "Before.ini", [](TSettings& s) { s.DropperSourceSize = 25; }},
        {"DropperSampleSize", "Before.ini", [](TSettings& s) { s.DropperSampleSize = 3; }},
        {"DropperMouseSpeed", "Before.ini", [](TSettings& s) { s.DropperMouseSpeed = 9; }},
        {"UnixLineEnds", "BeforeUnix.ini", flip(&TSettings::TwoColorMode)},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Fixture);
        const std::string before = ReadBytes(FixtureFolder() / row.Before);
        ASSERT_FALSE(before.empty());
        WriteBytes(Ini(), before);

        int replaced = 0;
        TFileOperations operations = SystemFileOperations();
        operations.Replace = [&replaced, replace = operations.Replace](const TPath& from, const TPath& to) {
            ++replaced;
            return replace(from, to);
        };
        TSettingsFile file(Ini(), operations);
        // The window's language manager answers "English" where the file
        // names none.
        TSettings settings = ReadSettings(file, 10);
        if (settings.Language.empty())
            settings.Language = "English";
        row.Change(settings);

        std::vector<TSettingsValue> values;
        if (row.AtOnce) {
            values.push_back(ValueOf(settings, row.AtOnce));
        } else {
            values = SavedValues(settings);
            if (settings.SaveLastColorOnExit)
                for (TSettingsValue& value : LastColorValues(settings))
                    values.push_back(std::move(value));
        }
        file.WriteValues(values);

        const std::string expected = ReadBytes(FixtureFolder() / (std::string(row.Fixture) + ".ini"));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ReadBytes(Ini()), expected);
        EXPECT_EQ(replaced, 1); // the whole save in one write
    }
}

TEST_F(SettingsTest, AWriteThatFailsLeavesEveryKeyAsItWas)
{
    const std::string before = "[Settings]\r\nUppercaseCode=1\r\n";
    WriteBytes(Ini(), before);
    TFileOperations operations = SystemFileOperations();
    operations.Replace = [](const TPath&, const TPath&) { return false; };
    operations.Pause = [](unsigned) {};
    TSettingsFile file(Ini(), operations);
    EXPECT_THROW(file.WriteValues(SavedValues(DefaultSettings(10))), ESettingsFile);
    EXPECT_EQ(ReadBytes(Ini()), before);
}
