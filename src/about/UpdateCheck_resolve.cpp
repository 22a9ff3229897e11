// The name look-up of the update check. getaddrinfo is the same call in
// Winsock and in POSIX; only the headers that declare it differ.

#include "about/UpdateCheckPlatform.h"

#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/types.h>
#endif

namespace UpdateCheckPlatform {

std::vector<TAddress> ResolveTcp(const std::string& host, std::uint16_t port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::vector<TAddress> addresses;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        TAddress address;
        if (entry->ai_addr == nullptr || entry->ai_addrlen > sizeof address.Bytes)
            continue;
        address.Family = entry->ai_family;
        address.SocketType = entry->ai_socktype;
        address.Protocol = entry->ai_protocol;
        address.Length = entry->ai_addrlen;
        std::memcpy(address.Bytes, entry->ai_addr, entry->ai_addrlen);
        addresses.push_back(address);
    }
    freeaddrinfo(found);
    return addresses;
}

} // namespace UpdateCheckPlatform
