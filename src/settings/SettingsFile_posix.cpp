#include "settings/SettingsFilePlatform.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFilePlatform {

bool CreateNewFile(const TPath& file)
{
    const int descriptor = ::open(file.CStr(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    return ::close(descriptor) == 0;
}

bool CanWriteExisting(const TPath& file)
{
    const int descriptor = ::open(file.CStr(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    return ::close(descriptor) == 0;
}

bool WriteAllDurably(const TPath& file, std::string_view bytes)
{
    const int descriptor = ::open(file.CStr(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const auto size = static_cast<off_t>(bytes.size());
    bool written = true;
    while (written && !bytes.empty()) {
        const ssize_t done = ::write(descriptor, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        written = done > 0;
        if (written)
            bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    written = written && ::ftruncate(descriptor, size) == 0 && ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && written;
}

bool ReplaceAtomically(const TPath& from, const TPath& to)
{
    if (::rename(from.CStr(), to.CStr()) != 0)
        return false;
    // The rename lives in the folder; flushing the folder makes it survive a
    // power loss. Some file systems refuse this, and the rename has happened
    // either way, so a failure here is not a failed write.
    const TPath folderName = to.Folder().Empty() ? TPath(".") : to.Folder();
    const int folder = ::open(folderName.CStr(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        static_cast<void>(::fsync(folder));
        static_cast<void>(::close(folder));
    }
    return true;
}

// A new name by a hard link, which fails where the name is taken; then the
// temporary name goes.
bool MoveToNewName(const TPath& from, const TPath& to)
{
    if (::link(from.CStr(), to.CStr()) != 0)
        return false;
    static_cast<void>(::unlink(from.CStr()));
    return true;
}

void Pause(unsigned milliseconds)
{
    timespec wait{static_cast<std::time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000L};
    while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

TFileIdentity IdentifyFile(const TPath& file)
{
    TFileIdentity identity{file, 1};
    struct stat information {};
    if (::stat(file.CStr(), &information) == 0)
        identity.Names = static_cast<std::uint32_t>(information.st_nlink > 0 ? information.st_nlink : 1);
    const std::unique_ptr<char, decltype(&std::free)> final(::realpath(file.CStr(), nullptr), &std::free);
    if (final)
        identity.Final = TPath(std::string(final.get()));
    return identity;
}

// POSIX knows no "in use" that would stop a removal: the age alone tells a
// file of a save that ended long ago.
bool RemoveUnusedFile(const TPath& file, std::uint32_t minimumAge)
{
    struct stat information {};
    if (::lstat(file.CStr(), &information) != 0 || !S_ISREG(information.st_mode))
        return false;
    const std::time_t now = std::time(nullptr);
    if (now < information.st_mtime || now - information.st_mtime < static_cast<std::time_t>(minimumAge))
        return false;
    return ::unlink(file.CStr()) == 0;
}

TOpenFile::TOpenFile(const TPath& file) : FDescriptor(::open(file.CStr(), O_RDWR | O_CLOEXEC)) {}

TOpenFile::~TOpenFile()
{
    if (IsOpen())
        ::close(FDescriptor);
}

bool TOpenFile::IsOpen() const
{
    return FDescriptor >= 0;
}

bool TOpenFile::Size(std::uint64_t& size) const
{
    struct stat information {};
    if (::fstat(FDescriptor, &information) != 0)
        return false;
    size = static_cast<std::uint64_t>(information.st_size);
    return true;
}

bool TOpenFile::ReadAt(std::uint64_t offset, std::span<char> bytes) const
{
    while (!bytes.empty()) {
        const ssize_t done = ::pread(FDescriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(done));
        offset += static_cast<std::uint64_t>(done);
    }
    return true;
}

bool TOpenFile::WriteAt(std::uint64_t offset, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t done = ::pwrite(FDescriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
        offset += static_cast<std::uint64_t>(done);
    }
    return true;
}

bool TOpenFile::SetSize(std::uint64_t size)
{
    return ::ftruncate(FDescriptor, static_cast<off_t>(size)) == 0;
}

bool TOpenFile::Flush()
{
    return ::fsync(FDescriptor) == 0;
}

} // namespace SettingsFilePlatform
