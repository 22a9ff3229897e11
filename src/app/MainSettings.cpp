// The main window and the settings file: loading at start-up, the window's
// place, saving, the immediate writes and restoring the defaults.

#include "ui/ColorBox.h"
#include "app/Main.h"
#include "app/Program.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/WindowPlacement.h"
#include "i18n/LanguageSupport.h"

namespace {

constexpr auto Settings = SettingsSection;
constexpr auto Position = PositionSection;

// The system pointer speed (1 to 20) halved.
int SystemDefaultDropperMouseSpeed()
{
    int speed = 0;
    if (!::SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0))
        return DefaultDropperMouseSpeed(std::nullopt);
    return DefaultDropperMouseSpeed(speed);
}

bool Read(const TSettingsFile& file, const TBoolSetting& setting)
{
    return file.ReadBool(Settings, setting.Key, setting.Default);
}

std::int32_t Read(const TSettingsFile& file, const TIntegerSetting& setting)
{
    return file.ReadInteger(Settings, setting.Key, setting.Default);
}

} // namespace

void TFormMain::LoadSettings(const TSettingsFile& file)
{
    const auto checkMark = [&](int id, const TBoolSetting& setting) { SetChecked(id, Read(file, setting)); };
    // "Click when true": the item's check flips from the new window's
    // unchecked state and its command runs.
    const auto clickWhenTrue = [&](int id, const TBoolSetting& setting) {
        if (Read(file, setting))
            Click(id);
    };

    checkMark(idMSettings_AllowMultipleInstances, Setting::AllowMultipleInstances);
    clickWhenTrue(idMSettings_WindowAlwaysOnTop, Setting::WindowAlwaysOnTop);
    clickWhenTrue(idMSettings_LoremIpsumText, Setting::LoremIpsumText);
    checkMark(idMSettings_LaunchInEyeDropperMode, Setting::LaunchInEyeDropperMode);
    checkMark(idMSettings_UppercaseCode, Setting::UppercaseCode);
    checkMark(idMSettings_CodeWithPrefix, Setting::CodeWithPrefix);
    checkMark(idMSettings_AutomaticallyCopyCodeToClipboard, Setting::AutomaticallyCopyCodeToClipboard);
    checkMark(idMSettings_MinimizeWhileUsingDropper, Setting::MinimizeWhileUsingDropper);
    clickWhenTrue(idMSettings_UseTrayIcon, Setting::UseTrayIcon); // disabled: nothing happens
    checkMark(idMSettings_DisableSkin_FasterLaunch, Setting::DisableSkin_FasterLaunch);
    checkMark(idMSettings_SaveConfigurationOnExit, Setting::SaveConfigurationOnExit);
    checkMark(idMSettings_SaveLastColorOnExit, Setting::SaveLastColorOnExit);

    if (IsChecked(idMSettings_SaveLastColorOnExit)) {
        FColorReference = Read(file, Setting::LastColor);
        FColorReference2 = Read(file, Setting::LastColor2);
    } else {
        FColorReference = Setting::LastColor.Default;
        FColorReference2 = Setting::LastColor2.Default;
    }
    PaintColorBox(*ColorBoxPanel, FColorReference);
    PaintColorBox(*ColorBoxPanel2, FColorReference2);

    // Only the low byte selects; the format must be checked before the
    // first code refresh reads it.
    CheckOutputFormat(Read(file, Setting::OutputFormat) & 0xFF);

    if (Read(file, Setting::TwoColorMode))
        Click(idMSettings_TwoColorMode);
    else
        UpdateColorCode(false);

    SetColorSpace(Read(file, Setting::ColorSpace) & 0xFF);

    FDropperZoomFactor = Read(file, Setting::DropperZoomFactor);
    FDropperSourceSize = Read(file, Setting::DropperSourceSize);
    FDropperSampleSize = Read(file, Setting::DropperSampleSize);
    FDropperMouseSpeed = file.ReadInteger(Settings, Setting::DropperMouseSpeed, SystemDefaultDropperMouseSpeed());
}

