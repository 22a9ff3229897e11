#include "about/UpdateCheck.h"

#include "common/Exception.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

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
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

#ifndef VESK_WEB_HOST
#define VESK_WEB_HOST "www.example.com"
#endif

namespace {

// ---------------------------------------------------------------------------
// Text decoding

constexpr char32_t ReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at the start of bytes, or 0. Overlong
// forms, surrogates and values above U+10FFFF are invalid.
std::size_t ValidUtf8SequenceLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t length = ValidUtf8SequenceLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

// The message boxes convert our text to UTF-16; a stray byte from the network
// must not make that conversion fail, so each invalid byte becomes U+FFFD.
std::string SanitizedUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = ValidUtf8SequenceLength(bytes);
        if (length == 0) {
            AppendUtf8(out, ReplacementCharacter);
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(2 * i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t next = unitAt(2 * (i + 1));
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? ReplacementCharacter : unit);
    }
    if (bytes.size() % 2 != 0)
        AppendUtf8(out, ReplacementCharacter);
    return out;
}

// ---------------------------------------------------------------------------
// HTTP header fields

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string_view TrimmedBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A decimal count no larger than limit; nothing for any other text, so a
// huge or malformed length cannot overflow.
std::optional<std::size_t> ParseCount(std::string_view text, std::size_t limit)
{
    if (text.empty())
        return std::nullopt;
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::size_t>(c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

// ---------------------------------------------------------------------------
// Version numbers

// A decimal number kept as digit strings, so any length compares exactly and
// nothing depends on the C library's locale.
struct TDecimal {
    bool Negative = false;
    std::string Integer;  // no leading zeros
    std::string Fraction; // no trailing zeros

    // <0, 0 or >0 as the magnitude of this is below, equal to or above other's.
    int CompareMagnitude(const TDecimal& other) const
    {
        if (Integer.size() != other.Integer.size())
            return Integer.size() < other.Integer.size() ? -1 : 1;
        if (const int c = Integer.compare(other.Integer); c != 0)
            return c;
        return Fraction.compare(other.Fraction);
    }

    bool IsGreaterThan(const TDecimal& other) const
    {
        if (Negative != other.Negative)
            return other.Negative;
        const int c = CompareMagnitude(other);
        return Negative ? c < 0 : c > 0;
    }
};

std::string_view TakeDigits(std::string_view& text)
{
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9')
        ++n;
    const std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    return digits;
}

// Reads a version the way the locale reads a number: the first "." stands
// for the locale's decimal separator, so "1.1" reads as 1.1 under a comma
// locale too. Surrounding spaces are allowed, thousands separators and
// exponents are not.
std::optional<TDecimal> ReadVersionNumber(std::string_view version, std::string_view decimalSeparator)
{
    if (decimalSeparator.empty())
        decimalSeparator = ".";
    std::string replaced(version);
    if (const std::size_t point = replaced.find('.'); point != std::string::npos)
        replaced.replace(point, 1, decimalSeparator);

    std::string_view text = replaced;
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);

    TDecimal number;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        number.Negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string_view integer = TakeDigits(text);
    std::string_view fraction;
    if (text.starts_with(decimalSeparator)) {
        text.remove_prefix(decimalSeparator.size());
        fraction = TakeDigits(text);
    }
    if (!text.empty() || (integer.empty() && fraction.empty()))
        return std::nullopt;

    while (!integer.empty() && integer.front() == '0')
        integer.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    number.Integer = integer;
    number.Fraction = fraction;
    if (number.Integer.empty() && number.Fraction.empty())
        number.Negative = false;
    return number;
}

// ---------------------------------------------------------------------------
// Sockets

#ifdef _WIN32
using TSocketHandle = SOCKET;
constexpr TSocketHandle NoSocket = INVALID_SOCKET;
using TIoSize = int;
using TAddressLength = int;

void CloseSocket(TSocketHandle s)
{
    closesocket(s);
}

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

bool SetNonBlocking(TSocketHandle s)
{
    u_long on = 1;
    return ioctlsocket(s, static_cast<long>(FIONBIO), &on) == 0;
}

bool LastCallWouldBlock()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
bool LastCallInterrupted()
{
    return false;
}
bool ConnectInProgress()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
constexpr int SendFlags = 0;
#else
using TSocketHandle = int;
constexpr TSocketHandle NoSocket = -1;
using TIoSize = std::size_t;
using TAddressLength = socklen_t;

void CloseSocket(TSocketHandle s)
{
    close(s);
}

bool SocketsReady()
{
    return true;
}

bool SetNonBlocking(TSocketHandle s)
{
    const int flags = fcntl(s, F_GETFL, 0);
    return flags != -1 && fcntl(s, F_SETFL, flags | O_NONBLOCK) != -1;
}

bool LastCallWouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK;
}
bool LastCallInterrupted()
{
    return errno == EINTR;
}
// An interrupted connect goes on in the background, just like one in progress.
bool ConnectInProgress()
{
    return errno == EINPROGRESS || errno == EINTR;
}
#ifdef MSG_NOSIGNAL
// A server that closes early must not end the program with SIGPIPE.
constexpr int SendFlags = MSG_NOSIGNAL;
#else
constexpr int SendFlags = 0;
#endif
#endif

