#include "about/UpdateCheck.h"
#include "TestSupport.h"

#include "common/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <optional>
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

using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

// ---------------------------------------------------------------------------
// A scripted HTTP server on 127.0.0.1 for one connection at a time.

#ifdef _WIN32
using TSocketHandle = SOCKET;
const TSocketHandle NoSocket = INVALID_SOCKET;
using TIoSize = int;
using TAddressLength = int;
constexpr int SendFlags = 0;

void CloseSocket(TSocketHandle s)
{
    closesocket(s);
}
bool WouldBlock()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

void SetNonBlocking(TSocketHandle s)
{
    u_long on = 1;
    ioctlsocket(s, static_cast<long>(FIONBIO), &on);
}

void StartSockets()
{
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw std::runtime_error("WSAStartup failed");
}

bool WaitSocket(TSocketHandle s, bool forWrite, std::chrono::milliseconds wait)
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

void CloseSocket(TSocketHandle s)
{
    close(s);
}
bool WouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

void SetNonBlocking(TSocketHandle s)
{
    fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK);
}

void StartSockets() {}

bool WaitSocket(TSocketHandle s, bool forWrite, std::chrono::milliseconds wait)
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
TSocket BoundLoopbackSocket(std::uint16_t& port)
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
std::uint16_t UnusedPort()
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
};

class TLocalServer {
public:
    TLocalServer(TServerAct act, std::string reply) : FAct(act), FReply(std::move(reply))
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

    std::string Request() const
    {
        const std::lock_guard lock(FMutex);
        return FRequest;
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
            FRequest = request;
        }

        switch (FAct) {
        case TServerAct::Reply: SendAll(client.Get(), FReply); break;
        case TServerAct::ReplyAndHold:
            if (SendAll(client.Get(), FReply))
                Hold();
            break;
        case TServerAct::Silent: Hold(); break;
        case TServerAct::Drip:
            for (std::size_t i = 0; i < FReply.size() && SendAll(client.Get(), FReply.substr(i, 1)); ++i)
                std::this_thread::sleep_for(100ms);
            break;
        case TServerAct::Endless: {
            const std::string filler(16384, 'A');
            if (SendAll(client.Get(), FReply)) {
                while (SendAll(client.Get(), filler)) {
                }
            }
            break;
        }
        }
    }

    TServerAct FAct;
    std::string FReply;
    TSocket FListener;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    const std::chrono::steady_clock::time_point FEnd = std::chrono::steady_clock::now() + 40s;
    mutable std::mutex FMutex;
    std::string FRequest;
    std::thread FThread;
};

// ---------------------------------------------------------------------------

std::string Utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    std::string text;
    for (const unsigned char byte : bytes)
        text += static_cast<char>(byte);
    return text;
}

std::string Reply(std::string_view body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n"s += body;
}

// A stand-in for a Windows-1250 code page: 0x8A is "Š", and ASCII stays.
std::string Cp1250Sample(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes)
        text += c == '\x8A' ? Utf8(u8"Š") : std::string(1, c);
    return text;
}

