#include "i18n/LanguageKeys.h"

namespace {

constexpr std::string_view FileInfoKeys[] = {"Id", "Abbr"};

constexpr std::string_view FormMainKeys[] = {
    // Texts
    "sRed", "sGreen", "sBlue", "sHue", "sLuminance", "sSaturation", "sCyan", "sMagenta", "sYellow", "sBlack",
    "sLowScreenColorDepth", "sAlreadyInClipboard", "sNotInClipboard", "sMouseWheel", "sZoomFactorLong",
    "sSourceSizeLong", "sSampleSizeLong", "sMouseSpeedLong", "sSystemWideHotkeyForEyeDropper",
    // Menu captions
    "MClipboard", "MClipboard_CopyCodeToClipboard", "MClipboard_PasteCodeFromClipboard", "MColor",
    "MColor_SwapPrimaryAndSecondaryColor", "MColor_Inverse", "MColor_Complementary", "MColor_Grayscaled",
    "MColor_Desaturated", "MColor_Random", "MTools", "MTools_Dropper", "MTools_Palette", "MColorSpace", "MOutputFormat",
    "MSettings", "MSettings_AllowMultipleInstances", "MSettings_WindowAlwaysOnTop", "MSettings_TwoColorMode",
    "MSettings_LaunchInEyeDropperMode", "MSettings_UppercaseCode", "MSettings_CodeWithPrefix",
    "MSettings_AutomaticallyCopyCodeToClipboard", "MSettings_MinimizeWhileUsingDropper", "MSettings_UseTrayIcon",
    "MSettings_DisableSkin_FasterLaunch", "MSettings_SaveConfigurationOnExit", "MSettings_SaveLastColorOnExit",
    "MSettings_Languages", "MSettings_SaveConfiguration", "MSettings_LoadDefault", "MHelp", "MHelp_About", "MDonate"};

constexpr std::string_view FormAboutKeys[] = {
    "Caption",       "MCheckForNewVersion",  "MLicenseAgreement",    "LAppVersion",
    "sFileNotFound", "sNewVersionAvailable", "sGoToProductsWebPage", "sApplication",
    "sUpToDate",     "sUnknownError",        "sNoResponseFromServer"};

constexpr std::string_view FormSnapshotKeys[] = {"sZoomFactor", "sSourceSize", "sSampleSize", "sMouseSpeed"};

constexpr std::string_view TrayMenuKeys[] = {"TMExit"};

constexpr TLanguageSectionKeys Sections[] = {
    {"FileInfo", FileInfoKeys},          {"TFormMain", FormMainKeys}, {"TFormAbout", FormAboutKeys},
    {"TFormSnapshot", FormSnapshotKeys}, {"TrayMenu", TrayMenuKeys},
};

} // namespace

std::span<const TLanguageSectionKeys> LanguageFileKeys()
{
    return Sections;
}
