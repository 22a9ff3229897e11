// The About window in-process: texts, layout rules, the licence command,
// closing from the keyboard, and the update check against a local server.

#include "about/About.h"
#include "WinTestSupport.h"
#include "app/Program.h"
#include "common/Win32.h"
#include "i18n/LanguageSupport.h"
#include "support/LocalHttpServer.h"
#include "support/TestLanguageEnvironment.h"
#include "ui/Application.h"
#include "ui/Dpi.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace WinTesting;

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A language file of our own, so a test can make texts long.
class AboutWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder =
            fs::temp_directory_path()
            / ("vesk-about-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64()));
        fs::create_directories(m_folder / "Languages");
        m_environment.Folder = m_folder;
        m_environment.SystemLanguage = "English";
        m_environment.UserLanguage = "English";
        m_environment.UILanguages = "en-US";
        m_owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200,
                                    nullptr, nullptr, nullptr, nullptr);
        Application::SetTitle(L"Vesk Color Picker");
    }

    void TearDown() override
    {
        SetMessageBoxAnswerer(nullptr);
        SetUpdateCheckServerForTesting("", 0);
        m_about.reset();
        SetDpiFunctionsForTesting({});
        ::DestroyWindow(m_owner);
        Languages = nullptr;
        m_languages.reset();
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    void UseLanguage(const std::string& versionLabel)
    {
        std::ofstream(m_folder / "Languages" / "English.ini", std::ios::binary)
            << "[FileInfo]\r\nId=English\r\nAbbr=en\r\n[TFormAbout]\r\nCaption=About\r\nLAppVersion=" << versionLabel
            << "\r\nsFileNotFound=File not found\r\nMCheckForNewVersion=Check\r\nMLicenseAgreement=Licence\r\n"
            << "sNewVersionAvailable=New version available\r\nsGoToProductsWebPage=Go to the product's web page\r\n"
            << "sApplication=Vesk Color Picker is\r\nsUpToDate=up to date\r\nsUnknownError=Unknown error\r\n"
            << "sNoResponseFromServer=No response from the server\r\n";
        m_languages = std::make_unique<TLanguages>(m_environment, "VeskColorPicker.ini", "Settings", true);
        ASSERT_TRUE(m_languages->HasActiveFile());
        Languages = m_languages.get();
    }

    TFormAbout& Create()
    {
        m_about = std::make_unique<TFormAbout>(m_owner, *m_languages, 1700000000, 2013, 2013, 4);
        return *m_about;
    }

    fs::path m_folder;
    TTestLanguageEnvironment m_environment;
    std::unique_ptr<TLanguages> m_languages;
    std::unique_ptr<TFormAbout> m_about;
    HWND m_owner = nullptr;
};

TEST_F(AboutWindowTest, ShowsTheProgramItsVersionAndTheLinks)
{
    UseLanguage("Version");
    TFormAbout& about = Create();
    EXPECT_EQ(TextOf(about.Handle()), L"About");
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idAppTitle)), L"Vesk Color Picker");
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idLAppVersion)), L"Version:");
    // The test exe carries no version resource of its own; the program's
    // "1.0" is the fallback as well as the resource's value.
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idAppVersion)), Utf8ToWide(about.Version()) + L" x64");
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idEmailLink)), Utf8ToWide(TLanguages::EmailAddress("info")));
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idHomepageLink)), Utf8ToWide(TLanguages::HomePageAddress(false)));
    EXPECT_EQ(about.HomepageHint(), Utf8ToWide(Languages->ProductPageAddress(true, 4)));
    EXPECT_FALSE(about.AppVersionHint().empty()); // the build date
}

TEST_F(AboutWindowTest, ALongVersionLabelPushesTheNumberRight)
{
    for (const std::string label : {"Version", "Versionsnummer des Programms"}) {
        SCOPED_TRACE(label);
        UseLanguage(label);
        TFormAbout& about = Create();
        const RECT caption = ChildRect(about.Handle(), about.Control(TFormAbout::idLAppVersion));
        const RECT number = ChildRect(about.Handle(), about.Control(TFormAbout::idAppVersion));
        const int gap = ::MulDiv(8, ::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX), 96);
        EXPECT_EQ(number.left, caption.right + gap);
        m_about.reset();
    }
}

