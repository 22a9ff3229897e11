#pragma once

// The file calls of the settings file that differ by platform: exclusive
// creation, a write that reaches the disk, and a replace in one step.
// SettingsFile_win.cpp and SettingsFile_posix.cpp hold the two versions; the
// build takes one of them.

#include "common/Path.h"

#include <string_view>

namespace SettingsFilePlatform {

// Creates an empty file that must not exist yet.
bool CreateNewFile(const TPath& file);
// Whether an existing file may be opened for writing.
bool CanWriteExisting(const TPath& file);
// Replaces the content of an existing file and flushes it to the disk.
bool WriteAllDurably(const TPath& file, std::string_view bytes);
// Moves from onto to in one step, replacing to.
bool ReplaceAtomically(const TPath& from, const TPath& to);

} // namespace SettingsFilePlatform
