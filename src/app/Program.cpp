#include "app/Program.h"

#include "common/Win32.h"
#include "settings/Settings.h"

TLanguages* Languages = nullptr;

namespace {

TPath g_settingsFilePath;

TSettingsLocation ProgramSettingsLocation()
{
    if (!g_settingsFilePath.Empty())
        return {g_settingsFilePath, {}};
    return SettingsLocation(TPath(ExecutableFolder()), TPath(LocalApplicationDataFolder()));
}

} // namespace

TPath SettingsFilePath()
{
    return ProgramSettingsLocation().File();
}

TSettingsFile ProgramSettingsFile()
{
    const TSettingsLocation location = ProgramSettingsLocation();
    const TPath file = location.File();
    TSettingsFile settings(file);
    if (file == location.BesideProgram)
        settings.SetFallback(location.InUserFolder);
    return settings;
}

void SetSettingsFilePath(TPath path)
{
    g_settingsFilePath = std::move(path);
}
