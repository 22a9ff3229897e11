#include "app/Program.h"

#include "common/Win32.h"
#include "settings/Settings.h"

TLanguages* Languages = nullptr;

namespace {

TPath g_settingsFilePath;

} // namespace

TPath SettingsFilePath()
{
    if (!g_settingsFilePath.Empty())
        return g_settingsFilePath;
    return SettingsFileIn(TPath(ExecutableFolder()));
}

void SetSettingsFilePath(TPath path)
{
    g_settingsFilePath = std::move(path);
}
