#include "app/Commands.h"
#include "color/ColorFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

TEST(Commands, EveryCommandIdHasOneRowAndEveryNameIsUnique)
{
    // The probe of the end-to-end suite finds an item by its name; a command
    // without a row could not be found, two rows of one name would hide one.
    std::vector<int> ids;
    for (int id = idMClipboard_CopyCodeToClipboard; id <= idMCode_CopyContrastRatio2; ++id)
        ids.push_back(id);
    for (const int first : {idMClipboard_CopyAsFirst, idMCode_CopyAsFirst, idMCode_CopyAs2First})
        for (int id = first; id <= first + 8; ++id)
            ids.push_back(id);
    for (const int id : ids) {
        SCOPED_TRACE(id);
        EXPECT_EQ(std::count_if(Commands.begin(), Commands.end(), [id](const TCommand& row) { return row.Id == id; }),
                  1);
    }
    std::set<std::string_view> names;
    for (const auto& control : MainIdNames)
        names.insert(control.Name);
    for (const TCommand& row : Commands) {
        if (row.Kind == TCommandKind::Separator)
            continue;
        SCOPED_TRACE(std::string(row.Name));
        EXPECT_TRUE(names.insert(row.Name).second);
    }
}

TEST(Commands, ToggleItemsAreThoseOfTheSettingsMenu)
{
    const std::pair<int, bool> rows[] = {
        {idMSettings_AutomaticallyCopyCodeToClipboard, true},
        {idMSettings_CodeWithPrefix, true},
        {idMSettings_UppercaseCode, true},
        {idMSettings_WindowAlwaysOnTop, true},
        {idMSettings_TwoColorMode, true},
        {idMSettings_LoremIpsumText, true},
        {idMSettings_LaunchInEyeDropperMode, true},
        {idMSettings_AllowMultipleInstances, true},
        {idMSettings_MinimizeWhileUsingDropper, true},
        {idMSettings_UseTrayIcon, true},
        {idMSettings_DisableSkin_FasterLaunch, true},
        {idMSettings_SaveConfigurationOnExit, true},
        {idMSettings_SaveLastColorOnExit, true},
        {idMSettings_SaveConfiguration, false},
        {idMSettings_LoadDefault, false},
        {idMColorSpace_RGB, false},
        {idMOutputFormat_Cpp, false},
        {idMClipboard_CopyCodeToClipboard, false},
        {idMDonate, false},
        {idTMExit, false},
        {idMSettings_LanguageFirst, false},
        {idBDropper, false},
    };
    for (const auto& [id, toggle] : rows) {
        SCOPED_TRACE(id);
        EXPECT_EQ(IsToggle(id), toggle);
    }
}

TEST(Commands, EveryBooleanSettingHasItsToggle)
{
    for (const TSettingKey& key : SettingKeys()) {
        if (!key.Bool)
            continue;
        SCOPED_TRACE(std::string(key.Key));
        const TCommand& command = CommandOf(key.Bool);
        EXPECT_EQ(command.Kind, TCommandKind::Toggle);
        // The item is named after its key.
        EXPECT_EQ(command.Name, "MSettings_" + std::string(key.Key));
    }
    for (const TCommand& row : Commands)
        if (row.Kind == TCommandKind::Toggle) {
            SCOPED_TRACE(std::string(row.Name));
            EXPECT_NE(row.Setting, nullptr);
        }
}

