#include "common/FileBytes.h"

#include "common/FileSystem.h"

#include <windows.h>

namespace {

struct TFileHandle {
    HANDLE Handle;
    ~TFileHandle()
    {
        if (Handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(Handle);
    }
};

} // namespace

TFileBytes ReadFileBytes(const TPath& file, std::size_t maxSize)
{
    // A device is never opened: a serial port would wait for data forever.
    if (IsDeviceName(file))
        return {TFileReadStatus::CannotOpen, {}};
    // Others may read and even replace the file meanwhile, as an editor or a
    // second instance saving its settings does.
    const TFileHandle handle{::CreateFileW(file.CStr(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (handle.Handle == INVALID_HANDLE_VALUE)
        return {TFileReadStatus::CannotOpen, {}};
    // Only a file on a disk is read; a pipe or a device found under another
    // name could block.
    if (::GetFileType(handle.Handle) != FILE_TYPE_DISK)
        return {TFileReadStatus::CannotOpen, {}};
    TFileBytes result{TFileReadStatus::Read, {}};
    // A file known to be too large is not read at all. Otherwise one
    // allocation holds it; the size is only a hint, since the file may
    // change while it is read.
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(handle.Handle, &size) && size.QuadPart > 0) {
        if (static_cast<unsigned long long>(size.QuadPart) > maxSize)
            return {TFileReadStatus::TooLarge, {}};
        result.Bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    }
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(handle.Handle, buffer, sizeof buffer, &read, nullptr))
            return {TFileReadStatus::ReadError, {}};
        if (read == 0)
            return result;
        if (result.Bytes.size() + read > maxSize)
            return {TFileReadStatus::TooLarge, {}};
        result.Bytes.append(buffer, read);
    }
}
