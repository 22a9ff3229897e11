#pragma once

// The file calls of the settings file that differ by platform: exclusive
// creation, a write that reaches the disk, and a replace in one step.
// SettingsFile_win.cpp and SettingsFile_posix.cpp hold the two versions; the
// build takes one of them.

#include <filesystem>
#include <string_view>

namespace SettingsFilePlatform {

// Creates an empty file that must not exist yet.
bool CreateNewFile(const std::filesystem::path& file);
// Whether an existing file may be opened for writing.
bool CanWriteExisting(const std::filesystem::path& file);
// Replaces the content of an existing file and flushes it to the disk.
bool WriteAllDurably(const std::filesystem::path& file, std::string_view bytes);
// Moves from onto to in one step, replacing to.
bool ReplaceAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace SettingsFilePlatform
