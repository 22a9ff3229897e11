// The main window and the settings file: loading at start-up, the window's
// place, saving, the immediate writes and restoring the defaults.

#include "app/Main.h"
#include "app/Program.h"
#include "dropper/SystemFunctions.h"
#include "i18n/LanguageSupport.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/WindowPlacement.h"
#include "ui/ColorBox.h"

namespace {

void WriteOne(TSettingsFile& file, const TSettingsValue& value)
{
    file.WriteString(value.Section, value.Key, value.Value);
}

} // namespace

TSettings TFormMain::ReadStoredSettings()
{
    return ReadSettings(TSettingsFile(SettingsFilePath()), GetSystemMouseSpeed());
}

void TFormMain::LoadSettings(const TSettings& stored)
{
    // The toggles in the order of the file's keys. "Click" means the item's
    // check flips from the new window's unchecked state and its command
    // runs. Two-color mode waits until the colors and the format are there.
    for (const TSettingKey& key : SettingKeys()) {
        if (!key.Bool)
            continue;
        const TCommand& command = CommandOf(key.Bool);
        const bool value = stored.*key.Bool;
        switch (command.Apply) {
        case TApplySetting::CheckMark:
        case TApplySetting::ClickOnReset: SetChecked(command.Id, value); break;
        case TApplySetting::Click:
            if (value)
                Click(command.Id); // a disabled item (the tray icon) does nothing
            break;
        case TApplySetting::Later: break;
        }
    }

    const TSettings defaults;
    if (IsChecked(idMSettings_SaveLastColorOnExit)) {
        FColorReference = stored.LastColor;
        FColorReference2 = stored.LastColor2;
    } else {
        FColorReference = defaults.LastColor;
        FColorReference2 = defaults.LastColor2;
    }
    PaintColorBox(*ColorBoxPanel, FColorReference);
    PaintColorBox(*ColorBoxPanel2, FColorReference2);

    // Only the low byte selects; the format must be checked before the
    // first code refresh reads it.
    CheckOutputFormat(stored.OutputFormat & 0xFF);

    if (stored.TwoColorMode)
        Click(idMSettings_TwoColorMode);
    else
        UpdateColorCode(false);

    SetColorSpace(stored.ColorSpace & 0xFF);

    FDropperZoomFactor = stored.DropperZoomFactor;
    FDropperSourceSize = stored.DropperSourceSize;
    FDropperSampleSize = stored.DropperSampleSize;
    FDropperMouseSpeed = stored.DropperMouseSpeed;

    FRecentColors = stored.RecentColors;
    FRecentColorsStored = stored.RecentColorsStored;
}

TSettings TFormMain::CollectSettings() const
{
    TSettings settings;
    for (const TCommand& command : Commands)
        if (command.Setting)
            settings.*command.Setting = IsChecked(command.Id);
    settings.Language = Languages->ActiveLanguage();

    RECT window{};
    ::GetWindowRect(Handle(), &window);
    if (::IsIconic(Handle())) {
        // A minimized window's rectangle is off screen; its normal place is
        // what comes back at the next start.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (::GetWindowPlacement(Handle(), &placement)) {
            window = placement.rcNormalPosition;
            // Measured from the work area of its monitor, not the screen.
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (::GetMonitorInfoW(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info)) {
                const auto rect = [](const RECT& r) { return TScreenRect{r.left, r.top, r.right, r.bottom}; };
                const TScreenRect screen =
                    WorkspaceToScreen(rect(window), TMonitorArea{rect(info.rcMonitor), rect(info.rcWork)});
                window = {screen.Left, screen.Top, screen.Right, screen.Bottom};
            }
        }
    }
    settings.PositionStored = true;
    settings.Top = window.top;
    settings.Left = window.left;

    settings.ColorSpace = GetColorSpace();
    settings.OutputFormat = GetOutputFormat();
    settings.LastColor = FColorReference;
    settings.LastColor2 = FColorReference2;
    settings.DropperZoomFactor = FDropperZoomFactor;
    settings.DropperSourceSize = FDropperSourceSize;
    settings.DropperSampleSize = FDropperSampleSize;
    settings.DropperMouseSpeed = FDropperMouseSpeed;
    settings.RecentColors = FRecentColors;
    settings.RecentColorsStored = FRecentColorsStored;
    return settings;
}

POINT TFormMain::WindowPlace(const TSettings& stored, SIZE outer) const
{
    const TWindowSize size{outer.cx, outer.cy};
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

    const auto restored = RestoredWindowPosition(stored.StoredPosition(), size, desktop, nearestWorkArea);
    const TScreenPoint place = restored
                                   ? *restored
                                   : CenteredWindowPosition(size, TScreenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                                                                              ::GetSystemMetrics(SM_CYSCREEN)});
    return POINT{place.X, place.Y};
}

void TFormMain::MSettings_SaveConfigurationClick()
{
    TSettingsFile file = ProgramSettingsFile();
    file.WriteValues(SavedValues(CollectSettings()));
}

void TFormMain::MSettings_AllowMultipleInstancesClick()
{
    // The stored value flips on its own; the check mark agrees again when the
    // Settings menu next opens.
    TSettingsFile file = ProgramSettingsFile();
    TSettings stored = ReadSettings(file, std::nullopt);
    stored.AllowMultipleInstances = !stored.AllowMultipleInstances;
    WriteOne(file, ValueOf(stored, &TSettings::AllowMultipleInstances));
}

void TFormMain::MSettings_SaveConfigurationOnExitClick()
{
    TSettings settings;
    settings.SaveConfigurationOnExit = IsChecked(idMSettings_SaveConfigurationOnExit);
    TSettingsFile file = ProgramSettingsFile();
    WriteOne(file, ValueOf(settings, &TSettings::SaveConfigurationOnExit));
}

void TFormMain::WriteSettingsAtExit()
{
    // One write: the settings when they are saved at exit, then the last
    // colors when they are kept.
    const TSettings settings = CollectSettings();
    std::vector<TSettingsValue> values;
    if (settings.SaveConfigurationOnExit)
        values = SavedValues(settings);
    if (settings.SaveLastColorOnExit)
        for (TSettingsValue& value : LastColorValues(settings))
            values.push_back(std::move(value));
    if (!values.empty())
        ProgramSettingsFile().WriteValues(values);
}

void TFormMain::MSettings_LoadDefaultClick()
{
    const TSettings defaults = DefaultSettings(GetSystemMouseSpeed());
    {
        TSettingsFile file = ProgramSettingsFile();
        SetChecked(idMSettings_AllowMultipleInstances, defaults.AllowMultipleInstances);
        WriteOne(file, ValueOf(defaults, &TSettings::AllowMultipleInstances));
    }
    // The toggles in the order of the file's keys; those whose command acts
    // on the window run it when their state differs from the default.
    for (const TSettingKey& key : SettingKeys()) {
        if (!key.Bool)
            continue;
        const TCommand& command = CommandOf(key.Bool);
        const bool value = defaults.*key.Bool;
        if (command.Apply == TApplySetting::CheckMark)
            SetChecked(command.Id, value);
        else if (IsChecked(command.Id) != value)
            Click(command.Id);
    }

    SetOutputFormat(defaults.OutputFormat);
    UpdateColorCode(true);
    SetColorSpace(defaults.ColorSpace);

    FDropperZoomFactor = defaults.DropperZoomFactor;
    FDropperSourceSize = defaults.DropperSourceSize;
    FDropperSampleSize = defaults.DropperSampleSize;
    FDropperMouseSpeed = defaults.DropperMouseSpeed;

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
