#pragma once

// Every menu and menu command of the main window, once: its id, its name, the
// language key of its caption, its kind, its shortcut and the setting it
// stands for. The menus are built from this table, the captions applied, the
// shortcuts made, the toggles told apart, the settings loaded and restored,
// and the list of language keys drawn up. Portable: the probe of the
// end-to-end suite includes it too, to address items by name.

#include "app/MainIds.h"
#include "settings/Settings.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The section of the main window's texts in a language file.
inline constexpr std::string_view FormMainSection = "TFormMain";
inline constexpr std::string_view TrayMenuSection = "TrayMenu";

// The menus of the main window; None for a menu that is not inside another.
enum class TMenuId {
    None,
    MainMenu,
    MClipboard,
    MColor,
    MTools,
    MColorSpace,
    MOutputFormat,
    MSettings,
    MSettings_Languages,
    MHelp,
    CodePopupMenu,
    CodePopupMenu2,
    TrayMenu,
    MRecentColors,
    MRecentColors_CopyAllAs,
    TMRecentColors,
    TMRecentColors_CopyAllAs,
    MClipboard_CopyAs,
    MCode_CopyAs,
    MCode_CopyAs2,
};

enum class TCommandKind {
    Menu, // a pop-up menu, inside Menu or on its own
    Separator,
    Command,
    Toggle, // flips its own check mark before its command runs
    Radio,  // one of a group in which one item is checked
};

enum TShortcutModifiers : std::uint8_t {
    smCtrl = 1,
    smShift = 2,
    smAlt = 4,
};

struct TShortcut {
    std::uint8_t Modifiers = 0;
    char Key = 0; // an upper-case letter or a digit of the main keyboard; 0: none
};

// How a setting reaches its toggle when the settings are loaded or the
// defaults restored.
enum class TApplySetting {
    CheckMark,    // only the check mark
    Click,        // the item's command runs when the value differs
    ClickOnReset, // check mark at start-up (start-up has acted on it already),
                  // command when the defaults are restored
    Later,        // loading has a step of its own for it
};

struct TCommand {
    TCommandKind Kind = TCommandKind::Command;
    TMenuId Menu = TMenuId::None;  // where the item sits
    int Id = 0;                    // a command's id; 0 for menus and separators
    TMenuId Opens = TMenuId::None; // for a menu: which one it is
    std::string_view Name;
    // The caption comes from key Name of this language file section; empty:
    // FixedCaption, or the caption of CaptionOf, or a caption made elsewhere.
    std::string_view TextSection = FormMainSection;
    std::string_view FixedCaption;
    int CaptionOf = 0;
    TMenuId CaptionOfMenu = TMenuId::None; // a menu captioned as another menu
    std::string_view CaptionSuffix;
    TShortcut Shortcut;
    // The shortcut belongs to the global hot key and is shown only with it.
    bool ShortcutWithHotKey = false;
    bool Disabled = false;
    bool TSettings::*Setting = nullptr; // a toggle's setting
    TApplySetting Apply = TApplySetting::CheckMark;
    std::int32_t TSettings::*Group = nullptr; // a radio item's setting
    std::int32_t GroupValue = 0;              // the value it stands for

    constexpr TCommand Fixed(std::string_view caption) const
    {
        TCommand row = *this;
        row.TextSection = {};
        row.FixedCaption = caption;
        return row;
    }
    constexpr TCommand SharesCaptionOf(int id) const
    {
        TCommand row = *this;
        row.TextSection = {};
        row.CaptionOf = id;
        return row;
    }
    constexpr TCommand SharesCaptionOfMenu(TMenuId menu) const
    {
        TCommand row = *this;
        row.TextSection = {};
        row.CaptionOfMenu = menu;
        return row;
    }
    constexpr TCommand MadeCaption() const
    {
        TCommand row = *this;
        row.TextSection = {};
        return row;
    }
    constexpr TCommand TextIn(std::string_view section) const
    {
        TCommand row = *this;
        row.TextSection = section;
        return row;
    }
    constexpr TCommand Suffix(std::string_view suffix) const
    {
        TCommand row = *this;
        row.CaptionSuffix = suffix;
        return row;
    }
    constexpr TCommand Keys(std::uint8_t modifiers, char key) const
    {
        TCommand row = *this;
        row.Shortcut = {modifiers, key};
        return row;
    }
    constexpr TCommand WithHotKey() const
    {
        TCommand row = *this;
        row.ShortcutWithHotKey = true;
        return row;
    }
    constexpr TCommand Grayed() const
    {
        TCommand row = *this;
        row.Disabled = true;
        return row;
    }
};

