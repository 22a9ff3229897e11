#pragma once

// The few questions the program asks the file system, answered with the
// system's own calls (FileSystem_win.cpp, FileSystem_posix.cpp). Links are
// followed, as opening the file would follow them.

#include "common/Path.h"

#include <vector>

enum class TFileKind {
    Missing, // nothing of that name, or its folder is missing
    File,
    Folder,
    Other,   // a device, a pipe or a socket
    Unknown, // the system would not say (no access, a broken name)
};

struct TFileStatus {
    TFileKind Kind = TFileKind::Unknown;
    // Marked so that nobody may write it: no write bit at all on POSIX, the
    // read-only attribute on Windows.
    bool ReadOnly = false;
    // The POSIX permission bits, so a replacement can be given the same;
    // Windows keeps none beyond the read-only mark.
    unsigned Permissions = 0;
};

// A name that Windows takes for a device wherever it stands (CON, NUL,
// COM1.ini): such a name is never opened as a file, since reading a serial
// port can wait forever. Never one on POSIX.
bool IsDeviceName(const TPath& path);

TFileStatus FileStatus(const TPath& path);

// Something is there, and the system says what it is.
inline bool Exists(const TFileStatus& status)
{
    return status.Kind != TFileKind::Missing && status.Kind != TFileKind::Unknown;
}

// Makes a folder in an existing one; true also when it is there already.
bool CreateFolder(const TPath& folder);

// Removes a file (not a folder); false when it could not.
bool RemoveFile(const TPath& file);

// Gives file the permissions of status. Best effort: false when the system
// refuses.
bool SetPermissions(const TPath& file, const TFileStatus& status);

// The full path: relative to the current folder made absolute. Unchanged
// when the system cannot make it (an empty path).
TPath AbsolutePath(const TPath& path);

struct TFolderEntry {
    TPath Name; // the name alone, without the folder
    bool IsFolder = false;
};

// The names in folder, without "." and "..", in the order the system lists
// them; empty when the folder cannot be listed. IsFolder follows links; a
// link whose target is gone is no folder.
std::vector<TFolderEntry> ListFolder(const TPath& folder);
