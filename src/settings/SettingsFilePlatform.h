#pragma once

// The file calls of the settings file that differ by platform: exclusive
// creation, a write that reaches the disk, a replace in one step, a write in
// place, and what a name stands for (links). SettingsFile_win.cpp and
// SettingsFile_posix.cpp hold the two versions; the build takes one of them.

#include "common/Path.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace SettingsFilePlatform {

// Creates an empty file that must not exist yet.
bool CreateNewFile(const TPath& file);
// Whether an existing file may be opened for writing.
bool CanWriteExisting(const TPath& file);
// Replaces the content of an existing file and flushes it to the disk.
bool WriteAllDurably(const TPath& file, std::string_view bytes);
// Moves from onto to in one step, replacing to, also while others have to
// open for reading (and allow it to be deleted, as readers on Windows do).
bool ReplaceAtomically(const TPath& from, const TPath& to);
// Moves from to the name to in one step, unless a file of that name exists.
bool MoveToNewName(const TPath& from, const TPath& to);

// Waits, without work, before trying again.
void Pause(unsigned milliseconds);

// What an existing name stands for.
struct TFileIdentity {
    // The file itself, with every symbolic link on the way followed; the
    // name as it was where the system cannot say.
    TPath Final;
    // The file's names on the disk: more than one for a hard link.
    std::uint32_t Names = 1;
};
TFileIdentity IdentifyFile(const TPath& file);

// Removes a file that nobody has open and that was last written at least
// minimumAge seconds ago; false when it stays.
bool RemoveUnusedFile(const TPath& file, std::uint32_t minimumAge);

// An existing file opened for reading and writing in place; others may go on
// reading it.
class TOpenFile {
public:
    explicit TOpenFile(const TPath& file);
    ~TOpenFile();
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;

    bool IsOpen() const;
    // False when the size cannot be told.
    bool Size(std::uint64_t& size) const;
    // Fills bytes from offset; false unless every byte was read.
    bool ReadAt(std::uint64_t offset, std::span<char> bytes) const;
    // False unless every byte was written.
    bool WriteAt(std::uint64_t offset, std::string_view bytes);
    bool SetSize(std::uint64_t size);
    // Returns once what was written is on the disk.
    bool Flush();

private:
#ifdef _WIN32
    void* FHandle;
#else
    int FDescriptor;
#endif
};

} // namespace SettingsFilePlatform
