#pragma once

// The update check without a window: one HTTP/1.0 GET to the product web
// site, the reading and decoding of its reply, the judgement of the reply
// lines and the message text for each outcome. The About window shows the
// message box and opens the product page; nothing here shows anything.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Turns the bytes of a body without a byte-order mark into UTF-8. On Windows
// the caller passes a decoder of the system's ANSI code page.
using TAnsiTextDecoder = std::function<std::string(std::string_view bytes)>;

// The 8-bit decoder where no ANSI code page exists: the bytes unchanged when
// they are valid UTF-8, otherwise read as Latin-1 (every byte is a character,
// so nothing is lost or refused).
std::string DecodeUtf8OrLatin1(std::string_view bytes);

// A body larger than this is no answer of our server; the reply is broken.
inline constexpr std::size_t MaxUpdateReplyBodySize = 64 * 1024;
// The status line and headers of any sane reply fit easily.
inline constexpr std::size_t MaxUpdateReplyHeaderSize = 16 * 1024;

struct THttpGetOptions {
    std::uint16_t Port = 80;
    // Longest wait for the connection to one address of the host. A host
    // with an IPv6 and an IPv4 address, whose IPv6 route is dead, then costs
    // a few seconds before the IPv4 address answers, not a whole time-out.
    std::chrono::milliseconds ConnectTimeout{3'000};
    // Longest wait for sending, and for each piece of the reply.
    std::chrono::milliseconds WaitTimeout{90'000};
    // Longest time for the whole exchange, so a server that drips one byte at
    // a time cannot hold the program for hours.
    std::chrono::milliseconds TotalTimeout{180'000};
    std::size_t MaxBodySize = MaxUpdateReplyBodySize;
    // A site that moved answers with a redirect; this many are followed.
    int MaxRedirects = 5;
};

// Statuses that come from a proxy or a failing server, not from the product
// web site: a proxy that wants credentials (407) and every server error
// (5xx). Their pages are no answer of the site, so the check reports no
// response rather than an answer it cannot read.
bool IsNoAnswerStatus(int statusCode);
// The redirect statuses the check follows (301, 302, 303, 307, 308).
bool IsRedirectStatus(int statusCode);

// Where a request goes: host, port and path.
struct THttpTarget {
    std::string Host;
    std::uint16_t Port = 80;
    std::string Path;

    bool operator==(const THttpTarget&) const = default;
};

// The target of a redirect's Location, read against the request it answers:
// an absolute "http://" address or a path on the same host. Nothing for
// anything else (https, which this client does not speak, or no address).
std::optional<THttpTarget> RedirectTarget(std::string_view location, const THttpTarget& from);

// Reads an HTTP reply as it arrives. Pure: the caller feeds the bytes and
// says when the server closed the connection.
class THttpReplyReader {
public:
    // Cut: a well-formed reply whose body is longer than the limit; what
    // came of it is not read further and not used.
    enum class TState { Reading, Complete, Cut, Broken };

    explicit THttpReplyReader(std::size_t maxBodySize = MaxUpdateReplyBodySize);

    TState Feed(std::string_view bytes);
    // The server closed the connection.
    TState Finish();

    TState State() const { return FState; }
    // The body; meaningful once the state is Complete.
    std::string_view Body() const;
    // From the status line, once the header is read; 0 before.
    int StatusCode() const { return FStatusCode; }
    // The Location field, empty without one.
    const std::string& Location() const { return FLocation; }

private:
    TState ReadHeader();
    TState CheckBody();

    std::size_t FMaxBodySize;
    std::string FBuffer;
    std::size_t FHeaderScanFrom = 0;
    std::size_t FBodyStart = 0;
    bool FHeaderRead = false;
    bool FHasContentLength = false;
    std::size_t FContentLength = 0;
    int FStatusCode = 0;
    std::string FLocation;
    TState FState = TState::Reading;
};

// The body as UTF-8 text: by its byte-order mark (UTF-8, UTF-16 LE or BE),
// otherwise through decodeAnsi. The result is always valid UTF-8; whatever
// cannot be decoded becomes U+FFFD.
std::string DecodeReplyText(std::string_view body, const TAnsiTextDecoder& decodeAnsi);

// Lines end at CR LF, LF or CR; a line break at the very end starts no
// further line, and an empty text has no lines.
std::vector<std::string> SplitReplyLines(std::string_view text);

// The body of a complete reply, decoded and split into lines.
std::vector<std::string> HttpReplyLines(std::string_view body, const TAnsiTextDecoder& decodeAnsi);

// The bytes of the GET request: the request line, Host, User-Agent and
// Connection: close (the reply then ends with the connection).
std::string HttpGetRequest(std::string_view host, std::uint16_t port, std::string_view path);

enum class THttpGetResult {
    Failed,   // no reply: name not found, no connection, time-out, broken
              // reply, or a proxy's or failing server's status (IsNoAnswerStatus)
    Complete, // lines holds the lines of the body of any other status
    Cut,      // a reply whose body passed options.MaxBodySize; lines is empty
};

// One HTTP/1.0 GET of path from host over a plain socket, straight to the
// host (no proxy), following redirects. Blocks for at most
// options.TotalTimeout plus the time of name resolution. The Windows program
// goes through WinHTTP instead (UpdateCheckWinHttp.h), which knows the
// system's proxy; both judge the reply by the same rules.
THttpGetResult HTTPGetReply(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                            const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options = {});

// HTTPGetReply for callers that only need the lines: true for a complete or
// a cut reply (the server did answer), false when there was none.
bool HTTPGetLines(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                  const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options = {});

// The request for one product, e.g. "/external/product_version.php?pid=4".
std::string UpdateCheckPath(std::int32_t productId);
// The host of the product web site, which answers the check.
std::string UpdateCheckHost();

enum class TUpdateCheckOutcome {
    NewVersionAvailable, // Text: the server's version, as received
    UpToDate,
    ServerError, // Text: the server's message, as received
    UnknownAnswer,
    NoResponse,
};

struct TUpdateCheckResult {
    TUpdateCheckOutcome Outcome = TUpdateCheckOutcome::NoResponse;
    std::string Text;

    bool operator==(const TUpdateCheckResult&) const = default;
};

// Judges the reply lines against the running version ("major.minor").
// Versions are compared as decimal numbers, so 1.10 equals 1.1 and is lower
// than 1.9. decimalSeparator is the user's locale's; the server writes a
// point, which is read either way. Throws Exception when runningVersion is
// not a number, which is a fault of the program, not of the server.
TUpdateCheckResult EvaluateUpdateReply(const std::vector<std::string>& lines, std::string_view runningVersion,
                                       std::string_view decimalSeparator);

// The judgement of an exchange's outcome: no reply, an answer too long to be
// ours, or the lines of the body.
TUpdateCheckResult UpdateCheckResultOf(THttpGetResult got, const std::vector<std::string>& lines,
                                       std::string_view runningVersion, std::string_view decimalSeparator);

// The whole check over the socket client: the GET and the judgement.
TUpdateCheckResult CheckForNewVersion(const std::string& host, std::int32_t productId, std::string_view runningVersion,
                                      std::string_view decimalSeparator, const TAnsiTextDecoder& decodeAnsi,
                                      const THttpGetOptions& options = {});

// The language texts of the check, read by the About window from its section.
struct TUpdateCheckTexts {
    std::string NewVersionAvailable;  // "sNewVersionAvailable"
    std::string GoToProductsWebPage;  // "sGoToProductsWebPage"
    std::string Application;          // "sApplication"
    std::string UpToDate;             // "sUpToDate"
    std::string UnknownError;         // "sUnknownError"
    std::string NoResponseFromServer; // "sNoResponseFromServer"
};

enum class TUpdateMessageKind {
    Question,    // Yes/No; Yes opens the product page
    Information, // up to date
    Error,
};

struct TUpdateCheckMessage {
    TUpdateMessageKind Kind = TUpdateMessageKind::Error;
    std::string Text; // line breaks are CR LF
};

TUpdateCheckMessage UpdateCheckMessage(const TUpdateCheckResult& result, const TUpdateCheckTexts& texts);
