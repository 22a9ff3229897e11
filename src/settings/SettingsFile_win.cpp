#include "settings/SettingsFilePlatform.h"

#include <algorithm>
#include <cstddef>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace SettingsFilePlatform {
bool CreateNewFile(const TPath& file)
{
    const HANDLE handle =
        ::CreateFileW(file.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    return ::CloseHandle(handle) != 0;
}

bool CanWriteExisting(const TPath& file)
{
    const HANDLE handle =
        ::CreateFileW(file.CStr(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    return ::CloseHandle(handle) != 0;
}

bool WriteAllDurably(const TPath& file, std::string_view bytes)
{
    const HANDLE handle = ::CreateFileW(file.CStr(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool written = true;
    while (written && !bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD done = 0;
        written = ::WriteFile(handle, bytes.data(), chunk, &done, nullptr) != 0 && done > 0;
        bytes.remove_prefix(done);
    }
    written = written && ::SetEndOfFile(handle) != 0 && ::FlushFileBuffers(handle) != 0;
    return ::CloseHandle(handle) != 0 && written;
}

// MoveFileExW replaces an existing file in one step, and write-through returns only once the move is
// on the disk.
bool ReplaceAtomically(const TPath& from, const TPath& to)
{
    return ::MoveFileExW(from.CStr(), to.CStr(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace SettingsFilePlatform
