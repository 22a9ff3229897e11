#pragma once

#include "common/Path.h"

class TLanguages;

// The program-wide objects of the running program.

// The language manager, created first thing at start-up.
extern TLanguages* Languages;

// The settings file in the folder of the executable.
TPath SettingsFilePath();

// The in-process tests keep their settings in a folder of their own.
void SetSettingsFilePath(TPath path);
