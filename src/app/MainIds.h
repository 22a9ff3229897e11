#pragma once

// Control and command identifiers of the main window, and the names of the
// controls (the commands' names are in their table, app/Commands.h). The
// probe of the end-to-end suite includes both to address controls and menu
// items by name.

enum TMainId : int {
    // Controls
    idBDropper = 100,
    idBPalette,
    idSBColorComponent1,
    idSBColorComponent2,
    idSBColorComponent3,
    idSBColorComponent4,
    idEColorComponent1,
    idEColorComponent2,
    idEColorComponent3,
    idEColorComponent4,
    idColorBoxPanel,
    idColorBoxPanel2,
    idLColorCode,
    idLColorCode2,
    idUDColorSwitch,
    idLContrastRatio,

    // Menu commands
    idMClipboard_CopyCodeToClipboard = 1000,
    idMClipboard_PasteCodeFromClipboard,
    idMColor_SwapPrimaryAndSecondaryColor,
    idMColor_Inverse,
    idMColor_Complementary,
    idMColor_Grayscaled,
    idMColor_Desaturated,
    idMColor_Random,
    idMTools_Dropper,
    idMTools_Palette,
    idMColorSpace_RGB,
    idMColorSpace_HLS,
    idMColorSpace_CMY,
    idMColorSpace_CMYK,
    idMOutputFormat_HTMLCSS,
    idMOutputFormat_Delphi,
    idMOutputFormat_Cpp,
    idMOutputFormat_VisualBasic,
    idMOutputFormat_WindowsColorReference,
    idMSettings_AutomaticallyCopyCodeToClipboard,
    idMSettings_CodeWithPrefix,
    idMSettings_UppercaseCode,
    idMSettings_WindowAlwaysOnTop,
    idMSettings_TwoColorMode,
    idMSettings_LoremIpsumText,
    idMSettings_LaunchInEyeDropperMode,
    idMSettings_AllowMultipleInstances,
    idMSettings_MinimizeWhileUsingDropper,
    idMSettings_UseTrayIcon,
    idMSettings_DisableSkin_FasterLaunch,
    idMSettings_SaveConfigurationOnExit,
    idMSettings_SaveLastColorOnExit,
    idMSettings_SaveConfiguration,
    idMSettings_LoadDefault,
    idMHelp_Feedback,
    idMHelp_About,
    idMDonate,
    idMCode_CopyCodeToClipboard,
    idMCode_CopyCodeToClipboard2,
    idTMDropper,
    idTMExit,
    idMCode_CopyContrastRatio,
    idMCode_CopyContrastRatio2,
    idMRecentColors_CopyAll,
    idMRecentColors_CopyAllAsCss,
    idMRecentColors_CopyAllAsGimp,
    idMRecentColors_Clear,
    idTMRecentColors_CopyAll,
    idTMRecentColors_CopyAllAsCss,
    idTMRecentColors_CopyAllAsGimp,
    idTMRecentColors_Clear,

    // Copy As: one item per CSS form, in TCssForm order, in the Clipboard
    // menu and the two code pop-up menus.
    idMClipboard_CopyAsFirst = 1100,
    idMClipboard_CopyAsLast = idMClipboard_CopyAsFirst + 8,
    idMCode_CopyAsFirst = 1110,
    idMCode_CopyAsLast = idMCode_CopyAsFirst + 8,
    idMCode_CopyAs2First = 1120,
    idMCode_CopyAs2Last = idMCode_CopyAs2First + 8,

    // The Languages submenu's items: one id per listed language.
    idMSettings_LanguageFirst = 2000,
    idMSettings_LanguageLast = 2999,

    // The recent colors, newest first: in the Color menu's submenu, and in
    // the tray menu's.
    idMRecentColorFirst = 3000,
    idMRecentColorLast = 3015,
    idTMRecentColorFirst = 3100,
    idTMRecentColorLast = 3115,
};

// The controls of the fourth component row (CMYK's), and those only
// two-color mode shows; both groups start hidden.
inline constexpr int FourthRowControls[] = {idSBColorComponent4, idEColorComponent4};
inline constexpr int TwoColorControls[] = {idUDColorSwitch, idColorBoxPanel2, idLColorCode2, idLContrastRatio};

struct TMainIdName {
    const char* Name;
    int Id;
};

#define VESK_ID(name)                                                                                                  \
    {                                                                                                                  \
#name, id##name                                                                                                \
    }
inline constexpr TMainIdName MainIdNames[] = {
    VESK_ID(BDropper),          VESK_ID(BPalette),          VESK_ID(SBColorComponent1), VESK_ID(SBColorComponent2),
    VESK_ID(SBColorComponent3), VESK_ID(SBColorComponent4), VESK_ID(EColorComponent1),  VESK_ID(EColorComponent2),
    VESK_ID(EColorComponent3),  VESK_ID(EColorComponent4),  VESK_ID(ColorBoxPanel),     VESK_ID(ColorBoxPanel2),
    VESK_ID(LColorCode),        VESK_ID(LColorCode2),       VESK_ID(UDColorSwitch),     VESK_ID(LContrastRatio),
};
#undef VESK_ID
