#include "settings/SettingsFilePlatform.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace SettingsFilePlatform {

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct THandle {
    HANDLE Handle;
    ~THandle()
    {
        if (Handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(Handle);
    }
};

// The information classes and flags of a rename with POSIX semantics, from
// Windows 10 1607 on; named here for the SDKs that lack them.
constexpr auto FileRenameInfoExClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD RenameReplaceIfExists = 0x1;
constexpr DWORD RenamePosixSemantics = 0x2;

// The rename of from onto to by a handle of from, in POSIX semantics: the
// name moves at once even while others have the old file open, and they go
// on reading the old content. Windows before 10 1607 and file systems other
// than NTFS refuse it.
bool RenameWithPosixSemantics(const TPath& from, const TPath& to)
{
    const THandle source{::CreateFileW(from.CStr(), DELETE | SYNCHRONIZE, ShareAll, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (source.Handle == INVALID_HANDLE_VALUE)
        return false;
    const std::wstring& target = to.Native();
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    // FILE_RENAME_INFO with room for the name; kept aligned for its fields.
    std::vector<std::uint64_t> buffer((sizeof(FILE_RENAME_INFO) + nameBytes) / sizeof(std::uint64_t) + 1);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->Flags = RenameReplaceIfExists | RenamePosixSemantics;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, target.c_str(), nameBytes);
    return ::SetFileInformationByHandle(source.Handle, FileRenameInfoExClass, info,
                                        static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)))
           != 0;
}

} // namespace

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
        ::CreateFileW(file.CStr(), GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// Whether every program that has the file open allows it to be deleted (or
// renamed), as a replace needs.
bool OthersAllowDeletion(const TPath& file)
{
    const THandle handle{::CreateFileW(file.CStr(), DELETE, ShareAll, nullptr, OPEN_EXISTING, 0, nullptr)};
    return handle.Handle != INVALID_HANDLE_VALUE;
}

// First the rename in POSIX semantics, which an open reader does not stop.
// Where the system has none (before Windows 10 1607, file systems other
// than NTFS), MoveFileExW, and when the file is open, ReplaceFileW, which
// replaces a file that others hold open with delete sharing. Write-through
// returns only once the move is on the disk.
bool ReplaceAtomically(const TPath& from, const TPath& to)
{
    if (RenameWithPosixSemantics(from, to))
        return true;
    if (::MoveFileExW(from.CStr(), to.CStr(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    // A holder that does not allow deletion would make ReplaceFileW fail
    // too, and some of its versions leave a file of their own behind then.
    if (!OthersAllowDeletion(to))
        return false;
    if (::ReplaceFileW(to.CStr(), from.CStr(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    // Where ReplaceFileW took the old file away but could not move the new
    // one in (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), the name must not stay
    // empty.
    return ::MoveFileExW(from.CStr(), to.CStr(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MoveToNewName(const TPath& from, const TPath& to)
{
    return ::MoveFileExW(from.CStr(), to.CStr(), MOVEFILE_WRITE_THROUGH) != 0;
}

void Pause(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

TFileIdentity IdentifyFile(const TPath& file)
{
    TFileIdentity identity{file, 1};
    const THandle handle{::CreateFileW(file.CStr(), 0, ShareAll, nullptr, OPEN_EXISTING, 0, nullptr)};
    if (handle.Handle == INVALID_HANDLE_VALUE)
        return identity;
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileInformationByHandle(handle.Handle, &information))
        identity.Names = std::max<DWORD>(information.nNumberOfLinks, 1);
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle.Handle, final.data(), static_cast<DWORD>(final.size()),
                                                         FILE_NAME_NORMALIZED);
        if (length == 0)
            return identity;
        if (length < final.size()) {
            final.resize(length);
            identity.Final = TPath(std::move(final));
            return identity;
        }
        final.resize(length); // the length the name needs, with its end mark
    }
}

bool RemoveUnusedFile(const TPath& file, std::uint32_t minimumAge)
{
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const auto oldEnough = [&](const FILETIME& written) {
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        constexpr std::uint64_t ticksPerSecond = 10'000'000;
        return ticks(now) >= ticks(written) && ticks(now) - ticks(written) >= minimumAge * ticksPerSecond;
    };
    // The age first, from the folder: a file of a save still under way is
    // never opened, which would keep that save from removing it.
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!::GetFileAttributesExW(file.CStr(), GetFileExInfoStandard, &attributes)
        || !oldEnough(attributes.ftLastWriteTime))
        return false;
    // Without sharing, the open fails while anybody else has the file open.
    const THandle handle{
        ::CreateFileW(file.CStr(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
    if (handle.Handle == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written{};
    if (!::GetFileTime(handle.Handle, nullptr, nullptr, &written) || !oldEnough(written))
        return false;
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(handle.Handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

TOpenFile::TOpenFile(const TPath& file)
    : FHandle(::CreateFileW(file.CStr(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{}

TOpenFile::~TOpenFile()
{
    if (IsOpen())
        ::CloseHandle(FHandle);
}

bool TOpenFile::IsOpen() const
{
    return FHandle != INVALID_HANDLE_VALUE;
}

bool TOpenFile::Size(std::uint64_t& size) const
{
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(FHandle, &value))
        return false;
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

namespace {

OVERLAPPED At(std::uint64_t offset)
{
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

} // namespace

bool TOpenFile::ReadAt(std::uint64_t offset, std::span<char> bytes) const
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        OVERLAPPED position = At(offset);
        DWORD done = 0;
        if (!::ReadFile(FHandle, bytes.data(), chunk, &done, &position) || done == 0)
            return false;
        bytes = bytes.subspan(done);
        offset += done;
    }
    return true;
}

bool TOpenFile::WriteAt(std::uint64_t offset, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        OVERLAPPED position = At(offset);
        DWORD done = 0;
        if (!::WriteFile(FHandle, bytes.data(), chunk, &done, &position) || done == 0)
            return false;
        bytes.remove_prefix(done);
        offset += done;
    }
    return true;
}

bool TOpenFile::SetSize(std::uint64_t size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFileInformationByHandle(FHandle, FileEndOfFileInfo, &end, sizeof end) != 0;
}

bool TOpenFile::Flush()
{
    return ::FlushFileBuffers(FHandle) != 0;
}

} // namespace SettingsFilePlatform
