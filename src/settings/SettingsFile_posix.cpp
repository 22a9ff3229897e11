#include "settings/SettingsFilePlatform.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>

#include <fcntl.h>
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
    const std::string& name = to.Native();
    const std::size_t slash = name.find_last_of('/');
    const std::string folderName = slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
    const int folder = ::open(folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        static_cast<void>(::fsync(folder));
        static_cast<void>(::close(folder));
    }
    return true;
}

} // namespace SettingsFilePlatform
