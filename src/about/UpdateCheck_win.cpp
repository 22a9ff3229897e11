#include "about/UpdateCheckPlatform.h"

#include <algorithm>
#include <climits>
#include <cstring>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>

namespace UpdateCheckPlatform {

namespace {

SOCKET Native(TSocketHandle s)
{
    return static_cast<SOCKET>(s);
}

} // namespace

bool SocketsReady()
{
    // Winsock needs one start-up per process before its first call. It stays
    // up until the process ends, which releases it.
    static const bool ready = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

TSocketHandle OpenSocket(const TAddress& address)
{
    const SOCKET s = socket(address.Family, address.SocketType, address.Protocol);
    if (s == INVALID_SOCKET)
        return NoSocket;
    u_long on = 1;
    if (ioctlsocket(s, static_cast<long>(FIONBIO), &on) != 0) {
        closesocket(s);
        return NoSocket;
    }
    return static_cast<TSocketHandle>(s);
}

void CloseSocket(TSocketHandle s)
{
    closesocket(Native(s));
}

TConnectStart StartConnect(TSocketHandle s, const TAddress& address)
{
    if (connect(Native(s), reinterpret_cast<const sockaddr*>(address.Bytes), static_cast<int>(address.Length)) == 0)
        return TConnectStart::Connected;
    return WSAGetLastError() == WSAEWOULDBLOCK ? TConnectStart::InProgress : TConnectStart::Failed;
}

bool ConnectSucceeded(TSocketHandle s)
{
    int error = 0;
    int length = sizeof error;
    const bool known = getsockopt(Native(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0;
    return known && error == 0;
}

TWaitResult WaitOnce(TSocketHandle s, TWaitKind kind, int milliseconds)
{
    // select, not WSAPoll: WSAPoll did not report failed connects on older
    // Windows, which select reports in the exception set. That set also
    // reports urgent data, so it is watched only while connecting: a
    // server's urgent byte must not make later waits return at once.
    // Winsock's fd_set is a list, so any socket value fits.
    const bool forWrite = kind != TWaitKind::Readable;
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(Native(s), &ready);
    FD_SET(Native(s), &failed);
    timeval timeout{};
    timeout.tv_sec = static_cast<long>(milliseconds / 1000);
    timeout.tv_usec = static_cast<long>((milliseconds % 1000) * 1000);
    const int result = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr,
                              kind == TWaitKind::Connected ? &failed : nullptr, &timeout);
    if (result == SOCKET_ERROR)
        return TWaitResult::Failed;
    return result > 0 ? TWaitResult::Ready : TWaitResult::NotYet;
}

TIoResult SendSome(TSocketHandle s, std::string_view data)
{
    const int size = static_cast<int>(std::min<std::size_t>(data.size(), INT_MAX));
    const int sent = send(Native(s), data.data(), size, 0);
    if (sent >= 0)
        return {TIoStatus::Done, static_cast<std::size_t>(sent)};
    return {WSAGetLastError() == WSAEWOULDBLOCK ? TIoStatus::Retry : TIoStatus::Failed, 0};
}

TIoResult ReceiveSome(TSocketHandle s, char* buffer, std::size_t size)
{
    const int received = recv(Native(s), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
    if (received >= 0)
        return {TIoStatus::Done, static_cast<std::size_t>(received)};
    return {WSAGetLastError() == WSAEWOULDBLOCK ? TIoStatus::Retry : TIoStatus::Failed, 0};
}

} // namespace UpdateCheckPlatform
