#include "common/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TFileDescriptor {
    int Descriptor;
    ~TFileDescriptor()
    {
        if (Descriptor >= 0)
            ::close(Descriptor);
    }
};

} // namespace

TFileBytes ReadFileBytes(const TPath& file, std::size_t maxSize)
{
    const TFileDescriptor descriptor{::open(file.CStr(), O_RDONLY | O_CLOEXEC)};
    if (descriptor.Descriptor < 0)
        return {TFileReadStatus::CannotOpen, {}};
    TFileBytes result{TFileReadStatus::Read, {}};
    // A file known to be too large is not read at all. Otherwise one
    // allocation holds it; the size is only a hint, since the file may
    // change while it is read.
    struct stat status {};
    if (::fstat(descriptor.Descriptor, &status) == 0 && status.st_size > 0) {
        if (static_cast<unsigned long long>(status.st_size) > maxSize)
            return {TFileReadStatus::TooLarge, {}};
        result.Bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t read = ::read(descriptor.Descriptor, buffer, sizeof buffer);
        if (read < 0) {
            if (errno == EINTR)
                continue;
            // A folder opens but cannot be read: that is no file to us.
            return {TFileReadStatus::ReadError, {}};
        }
        if (read == 0)
            return result;
        if (result.Bytes.size() + static_cast<std::size_t>(read) > maxSize)
            return {TFileReadStatus::TooLarge, {}};
        result.Bytes.append(buffer, static_cast<std::size_t>(read));
    }
}
