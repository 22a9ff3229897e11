#include "about/UpdateCheckWinHttp.h"

#include "common/Win32.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>

namespace {

struct InternetCloser {
    void operator()(HINTERNET handle) const noexcept { ::WinHttpCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<void, InternetCloser>;

// Strings WinHTTP hands over for the caller to free with GlobalFree.
struct GlobalStringFree {
    void operator()(wchar_t* text) const noexcept { ::GlobalFree(text); }
};
using GlobalString = std::unique_ptr<wchar_t, GlobalStringFree>;

int Milliseconds(std::chrono::milliseconds duration)
{
    return static_cast<int>(std::clamp<long long>(duration.count(), 1, INT_MAX));
}

// The system's proxy for every request of the session. Windows 8.1 and later
// find it themselves (WinHTTP's automatic proxy: the user's settings, a
// configuration script, auto-detection); older versions refuse that access
// type, and the request then takes the proxy the user set for Internet
// Explorer (see ApplyUserProxy).
UniqueInternet OpenSession(bool& needsUserProxy)
{
    constexpr const wchar_t* agent = L"VeskColorPicker";
    needsUserProxy = false;
    if (HINTERNET session = ::WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                          WINHTTP_NO_PROXY_BYPASS, 0))
        return UniqueInternet(session);
    needsUserProxy = true;
    return UniqueInternet(
        ::WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
}

// Before Windows 8.1: the user's proxy settings, by a configuration script
// or auto-detection where set, else the named proxy. A setting that does not
// work leaves the request going straight to the host, as before.
void ApplyUserProxy(HINTERNET session, HINTERNET request, const std::wstring& url)
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&user))
        return;
    const GlobalString autoConfigUrl(user.lpszAutoConfigUrl);
    const GlobalString proxy(user.lpszProxy);
    const GlobalString bypass(user.lpszProxyBypass);
    if (user.fAutoDetect || autoConfigUrl) {
        WINHTTP_AUTOPROXY_OPTIONS automatic{};
        automatic.dwFlags = autoConfigUrl ? WINHTTP_AUTOPROXY_CONFIG_URL : WINHTTP_AUTOPROXY_AUTO_DETECT;
        automatic.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
        automatic.lpszAutoConfigUrl = autoConfigUrl.get();
        automatic.fAutoLogonIfChallenged = TRUE;
        WINHTTP_PROXY_INFO found{};
        if (::WinHttpGetProxyForUrl(session, url.c_str(), &automatic, &found)) {
            const GlobalString foundProxy(found.lpszProxy);
            const GlobalString foundBypass(found.lpszProxyBypass);
            ::WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &found, sizeof found);
            return;
        }
    }
    if (proxy) {
        WINHTTP_PROXY_INFO named{};
        named.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        named.lpszProxy = proxy.get();
        named.lpszProxyBypass = bypass.get();
        ::WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &named, sizeof named);
    }
}

} // namespace

namespace {

// The reply's Location field as UTF-8; empty without one.
std::string LocationOf(HINTERNET request)
{
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &size, WINHTTP_NO_HEADER_INDEX);
    if (size == 0 || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return {};
    std::wstring location(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(location.size() * sizeof(wchar_t));
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, location.data(), &size,
                               WINHTTP_NO_HEADER_INDEX))
        return {};
    location.resize(size / sizeof(wchar_t));
    return WideToUtf8(location);
}

} // namespace

THttpGetResult WinHttpGetReply(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                               const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options)
{
    using TClock = std::chrono::steady_clock;
    lines.clear();
    if (host.empty() || !path.starts_with('/'))
        return THttpGetResult::Failed;
    const TClock::time_point end = TClock::now() + options.TotalTimeout;

    bool needsUserProxy = false;
    const UniqueInternet session = OpenSession(needsUserProxy);
    if (!session)
        return THttpGetResult::Failed;
    // The connect time-out holds for each address of the host in turn, so a
    // dead IPv6 route costs seconds, not the whole wait. The name look-up
    // gets the longer wait: a slow resolver is no dead route.
    const int wait = Milliseconds(options.WaitTimeout);
    ::WinHttpSetTimeouts(session.get(), wait, Milliseconds(options.ConnectTimeout), wait, wait);

    THttpTarget target{host, options.Port, path};
    for (int redirects = 0;; ++redirects) {
        const std::wstring wideHost = Utf8ToWide(target.Host);
        const std::wstring widePath = Utf8ToWide(target.Path);
        const UniqueInternet connection(::WinHttpConnect(session.get(), wideHost.c_str(), target.Port, 0));
        if (!connection)
            return THttpGetResult::Failed;
        const UniqueInternet request(::WinHttpOpenRequest(connection.get(), L"GET", widePath.c_str(), L"HTTP/1.0",
                                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
        if (!request)
            return THttpGetResult::Failed;
        // The wait for the reply's header is an option of its own (90 s
        // unless set), apart from the receive time-out above.
        DWORD headerWait = static_cast<DWORD>(wait);
        ::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headerWait, sizeof headerWait);
        // Redirects are followed here, by the same rules as the socket
        // client's, so every request keeps the form HTTP/1.0 GET.
        DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
        ::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
        if (needsUserProxy)
            ApplyUserProxy(session.get(), request.get(),
                           L"http://" + wideHost + L":" + std::to_wstring(target.Port) + widePath);

        constexpr const wchar_t* headers = L"Connection: close";
        if (!::WinHttpSendRequest(request.get(), headers, static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0)
            || !::WinHttpReceiveResponse(request.get(), nullptr))
            return THttpGetResult::Failed;

        DWORD status = 0;
        DWORD size = sizeof status;
        if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                   WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)
            || IsNoAnswerStatus(static_cast<int>(status)))
            return THttpGetResult::Failed;
        if (IsRedirectStatus(static_cast<int>(status)) && redirects < options.MaxRedirects) {
            // A redirect that leads nowhere we can go is read like any page.
            if (const auto next = RedirectTarget(LocationOf(request.get()), target)) {
                target = *next;
                continue;
            }
        }

        std::string body;
        char buffer[4096];
        for (;;) {
            // A server that drips its reply is given up at the end of the
            // whole exchange, as the socket client does.
            if (TClock::now() >= end)
                return THttpGetResult::Failed;
            DWORD read = 0;
            if (!::WinHttpReadData(request.get(), buffer, sizeof buffer, &read))
                return THttpGetResult::Failed;
            if (read == 0)
                break;
            body.append(buffer, read);
            if (body.size() > options.MaxBodySize)
                return THttpGetResult::Cut;
        }
        lines = HttpReplyLines(body, decodeAnsi);
        return THttpGetResult::Complete;
    }
}
