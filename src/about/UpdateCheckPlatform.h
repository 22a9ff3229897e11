#pragma once

// The socket calls of the update check that differ between Winsock and POSIX.
// UpdateCheck_win.cpp and UpdateCheck_posix.cpp hold the two versions; the
// build takes one of them. Every socket is non-blocking, so that each wait
// of the exchange has a time limit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace UpdateCheckPlatform {

// A Winsock SOCKET is an unsigned number the size of a pointer whose "none"
// has every bit set; a POSIX descriptor is an int whose "none" is -1. Both
// fit here, and both "none" values are -1.
using TSocketHandle = std::intptr_t;
inline constexpr TSocketHandle NoSocket = -1;

// One address of a host, as the name look-up gave it.
struct TAddress {
    int Family = 0;
    int SocketType = 0;
    int Protocol = 0;
    std::size_t Length = 0;
    // Large and aligned enough for any socket address (sockaddr_storage).
    alignas(8) unsigned char Bytes[128]{};
};

// Starts the socket library once per process; false when it cannot start.
bool SocketsReady();
// The TCP addresses of host in the system's order; empty when the name is
// not found. Blocks on the system's terms.
std::vector<TAddress> ResolveTcp(const std::string& host, std::uint16_t port);

// A non-blocking socket for address; NoSocket when none can be made.
TSocketHandle OpenSocket(const TAddress& address);
void CloseSocket(TSocketHandle s);

enum class TConnectStart { Connected, InProgress, Failed };
TConnectStart StartConnect(TSocketHandle s, const TAddress& address);
// After a connection in progress has become writable: whether it stands.
bool ConnectSucceeded(TSocketHandle s);

enum class TWaitKind { Connected, Writable, Readable };
enum class TWaitResult { Ready, NotYet, Failed };
// One wait of at most milliseconds; NotYet when the time ran out or a signal
// cut the wait short.
TWaitResult WaitOnce(TSocketHandle s, TWaitKind kind, int milliseconds);

enum class TIoStatus { Done, Retry, Failed };
struct TIoResult {
    TIoStatus Status = TIoStatus::Failed;
    std::size_t Count = 0; // bytes moved; for a receive, 0 means the server closed
};
TIoResult SendSome(TSocketHandle s, std::string_view data);
TIoResult ReceiveSome(TSocketHandle s, char* buffer, std::size_t size);

} // namespace UpdateCheckPlatform
