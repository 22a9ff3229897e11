#pragma once

// A scripted HTTP server on 127.0.0.1 for the update check's tests, native
// and under Wine: it serves one connection after another, each as its entry
// of the script says, and notes the requests it read.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

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
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace LocalHttp {

using namespace std::chrono_literals;

#ifdef _WIN32
using TSocketHandle = SOCKET;
const TSocketHandle NoSocket = INVALID_SOCKET;
using TIoSize = int;
using TAddressLength = int;
constexpr int SendFlags = 0;

inline void CloseSocket(TSocketHandle s)
{
    closesocket(s);
}
inline bool WouldBlock()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

inline void SetNonBlocking(TSocketHandle s)
{
    u_long on = 1;
    ioctlsocket(s, static_cast<long>(FIONBIO), &on);
}

inline void StartSockets()
{
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw std::runtime_error("WSAStartup failed");
}

inline bool WaitSocket(TSocketHandle s, bool forWrite, std::chrono::milliseconds wait)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval timeout{};
    timeout.tv_usec = static_cast<long>(wait.count() * 1000);
    return select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &timeout) > 0;
}
#else
using TSocketHandle = int;
const TSocketHandle NoSocket = -1;
using TIoSize = std::size_t;
using TAddressLength = socklen_t;
// A client that hangs up mid-reply must not end the test run with SIGPIPE.
constexpr int SendFlags = MSG_NOSIGNAL;

inline void CloseSocket(TSocketHandle s)
{
    close(s);
}
inline bool WouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

inline void SetNonBlocking(TSocketHandle s)
{
    fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK);
}

inline void StartSockets() {}

inline bool WaitSocket(TSocketHandle s, bool forWrite, std::chrono::milliseconds wait)
{
    pollfd entry{};
    entry.fd = s;
    entry.events = forWrite ? POLLOUT : POLLIN;
    return poll(&entry, 1, static_cast<int>(wait.count())) > 0;
}
#endif

class TSocket {
public:
    explicit TSocket(TSocketHandle handle = NoSocket) : FHandle(handle) {}
    ~TSocket()
    {
        if (FHandle != NoSocket)
            CloseSocket(FHandle);
    }
    TSocket(TSocket&& other) noexcept : FHandle(std::exchange(other.FHandle, NoSocket)) {}
    TSocket& operator=(TSocket&& other) noexcept
    {
        std::swap(FHandle, other.FHandle);
        return *this;
    }

    TSocketHandle Get() const { return FHandle; }

private:
    TSocketHandle FHandle;
};

// A socket bound to 127.0.0.1 on a port the system picks.
inline TSocket BoundLoopbackSocket(std::uint16_t& port)
{
    StartSockets();
    TSocket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (s.Get() == NoSocket)
        throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(s.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("bind failed");
    TAddressLength length = sizeof address;
    if (getsockname(s.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("getsockname failed");
    port = ntohs(address.sin_port);
    return s;
}

// A loopback port that nobody listens on: bound once, then released.
inline std::uint16_t UnusedPort()
{
    std::uint16_t port = 0;
    BoundLoopbackSocket(port);
    return port;
}

enum class TServerAct {
    Reply,        // send the reply, close
    ReplyAndHold, // send the reply, keep the connection open
    Silent,       // accept and read the request, never answer
    Drip,         // send the reply one byte every 100 ms
    Endless,      // send the reply, then filler bytes without end
    Late,         // answer after a second, then close
};

// How the server answers one connection.
struct TServed {
    TServerAct Act;
    std::string Reply;
};

class TLocalServer {
public:
    TLocalServer(TServerAct act, std::string reply) : TLocalServer(std::vector<TServed>{{act, std::move(reply)}}) {}
    // One entry for each connection, in the order they come.
    explicit TLocalServer(std::vector<TServed> script) : FScript(std::move(script))
    {
        FListener = BoundLoopbackSocket(FPort);
        if (listen(FListener.Get(), 1) != 0)
            throw std::runtime_error("listen failed");
        SetNonBlocking(FListener.Get());
        FThread = std::thread([this] { Serve(); });
    }
    ~TLocalServer()
    {
        FStop = true;
        FThread.join();
    }
    TLocalServer(const TLocalServer&) = delete;
    TLocalServer& operator=(const TLocalServer&) = delete;

    std::uint16_t Port() const { return FPort; }

    // The first request read; empty before.
    std::string Request() const
    {
        const std::lock_guard lock(FMutex);
        return FRequests.empty() ? std::string() : FRequests.front();
    }
    std::vector<std::string> Requests() const
    {
        const std::lock_guard lock(FMutex);
        return FRequests;
    }

private:
    // Every loop ends on the test's stop, on the client hanging up, or at
    // this bound, so a faulty client cannot keep the server thread alive.
    bool ShouldGoOn() const { return !FStop && std::chrono::steady_clock::now() < FEnd; }

    bool SendAll(TSocketHandle s, std::string_view data)
    {
        while (!data.empty()) {
            if (!ShouldGoOn())
                return false;
            if (!WaitSocket(s, true, 50ms))
                continue;
            const auto sent =
                send(s, data.data(), static_cast<TIoSize>(std::min<std::size_t>(data.size(), INT_MAX)), SendFlags);
            if (sent < 0 && !WouldBlock())
                return false;
            if (sent > 0)
                data.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    void Hold()
    {
        while (ShouldGoOn())
            std::this_thread::sleep_for(20ms);
    }

    void Serve()
    {
        for (const TServed& served : FScript)
            ServeOne(served);
    }

    void ServeOne(const TServed& served)
    {
        while (ShouldGoOn() && !WaitSocket(FListener.Get(), false, 50ms)) {
        }
        if (!ShouldGoOn())
            return;
        const TSocket client(accept(FListener.Get(), nullptr, nullptr));
        if (client.Get() == NoSocket)
            return;
        SetNonBlocking(client.Get());

        std::string request;
        char buffer[4096];
        while (ShouldGoOn() && request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            if (!WaitSocket(client.Get(), false, 50ms))
                continue;
            const auto received = recv(client.Get(), buffer, static_cast<TIoSize>(sizeof buffer), 0);
            if (received == 0 || (received < 0 && !WouldBlock()))
                break;
            if (received > 0)
                request.append(buffer, static_cast<std::size_t>(received));
        }
        {
            const std::lock_guard lock(FMutex);
            FRequests.push_back(request);
        }

        const std::string& reply = served.Reply;
        switch (served.Act) {
        case TServerAct::Reply: SendAll(client.Get(), reply); break;
        case TServerAct::ReplyAndHold:
            if (SendAll(client.Get(), reply))
                Hold();
            break;
        case TServerAct::Silent: Hold(); break;
        case TServerAct::Drip:
            for (std::size_t i = 0; i < reply.size() && SendAll(client.Get(), reply.substr(i, 1)); ++i)
                std::this_thread::sleep_for(100ms);
            break;
        case TServerAct::Late:
            for (int i = 0; i < 50 && ShouldGoOn(); ++i)
                std::this_thread::sleep_for(20ms);
            SendAll(client.Get(), reply);
            break;
        case TServerAct::Endless: {
            const std::string filler(16384, 'A');
            if (SendAll(client.Get(), reply)) {
                while (SendAll(client.Get(), filler)) {
                }
            }
            break;
        }
        }
    }

    std::vector<TServed> FScript;
    TSocket FListener;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    const std::chrono::steady_clock::time_point FEnd = std::chrono::steady_clock::now() + 40s;
    mutable std::mutex FMutex;
    std::vector<std::string> FRequests;
    std::thread FThread;
};

} // namespace LocalHttp
