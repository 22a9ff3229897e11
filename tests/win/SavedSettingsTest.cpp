// The settings file as the main window writes it, byte for byte: each row
// changes one setting the way a user does, lets the window write (the save at
// exit, the Save configuration command or an immediate write) and compares
// the whole file with the one the program wrote for that change before its
// settings travelled as one record (tests/fixtures/settings). A file saved
// again must keep its key order, its sections, its line ends and every key
// the program does not know.

#include "MainWindowFixture.h"

#include <algorithm>
#include <functional>

namespace {

using namespace MainWindowTesting;

// The files the rows start from (tests/fixtures/settings): Before.ini is a
// file a user has kept for a while: a comment, sections of others before and
// after, a key the program does not know, and only some of the program's
// keys, so that a save both replaces values in place and appends keys.
// Language, position and pointer speed are stored so that the result does not
// depend on the machine. BeforeUnix.ini has line feeds only and no section
// "Settings" yet.
constexpr const char* KeptFile = "Before.ini";
constexpr const char* UnixFile = "BeforeUnix.ini";

enum class TWrite {
    Exit,      // the window closes: save at exit and the last colors
    WhileOpen, // what the change itself wrote, before the window closes
};

fs::path FixtureFolder()
{
    return fs::path(VESK_SOURCE_DIR) / "tests" / "fixtures" / "settings";
}

class SavedSettingsTest : public MainWindowFixture {
public:
    void ClickLanguage(TFormMain& form, const std::string& language)
    {
        OpenSettingsMenu();
        const auto& list = m_languages->List();
        const auto item = std::find(list.begin(), list.end(), language);
        ASSERT_NE(item, list.end());
        form.Click(idMSettings_LanguageFirst + static_cast<int>(item - list.begin()));
    }
};

TEST_F(SavedSettingsTest, EverySettingIsWrittenAsBefore)
{
    struct TRow {
        const char* Fixture;
        const char* Before;
        std::function<void(SavedSettingsTest&, TFormMain&)> Change;
        TWrite Write = TWrite::Exit;
    };
    const auto click = [](int id) { return [id](SavedSettingsTest&, TFormMain& form) { form.Click(id); }; };
    const auto nothing = [](SavedSettingsTest&, TFormMain&) {};
    const TRow rows[] = {
        {"Unchanged", KeptFile, nothing},
        {"AllowMultipleInstances", KeptFile, click(idMSettings_AllowMultipleInstances)},
        {"AllowMultipleInstancesAtOnce", KeptFile, click(idMSettings_AllowMultipleInstances), TWrite::WhileOpen},
        {"Language", KeptFile, [](SavedSettingsTest& test, TFormMain& form) { test.ClickLanguage(form, "Czech"); }},
        {"Position", KeptFile,
         [](SavedSettingsTest&, TFormMain& form) {
             ::SetWindowPos(form.Handle(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         }},
        {"ColorSpace", KeptFile, click(idMColorSpace_CMYK)},
        {"OutputFormat", KeptFile, click(idMOutputFormat_Delphi)},
        {"WindowAlwaysOnTop", KeptFile, click(idMSettings_WindowAlwaysOnTop)},
        {"TwoColorMode", KeptFile, click(idMSettings_TwoColorMode)},
        {"LoremIpsumText", KeptFile, click(idMSettings_LoremIpsumText)},
        {"LaunchInEyeDropperMode", KeptFile, click(idMSettings_LaunchInEyeDropperMode)},
        {"UppercaseCode", KeptFile, click(idMSettings_UppercaseCode)},
        {"CodeWithPrefix", KeptFile, click(idMSettings_CodeWithPrefix)},
        {"AutomaticallyCopyCodeToClipboard", KeptFile, click(idMSettings_AutomaticallyCopyCodeToClipboard)},
        {"MinimizeWhileUsingDropper", KeptFile, click(idMSettings_MinimizeWhileUsingDropper)},
        {"UseTrayIcon", KeptFile, click(idMSettings_UseTrayIcon)},
        {"DisableSkin_FasterLaunch", KeptFile, click(idMSettings_DisableSkin_FasterLaunch)},
        {"SaveConfigurationOnExit", KeptFile, click(idMSettings_SaveConfigurationOnExit)},
        {"SaveConfigurationOnExitAtOnce", KeptFile, click(idMSettings_SaveConfigurationOnExit), TWrite::WhileOpen},
        {"SaveLastColorOnExit", KeptFile, click(idMSettings_SaveLastColorOnExit)},
        {"LastColor", KeptFile, [](SavedSettingsTest&, TFormMain& form) { form.SetColorReference(0x0000FF); }},
        {"LastColor2", KeptFile, [](SavedSettingsTest&, TFormMain& form) { form.SetColorReference2(0xFF0000); }},
        {"DropperZoomFactor", KeptFile, [](SavedSettingsTest&, TFormMain& form) { form.FDropperZoomFactor = 12; }},
        {"DropperSourceSize", KeptFile, [](SavedSettingsTest&, TFormMain& form) { form.FDropperSourceSize = 25; }},
        {"DropperSampleSize", KeptFile, [](SavedSettingsTest&, TFormMain& form) { form.FDropperSampleSize = 3; }},
        {"DropperMouseSpeed", KeptFile, [](SavedSettingsTest&, TFormMain& form) { form.FDropperMouseSpeed = 9; }},
        {"SaveCommand", KeptFile,
         [](SavedSettingsTest&, TFormMain& form) {
             form.Click(idMSettings_UppercaseCode);
             form.Click(idMSettings_SaveConfiguration);
         },
         TWrite::WhileOpen},
        {"LoadDefault", KeptFile,
         [](SavedSettingsTest&, TFormMain& form) {
             form.Click(idMSettings_UppercaseCode);
             form.Click(idMColorSpace_HLS);
             form.FDropperSampleSize = 5;
             form.Click(idMSettings_LoadDefault);
         }},
        {"UnixLineEnds", UnixFile, click(idMSettings_TwoColorMode)},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Fixture);
        WriteSettings(ReadFile(FixtureFolder() / row.Before));
        TFormMain& form = Create();
        row.Change(*this, form);
        std::string written;
        if (row.Write == TWrite::WhileOpen)
            written = ReadFile(m_folder / "VeskColorPicker.ini");
        m_form.reset();
        if (row.Write == TWrite::Exit)
            written = ReadFile(m_folder / "VeskColorPicker.ini");
        EXPECT_TRUE(m_boxes.empty());
        m_boxes.clear();
        // A change of language stays with the language manager; the next row
        // starts in English again.
        if (m_languages->ActiveLanguage() != "English")
            m_languages->Load("English");

        const std::string expected = ReadFile(FixtureFolder() / (std::string(row.Fixture) + ".ini"));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(written, expected);
    }
}

} // namespace

namespace {

using RestoringDefaultsTest = MainWindowFixture;

TEST_F(RestoringDefaultsTest, EverySettingTakesItsDefault)
{
    // Every setting away from its default; the language and the position are
    // not restored and are left out.
    std::string file = "[Settings]\r\n";
    for (const TSettingKey& key : SettingKeys()) {
        TSettings changed;
        if (key.Bool)
            changed.*key.Bool = !(changed.*key.Bool);
        else if (key.Integer && key.Section == SettingsSection)
            changed.*key.Integer += 2;
        else
            continue;
        file += std::string(key.Key) + "=" + key.ValueIn(changed) + "\r\n";
    }
    WriteSettings(file);
    TFormMain& form = Create();
    form.SetColorReference(0x123456);
    form.Click(idMSettings_LoadDefault);
    form.Click(idMSettings_SaveConfiguration);

    int speed = 0;
    const std::optional<std::int32_t> systemSpeed =
        ::SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0) ? std::optional<std::int32_t>(speed) : std::nullopt;
    const TSettings defaults = DefaultSettings(systemSpeed);
    const TSettings saved = ParseSettings(ReadFile(m_folder / "VeskColorPicker.ini"), systemSpeed);
    for (const TSettingKey& key : SettingKeys()) {
        if (key.Section != SettingsSection || key.Text || key.WrittenBy != TSettingKey::TWrittenBy::Save)
            continue;
        SCOPED_TRACE(std::string(key.Key));
        EXPECT_EQ(key.ValueIn(saved), key.ValueIn(defaults));
    }
    // The colors stay; the stored LaunchInEyeDropperMode started one run.
    EXPECT_EQ(form.ColorReference(), 0x123456);
    EXPECT_EQ(m_dropperRuns, 1);
    EXPECT_EQ(m_languages->ActiveLanguage(), "English");
}

} // namespace