namespace CommandRows {

constexpr TCommand Menu(TMenuId in, TMenuId menu, std::string_view name)
{
    TCommand row;
    row.Kind = TCommandKind::Menu;
    row.Menu = in;
    row.Opens = menu;
    row.Name = name;
    return row;
}

constexpr TCommand Separator(TMenuId in)
{
    TCommand row;
    row.Kind = TCommandKind::Separator;
    row.Menu = in;
    row.TextSection = {};
    return row;
}

constexpr TCommand Item(TMenuId in, int id, std::string_view name)
{
    TCommand row;
    row.Menu = in;
    row.Id = id;
    row.Name = name;
    return row;
}

constexpr TCommand Toggle(TMenuId in, int id, std::string_view name, bool TSettings::*setting, TApplySetting apply)
{
    TCommand row = Item(in, id, name);
    row.Kind = TCommandKind::Toggle;
    row.Setting = setting;
    row.Apply = apply;
    return row;
}

constexpr TCommand Radio(TMenuId in, int id, std::string_view name, std::int32_t TSettings::*group, std::int32_t value)
{
    TCommand row = Item(in, id, name);
    row.Kind = TCommandKind::Radio;
    row.Group = group;
    row.GroupValue = value;
    return row;
}

using enum TMenuId;
using enum TApplySetting;
using S = TSettings;

// In the order the menus show them; menus before their items.
inline constexpr TCommand Table[] = {
    Menu(MainMenu, MClipboard, "MClipboard"),
    Item(MClipboard, idMClipboard_CopyCodeToClipboard, "MClipboard_CopyCodeToClipboard").Keys(smCtrl, 'C'),
    Item(MClipboard, idMClipboard_PasteCodeFromClipboard, "MClipboard_PasteCodeFromClipboard").Keys(smCtrl, 'V'),
    // Captioned with the color in each form (TFormMain::UpdateCopyAsCaptions).
    Menu(MClipboard, MClipboard_CopyAs, "MClipboard_CopyAs"),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 0, "MClipboard_CopyAs_Hex").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 1, "MClipboard_CopyAs_Rgb").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 2, "MClipboard_CopyAs_Hsl").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 3, "MClipboard_CopyAs_Hwb").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 4, "MClipboard_CopyAs_Lab").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 5, "MClipboard_CopyAs_Lch").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 6, "MClipboard_CopyAs_Oklab").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 7, "MClipboard_CopyAs_Oklch").MadeCaption(),
    Item(MClipboard_CopyAs, idMClipboard_CopyAsFirst + 8, "MClipboard_CopyAs_DisplayP3").MadeCaption(),

    Menu(MainMenu, MColor, "MColor"),
    Item(MColor, idMColor_SwapPrimaryAndSecondaryColor, "MColor_SwapPrimaryAndSecondaryColor").Keys(smCtrl, 'S'),
    Separator(MColor),
    Item(MColor, idMColor_Inverse, "MColor_Inverse").Keys(smCtrl, 'I'),
    Item(MColor, idMColor_Complementary, "MColor_Complementary").Keys(smCtrl, 'K'),
    Item(MColor, idMColor_Grayscaled, "MColor_Grayscaled"),
    Item(MColor, idMColor_Desaturated, "MColor_Desaturated"),
    Separator(MColor),
    Item(MColor, idMColor_Random, "MColor_Random").Keys(smCtrl, 'R'),
    Separator(MColor),
    // The colors themselves are put in front of these items each time the
    // menu opens.
    Menu(MColor, MRecentColors, "MColor_RecentColors"),
    Item(MRecentColors, idMRecentColors_CopyAll, "MRecentColors_CopyAll"),
    Menu(MRecentColors, MRecentColors_CopyAllAs, "MRecentColors_CopyAllAs"),
    Item(MRecentColors_CopyAllAs, idMRecentColors_CopyAllAsCss, "MRecentColors_CopyAllAsCss"),
    Item(MRecentColors_CopyAllAs, idMRecentColors_CopyAllAsGimp, "MRecentColors_CopyAllAsGimp"),
    Item(MRecentColors, idMRecentColors_Clear, "MRecentColors_Clear"),

    // Never shown in the bar: its items are reached through their shortcut,
    // the buttons and the tray menu.
    Menu(None, MTools, "MTools"),
    Item(MTools, idMTools_Dropper, "MTools_Dropper").Keys(smShift | smAlt, 'D').WithHotKey(),
    Item(MTools, idMTools_Palette, "MTools_Palette"),

    // Named after their components by the language texts.
    Menu(MainMenu, MColorSpace, "MColorSpace"),
    Radio(MColorSpace, idMColorSpace_RGB, "MColorSpace_RGB", &S::ColorSpace, 0).MadeCaption().Keys(smAlt, '1'),
    Radio(MColorSpace, idMColorSpace_HLS, "MColorSpace_HLS", &S::ColorSpace, 1).MadeCaption().Keys(smAlt, '2'),
    Radio(MColorSpace, idMColorSpace_CMY, "MColorSpace_CMY", &S::ColorSpace, 2).MadeCaption().Keys(smAlt, '3'),
    Radio(MColorSpace, idMColorSpace_CMYK, "MColorSpace_CMYK", &S::ColorSpace, 3).MadeCaption().Keys(smAlt, '4'),

    // The same in every language. The doubled "&" shows as one.
    Menu(MainMenu, MOutputFormat, "MOutputFormat"),
    Radio(MOutputFormat, idMOutputFormat_HTMLCSS, "MOutputFormat_HTMLCSS", &S::OutputFormat, 0)
        .Fixed("HTML / CSS [#rrggbb]"),
    Radio(MOutputFormat, idMOutputFormat_Delphi, "MOutputFormat_Delphi", &S::OutputFormat, 1)
        .Fixed("Delphi [$00bbggrr]"),
    Radio(MOutputFormat, idMOutputFormat_Cpp, "MOutputFormat_Cpp", &S::OutputFormat, 2).Fixed("C++ [0x00bbggrr]"),
    Radio(MOutputFormat, idMOutputFormat_VisualBasic, "MOutputFormat_VisualBasic", &S::OutputFormat, 3)
        .Fixed("Visual Basic [&&H00bbggrr]"),
    Radio(MOutputFormat, idMOutputFormat_WindowsColorReference, "MOutputFormat_WindowsColorReference", &S::OutputFormat,
          4)
        .Fixed("Windows Color Reference"),

    Menu(MainMenu, MSettings, "MSettings"),
    Toggle(MSettings, idMSettings_AutomaticallyCopyCodeToClipboard, "MSettings_AutomaticallyCopyCodeToClipboard",
           &S::AutomaticallyCopyCodeToClipboard, CheckMark)
        .Keys(smShift, 'A'),
    Toggle(MSettings, idMSettings_CodeWithPrefix, "MSettings_CodeWithPrefix", &S::CodeWithPrefix, CheckMark)
        .Keys(smShift, 'P'),
    Toggle(MSettings, idMSettings_UppercaseCode, "MSettings_UppercaseCode", &S::UppercaseCode, CheckMark)
        .Keys(smShift, 'U'),
    Toggle(MSettings, idMSettings_WindowAlwaysOnTop, "MSettings_WindowAlwaysOnTop", &S::WindowAlwaysOnTop, Click)
        .Keys(smShift, 'T'),
    Toggle(MSettings, idMSettings_TwoColorMode, "MSettings_TwoColorMode", &S::TwoColorMode, Later).Keys(smShift, '2'),
    Toggle(MSettings, idMSettings_LoremIpsumText, "MSettings_LoremIpsumText", &S::LoremIpsumText, Click)
        .Fixed("Lorem Ipsum text")
        .Keys(smShift, 'L'),
    Toggle(MSettings, idMSettings_LaunchInEyeDropperMode, "MSettings_LaunchInEyeDropperMode",
           &S::LaunchInEyeDropperMode, CheckMark),
    Toggle(MSettings, idMSettings_AllowMultipleInstances, "MSettings_AllowMultipleInstances",
           &S::AllowMultipleInstances, CheckMark),
    Toggle(MSettings, idMSettings_MinimizeWhileUsingDropper, "MSettings_MinimizeWhileUsingDropper",
           &S::MinimizeWhileUsingDropper, CheckMark),
    Toggle(MSettings, idMSettings_UseTrayIcon, "MSettings_UseTrayIcon", &S::UseTrayIcon, Click).Grayed(),
    Toggle(MSettings, idMSettings_DisableSkin_FasterLaunch, "MSettings_DisableSkin_FasterLaunch",
           &S::DisableSkin_FasterLaunch, ClickOnReset),
    Toggle(MSettings, idMSettings_SaveConfigurationOnExit, "MSettings_SaveConfigurationOnExit",
           &S::SaveConfigurationOnExit, CheckMark),
    Toggle(MSettings, idMSettings_SaveLastColorOnExit, "MSettings_SaveLastColorOnExit", &S::SaveLastColorOnExit,
           CheckMark),
    Separator(MSettings),
    // Its caption gains " (Language)" outside English, so that it can be
    // found in any language.
    Menu(MSettings, MSettings_Languages, "MSettings_Languages"),
    Separator(MSettings),
    Item(MSettings, idMSettings_SaveConfiguration, "MSettings_SaveConfiguration"),
    Item(MSettings, idMSettings_LoadDefault, "MSettings_LoadDefault"),

    Menu(MainMenu, MHelp, "MHelp"),
    Item(MHelp, idMHelp_Feedback, "MHelp_Feedback").Fixed("Feedback"),
    Item(MHelp, idMHelp_About, "MHelp_About").Suffix("..."),

    Item(MainMenu, idMDonate, "MDonate"),

    Menu(None, CodePopupMenu, "CodePopupMenu").MadeCaption(),
    Item(CodePopupMenu, idMCode_CopyCodeToClipboard, "MCode_CopyCodeToClipboard")
        .SharesCaptionOf(idMClipboard_CopyCodeToClipboard),
    // Grayed until two-color mode shows the ratio.
    Item(CodePopupMenu, idMCode_CopyContrastRatio, "MCode_CopyContrastRatio").Grayed(),
    Menu(CodePopupMenu, MCode_CopyAs, "MCode_CopyAs").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 0, "MCode_CopyAs_Hex").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 1, "MCode_CopyAs_Rgb").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 2, "MCode_CopyAs_Hsl").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 3, "MCode_CopyAs_Hwb").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 4, "MCode_CopyAs_Lab").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 5, "MCode_CopyAs_Lch").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 6, "MCode_CopyAs_Oklab").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 7, "MCode_CopyAs_Oklch").MadeCaption(),
    Item(MCode_CopyAs, idMCode_CopyAsFirst + 8, "MCode_CopyAs_DisplayP3").MadeCaption(),
    Menu(None, CodePopupMenu2, "CodePopupMenu2").MadeCaption(),
    Item(CodePopupMenu2, idMCode_CopyCodeToClipboard2, "MCode_CopyCodeToClipboard2")
        .SharesCaptionOf(idMClipboard_CopyCodeToClipboard),
    Item(CodePopupMenu2, idMCode_CopyContrastRatio2, "MCode_CopyContrastRatio2")
        .SharesCaptionOf(idMCode_CopyContrastRatio)
        .Grayed(),
    Menu(CodePopupMenu2, MCode_CopyAs2, "MCode_CopyAs2").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 0, "MCode_CopyAs2_Hex").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 1, "MCode_CopyAs2_Rgb").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 2, "MCode_CopyAs2_Hsl").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 3, "MCode_CopyAs2_Hwb").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 4, "MCode_CopyAs2_Lab").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 5, "MCode_CopyAs2_Lch").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 6, "MCode_CopyAs2_Oklab").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 7, "MCode_CopyAs2_Oklch").MadeCaption(),
    Item(MCode_CopyAs2, idMCode_CopyAs2First + 8, "MCode_CopyAs2_DisplayP3").MadeCaption(),

    Menu(None, TrayMenu, "TrayMenu").MadeCaption(),
    Item(TrayMenu, idTMDropper, "TMDropper").SharesCaptionOf(idMTools_Dropper),
    Menu(TrayMenu, TMRecentColors, "TMRecentColors").SharesCaptionOfMenu(MRecentColors),
    Item(TMRecentColors, idTMRecentColors_CopyAll, "TMRecentColors_CopyAll").SharesCaptionOf(idMRecentColors_CopyAll),
    Menu(TMRecentColors, TMRecentColors_CopyAllAs, "TMRecentColors_CopyAllAs")
        .SharesCaptionOfMenu(MRecentColors_CopyAllAs),
    Item(TMRecentColors_CopyAllAs, idTMRecentColors_CopyAllAsCss, "TMRecentColors_CopyAllAsCss")
        .SharesCaptionOf(idMRecentColors_CopyAllAsCss),
    Item(TMRecentColors_CopyAllAs, idTMRecentColors_CopyAllAsGimp, "TMRecentColors_CopyAllAsGimp")
        .SharesCaptionOf(idMRecentColors_CopyAllAsGimp),
    Item(TMRecentColors, idTMRecentColors_Clear, "TMRecentColors_Clear").SharesCaptionOf(idMRecentColors_Clear),
    Separator(TrayMenu),
    Item(TrayMenu, idTMExit, "TMExit").TextIn(TrayMenuSection),
};

} // namespace CommandRows

