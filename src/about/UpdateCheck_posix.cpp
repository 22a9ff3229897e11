#include "about/UpdateCheckPlatform.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace UpdateCheckPlatform {

namespace {

int Native(TSocketHandle s)
{
    return static_cast<int>(s);
}

#ifdef MSG_NOSIGNAL
// A server that closes early must not end the program with SIGPIPE.
constexpr int SendFlags = MSG_NOSIGNAL;
#else
constexpr int SendFlags = 0;
#endif

TIoResult IoResult(ssize_t count)
{
    if (count >= 0)
        return {TIoStatus::Done, static_cast<std::size_t>(count)};
    const bool retry = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    return {retry ? TIoStatus::Retry : TIoStatus::Failed, 0};
}

} // namespace

bool SocketsReady()
{
    return true;
}

TSocketHandle OpenSocket(const TAddress& address)
{
    const int s = socket(address.Family, address.SocketType, address.Protocol);
    if (s < 0)
        return NoSocket;
    const int flags = fcntl(s, F_GETFL, 0);
    if (flags == -1 || fcntl(s, F_SETFL, flags | O_NONBLOCK) == -1) {
        close(s);
        return NoSocket;
    }
    return s;
}

void CloseSocket(TSocketHandle s)
{
    close(Native(s));
}

TConnectStart StartConnect(TSocketHandle s, const TAddress& address)
{
    if (connect(Native(s), reinterpret_cast<const sockaddr*>(address.Bytes), static_cast<socklen_t>(address.Length))
        == 0)
        return TConnectStart::Connected;
    // An interrupted connect goes on in the background, just like one in progress.
    return errno == EINPROGRESS || errno == EINTR ? TConnectStart::InProgress : TConnectStart::Failed;
}

bool ConnectSucceeded(TSocketHandle s)
{
    int error = 0;
    socklen_t length = sizeof error;
    const bool known = getsockopt(Native(s), SOL_SOCKET, SO_ERROR, &error, &length) == 0;
    return known && error == 0;
}

TWaitResult WaitOnce(TSocketHandle s, TWaitKind kind, int milliseconds)
{
    // poll, not select: select cannot watch a descriptor above FD_SETSIZE.
    pollfd entry{};
    entry.fd = Native(s);
    entry.events = kind == TWaitKind::Readable ? POLLIN : POLLOUT;
    const int result = poll(&entry, 1, milliseconds);
    if (result > 0)
        return TWaitResult::Ready;
    if (result < 0 && errno != EINTR)
        return TWaitResult::Failed;
    return TWaitResult::NotYet;
}

TIoResult SendSome(TSocketHandle s, std::string_view data)
{
    return IoResult(send(Native(s), data.data(), data.size(), SendFlags));
}

TIoResult ReceiveSome(TSocketHandle s, char* buffer, std::size_t size)
{
    return IoResult(recv(Native(s), buffer, size, 0));
}

} // namespace UpdateCheckPlatform