TEST(Commands, ShortcutsAsTheMenusShowThem)
{
    const std::pair<int, std::string_view> rows[] = {
        {idMClipboard_CopyCodeToClipboard, "Ctrl+C"},
        {idMClipboard_PasteCodeFromClipboard, "Ctrl+V"},
        {idMColor_SwapPrimaryAndSecondaryColor, "Ctrl+S"},
        {idMColor_Inverse, "Ctrl+I"},
        {idMColor_Complementary, "Ctrl+K"},
        {idMColor_Grayscaled, ""},
        {idMColor_Random, "Ctrl+R"},
        {idMTools_Dropper, "Shift+Alt+D"},
        {idMColorSpace_RGB, "Alt+1"},
        {idMColorSpace_CMYK, "Alt+4"},
        {idMOutputFormat_HTMLCSS, ""},
        {idMSettings_AutomaticallyCopyCodeToClipboard, "Shift+A"},
        {idMSettings_CodeWithPrefix, "Shift+P"},
        {idMSettings_UppercaseCode, "Shift+U"},
        {idMSettings_WindowAlwaysOnTop, "Shift+T"},
        {idMSettings_TwoColorMode, "Shift+2"},
        {idMSettings_LoremIpsumText, "Shift+L"},
        {idMSettings_AllowMultipleInstances, ""},
        {idMCode_CopyCodeToClipboard, ""},
        {idTMDropper, ""},
    };
    for (const auto& [id, text] : rows) {
        SCOPED_TRACE(id);
        const TCommand* row = FindCommand(id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(ShortcutText(row->Shortcut), text);
        // Only the dropper's shortcut depends on the global hot key.
        EXPECT_EQ(row->ShortcutWithHotKey, id == idMTools_Dropper);
    }
    // No two commands answer the same keys.
    std::set<std::pair<int, char>> keys;
    for (const TCommand& row : Commands)
        if (row.Shortcut.Key) {
            SCOPED_TRACE(std::string(row.Name));
            EXPECT_TRUE(keys.insert({row.Shortcut.Modifiers, row.Shortcut.Key}).second);
        }
}

TEST(Commands, RadioItemsStandForTheValuesOfTheirSetting)
{
    const std::pair<int, std::int32_t> rows[] = {
        {idMColorSpace_RGB, csRGB},
        {idMColorSpace_HLS, csHLS},
        {idMColorSpace_CMY, csCMY},
        {idMColorSpace_CMYK, csCMYK},
        {idMOutputFormat_HTMLCSS, ccfHTMLCSS},
        {idMOutputFormat_Delphi, ccfDelphi},
        {idMOutputFormat_Cpp, ccfCpp},
        {idMOutputFormat_VisualBasic, ccfVisualBasic},
        {idMOutputFormat_WindowsColorReference, ccfWindowsColorReference},
    };
    for (const auto& [id, value] : rows) {
        SCOPED_TRACE(id);
        const TCommand* row = FindCommand(id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->Kind, TCommandKind::Radio);
        EXPECT_EQ(row->GroupValue, value);
        EXPECT_EQ(row->Group, id < idMOutputFormat_HTMLCSS ? &TSettings::ColorSpace : &TSettings::OutputFormat);
    }
}

TEST(Commands, EveryItemSitsInAMenuThatComesBeforeIt)
{
    // Menus are built in the table's order: a menu must exist before its items.
    std::set<TMenuId> built = {TMenuId::MainMenu};
    for (const TCommand& row : Commands) {
        SCOPED_TRACE(std::string(row.Name));
        if (row.Menu != TMenuId::None) {
            EXPECT_TRUE(built.count(row.Menu));
        }
        if (row.Kind == TCommandKind::Menu) {
            EXPECT_TRUE(built.insert(row.Opens).second);
        }
    }
}

TEST(Commands, CaptionsBecomeSpokenNames)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"&Eye Dropper", "Eye Dropper"},
        {"Color &Palette...", "Color Palette"},
        {"&Paleta barev\xE2\x80\xA6", "Paleta barev"}, // the single-character ellipsis
        {"Visual Basic [&&H00bbggrr]", "Visual Basic [&H00bbggrr]"},
        {"T&wo-Color Mode", "Two-Color Mode"},
        {"No key", "No key"},
        {"Ends in &", "Ends in"},
        {"...", ""},
        {"", ""},
    };
    for (const auto& [caption, name] : cases) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(NameOfCaption(caption), name);
    }
}

TEST(Commands, ValueRangesFillEveryPlaceholder)
{
    EXPECT_EQ(ValueRangeText("{min} to {max}", 0, 255), "0 to 255");
    EXPECT_EQ(ValueRangeText("od {min} do {max}", 0, 240), "od 0 do 240");
    // A number never becomes a placeholder of its own, and a text may name
    // one twice or not at all.
    EXPECT_EQ(ValueRangeText("{max}: {min}..{max}", -5, 10), "10: -5..10");
    EXPECT_EQ(ValueRangeText("range", 0, 1), "range");
}

TEST(Commands, SharedCaptionsComeFromRowsWithTextsOfTheirOwn)
{
    // The tray menu's items and submenus are captioned as the main menu's.
    for (const TCommand& row : Commands) {
        SCOPED_TRACE(std::string(row.Name));
        if (row.CaptionOf != 0) {
            const TCommand* source = FindCommand(row.CaptionOf);
            ASSERT_NE(source, nullptr);
            EXPECT_FALSE(source->TextSection.empty());
        }
        if (row.CaptionOfMenu != TMenuId::None) {
            EXPECT_EQ(row.Kind, TCommandKind::Menu);
            EXPECT_FALSE(MenuRow(row.CaptionOfMenu).TextSection.empty());
        }
    }
}