TEST_F(AboutWindowTest, TheTitleShrinksUntilItFits)
{
    UseLanguage("Version");
    Application::SetTitle(L"Vesk Color Picker");
    EXPECT_EQ(Create().AppTitlePointSize(), 11);
    m_about.reset();

    Application::SetTitle(L"Vesk Color Picker With A Very Long Name");
    TFormAbout& about = Create();
    EXPECT_LT(about.AppTitlePointSize(), 11);
    RECT client{};
    ::GetClientRect(about.Handle(), &client);
    EXPECT_LE(ChildRect(about.Handle(), about.Control(TFormAbout::idAppTitle)).right, client.right);
    Application::SetTitle(L"Vesk Color Picker");
}

// The window opens at the DPI of the main window's monitor (which Wine
// cannot give another scale: the DPI seam stands in) and scales again when
// it is moved to a monitor of another DPI.
UINT g_aboutMonitorDpi = 144;
UINT AboutMonitorDpi(HWND)
{
    return g_aboutMonitorDpi;
}

TEST_F(AboutWindowTest, OpensAtItsMonitorsDpiAndScalesOnAChange)
{
    UseLanguage("Version");
    g_aboutMonitorDpi = 144;
    SetDpiFunctionsForTesting({AboutMonitorDpi, nullptr});
    TFormAbout& about = Create();
    const auto expectLayoutAt = [&](UINT dpi) {
        SCOPED_TRACE(dpi);
        const auto at = [dpi](int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), 96); };
        EXPECT_EQ(about.Dpi(), dpi);
        RECT client{};
        ::GetClientRect(about.Handle(), &client);
        EXPECT_EQ(client.right, at(231));
        EXPECT_EQ(client.bottom, at(225));
        const RECT link = ChildRect(about.Handle(), about.Control(TFormAbout::idEmailLink));
        EXPECT_EQ(link.left, at(46));
        EXPECT_EQ(link.top, at(114));
        return link.bottom - link.top;
    };
    const int linkHeightAt144 = expectLayoutAt(144);

    g_aboutMonitorDpi = 96;
    SIZE size{};
    ASSERT_TRUE(::SendMessageW(about.Handle(), WM_GETDPISCALEDSIZE, 96, reinterpret_cast<LPARAM>(&size)));
    RECT frame{};
    ::GetWindowRect(about.Handle(), &frame);
    const RECT suggested{frame.left, frame.top, frame.left + size.cx, frame.top + size.cy};
    ::SendMessageW(about.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    // The texts are made at the new size too, not only moved.
    EXPECT_LT(expectLayoutAt(96), linkHeightAt144);
    SetDpiFunctionsForTesting({});
}

