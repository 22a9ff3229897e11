#pragma once

#include <filesystem>

class TLanguages;

// The program-wide objects of the running program.

// The language manager, created first thing at start-up.
extern TLanguages* Languages;

// The settings file in the folder of the executable.
std::filesystem::path SettingsFilePath();

// The in-process tests keep their settings in a folder of their own.
void SetSettingsFilePath(std::filesystem::path path);
