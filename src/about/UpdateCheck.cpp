#include "about/UpdateCheck.h"

#include "about/UpdateCheckPlatform.h"
#include "common/Exception.h"
#include "common/Text.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <optional>

#ifndef VESK_WEB_HOST
#define VESK_WEB_HOST "www.example.com"
#endif

namespace {

// ---------------------------------------------------------------------------
// Text decoding

// The message boxes convert our text to UTF-16; a stray unit from the
// network must not make that conversion fail, so each becomes U+FFFD.
std::string DecodeUtf16(std::string_view bytes, TByteOrder order)
{
    std::string out = *Utf16ToUtf8(Utf16FromBytes(bytes, order), TInvalidText::Replace);
    if (bytes.size() % 2 != 0)
        AppendUtf8(out, ReplacementCharacter);
    return out;
}

// ---------------------------------------------------------------------------
// HTTP header fields

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

    std::string_view text = Trim(replaced, " ");

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

using namespace UpdateCheckPlatform;

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

enum class TWaitOutcome { Ready, TimedOut, Failed };

TWaitOutcome WaitUntil(TSocketHandle s, TWaitKind kind, TClock::time_point waitEnd)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(waitEnd - TClock::now());
        if (left.count() <= 0)
            return TWaitOutcome::TimedOut;
        switch (WaitOnce(s, kind, static_cast<int>(std::min<long long>(left.count(), INT_MAX)))) {
        case TWaitResult::Ready: return TWaitOutcome::Ready;
        case TWaitResult::Failed: return TWaitOutcome::Failed;
        case TWaitResult::NotYet: break;
        }
    }
}

TWaitOutcome WaitFor(TSocketHandle s, TWaitKind kind, const TTimeLimits& limits)
{
    return WaitUntil(s, kind, limits.NextWaitEnd());
}

// Each address has its own short limit, so the next one is tried soon.
bool Connect(const TAddress& address, TSocketHandle s, const TTimeLimits& limits,
             std::chrono::milliseconds connectTimeout)
{
    switch (StartConnect(s, address)) {
    case TConnectStart::Connected: return true;
    case TConnectStart::Failed: return false;
    case TConnectStart::InProgress: break;
    }
    const TClock::time_point end =
        std::min(limits.NextWaitEnd(), TClock::now() + std::max(connectTimeout, std::chrono::milliseconds(0)));
    return WaitUntil(s, TWaitKind::Connected, end) == TWaitOutcome::Ready && ConnectSucceeded(s);
}

bool SendAll(TSocketHandle s, std::string_view data, const TTimeLimits& limits)
{
    while (!data.empty()) {
        if (WaitFor(s, TWaitKind::Writable, limits) != TWaitOutcome::Ready)
            return false;
        const TIoResult sent = SendSome(s, data);
        if (sent.Status == TIoStatus::Failed)
            return false;
        data.remove_prefix(sent.Count);
    }
    return true;
}

// Reads until the reply is complete, cut, broken, or a wait times out.
THttpReplyReader::TState ReceiveReply(TSocketHandle s, THttpReplyReader& reader, const TTimeLimits& limits)
{
    char buffer[4096];
    while (reader.State() == THttpReplyReader::TState::Reading) {
        if (WaitFor(s, TWaitKind::Readable, limits) != TWaitOutcome::Ready)
            return THttpReplyReader::TState::Broken;
        const TIoResult received = ReceiveSome(s, buffer, sizeof buffer);
        if (received.Status == TIoStatus::Failed)
            return THttpReplyReader::TState::Broken;
        if (received.Status == TIoStatus::Retry)
            continue;
        if (received.Count > 0)
            reader.Feed(std::string_view(buffer, received.Count));
        else
            reader.Finish();
    }
    return reader.State();
}

// Control characters or spaces would let a host or path add request lines.
bool IsSafeRequestText(std::string_view text)
{
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

} // namespace

// ---------------------------------------------------------------------------

