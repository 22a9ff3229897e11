// The main window at its monitor's DPI, in-process. Wine gives every monitor
// the screen's DPI, so the DPI Windows would report for the window stands in
// through the DPI seam; the frame stays as Wine draws it.

#include "ui/Dpi.h"
#include "MainWindowFixture.h"

namespace {

using namespace MainWindowTesting;

// The DPI the seam reports for every window, as a monitor of that scale
// would.
UINT g_monitorDpi = USER_DEFAULT_SCREEN_DPI;
UINT MonitorDpiOfEveryWindow(HWND)
{
    return g_monitorDpi;
}

class MainWindowDpi : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        g_monitorDpi = USER_DEFAULT_SCREEN_DPI;
        SetDpiFunctionsForTesting({MonitorDpiOfEveryWindow, nullptr});
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        SetDpiFunctionsForTesting({});
    }

    static int At(UINT dpi, int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }
    // The layout's rectangle at a DPI: each edge scaled from 96 DPI.
    static RECT Rule(UINT dpi, int left, int top, int width, int height)
    {
        return RECT{At(dpi, left), At(dpi, top), At(dpi, left) + At(dpi, width), At(dpi, top) + At(dpi, height)};
    }
    RECT Place(int controlId) const
    {
        RECT rect{};
        ::GetWindowRect(m_form->Control(controlId), &rect);
        ::MapWindowPoints(nullptr, m_form->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    RECT Client() const
    {
        RECT client{};
        ::GetClientRect(m_form->Handle(), &client);
        return client;
    }
    RECT Frame() const
    {
        RECT frame{};
        ::GetWindowRect(m_form->Handle(), &frame);
        return frame;
    }

    // The client area and a control of each kind where the layout puts them
    // at DPI.
    void ExpectLayoutAt(UINT dpi) const
    {
        SCOPED_TRACE(dpi);
        EXPECT_EQ(m_form->Dpi(), dpi);
        EXPECT_EQ(Client(), Rule(dpi, 0, 0, 504, 75)); // two-color mode
        EXPECT_EQ(Place(idBDropper), Rule(dpi, 6, 8, 26, 26));
        EXPECT_EQ(Place(idSBColorComponent1 + 2), Rule(dpi, 102, 11 + 40, 150, 12));
        EXPECT_EQ(Place(idColorBoxPanel), Rule(dpi, 313, 3, 72, 48));
        EXPECT_EQ(Place(idUDColorSwitch), Rule(dpi, 394, 3, 23, 48));
        EXPECT_EQ(Place(idColorBoxPanel2), Rule(dpi, 426, 3, 72, 48));
        EXPECT_EQ(Place(idLColorCode2), Rule(dpi, 427, 53, 77, 16));
    }

    // What Windows does when the window is dragged onto a monitor of DPI
    // TO: it asks the window for its size there, suggests a rectangle of
    // that size where the window is, and says the DPI has changed.
    void MoveToMonitorAt(UINT to)
    {
        g_monitorDpi = to;
        SIZE size{};
        ASSERT_TRUE(::SendMessageW(m_form->Handle(), WM_GETDPISCALEDSIZE, to, reinterpret_cast<LPARAM>(&size)));
        const RECT now = Frame();
        const RECT suggested{now.left, now.top, now.left + size.cx, now.top + size.cy};
        ::SendMessageW(m_form->Handle(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    }
};

} // namespace

// RECT is the system's, in the global namespace, where the comparisons of
// the test macros look for these.
bool operator==(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

// A window that opens on a monitor at another scale than the screen the
// process started with is told of no change: it asks for its DPI itself.
TEST_F(MainWindowDpi, TheWindowOpensAtItsMonitorsDpi)
{
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\n");
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        g_monitorDpi = dpi;
        Create();
        ExpectLayoutAt(dpi);
        m_form.reset();
    }
}

// Placed from the settings onto a monitor at another scale (here: right of
// x = 450 at 144 DPI), the window takes that monitor's DPI and its place,
// though Windows need not tell a hidden window of the change.
UINT MonitorDpiRightOf450(HWND window)
{
    RECT frame{};
    ::GetWindowRect(window, &frame);
    return frame.left >= 450 ? 144 : USER_DEFAULT_SCREEN_DPI;
}

TEST_F(MainWindowDpi, TheWindowPlacedOnAMonitorOfAnotherDpiTakesItsDpi)
{
    SetDpiFunctionsForTesting({MonitorDpiRightOf450, nullptr});
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\n[Position]\r\nLeft=460\r\nTop=30\r\n");
    Create();
    ExpectLayoutAt(144);
    EXPECT_EQ(Frame().left, 460);
    EXPECT_EQ(Frame().top, 30);
}

// Dragged back and forth between a 96 and a 144 DPI monitor, the window
// takes each suggested rectangle and its layout at each DPI, and ends where
// it started at the size it started with; fonts made for each DPI go with
// the next change.
TEST_F(MainWindowDpi, CrossingBetweenTwoDpisTenTimesEndsWhereItStarted)
{
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\n[Position]\r\nLeft=40\r\nTop=60\r\n");
    Create();
    ExpectLayoutAt(96);
    const RECT start = Frame();
    MoveToMonitorAt(144);
    MoveToMonitorAt(96);
    const DWORD gdiObjects = LiveGdiObjects();
    for (int i = 0; i < 10; ++i) {
        MoveToMonitorAt(144);
        ExpectLayoutAt(144);
        EXPECT_EQ(Frame().left, start.left);
        EXPECT_EQ(Frame().top, start.top);
        MoveToMonitorAt(96);
        ExpectLayoutAt(96);
    }
    EXPECT_EQ(Frame(), start);
    EXPECT_EQ(LiveGdiObjects(), gdiObjects);
}

// Windows asks only a window whose frame it scales (per-monitor v2) for its
// size at the new DPI: the layout's client area in a frame of that DPI.
TEST_F(MainWindowDpi, TheSizeAskedForAtANewDpiIsTheLayoutInAFrameOfThatDpi)
{
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\n");
    Create();
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(m_form->Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(m_form->Handle(), GWL_EXSTYLE));
    for (const UINT to : {120u, 144u, 192u}) {
        SCOPED_TRACE(to);
        SIZE size{};
        ::SendMessageW(m_form->Handle(), WM_GETDPISCALEDSIZE, to, reinterpret_cast<LPARAM>(&size));
        RECT frame{0, 0, At(to, 504), At(to, 75)};
        ASSERT_TRUE(::AdjustWindowRectExForDpi(&frame, style, TRUE, exStyle, to));
        EXPECT_EQ(size.cx, frame.right - frame.left);
        EXPECT_EQ(size.cy, frame.bottom - frame.top);
    }
}