inline constexpr std::span<const TCommand> Commands{CommandRows::Table};

// The main window's texts that are not captions of a menu item.
enum class TMainText {
    sRed,
    sGreen,
    sBlue,
    sHue,
    sLuminance,
    sSaturation,
    sCyan,
    sMagenta,
    sYellow,
    sBlack,
    sLowScreenColorDepth,
    sAlreadyInClipboard,
    sNotInClipboard,
    sMouseWheel,
    sZoomFactorLong,
    sSourceSizeLong,
    sSampleSizeLong,
    sMouseSpeedLong,
    sSystemWideHotkeyForEyeDropper,
    sContrastRatio,
    sContrastMarks,
    sNormalText,
    sLargeText,
    sPasses,
    sFails,
    // Spoken by screen readers: the names of the two color boxes, the range
    // of a component's scroll bar ("{min}" and "{max}" stand for the
    // numbers) and the action of the buttons.
    sPrimaryColor,
    sSecondaryColor,
    sValueRange,
    sPress,
    // Added to the code's hint after a paste of a color outside sRGB.
    sPastedOutsideSrgb,
};

// Indexed by TMainText.
inline constexpr std::string_view MainTextKeys[] = {
    "sRed",
    "sGreen",
    "sBlue",
    "sHue",
    "sLuminance",
    "sSaturation",
    "sCyan",
    "sMagenta",
    "sYellow",
    "sBlack",
    "sLowScreenColorDepth",
    "sAlreadyInClipboard",
    "sNotInClipboard",
    "sMouseWheel",
    "sZoomFactorLong",
    "sSourceSizeLong",
    "sSampleSizeLong",
    "sMouseSpeedLong",
    "sSystemWideHotkeyForEyeDropper",
    "sContrastRatio",
    "sContrastMarks",
    "sNormalText",
    "sLargeText",
    "sPasses",
    "sFails",
    "sPrimaryColor",
    "sSecondaryColor",
    "sValueRange",
    "sPress",
    "sPastedOutsideSrgb",
};
static_assert(std::size(MainTextKeys) == static_cast<std::size_t>(TMainText::sPastedOutsideSrgb) + 1);