class TSocket {
public:
    explicit TSocket(TSocketHandle handle) : FHandle(handle) {}
    ~TSocket()
    {
        if (FHandle != NoSocket)
            CloseSocket(FHandle);
    }
    TSocket(const TSocket&) = delete;
    TSocket& operator=(const TSocket&) = delete;

    TSocketHandle Get() const { return FHandle; }
    bool IsValid() const { return FHandle != NoSocket; }

private:
    TSocketHandle FHandle;
};

using TClock = std::chrono::steady_clock;

// Each wait ends after the wait time-out, and no wait outlasts the end of the
// whole exchange.
class TTimeLimits {
public:
    explicit TTimeLimits(const THttpGetOptions& options)
        : FWait(std::max(options.WaitTimeout, std::chrono::milliseconds(0))),
          FEnd(TClock::now() + std::max(options.TotalTimeout, std::chrono::milliseconds(0)))
    {}

    TClock::time_point NextWaitEnd() const { return std::min(TClock::now() + FWait, FEnd); }

private:
    std::chrono::milliseconds FWait;
    TClock::time_point FEnd;
};

enum class TWaitKind { Connected, Writable, Readable };
enum class TWaitResult { Ready, TimedOut, Failed };

TWaitResult WaitFor(TSocketHandle s, TWaitKind kind, const TTimeLimits& limits)
{
    const bool forWrite = kind != TWaitKind::Readable;
    const TClock::time_point waitEnd = limits.NextWaitEnd();
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(waitEnd - TClock::now());
        if (left.count() <= 0)
            return TWaitResult::TimedOut;
        const long long ms = std::min<long long>(left.count(), INT_MAX);
#ifdef _WIN32
        // select, not WSAPoll: WSAPoll did not report failed connects on older
        // Windows, which select reports in the exception set. That set also
        // reports urgent data, so it is watched only while connecting: a
        // server's urgent byte must not make later waits return at once.
        // Winsock's fd_set is a list, so any socket value fits.
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(s, &ready);
        FD_SET(s, &failed);
        timeval timeout{};
        timeout.tv_sec = static_cast<long>(ms / 1000);
        timeout.tv_usec = static_cast<long>((ms % 1000) * 1000);
        const int result = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr,
                                  kind == TWaitKind::Connected ? &failed : nullptr, &timeout);
        if (result == SOCKET_ERROR)
            return TWaitResult::Failed;
        if (result > 0)
            return TWaitResult::Ready;
#else
        // poll, not select: select cannot watch a descriptor above FD_SETSIZE.
        pollfd entry{};
        entry.fd = s;
        entry.events = forWrite ? POLLOUT : POLLIN;
        const int result = poll(&entry, 1, static_cast<int>(ms));
        if (result > 0)
            return TWaitResult::Ready;
        if (result < 0 && errno != EINTR)
            return TWaitResult::Failed;