std::string DecodeUtf8OrLatin1(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
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
    // A reply that is not HTTP at all is no completed exchange.
    const std::string_view statusLine = nextLine();
    if (!statusLine.starts_with("HTTP/"))
        return TState::Broken;
    // "HTTP/1.1 404 Not Found": the three digits after the first space.
    if (const std::size_t space = statusLine.find(' '); space != std::string_view::npos) {
        const std::string_view code = statusLine.substr(space + 1, 3);
        if (code.size() == 3 && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
            FStatusCode = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
    }
    if (FStatusCode == 0)
        return TState::Broken;
    while (!header.empty()) {
        const std::string_view line = nextLine();
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        if (EqualsIgnoringAsciiCase(line.substr(0, colon), "Location")) {
            FLocation = Trim(line.substr(colon + 1), " \t");
            continue;
        }
        if (!EqualsIgnoringAsciiCase(line.substr(0, colon), "Content-Length"))
            continue;
        const auto length =
            ParseCount(Trim(line.substr(colon + 1), " \t"), std::numeric_limits<std::size_t>::max() / 16);
        // A length we cannot trust makes the whole reply unusable; two
        // different lengths as well. One above the limit is a reply all the
        // same, too long to read.
        if (!length || (FHasContentLength && *length != FContentLength))
            return TState::Broken;
        if (*length > FMaxBodySize) {
            FBuffer.clear();
            FBuffer.shrink_to_fit();
            return TState::Cut;
        }
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
        // An endless body stops costing memory here; the server did answer.
        FBuffer.clear();
        FBuffer.shrink_to_fit();
        return TState::Cut;
    }
    return TState::Reading;
}

std::string DecodeReplyText(std::string_view body, const TAnsiTextDecoder& decodeAnsi)
{
    const TByteOrderMark mark = ByteOrderMarkOf(body);
    body.remove_prefix(ByteOrderMarkBytes(mark).size());
    switch (mark) {
    case TByteOrderMark::Utf8: return SanitizedUtf8(body);
    case TByteOrderMark::Utf16Le: return DecodeUtf16(body, TByteOrder::LittleEndian);
    case TByteOrderMark::Utf16Be: return DecodeUtf16(body, TByteOrder::BigEndian);
    case TByteOrderMark::None: break;
    }
    return SanitizedUtf8(decodeAnsi ? decodeAnsi(body) : DecodeUtf8OrLatin1(body));
}

std::vector<std::string> SplitReplyLines(std::string_view text)
{
    std::vector<std::string> lines;
    for (const TTextLine& line : SplitLines(text))
        lines.emplace_back(text.substr(line.Begin, line.TextEnd - line.Begin));
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

bool IsNoAnswerStatus(int statusCode)
{
    return statusCode == 407 || (statusCode >= 500 && statusCode <= 599);
}

bool IsRedirectStatus(int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303 || statusCode == 307 || statusCode == 308;
}

std::optional<THttpTarget> RedirectTarget(std::string_view location, const THttpTarget& from)
{
    if (location.starts_with('/') && !location.starts_with("//"))
        return THttpTarget{from.Host, from.Port, std::string(location)};
    constexpr std::string_view scheme = "http://";
    if (location.size() <= scheme.size() || !EqualsIgnoringAsciiCase(location.substr(0, scheme.size()), scheme))
        return std::nullopt;
    location.remove_prefix(scheme.size());
    const std::size_t pathStart = location.find_first_of("/?#");
    std::string_view authority = location.substr(0, pathStart);
    std::string path = pathStart == std::string_view::npos ? "/" : std::string(location.substr(pathStart));
    if (path.starts_with('?'))
        path.insert(0, "/");
    if (const std::size_t fragment = path.find('#'); fragment != std::string::npos)
        path.resize(fragment);
    if (authority.find('@') != std::string_view::npos)
        return std::nullopt; // credentials in the address: never sent
    THttpTarget target{{}, 80, path};
    std::string_view portText;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        target.Host = authority.substr(1, close - 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':'))
            return std::nullopt;
        portText = rest.empty() ? rest : rest.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        target.Host = authority.substr(0, colon);
        if (colon != std::string_view::npos)
            portText = authority.substr(colon + 1);
    }
    if (!portText.empty()) {
        const auto port = ParseCount(portText, 65535);
        if (!port || *port == 0)
            return std::nullopt;
        target.Port = static_cast<std::uint16_t>(*port);
    }
    if (target.Host.empty())
        return std::nullopt;
    return target;
}