TEST_F(AboutWindowTest, TheLicenceCommandNeedsTheLicenceFile)
{
    UseLanguage("Version");
    // The licence is looked for beside the running exe (the test exe here).
    const fs::path licence = fs::path(ExecutableFolder()) / "License.txt";
    std::error_code ignored;
    fs::remove(licence, ignored);
    {
        TFormAbout& about = Create();
        about.FormShow();
        EXPECT_FALSE(about.LicenseCommandEnabled());
        m_about.reset();
    }
    std::ofstream(licence) << "licence";
    {
        TFormAbout& about = Create();
        about.FormShow();
        EXPECT_TRUE(about.LicenseCommandEnabled());
        // The file opens through the shell, from a COM apartment (see
        // ShellTest for why Wine cannot show that this window joins it).
        ShellCalls shell;
        about.MLicenseAgreementClick();
        ASSERT_EQ(shell.calls().size(), 1u);
        EXPECT_EQ(shell.calls()[0].Target, L"\"" + (fs::path(ExecutableFolder()) / "License.txt").wstring() + L"\"");
        EXPECT_TRUE(shell.calls()[0].InApartment);
        m_about.reset();
    }
    fs::remove(licence, ignored);

    // The file vanished after the window opened: the error box says so.
    std::vector<std::wstring> boxes;
    SetMessageBoxAnswerer([&](const std::wstring& text, const std::wstring&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    Create().MLicenseAgreementClick();
    SetMessageBoxAnswerer(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"File not found:\r\nLicense.txt");
}

// The links are reached with Tab and open with Enter and Space, as with a
// click; Escape still closes the window from a link.
std::vector<std::pair<WPARAM, bool>> g_linkKeys; // key, to the focused link
std::vector<int> g_focusAfterKey;                // the id of the control each key went to
HWND g_aboutWindow = nullptr;
void CALLBACK PressNextKey(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_linkKeys.empty()) {
        ::KillTimer(nullptr, timer);
        return;
    }
    const HWND focus = ::GetFocus() ? ::GetFocus() : g_aboutWindow;
    g_focusAfterKey.push_back(::GetDlgCtrlID(focus));
    ::PostMessageW(focus, WM_KEYDOWN, g_linkKeys.front().first, 0);
    g_linkKeys.erase(g_linkKeys.begin());
}

TEST_F(AboutWindowTest, TheLinksAreTabStopsThatOpenWithEnterAndSpace)
{
    UseLanguage("Version");
    TFormAbout& about = Create();
    ShellCalls shell;
    g_linkKeys = {{VK_TAB, false}, {VK_RETURN, true}, {VK_TAB, false}, {VK_SPACE, true}, {VK_ESCAPE, true}};
    g_focusAfterKey.clear();
    g_aboutWindow = about.Handle();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, PressNextKey);
    ASSERT_NE(timer, 0u);
    about.ShowModal(); // Escape ends it
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(g_focusAfterKey.size(), 5u);
    // Where each key went: Enter to the e-mail link, Space and Escape to the
    // homepage link.
    EXPECT_EQ(g_focusAfterKey[1], TFormAbout::idEmailLink);
    EXPECT_EQ(g_focusAfterKey[3], TFormAbout::idHomepageLink);
    EXPECT_EQ(g_focusAfterKey[4], TFormAbout::idHomepageLink);
    ASSERT_EQ(shell.calls().size(), 2u);
    EXPECT_EQ(shell.calls()[0].Target.rfind(L"mailto:", 0), 0u);
    EXPECT_EQ(shell.calls()[1].Target, about.HomepageHint());
    m_about.reset();
}

TEST_F(AboutWindowTest, EscapeAndEnterCloseTheWindowAndGiveTheOwnerBack)
{
    UseLanguage("Version");
    for (const WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}}) {
        SCOPED_TRACE(key);
        TFormAbout& about = Create();
        HWND handle = about.Handle();
        ::PostMessageW(handle, WM_KEYDOWN, key, 0);
        about.ShowModal(); // returns once the window is gone
        EXPECT_FALSE(::IsWindow(handle));
        EXPECT_TRUE(::IsWindowEnabled(m_owner));
        m_about.reset();
    }
}