constexpr std::string_view KeyOf(TMainText text)
{
    return MainTextKeys[static_cast<std::size_t>(text)];
}

// The names of the components of each color space (TColorSpace order), by
// which the rows of the editor and the items of the Color space menu are
// captioned.
struct TComponentTexts {
    std::string_view Prefix; // "RGB"
    std::size_t Count;
    TMainText Names[4];
};
inline constexpr TComponentTexts ColorSpaceTexts[] = {
    {"RGB", 3, {TMainText::sRed, TMainText::sGreen, TMainText::sBlue, {}}},
    {"HLS", 3, {TMainText::sHue, TMainText::sLuminance, TMainText::sSaturation, {}}},
    {"CMY", 3, {TMainText::sCyan, TMainText::sMagenta, TMainText::sYellow, {}}},
    {"CMYK", 4, {TMainText::sCyan, TMainText::sMagenta, TMainText::sYellow, TMainText::sBlack}},
};

// The row of a command id, or nothing (controls, language items).
const TCommand* FindCommand(int id) noexcept;
const TCommand& MenuRow(TMenuId menu);
bool IsToggle(int id) noexcept;
// "Ctrl+C", "Shift+Alt+D": as the menus show a shortcut.
std::string ShortcutText(TShortcut shortcut);
// The command of a toggle setting.
const TCommand& CommandOf(bool TSettings::*setting);
// Every key the main window reads from its section of a language file, and
// those of the tray menu's section.
std::vector<std::string_view> LanguageKeysIn(std::string_view section);

// A menu caption as a control's spoken name: without the access key's "&"
// (a doubled one stays as one "&") and without the "..." of a command that
// opens a window.
std::string NameOfCaption(std::string_view caption);
// The text of sValueRange with its "{min}" and "{max}" filled in.
std::string ValueRangeText(std::string_view pattern, int min, int max);