// One GET and its reply, and the GETs of the redirects that follow. The
// socket is non-blocking throughout so that every wait has a time limit;
// only the name look-up blocks on the system's terms.
THttpGetResult HTTPGetReply(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                            const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options)
{
    lines.clear();
    if (!SocketsReady())
        return THttpGetResult::Failed;

    const TTimeLimits limits(options);
    THttpTarget target{host, options.Port, path};
    for (int redirects = 0;; ++redirects) {
        if (!IsSafeRequestText(target.Host) || !IsSafeRequestText(target.Path) || !target.Path.starts_with('/'))
            return THttpGetResult::Failed;
        const std::vector<TAddress> addresses = ResolveTcp(target.Host, target.Port);
        if (addresses.empty())
            return THttpGetResult::Failed;

        const std::string request = HttpGetRequest(target.Host, target.Port, target.Path);
        std::optional<THttpReplyReader> reader;
        for (const TAddress& address : addresses) {
            const TSocket connection(OpenSocket(address));
            if (!connection.IsValid() || !Connect(address, connection.Get(), limits, options.ConnectTimeout))
                continue;
            if (!SendAll(connection.Get(), request, limits))
                return THttpGetResult::Failed;
            reader.emplace(options.MaxBodySize);
            ReceiveReply(connection.Get(), *reader, limits);
            break;
        }
        if (!reader)
            return THttpGetResult::Failed;
        switch (reader->State()) {
        case THttpReplyReader::TState::Complete: break;
        case THttpReplyReader::TState::Cut:
            return IsNoAnswerStatus(reader->StatusCode()) ? THttpGetResult::Failed : THttpGetResult::Cut;
        case THttpReplyReader::TState::Reading:
        case THttpReplyReader::TState::Broken: return THttpGetResult::Failed;
        }
        if (IsNoAnswerStatus(reader->StatusCode()))
            return THttpGetResult::Failed;
        if (IsRedirectStatus(reader->StatusCode()) && redirects < options.MaxRedirects) {
            // A redirect that leads nowhere we can go is read like any page.
            if (const auto next = RedirectTarget(reader->Location(), target)) {
                target = *next;
                continue;
            }
        }
        lines = HttpReplyLines(reader->Body(), decodeAnsi);
        return THttpGetResult::Complete;
    }
}

bool HTTPGetLines(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                  const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options)
{
    return HTTPGetReply(host, path, lines, decodeAnsi, options) != THttpGetResult::Failed;
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

TUpdateCheckResult UpdateCheckResultOf(THttpGetResult got, const std::vector<std::string>& lines,
                                       std::string_view runningVersion, std::string_view decimalSeparator)
{
    switch (got) {
    case THttpGetResult::Failed: return {TUpdateCheckOutcome::NoResponse, {}};
    // An answer, but not one the check can read (an error page, most likely).
    case THttpGetResult::Cut: return {TUpdateCheckOutcome::UnknownAnswer, {}};
    case THttpGetResult::Complete: break;
    }
    return EvaluateUpdateReply(lines, runningVersion, decimalSeparator);
}

TUpdateCheckResult CheckForNewVersion(const std::string& host, std::int32_t productId, std::string_view runningVersion,
                                      std::string_view decimalSeparator, const TAnsiTextDecoder& decodeAnsi,
                                      const THttpGetOptions& options)
{
    std::vector<std::string> lines;
    const THttpGetResult got = HTTPGetReply(host, UpdateCheckPath(productId), lines, decodeAnsi, options);
    return UpdateCheckResultOf(got, lines, runningVersion, decimalSeparator);
}

TUpdateCheckMessage UpdateCheckMessage(const TUpdateCheckResult& result, const TUpdateCheckTexts& texts)
{
    switch (result.Outcome) {
    case TUpdateCheckOutcome::NewVersionAvailable:
        return {TUpdateMessageKind::Question,
                texts.NewVersionAvailable + ": " + result.Text + "\r\n" + texts.GoToProductsWebPage + "?"};
    case TUpdateCheckOutcome::UpToDate:
        return {TUpdateMessageKind::Information, texts.Application + " " + texts.UpToDate + "."};
    case TUpdateCheckOutcome::ServerError: return {TUpdateMessageKind::Error, result.Text};
    case TUpdateCheckOutcome::UnknownAnswer: return {TUpdateMessageKind::Error, texts.UnknownError};
    case TUpdateCheckOutcome::NoResponse: return {TUpdateMessageKind::Error, texts.NoResponseFromServer};
    }
    throw Exception("UpdateCheckMessage: Unhandled TUpdateCheckOutcome item");
}