// Handles the messages that are there, for a while, as the program's loop
// would after the window has gone.
void PumpMessagesFor(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

// The server takes the request and never answers. The window keeps
// answering (a window that does not answer within a moment is what Windows
// marks "Not responding"), Escape closes it, and the abandoned check shows
// nothing when it ends.
TEST_F(AboutWindowTest, TheWindowAnswersWhileTheCheckStallsAndClosesOnEscape)
{
    using namespace std::chrono_literals;
    UseLanguage("Version");
    std::optional<LocalHttp::TLocalServer> server(std::in_place, LocalHttp::TServerAct::Silent, "");
    SetUpdateCheckServerForTesting("127.0.0.1", server->Port());
    std::vector<std::wstring> boxes;
    SetMessageBoxAnswerer([&](const std::wstring& text, const std::wstring&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    TFormAbout& about = Create();
    HWND handle = about.Handle();
    ::PostMessageW(handle, WM_COMMAND, TFormAbout::idMCheckForNewVersion, 0);

    std::atomic<int> probes{0};
    std::atomic<int> unanswered{0};
    std::atomic<bool> requestSeen{false};
    std::thread prober([&] {
        // Probes from the moment of the click until two seconds after the
        // request reached the server (ten seconds at most), then Escape.
        int afterRequest = 0;
        for (int i = 0; i < 200 && afterRequest < 40; ++i) {
            DWORD_PTR ignored = 0;
            if (!::SendMessageTimeoutW(handle, WM_NULL, 0, 0, SMTO_NORMAL, 100, &ignored))
                ++unanswered;
            ++probes;
            if (!server->Request().empty()) {
                requestSeen = true;
                ++afterRequest;
            }
            std::this_thread::sleep_for(50ms);
        }
        ::PostMessageW(handle, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    about.ShowModal();
    prober.join();

    EXPECT_TRUE(requestSeen) << "the check never reached the server";
    EXPECT_GE(probes.load(), 40);
    EXPECT_EQ(unanswered.load(), 0) << "the window did not answer within 100 ms";
    EXPECT_FALSE(::IsWindow(handle));
    m_about.reset();
    // The server lets go of the connection: the check ends with nobody to
    // tell.
    server.reset();
    PumpMessagesFor(1500ms);
    EXPECT_TRUE(boxes.empty());
}

// Each outcome, as it arrives while the window is open.
TEST_F(AboutWindowTest, TheCheckShowsItsResultWhenItArrives)
{
    using namespace std::chrono_literals;
    using LocalHttp::TServerAct;
    struct TCase {
        const char* Name;
        TServerAct Act;
        std::string Reply;
        std::wstring Box;
        UINT Kind;
    };
    const TCase cases[] = {
        {"newer, a second late", TServerAct::Late, "HTTP/1.0 200 OK\r\n\r\nOK\r\n1.1\r\n",
         L"New version available: 1.1\r\nGo to the product's web page?", MB_ICONQUESTION},
        {"same", TServerAct::Late, "HTTP/1.0 200 OK\r\n\r\nOK\r\n1.0\r\n", L"Vesk Color Picker is up to date.",
         MB_ICONINFORMATION},
        {"server's message", TServerAct::Reply, "HTTP/1.0 200 OK\r\n\r\nERROR\r\nTry later\r\n", L"Try later",
         MB_ICONERROR},
        {"a 404 page", TServerAct::Reply, "HTTP/1.0 404 Not Found\r\n\r\n<html>Not Found</html>", L"Unknown error",
         MB_ICONERROR},
        {"a failing server", TServerAct::Reply, "HTTP/1.0 503 Service Unavailable\r\n\r\nOK\r\n1.1\r\n",
         L"No response from the server", MB_ICONERROR},
        {"a proxy that wants credentials", TServerAct::Reply,
         "HTTP/1.0 407 Proxy Authentication Required\r\n\r\nOK\r\n1.1\r\n", L"No response from the server",
         MB_ICONERROR},
    };
    UseLanguage("Version");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        LocalHttp::TLocalServer server(c.Act, c.Reply);
        SetUpdateCheckServerForTesting("127.0.0.1", server.Port());
        TFormAbout& about = Create();
        HWND handle = about.Handle();
        std::vector<std::wstring> boxes;
        UINT flags = 0;
        std::atomic<bool> answered{false};
        SetMessageBoxAnswerer([&](const std::wstring& text, const std::wstring&, UINT type) {
            boxes.push_back(text);
            flags = type;
            answered = true;
            ::PostMessageW(handle, WM_KEYDOWN, VK_ESCAPE, 0);
            return IDYES;
        });
        ShellCalls shell;
        ::PostMessageW(handle, WM_COMMAND, TFormAbout::idMCheckForNewVersion, 0);
        // A second click while the check runs starts no second one.
        ::PostMessageW(handle, WM_COMMAND, TFormAbout::idMCheckForNewVersion, 0);
        std::thread watchdog([&] {
            for (int i = 0; i < 300 && !answered; ++i)
                std::this_thread::sleep_for(50ms);
            ::PostMessageW(handle, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        about.ShowModal();
        watchdog.join();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], c.Box);
        EXPECT_EQ(flags & MB_ICONMASK, c.Kind);
        EXPECT_EQ(server.Requests().size(), 1u);
        // Yes to a newer version opens the product page.
        const std::vector<std::wstring> expectedPages =
            c.Kind == MB_ICONQUESTION ? std::vector<std::wstring>{about.HomepageHint()} : std::vector<std::wstring>{};
        std::vector<std::wstring> pages;
        for (const ShellCalls::Call& call : shell.calls())
            pages.push_back(call.Target);
        EXPECT_EQ(pages, expectedPages);
        SetMessageBoxAnswerer(nullptr);
        m_about.reset();
    }
}

} // namespace
