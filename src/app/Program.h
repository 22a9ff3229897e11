#pragma once

#include "common/Path.h"
#include "settings/SettingsFile.h"

class TLanguages;

// The program-wide objects of the running program.

// The language manager, created first thing at start-up.
extern TLanguages* Languages;

// The settings file: beside the executable, or where the executable's folder
// takes no file, in the user's local application data folder.
TPath SettingsFilePath();
// That file, ready to be read and written: a first save that the
// executable's folder refuses goes to the user's folder.
TSettingsFile ProgramSettingsFile();

// The in-process tests keep their settings in a folder of their own.
void SetSettingsFilePath(TPath path);
