// The update check's exchange through WinHTTP, against the local server:
// the request, the judgement of the status, redirects and time limits. Wine
// has WinHTTP of its own, which speaks to the loopback server as Windows'
// does; the system proxy cannot be shown here (Wine's prefix has none, and
// a loopback address never goes through one).

#include "about/UpdateCheckWinHttp.h"
#include "support/LocalHttpServer.h"

#include "about/UpdateCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace LocalHttp;
using namespace std::chrono_literals;

THttpGetOptions QuickOptions(std::uint16_t port)
{
    THttpGetOptions options;
    options.Port = port;
    options.ConnectTimeout = 1s;
    options.WaitTimeout = 1s;
    options.TotalTimeout = 5s;
    return options;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(UpdateCheckWinHttp, SendsTheSameHttp10Get)
{
    TLocalServer server(TServerAct::Reply, "HTTP/1.0 200 OK\r\n\r\nOK\r\n1.1\r\n");
    std::vector<std::string> lines;
    ASSERT_EQ(WinHttpGetReply("127.0.0.1", UpdateCheckPath(4), lines, DecodeUtf8OrLatin1, QuickOptions(server.Port())),
              THttpGetResult::Complete);
    EXPECT_EQ(lines, (std::vector<std::string>{"OK", "1.1"}));
    const std::string request = server.Request();
    EXPECT_TRUE(request.starts_with("GET /external/product_version.php?pid=4 HTTP/1.0\r\n")) << request;
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos)
        << request;
    EXPECT_NE(request.find("\r\nUser-Agent: VeskColorPicker\r\n"), std::string::npos) << request;
}

TEST(UpdateCheckWinHttp, JudgesTheStatusAndFollowsRedirects)
{
    struct TCase {
        const char* Name;
        std::vector<TServed> Script;
        THttpGetResult Result;
        std::vector<std::string> Lines;
    };
    const TCase cases[] = {
        {"an error page is read like any body",
         {{TServerAct::Reply, "HTTP/1.1 404 Not Found\r\nContent-Length: 24\r\n\r\n<html>\r\nmissing\r\n</html>"}},
         THttpGetResult::Complete,
         {"<html>", "missing", "</html>"}},
        {"a proxy that wants credentials",
         {{TServerAct::Reply, "HTTP/1.1 407 Proxy Authentication Required\r\n\r\nOK\r\n1.1"}},
         THttpGetResult::Failed,
         {}},
        {"a failing server",
         {{TServerAct::Reply, "HTTP/1.0 503 Service Unavailable\r\n\r\nOK\r\n1.1"}},
         THttpGetResult::Failed,
         {}},
        {"a redirect is followed",
         {{TServerAct::Reply, "HTTP/1.1 302 Found\r\nLocation: /moved?pid=4\r\nContent-Length: 0\r\n\r\n"},
          {TServerAct::Reply, "HTTP/1.0 200 OK\r\n\r\nOK\r\n1.0"}},
         THttpGetResult::Complete,
         {"OK", "1.0"}},
        {"a body past the limit", {{TServerAct::Endless, "HTTP/1.0 200 OK\r\n\r\n"}}, THttpGetResult::Cut, {}},
        {"a server that never answers", {{TServerAct::Silent, ""}}, THttpGetResult::Failed, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLocalServer server(c.Script);
        std::vector<std::string> lines{"left from before"};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(
            WinHttpGetReply("127.0.0.1", UpdateCheckPath(4), lines, DecodeUtf8OrLatin1, QuickOptions(server.Port())),
            c.Result);
        EXPECT_EQ(lines, c.Lines);
        EXPECT_LT(SecondsSince(start), 4.0);
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), c.Script.size());
        if (requests.size() == 2) {
            EXPECT_TRUE(requests[1].starts_with("GET /moved?pid=4 HTTP/1.0\r\n")) << requests[1];
        }
    }
    // Nobody listens: no reply, at once.
    std::uint16_t port = 0;
    BoundLoopbackSocket(port);
    std::vector<std::string> lines;
    EXPECT_EQ(WinHttpGetReply("127.0.0.1", UpdateCheckPath(4), lines, DecodeUtf8OrLatin1, QuickOptions(port)),
              THttpGetResult::Failed);
}

} // namespace
