#include "common/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
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