void TFormMain::PlaceWindow(const TSettingsFile& file)
{
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    const TWindowSize size{window.right - window.left, window.bottom - window.top};

    TStoredPosition stored;
    stored.SectionHasKeys = file.SectionHasKeys(Position);
    if (stored.SectionHasKeys) {
        stored.Top = file.ReadInteger(Position, Setting::Top.Key, Setting::Top.Default);
        stored.Left = file.ReadInteger(Position, Setting::Left.Key, Setting::Left.Default);
    }
    const int desktopLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int desktopTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const TScreenRect desktop{desktopLeft, desktopTop, desktopLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              desktopTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const auto nearestWorkArea = [](TScreenPoint point) -> std::optional<TScreenRect> {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        HMONITOR monitor = ::MonitorFromPoint(POINT{point.X, point.Y}, MONITOR_DEFAULTTONEAREST);
        if (!monitor || !::GetMonitorInfoW(monitor, &info))
            return std::nullopt;
        return TScreenRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    };

    const auto restored = RestoredWindowPosition(stored, size, desktop, nearestWorkArea);
    const TScreenPoint place = restored ? *restored
                                        : CenteredWindowPosition(size, TScreenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                                                                                   ::GetSystemMetrics(SM_CYSCREEN)});
    ::SetWindowPos(Handle(), nullptr, place.X, place.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormMain::MSettings_SaveConfigurationClick()
{
    TSettingsFile file(SettingsFilePath());
    file.WriteBool(Settings, "AllowMultipleInstances", IsChecked(idMSettings_AllowMultipleInstances));
    file.WriteString(Settings, "Language", Languages->ActiveLanguage());

    RECT window{};
    ::GetWindowRect(Handle(), &window);
    if (::IsIconic(Handle())) {
        // A minimized window's rectangle is off screen; its normal place is
        // what comes back at the next start.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (::GetWindowPlacement(Handle(), &placement))
            window = placement.rcNormalPosition;
    }
    file.WriteInteger(Position, "Top", window.top);
    file.WriteInteger(Position, "Left", window.left);

    file.WriteInteger(Settings, "ColorSpace", GetColorSpace());
    file.WriteInteger(Settings, "OutputFormat", GetOutputFormat());

    for (const auto& [id, key] : {std::pair{idMSettings_WindowAlwaysOnTop, "WindowAlwaysOnTop"},
                                  {idMSettings_TwoColorMode, "TwoColorMode"},
                                  {idMSettings_LoremIpsumText, "LoremIpsumText"},
                                  {idMSettings_LaunchInEyeDropperMode, "LaunchInEyeDropperMode"},
                                  {idMSettings_UppercaseCode, "UppercaseCode"},
                                  {idMSettings_CodeWithPrefix, "CodeWithPrefix"},
                                  {idMSettings_AutomaticallyCopyCodeToClipboard, "AutomaticallyCopyCodeToClipboard"},
                                  {idMSettings_MinimizeWhileUsingDropper, "MinimizeWhileUsingDropper"},
                                  {idMSettings_UseTrayIcon, "UseTrayIcon"},
                                  {idMSettings_DisableSkin_FasterLaunch, "DisableSkin_FasterLaunch"},
                                  {idMSettings_SaveConfigurationOnExit, "SaveConfigurationOnExit"},
                                  {idMSettings_SaveLastColorOnExit, "SaveLastColorOnExit"}})
        file.WriteBool(Settings, key, IsChecked(id));

    file.WriteInteger(Settings, "DropperZoomFactor", FDropperZoomFactor);
    file.WriteInteger(Settings, "DropperSourceSize", FDropperSourceSize);
    file.WriteInteger(Settings, "DropperSampleSize", FDropperSampleSize);
    file.WriteInteger(Settings, "DropperMouseSpeed", FDropperMouseSpeed);
}

void TFormMain::MSettings_AllowMultipleInstancesClick()
{
    // The stored value flips on its own; the check mark agrees again when the
    // Settings menu next opens.
    TSettingsFile file(SettingsFilePath());
    file.WriteBool(Settings, "AllowMultipleInstances", !file.ReadBool(Settings, "AllowMultipleInstances", false));
}

void TFormMain::MSettings_SaveConfigurationOnExitClick()
{
    TSettingsFile file(SettingsFilePath());
    file.WriteBool(Settings, "SaveConfigurationOnExit", IsChecked(idMSettings_SaveConfigurationOnExit));
}

void TFormMain::WriteLastColors()
{
    TSettingsFile file(SettingsFilePath());
    file.WriteInteger(Settings, "LastColor", FColorReference);
    file.WriteInteger(Settings, "LastColor2", FColorReference2);
}

void TFormMain::MSettings_LoadDefaultClick()
{
    {
        TSettingsFile file(SettingsFilePath());
        SetChecked(idMSettings_AllowMultipleInstances, false);
        file.WriteBool(Settings, "AllowMultipleInstances", false);
    }
    if (IsChecked(idMSettings_WindowAlwaysOnTop))
        Click(idMSettings_WindowAlwaysOnTop);
    if (IsChecked(idMSettings_TwoColorMode))
        Click(idMSettings_TwoColorMode);
    if (!IsChecked(idMSettings_LoremIpsumText))
        Click(idMSettings_LoremIpsumText);
    SetChecked(idMSettings_LaunchInEyeDropperMode, false);
    SetChecked(idMSettings_UppercaseCode, false);
    SetChecked(idMSettings_CodeWithPrefix, true);
    SetChecked(idMSettings_AutomaticallyCopyCodeToClipboard, true);
    SetChecked(idMSettings_MinimizeWhileUsingDropper, true);
    if (IsChecked(idMSettings_UseTrayIcon))
        Click(idMSettings_UseTrayIcon);
    if (IsChecked(idMSettings_DisableSkin_FasterLaunch))
        Click(idMSettings_DisableSkin_FasterLaunch);
    SetChecked(idMSettings_SaveConfigurationOnExit, true);
    SetChecked(idMSettings_SaveLastColorOnExit, true);

    SetOutputFormat(ccfHTMLCSS);
    UpdateColorCode(true);
    SetColorSpace(csRGB);

    FDropperZoomFactor = Setting::DropperZoomFactor.Default;
    FDropperSourceSize = Setting::DropperSourceSize.Default;
    FDropperSampleSize = Setting::DropperSampleSize.Default;
    FDropperMouseSpeed = SystemDefaultDropperMouseSpeed();

    const std::string language = Languages->DefaultLanguage();
    const int count = ::GetMenuItemCount(MSettings_Languages);
    for (int i = 0; i < count; ++i) {
        const int id = idMSettings_LanguageFirst + i;
        std::wstring caption = MenuCaption(m_menuBar, id);
        const size_t ampersand = caption.find(L'&');
        if (ampersand != std::wstring::npos)
            caption.erase(ampersand, 1);
        if (WideToUtf8(caption) == language) {
            Click(id);
            break;
        }
    }
}
