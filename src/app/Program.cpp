#include "app/Program.h"

#include "common/Win32.h"
#include "settings/Settings.h"

TLanguages* Languages = nullptr;

namespace {

std::filesystem::path g_settingsFilePath;

} // namespace

std::filesystem::path SettingsFilePath()
{
    if (!g_settingsFilePath.empty())
        return g_settingsFilePath;
    return SettingsFileIn(std::filesystem::path(ExecutableFolder()));
}

void SetSettingsFilePath(std::filesystem::path path)
{
    g_settingsFilePath = std::move(path);
}
