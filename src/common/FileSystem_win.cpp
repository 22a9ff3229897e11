#include "common/FileSystem.h"

#include <cwctype>
#include <string_view>

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

// The names are those of the Win32 documentation's "Naming Files, Paths,
// and Namespaces", with the superscript digits it lists; an extension or
// trailing spaces do not make them files.
bool IsDeviceName(const TPath& path)
{
    std::wstring_view name = path.Native();
    // A name in the "\\?\" form is taken as it stands, never as a device.
    if (name.starts_with(L"\\\\?\\"))
        return false;
    const std::size_t separator = name.find_last_of(L"\\/");
    if (separator != std::wstring_view::npos)
        name.remove_prefix(separator + 1);
    name = name.substr(0, name.find_first_of(L".:"));
    while (!name.empty() && name.back() == L' ')
        name.remove_suffix(1);
    std::wstring upper(name);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL" || upper == L"CONIN$"
        || upper == L"CONOUT$")
        return true;
    if (upper.size() != 4 || !(upper.starts_with(L"COM") || upper.starts_with(L"LPT")))
        return false;
    const wchar_t digit = upper[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

TFileStatus FileStatus(const TPath& path)
{
    TFileStatus status;
    if (IsDeviceName(path)) {
        status.Kind = TFileKind::Other;
        return status;
    }
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

bool CreateFolder(const TPath& folder)
{
    return ::CreateDirectoryW(folder.CStr(), nullptr) != 0 || ::GetLastError() == ERROR_ALREADY_EXISTS;
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
