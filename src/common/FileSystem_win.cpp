#include "common/FileSystem.h"

#include <windows.h>

namespace {

struct TFindHandle {
    HANDLE Handle;
    ~TFindHandle()
    {
        if (Handle != INVALID_HANDLE_VALUE)
            ::FindClose(Handle);
    }
};

bool IsFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

TFileStatus FileStatus(const TPath& path)
{
    TFileStatus status;
    const DWORD attributes = ::GetFileAttributesW(path.CStr());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // The runtime's stat reads all of these as "no such file".
        switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_FILENAME_EXCED_RANGE: status.Kind = TFileKind::Missing; break;
        default: status.Kind = TFileKind::Unknown; break;
        }
        return status;
    }
    // A device name (CON, NUL) has attributes too, but is no file.
    if (IsFolder(attributes))
        status.Kind = TFileKind::Folder;
    else if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        status.Kind = TFileKind::Other;
    else
        status.Kind = TFileKind::File;
    status.ReadOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return status;
}

bool RemoveFile(const TPath& file)
{
    return ::DeleteFileW(file.CStr()) != 0;
}

bool SetPermissions(const TPath& file, const TFileStatus& status)
{
    const DWORD attributes = ::GetFileAttributesW(file.CStr());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    constexpr DWORD readOnly = FILE_ATTRIBUTE_READONLY;
    const DWORD wanted = status.ReadOnly ? attributes | readOnly : attributes & ~readOnly;
    return wanted == attributes || ::SetFileAttributesW(file.CStr(), wanted) != 0;
}

TPath AbsolutePath(const TPath& path)
{
    if (path.Empty())
        return path;
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.CStr(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path;
        if (length < full.size()) {
            full.resize(length);
            return TPath(std::move(full));
        }
        full.resize(length); // the length the name needs, with its end mark
    }
}

std::vector<TFolderEntry> ListFolder(const TPath& folder)
{
    std::vector<TFolderEntry> entries;
    WIN32_FIND_DATAW found{};
    const TFindHandle listing{::FindFirstFileExW((folder / TPath(L"*")).CStr(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)};
    if (listing.Handle == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        entries.push_back({TPath(name), IsFolder(found.dwFileAttributes)});
    } while (::FindNextFileW(listing.Handle, &found));
    return entries;
}