#endif
    }
}

bool Connect(const addrinfo& address, TSocketHandle s, const TTimeLimits& limits)
{
    if (!SetNonBlocking(s))
        return false;
    if (connect(s, address.ai_addr, static_cast<TAddressLength>(address.ai_addrlen)) == 0)
        return true;
    if (!ConnectInProgress() || WaitFor(s, TWaitKind::Connected, limits) != TWaitResult::Ready)
        return false;
    int error = 0;
#ifdef _WIN32
    int length = sizeof error;
    const bool known = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0;
#else
    socklen_t length = sizeof error;
    const bool known = getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0;
#endif
    return known && error == 0;
}

bool SendAll(TSocketHandle s, std::string_view data, const TTimeLimits& limits)
{
    while (!data.empty()) {
        if (WaitFor(s, TWaitKind::Writable, limits) != TWaitResult::Ready)
            return false;
        const auto size = static_cast<TIoSize>(std::min<std::size_t>(data.size(), INT_MAX));
        const auto sent = send(s, data.data(), size, SendFlags);
        if (sent < 0) {
            if (LastCallWouldBlock() || LastCallInterrupted())
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Reads until the reply is complete, broken, or a wait times out.
bool ReceiveReply(TSocketHandle s, THttpReplyReader& reader, const TTimeLimits& limits)
{
    char buffer[4096];
    while (reader.State() == THttpReplyReader::TState::Reading) {
        if (WaitFor(s, TWaitKind::Readable, limits) != TWaitResult::Ready)
            return false;
        const auto received = recv(s, buffer, static_cast<TIoSize>(sizeof buffer), 0);
        if (received > 0)
            reader.Feed(std::string_view(buffer, static_cast<std::size_t>(received)));
        else if (received == 0)
            reader.Finish();
        else if (!LastCallWouldBlock() && !LastCallInterrupted())
            return false;
    }
    return reader.State() == THttpReplyReader::TState::Complete;
}

// Control characters or spaces would let a host or path add request lines.
bool IsSafeRequestText(std::string_view text)
{
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

struct TAddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

} // namespace

// ---------------------------------------------------------------------------

std::string DecodeUtf8OrLatin1(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

THttpReplyReader::THttpReplyReader(std::size_t maxBodySize) : FMaxBodySize(maxBodySize) {}

THttpReplyReader::TState THttpReplyReader::Feed(std::string_view bytes)
{
    if (FState != TState::Reading)
        return FState;
    FBuffer.append(bytes);
    if (!FHeaderRead) {
        FState = ReadHeader();
        if (!FHeaderRead || FState != TState::Reading)
            return FState;
    }
    return FState = CheckBody();
}

THttpReplyReader::TState THttpReplyReader::Finish()
{
    if (FState != TState::Reading)
        return FState;
    // Without a length the end of the connection ends the body; with one, a
    // shorter body means the transfer broke off.
    if (!FHeaderRead || FHasContentLength) {
        FBuffer.clear();
        FBuffer.shrink_to_fit();
        return FState = TState::Broken;
    }
    return FState = TState::Complete;
}

std::string_view THttpReplyReader::Body() const
{
    if (FState != TState::Complete)
        return {};
    return std::string_view(FBuffer).substr(FBodyStart);
}

THttpReplyReader::TState THttpReplyReader::ReadHeader()
{
    // The header ends at the first empty line; servers end lines with CR LF,
    // a few with a bare LF.
    std::size_t end = std::string::npos;
    std::size_t lineEnd = FBuffer.find('\n', FHeaderScanFrom);
    while (lineEnd != std::string::npos) {
        if (lineEnd + 1 < FBuffer.size() && FBuffer[lineEnd + 1] == '\n') {
            end = lineEnd + 2;
            break;
        }
        if (lineEnd + 2 < FBuffer.size() && FBuffer[lineEnd + 1] == '\r' && FBuffer[lineEnd + 2] == '\n') {
            end = lineEnd + 3;
            break;
        }
        if (lineEnd + 1 == FBuffer.size() || (lineEnd + 2 == FBuffer.size() && FBuffer[lineEnd + 1] == '\r'))
            break; // the next bytes decide
        lineEnd = FBuffer.find('\n', lineEnd + 1);
    }
    if (end == std::string::npos) {
        FHeaderScanFrom = lineEnd != std::string::npos ? lineEnd : FBuffer.size();
        return FBuffer.size() > MaxUpdateReplyHeaderSize ? TState::Broken : TState::Reading;
    }
    if (end > MaxUpdateReplyHeaderSize)
        return TState::Broken;

    std::string_view header = std::string_view(FBuffer).substr(0, end);
    const auto nextLine = [&header] {
        const std::size_t lf = header.find('\n');
        std::string_view line = header.substr(0, lf);
        header.remove_prefix(lf == std::string_view::npos ? header.size() : lf + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        return line;
    };
    // The status code does not matter (an error page is read like any body),
    // but a reply that is not HTTP at all is no completed exchange.
    if (!nextLine().starts_with("HTTP/"))
        return TState::Broken;
    while (!header.empty()) {
        const std::string_view line = nextLine();
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !EqualsIgnoringAsciiCase(line.substr(0, colon), "Content-Length"))
            continue;
        const auto length = ParseCount(TrimmedBlanks(line.substr(colon + 1)), FMaxBodySize);
        // A length we cannot trust, or one above the limit, makes the whole
        // reply unusable; two different lengths as well.
        if (!length || (FHasContentLength && *length != FContentLength))
            return TState::Broken;
        FHasContentLength = true;
        FContentLength = *length;
    }
    FHeaderRead = true;
    FBodyStart = end;
    return TState::Reading;
}

THttpReplyReader::TState THttpReplyReader::CheckBody()
{
    const std::size_t bodySize = FBuffer.size() - FBodyStart;
    if (FHasContentLength && bodySize >= FContentLength) {
        // Bytes after the announced length belong to nothing we asked for.
        FBuffer.resize(FBodyStart + FContentLength);
        return TState::Complete;
    }
    if (bodySize > FMaxBodySize) {
        // An endless body stops costing memory here.
        FBuffer.clear();
        FBuffer.shrink_to_fit();
        return TState::Broken;
    }
    return TState::Reading;
}

std::string DecodeReplyText(std::string_view body, const TAnsiTextDecoder& decodeAnsi)
{
    if (body.starts_with("\xEF\xBB\xBF"))
        return SanitizedUtf8(body.substr(3));
    if (body.starts_with("\xFF\xFE"))
        return DecodeUtf16(body.substr(2), false);
    if (body.starts_with("\xFE\xFF"))
        return DecodeUtf16(body.substr(2), true);
    return SanitizedUtf8(decodeAnsi ? decodeAnsi(body) : DecodeUtf8OrLatin1(body));
}

std::vector<std::string> SplitReplyLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> HttpReplyLines(std::string_view body, const TAnsiTextDecoder& decodeAnsi)
{
    return SplitReplyLines(DecodeReplyText(body, decodeAnsi));
}

// The user agent names the program but not its version, and nothing names
// the user's language: the check tells the server no more than the product id.
std::string HttpGetRequest(std::string_view host, std::uint16_t port, std::string_view path)
{
    // An IPv6 literal needs brackets in the Host field; the default port is
    // left out, as browsers do.
    std::string hostField =
        host.find(':') != std::string_view::npos ? "[" + std::string(host) + "]" : std::string(host);
    if (port != 80)
        hostField += ":" + std::to_string(port);
    return "GET " + std::string(path) + " HTTP/1.0\r\nHost: " + hostField
           + "\r\nUser-Agent: VeskColorPicker\r\nConnection: close\r\n\r\n";
}

// One GET and its reply. The socket is non-blocking throughout so that every
// wait has a time limit; only the name look-up blocks on the system's terms.
bool HTTPGetLines(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                  const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options)
{
    lines.clear();
    if (!IsSafeRequestText(host) || !IsSafeRequestText(path) || !path.starts_with('/') || !SocketsReady())
        return false;

    const TTimeLimits limits(options);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(options.Port).c_str(), &hints, &found) != 0 || found == nullptr)
        return false;
    const std::unique_ptr<addrinfo, TAddressListDeleter> addresses(found);

    const std::string request = HttpGetRequest(host, options.Port, path);
    for (const addrinfo* address = addresses.get(); address != nullptr; address = address->ai_next) {
        const TSocket connection(socket(address->ai_family, address->ai_socktype, address->ai_protocol));
        if (!connection.IsValid() || !Connect(*address, connection.Get(), limits))
            continue;
        if (!SendAll(connection.Get(), request, limits))
            return false;
        THttpReplyReader reader(options.MaxBodySize);
        if (!ReceiveReply(connection.Get(), reader, limits))
            return false;
        lines = HttpReplyLines(reader.Body(), decodeAnsi);
        return true;
    }
    return false;
}

std::string UpdateCheckPath(std::int32_t productId)
{
    return "/external/product_version.php?pid=" + std::to_string(productId);
}

std::string UpdateCheckHost()
{
    return VESK_WEB_HOST;
}

TUpdateCheckResult EvaluateUpdateReply(const std::vector<std::string>& lines, std::string_view runningVersion,
                                       std::string_view decimalSeparator)
{
    if (lines.empty())
        return {TUpdateCheckOutcome::NoResponse, {}};
    // An ERROR without its message would show an empty box; the general
    // message tells the user more.
    if (lines[0] == "ERROR") {
        if (lines.size() < 2 || lines[1].empty())
            return {TUpdateCheckOutcome::UnknownAnswer, {}};
        return {TUpdateCheckOutcome::ServerError, lines[1]};
    }
    if (lines[0] != "OK" || lines.size() < 2)
        return {TUpdateCheckOutcome::UnknownAnswer, {}};

    const std::optional<TDecimal> running = ReadVersionNumber(runningVersion, decimalSeparator);
    if (!running)
        throw Exception("EvaluateUpdateReply: invalid running version \"" + std::string(runningVersion) + "\"");
    const std::optional<TDecimal> latest = ReadVersionNumber(lines[1], decimalSeparator);
    if (!latest)
        return {TUpdateCheckOutcome::UnknownAnswer, {}};
    if (latest->IsGreaterThan(*running))
        return {TUpdateCheckOutcome::NewVersionAvailable, lines[1]};
    return {TUpdateCheckOutcome::UpToDate, {}};
}

TUpdateCheckResult CheckForNewVersion(const std::string& host, std::int32_t productId, std::string_view runningVersion,
                                      std::string_view decimalSeparator, const TAnsiTextDecoder& decodeAnsi,
                                      const THttpGetOptions& options)
{
    std::vector<std::string> lines;
    if (!HTTPGetLines(host, UpdateCheckPath(productId), lines, decodeAnsi, options))
        return {TUpdateCheckOutcome::NoResponse, {}};
    return EvaluateUpdateReply(lines, runningVersion, decimalSeparator);
}

TUpdateCheckMessage UpdateCheckMessage(const TUpdateCheckResult& result, const TUpdateCheckTexts& texts)
{
    switch (result.Outcome) {
    case TUpdateCheckOutcome::NewVersionAvailable:
        return {TUpdateMessageKind::Question,
                texts.NewVersionAvailable + ": " + result.Text + "\r\n" + texts.GoToProductsWebPage + "?"};
    case TUpdateCheckOutcome::UpToDate:
        return {TUpdateMessageKind::Information, texts.Application + " " + texts.UpToDate + "."};
    case TUpdateCheckOutcome::ServerError:
        return {TUpdateMessageKind::Error, result.Text};
    case TUpdateCheckOutcome::UnknownAnswer:
        return {TUpdateMessageKind::Error, texts.UnknownError};
    case TUpdateCheckOutcome::NoResponse:
        return {TUpdateMessageKind::Error, texts.NoResponseFromServer};
    }
    throw Exception("UpdateCheckMessage: Unhandled TUpdateCheckOutcome item");
}