THttpGetOptions QuickOptions(std::uint16_t port)
{
    THttpGetOptions options;
    options.Port = port;
    options.WaitTimeout = 1s;
    options.TotalTimeout = 5s;
    return options;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const std::string KiB64Body = "OK\r\n1.1\r\n" + std::string(MaxUpdateReplyBodySize - 9, 'x');

TEST(UpdateCheckHttp, SendsOneHttp10GetWithHostAndUserAgent)
{
    TLocalServer server(TServerAct::Reply, Reply("OK\r\n1.0"));
    std::vector<std::string> lines;
    ASSERT_TRUE(HTTPGetLines("127.0.0.1", UpdateCheckPath(4), lines, Cp1250Sample, QuickOptions(server.Port())));
    EXPECT_EQ(server.Request(), "GET /external/product_version.php?pid=4 HTTP/1.0\r\n"
                                "Host: 127.0.0.1:"
                                    + std::to_string(server.Port())
                                    + "\r\n"
                                      "User-Agent: VeskColorPicker\r\n"
                                      "Connection: close\r\n"
                                      "\r\n");
    // The product talks to port 80, where the Host field carries no port.
    EXPECT_EQ(HttpGetRequest("www.example.com", 80, UpdateCheckPath(4)),
              "GET /external/product_version.php?pid=4 HTTP/1.0\r\nHost: www.example.com\r\n"
              "User-Agent: VeskColorPicker\r\nConnection: close\r\n\r\n");
}

TEST(UpdateCheckHttp, GivesTheBodyLinesOfAnyCompleteReply)
{
    struct TCase {
        const char* Name;
        TServerAct Act;
        std::string Reply;
        std::vector<std::string> Lines;
    };
    const std::string notFoundPage = "<html>\r\n<body>Not Found</body>\r\n</html>\r\n";
    const TCase cases[] = {
        {"CR LF lines", TServerAct::Reply, Reply("OK\r\n1.1\r\n"), {"OK", "1.1"}},
        {"LF lines", TServerAct::Reply, Reply("OK\n1.1\n"), {"OK", "1.1"}},
        {"CR lines", TServerAct::Reply, Reply("OK\r1.1\r"), {"OK", "1.1"}},
        {"empty lines kept", TServerAct::Reply, Reply("a\r\n\nb\r\rc"), {"a", "", "b", "", "c"}},
        {"header with bare LF", TServerAct::Reply, "HTTP/1.0 200 OK\nServer: x\n\nOK\n1.1", {"OK", "1.1"}},
        {"UTF-8 with BOM",
         TServerAct::Reply,
         Reply(Utf8(u8"\uFEFFERROR\r\nZkuste to později – Š")),
         {"ERROR", Utf8(u8"Zkuste to později – Š")}},
        {"UTF-16 LE with BOM",
         TServerAct::Reply,
         Reply(Utf16Bytes(u"ERROR\r\nČeština 😀", false)),
         {"ERROR", Utf8(u8"Čeština 😀")}},
        {"UTF-16 BE with BOM",
         TServerAct::Reply,
         Reply(Utf16Bytes(u"ERROR\r\nČeština 😀", true)),
         {"ERROR", Utf8(u8"Čeština 😀")}},
        {"no BOM: the 8-bit code page", TServerAct::Reply, Reply("ERROR\r\n\x8A"), {"ERROR", Utf8(u8"Š")}},
        {"error page: status ignored",
         TServerAct::Reply,
         "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(notFoundPage.size())
             + "\r\n\r\n" + notFoundPage,
         {"<html>", "<body>Not Found</body>", "</html>"}},
        {"empty body", TServerAct::Reply, "HTTP/1.0 204 No Content\r\n\r\n", {}},
        // The server keeps the connection: the announced length ends the body.
        {"length announced, connection held",
         TServerAct::ReplyAndHold,
         "HTTP/1.1 200 OK\r\ncontent-length: 9\r\nConnection: keep-alive\r\n\r\nOK\r\n1.1\r\nnext",
         {"OK", "1.1"}},
        {"body of exactly 64 KiB",
         TServerAct::Reply,
         Reply(KiB64Body),
         {"OK", "1.1", std::string(MaxUpdateReplyBodySize - 9, 'x')}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLocalServer server(c.Act, c.Reply);
        std::vector<std::string> lines{"left from before"};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(HTTPGetLines("127.0.0.1", UpdateCheckPath(4), lines, Cp1250Sample, QuickOptions(server.Port())));
        EXPECT_EQ(lines, c.Lines);
        EXPECT_LT(SecondsSince(start), 0.9) << "waited for a time-out instead of reading the reply";
    }
}

TEST(UpdateCheckHttp, FailsWithoutLinesOnBrokenMissingOrHostileReplies)
{
    struct TCase {
        const char* Name;
        std::optional<TServerAct> Act; // nothing: nobody listens on the port
        std::string Reply;
        std::chrono::milliseconds TotalTimeout;
        double MaxSeconds;
    };
    const TCase cases[] = {
        {"connection refused", std::nullopt, "", 5s, 2.5},
        {"accepts but never answers", TServerAct::Silent, "", 5s, 2.5},
        // Each byte arrives well within the wait time-out; only the limit on
        // the whole exchange ends it.
        {"drips slower than the total limit", TServerAct::Drip, Reply("OK\r\n1.1\r\n" + std::string(60, ' ')), 2s, 4.0},
        {"endless header", TServerAct::Endless, "HTTP/1.0 200 OK\r\nX-Filler: ", 30s, 8.0},
        {"closed before the announced length", TServerAct::Reply,
         "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nOK\r\n1.1\r\n", 5s, 2.5},
        {"two different lengths", TServerAct::Reply,
         "HTTP/1.0 200 OK\r\nContent-Length: 9\r\nContent-Length: 8\r\n\r\nOK\r\n1.1\r\n", 5s, 2.5},
        {"malformed length", TServerAct::Reply, "HTTP/1.0 200 OK\r\nContent-Length: 9x\r\n\r\nOK\r\n1.1\r\n", 5s, 2.5},
        {"closed inside the header", TServerAct::Reply, "HTTP/1.0 200 OK\r\nContent-Ty", 5s, 2.5},
        {"not HTTP at all", TServerAct::Reply, "OK\r\n1.1\r\n", 5s, 2.5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::optional<TLocalServer> server;
        if (c.Act)
            server.emplace(*c.Act, c.Reply);
        THttpGetOptions options = QuickOptions(server ? server->Port() : UnusedPort());
        options.TotalTimeout = c.TotalTimeout;
        std::vector<std::string> lines{"left from before"};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(HTTPGetLines("127.0.0.1", UpdateCheckPath(4), lines, Cp1250Sample, options));
        EXPECT_TRUE(lines.empty());
        EXPECT_LT(SecondsSince(start), c.MaxSeconds);
    }
}

TEST(UpdateCheckHttp, ABodyPastTheLimitIsAnAnswerTheCheckCannotRead)
{
    // The server answered (often with a long error page): not "no
    // response", but an answer the check does not understand. Reading stops
    // at the limit.
    const std::string longErrorPage = std::string(MaxUpdateReplyBodySize, ' ') + "<html>Not Found</html>";
    struct TCase {
        const char* Name;
        TServerAct Act;
        std::string Reply;
    };
    const TCase cases[] = {
        {"body one byte over 64 KiB", TServerAct::Reply, Reply(KiB64Body + "x")},
        {"a long 404 page", TServerAct::Reply,
         "HTTP/1.1 404 Not Found\r\nContent-Length: " + std::to_string(longErrorPage.size()) + "\r\n\r\n"
             + longErrorPage},
        {"announced length over 64 KiB", TServerAct::ReplyAndHold,
         "HTTP/1.0 200 OK\r\nContent-Length: 65537\r\n\r\nOK\r\n1.1\r\n"},
        {"endless body", TServerAct::Endless, "HTTP/1.0 200 OK\r\n\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLocalServer server(c.Act, c.Reply);
        THttpGetOptions options = QuickOptions(server.Port());
        options.TotalTimeout = 30s;
        std::vector<std::string> lines{"left from before"};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(HTTPGetReply("127.0.0.1", UpdateCheckPath(4), lines, Cp1250Sample, options), THttpGetResult::Cut);
        EXPECT_TRUE(lines.empty());
        EXPECT_LT(SecondsSince(start), 2.5) << "read on past the limit";
        TLocalServer again(c.Act, c.Reply);
        options.Port = again.Port();
        EXPECT_EQ(CheckForNewVersion("127.0.0.1", 4, "1.0 x64", ".", Cp1250Sample, options).Outcome,
                  TUpdateCheckOutcome::UnknownAnswer);
    }
}

TEST(UpdateCheckHttp, RefusesAPathThatWouldAddRequestLines)
{
    TLocalServer server(TServerAct::Reply, Reply("OK\r\n1.1"));
    std::vector<std::string> lines;
    EXPECT_FALSE(HTTPGetLines("127.0.0.1", "/x HTTP/1.0\r\nX-Injected: 1\r\n", lines, Cp1250Sample,
                              QuickOptions(server.Port())));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(server.Request(), "");
}

TEST(UpdateCheckReply, ReaderGivesTheSameBodyHoweverTheReplyIsCut)
{
    const std::string replies[] = {
        "HTTP/1.0 200 OK\r\nServer: t\r\n\r\nOK\r\n1.1\r\n",
        "HTTP/1.0 200 OK\nServer: t\n\nOK\n1.1",
        "HTTP/1.0 200 OK\r\nContent-Length: 7\r\n\r\nOK\r\n1.1tail",
        "HTTP/1.0 200 OK\r\n\r\n\r\n\r\n",
    };
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply);
        THttpReplyReader whole;
        whole.Feed(reply);
        ASSERT_EQ(whole.Finish(), THttpReplyReader::TState::Complete);
        const std::string body(whole.Body());
        for (std::size_t cut = 0; cut <= reply.size(); ++cut) {
            THttpReplyReader reader;
            reader.Feed(std::string_view(reply).substr(0, cut));
            reader.Feed(std::string_view(reply).substr(cut));
            reader.Finish();
            ASSERT_EQ(reader.State(), THttpReplyReader::TState::Complete) << "cut at " << cut;
            EXPECT_EQ(reader.Body(), body) << "cut at " << cut;
        }
        THttpReplyReader byteByByte;
        for (const char c : reply)
            byteByByte.Feed(std::string_view(&c, 1));
        byteByByte.Finish();
        EXPECT_EQ(byteByByte.Body(), body);
    }
}

TEST(UpdateCheckReply, DecodingAlwaysGivesValidUtf8)
{
    struct TCase {
        const char* Name;
        std::string Body;
        std::string Text;
    };
    const std::string fffd = Utf8(u8"\uFFFD");
    const TCase cases[] = {
        {"UTF-16 LE odd length", Bytes({0xFF, 0xFE, 'O', 0, 'K', 0, '!'}), "OK" + fffd},
        {"UTF-16 LE lone high surrogate", Bytes({0xFF, 0xFE, 0x3D, 0xD8, 'A', 0}), fffd + "A"},
        {"UTF-16 BE lone low surrogate", Bytes({0xFE, 0xFF, 0xDC, 0x00, 0, 'A'}), fffd + "A"},
        {"UTF-16 BE pair", Bytes({0xFE, 0xFF, 0xD8, 0x3D, 0xDE, 0x00}), Utf8(u8"😀")},
        {"bad UTF-8 after the BOM", Bytes({0xEF, 0xBB, 0xBF, 'A', 0xC0, 0xAF, 'B', 0xED, 0xA0, 0x80}),
         "A" + fffd + fffd + "B" + fffd + fffd + fffd},
        {"BOM only", "\xEF\xBB\xBF", ""},
        // Native stand-in for the ANSI code page: valid UTF-8 stays, anything
        // else is Latin-1.
        {"no BOM, valid UTF-8", Utf8(u8"Čeština"), Utf8(u8"Čeština")},
        {"no BOM, Latin-1", "caf\xE9", Utf8(u8"café")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DecodeReplyText(c.Body, DecodeUtf8OrLatin1), c.Text);
    }
    // A decoder that hands back broken UTF-8 is repaired as well.
    EXPECT_EQ(DecodeReplyText("x", [](std::string_view) { return "\xFF"s; }), fffd);
}

// The whole check against the local server: the reply table of the product
// web site and the decimal comparison of versions.
TEST(UpdateCheck, JudgesTheServersReply)
{
    struct TCase {
        const char* Name;
        std::string Body;
        const char* Running;
        const char* Separator;
        TUpdateCheckResult Expected;
    };
    using enum TUpdateCheckOutcome;
    const TCase cases[] = {
        {"newer", "OK\r\n1.1\r\n", "1.0", ".", {NewVersionAvailable, "1.1"}},
        {"same", "OK\r\n1.0\r\n", "1.0", ".", {UpToDate, ""}},
        {"older is never offered", "OK\r\n0.9\r\n", "1.0", ".", {UpToDate, ""}},
        {"1.10 is 1.1, below 1.9", "OK\r\n1.10", "1.9", ".", {UpToDate, ""}},
        {"1.10 equals 1.1", "OK\r\n1.10", "1.1", ".", {UpToDate, ""}},
        {"1.9 above 1.10", "OK\r\n1.9", "1.10", ".", {NewVersionAvailable, "1.9"}},
        {"major step", "OK\r\n2.0", "1.99", ".", {NewVersionAvailable, "2.0"}},
        {"digits beyond any integer",
         "OK\r\n" + std::string(40, '9') + ".1",
         "1.0",
         ".",
         {NewVersionAvailable, std::string(40, '9') + ".1"}},
        {"comma locale reads the point", "OK\r\n1.1", "1.0", ",", {NewVersionAvailable, "1.1"}},
        {"comma locale, same", "OK\r\n1.0", "1.0", ",", {UpToDate, ""}},
        {"comma locale, comma sent", "OK\r\n1,1", "1.0", ",", {NewVersionAvailable, "1,1"}},
        {"point locale, comma sent", "OK\r\n1,1", "1.0", ".", {UnknownAnswer, ""}},
        {"LF lines", "OK\n1.1", "1.0", ".", {NewVersionAvailable, "1.1"}},
        {"CR lines", "OK\r1.1\r", "1.0", ".", {NewVersionAvailable, "1.1"}},
        {"UTF-8 BOM", "\xEF\xBB\xBFOK\r\n1.1", "1.0", ".", {NewVersionAvailable, "1.1"}},
        {"UTF-16 LE", Utf16Bytes(u"OK\r\n1.1\r\n", false), "1.0", ".", {NewVersionAvailable, "1.1"}},
        {"UTF-16 BE", Utf16Bytes(u"OK\r\n1.1\r\n", true), "1.0", ".", {NewVersionAvailable, "1.1"}},
        {"lower-case ok", "ok\r\n1.1", "1.0", ".", {UnknownAnswer, ""}},
        {"OK with a space", "OK \r\n1.1", "1.0", ".", {UnknownAnswer, ""}},
        {"space before OK", " OK\r\n1.1", "1.0", ".", {UnknownAnswer, ""}},
        {"error message as sent",
         "ERROR\r\n  Product 4 is unknown.  \r\n",
         "1.0",
         ".",
         {ServerError, "  Product 4 is unknown.  "}},
        {"UTF-16 error message",
         Utf16Bytes(u"ERROR\r\nNeznámý produkt", false),
         "1.0",
         ".",
         {ServerError, Utf8(u8"Neznámý produkt")}},
        {"html page", "<!DOCTYPE html>\r\n<title>OK</title>", "1.0", ".", {UnknownAnswer, ""}},
        {"OK without version", "OK\r\n", "1.0", ".", {UnknownAnswer, ""}},
        {"OK with empty version", "OK\r\n\r\n", "1.0", ".", {UnknownAnswer, ""}},
        {"version not a number", "OK\r\nnew", "1.0", ".", {UnknownAnswer, ""}},
        {"version with three parts", "OK\r\n1.1.1", "1.0", ".", {UnknownAnswer, ""}},
        {"ERROR without message", "ERROR", "1.0", ".", {UnknownAnswer, ""}},
        {"ERROR with empty message", "ERROR\r\n\r\nmore", "1.0", ".", {UnknownAnswer, ""}},
        {"empty body", "", "1.0", ".", {NoResponse, ""}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLocalServer server(TServerAct::Reply, Reply(c.Body));
        EXPECT_EQ(
            CheckForNewVersion("127.0.0.1", 4, c.Running, c.Separator, DecodeUtf8OrLatin1, QuickOptions(server.Port())),
            c.Expected);
    }
}

TEST(UpdateCheck, NoResponseWhenTheExchangeFails)
{
    TLocalServer server(TServerAct::Reply, "OK\r\n1.1\r\n"); // no status line
    const TUpdateCheckResult result =
        CheckForNewVersion("127.0.0.1", 4, "1.0", ".", DecodeUtf8OrLatin1, QuickOptions(server.Port()));
    EXPECT_EQ(result.Outcome, TUpdateCheckOutcome::NoResponse);
}

TEST(UpdateCheck, AnUnreadableRunningVersionIsAProgramFault)
{
    EXPECT_THROW(EvaluateUpdateReply({"OK", "1.1"}, "", "."), Exception);
    EXPECT_THROW(EvaluateUpdateReply({"OK", "1.1"}, "1.0 x64", "."), Exception);
}

TEST(UpdateCheck, MessageTextOfEachOutcome)
{
    const TUpdateCheckTexts texts{"New version available", "Go to the product's web page",
                                  "Vesk Color Picker is",  "up to date",
                                  "Unknown error",         "No response from the server"};
    struct TCase {
        TUpdateCheckOutcome Outcome;
        const char* ResultText;
        TUpdateMessageKind Kind;
        const char* Text;
    };
    using enum TUpdateCheckOutcome;
    const TCase cases[] = {
        {NewVersionAvailable, "1.1", TUpdateMessageKind::Question,
         "New version available: 1.1\r\nGo to the product's web page?"},
        {UpToDate, "", TUpdateMessageKind::Information, "Vesk Color Picker is up to date."},
        {ServerError, "Try later", TUpdateMessageKind::Error, "Try later"},
        {UnknownAnswer, "", TUpdateMessageKind::Error, "Unknown error"},
        {NoResponse, "", TUpdateMessageKind::Error, "No response from the server"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TUpdateCheckMessage message = UpdateCheckMessage({c.Outcome, c.ResultText}, texts);
        EXPECT_EQ(message.Kind, c.Kind);
        EXPECT_EQ(message.Text, c.Text);
    }
}

} // namespace
