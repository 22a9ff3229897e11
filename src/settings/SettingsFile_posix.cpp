#include "settings/SettingsFilePlatform.h"

#include <cerrno>
#include <cstddef>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace SettingsFilePlatform {

bool CreateNewFile(const fs::path& file)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    return ::close(descriptor) == 0;
}

bool CanWriteExisting(const fs::path& file)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    return ::close(descriptor) == 0;
}

bool WriteAllDurably(const fs::path& file, std::string_view bytes)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
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

bool ReplaceAtomically(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::rename(from, to, error);
    if (error)
        return false;
    // The rename lives in the folder; flushing the folder makes it survive a
    // power loss. Some file systems refuse this, and the rename has happened
    // either way, so a failure here is not a failed write.
    const int folder = ::open(to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        static_cast<void>(::fsync(folder));
        static_cast<void>(::close(folder));
    }
    return true;
}

} // namespace SettingsFilePlatform
