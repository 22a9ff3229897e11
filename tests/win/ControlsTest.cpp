#include "WinTestSupport.h"
#include "ui/ColorBox.h"
#include "ui/ColorSwitch.h"
#include "ui/FlatButton.h"
#include "ui/ScrollBar.h"
#include "ui/Theme.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace WinTesting;

constexpr int ScrollBarWidth = 150;
constexpr int ScrollBarHeight = 12;

LPARAM PointParam(int x, int y)
{
    return static_cast<LPARAM>((static_cast<unsigned>(y) & 0xFFFFu) << 16 | (static_cast<unsigned>(x) & 0xFFFFu));
}

void Pump(DWORD milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    } while (::GetTickCount64() < end);
}

// Mouse input sent straight to the control, with the real pointer put on the
// same spot first: any mouse move the system synthesizes then agrees with it.
void MouseDown(HWND window, int x, int y)
{
    POINT screen{x, y};
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
}

void MouseMoveHeld(HWND window, int x, int y)
{
    ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, PointParam(x, y));
}

void MouseUp(HWND window, int x, int y)
{
    ::SendMessageW(window, WM_LBUTTONUP, 0, PointParam(x, y));
}

void Click(HWND window, int x, int y)
{
    MouseDown(window, x, y);
    MouseUp(window, x, y);
}

// A key as the program's event loop delivers it: the dialog manager sees it
// first and may keep it (Tab, arrows, Enter) unless the control asks for it.
void Key(HWND root, HWND target, UINT message, UINT key)
{
    MSG msg{};
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1;
    if (!::IsDialogMessageW(root, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Press(HWND root, HWND target, UINT key)
{
    Key(root, target, WM_KEYDOWN, key);
    Key(root, target, WM_KEYUP, key);
}

// A visible top-level window to put the controls on, shared by the tests:
// Wine takes about two seconds to hide or destroy a shown top-level window
// on a display without a window manager, so it goes only once, at the end.
HWND g_host = nullptr;

HWND Host()
{
    if (!g_host) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = L"VeskControlsTestHost";
        ::RegisterClassExW(&windowClass);
        g_host = ::CreateWindowExW(0, L"VeskControlsTestHost", L"Controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40,
                                   40, 420, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::ShowWindow(g_host, SW_SHOW);
    }
    return g_host;
}

class HostCleanup : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (g_host)
            ::DestroyWindow(std::exchange(g_host, nullptr));
    }
};
[[maybe_unused]] ::testing::Environment* const g_hostCleanup = ::testing::AddGlobalTestEnvironment(new HostCleanup);

// Controls on the host, removed after each test, and the plain look put back.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host = Host();
        ASSERT_NE(m_host, nullptr);
        ::SetForegroundWindow(m_host);
        ::SetFocus(m_host);
        Theme::Apply(TThemeKind::Windows);
    }

    void TearDown() override
    {
        if (::GetCapture())
            ::ReleaseCapture();
        Theme::Apply(TThemeKind::Windows);
        m_controls.clear();
        Pump(0);
    }

    template <typename T, typename... Args>
    T& Add(int x, int y, int width, int height, Args... args)
    {
        auto control = std::make_unique<T>(m_host, static_cast<int>(100 + m_controls.size()), args...);
        ::MoveWindow(control->Handle(), x, y, width, height, TRUE);
        T& result = *control;
        m_controls.push_back(std::move(control));
        return result;
    }

    HWND m_host = nullptr;
    std::vector<std::unique_ptr<Window>> m_controls;
};

// --- TScrollBar ---------------------------------------------------------

class ControlsScrollBarTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        m_bar = &Add<TScrollBar>(10, 10, ScrollBarWidth, ScrollBarHeight);
        m_bar->SetMax(255);
        m_bar->SetLargeChange(10);
        m_bar->OnChange = [this] { m_seen.push_back(m_bar->Position()); };
    }

    // Puts the bar at `position` and forgets the change it reports.
    void Start(int position)
    {
        m_bar->SetPosition(position);
        m_seen.clear();
    }

    // The thumb's left edge for a position: a square as high as the bar,
    // travelling between the two square arrow buttons.
    static int ThumbLeft(int position)
    {
        const int travel = ScrollBarWidth - 3 * ScrollBarHeight;
        return ScrollBarHeight + ::MulDiv(position, travel, 255);
    }

    TScrollBar* m_bar = nullptr;
    std::vector<int> m_seen; // Position() as each OnChange saw it
};

TEST_F(ControlsScrollBarTest, SetPositionReportsEachChangeOnceBeforeReturning)
{
    const struct {
        int set;
        int expected;
        bool reported;
    } steps[] = {
        {5, 5, true}, {5, 5, false}, {300, 255, true}, {255, 255, false}, {-4, 0, true}, {0, 0, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.set);
        m_seen.clear();
        m_bar->SetPosition(step.set);
        EXPECT_EQ(m_bar->Position(), step.expected);
        if (step.reported)
            EXPECT_EQ(m_seen, std::vector<int>{step.expected});
        else
            EXPECT_TRUE(m_seen.empty());
    }
}

TEST_F(ControlsScrollBarTest, SetMaxCutsAPositionAboveIt)
{
    Start(250);
    m_bar->SetMax(240);
    EXPECT_EQ(m_bar->Max(), 240);
    EXPECT_EQ(m_seen, std::vector<int>{240});

    m_seen.clear();
    m_bar->SetMax(255); // a wider range leaves the position where it is
    EXPECT_EQ(m_bar->Position(), 240);
    EXPECT_TRUE(m_seen.empty());
}

TEST_F(ControlsScrollBarTest, ArrowAndTrackClicksStepBySmallAndLargeChange)
{
    const int middle = ScrollBarHeight / 2;
    const struct {
        const char* where;
        int start;
        int x;
        int expected;
    } clicks[] = {
        {"left arrow", 100, 3, 99},
        {"right arrow", 100, ScrollBarWidth - 3, 101},
        {"track left of the thumb", 100, ThumbLeft(100) - 5, 90},
        {"track right of the thumb", 100, ThumbLeft(100) + ScrollBarHeight + 5, 110},
        {"left arrow at the minimum", 0, 3, 0},
        {"track near the maximum", 250, ThumbLeft(250) - 3, 240},
        {"track right of the thumb near the maximum", 248, ScrollBarWidth - ScrollBarHeight - 1, 255},
        {"the thumb itself", 100, ThumbLeft(100) + 2, 100},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.where);
        Start(click.start);
        ::SetFocus(m_host);
        Click(m_bar->Handle(), click.x, middle);
        EXPECT_EQ(m_bar->Position(), click.expected);
        EXPECT_EQ(m_seen.size(), click.expected == click.start ? 0u : 1u);
        EXPECT_EQ(::GetFocus(), m_bar->Handle()) << "a click takes the focus";
    }
}

TEST_F(ControlsScrollBarTest, HeldButtonRepeatsAndPagingStopsUnderThePointer)
{
    const int middle = ScrollBarHeight / 2;

    // Holds the pointer at x for a while, as the bar's repeat timer runs.
    const auto hold = [&](int x, DWORD milliseconds) {
        const ULONGLONG end = ::GetTickCount64() + milliseconds;
        while (::GetTickCount64() < end) {
            // A stray move from the X server (the real pointer elsewhere)
            // must not steer the bar while the test runs.
            MouseMoveHeld(m_bar->Handle(), x, middle);
            Pump(20);
        }
    };

    Start(0);
    MouseDown(m_bar->Handle(), ScrollBarWidth - 3, middle);
    hold(ScrollBarWidth - 3, 1000); // first repeat after ~400 ms, then every ~50 ms
    MouseUp(m_bar->Handle(), ScrollBarWidth - 3, middle);
    const int afterHold = m_bar->Position();
    EXPECT_GT(afterHold, 3);
    Pump(300);
    EXPECT_EQ(m_bar->Position(), afterHold) << "repeating stops with the release";

    // Paging towards a point near the right end stops at the first page
    // whose thumb covers that point.
    const int target = ScrollBarWidth - ScrollBarHeight - 8;
    int expected = 0;
    while (ThumbLeft(expected) + ScrollBarHeight <= target)
        expected += 10;
    Start(0);
    MouseDown(m_bar->Handle(), target, middle);
    hold(target, 2500);
    EXPECT_EQ(m_bar->Position(), expected);
    MouseUp(m_bar->Handle(), target, middle);
}

TEST_F(ControlsScrollBarTest, KeysStepWhenFocusedAndTabStillLeaves)
{
    HWND next = Add<TColorSwitch>(10, 40, 23, 48).Handle();
    const struct {
        int start;
        UINT key;
        int expected;
    } presses[] = {
        {100, VK_LEFT, 99},  {100, VK_UP, 99},    {100, VK_RIGHT, 101}, {100, VK_DOWN, 101},
        {100, VK_PRIOR, 90}, {100, VK_NEXT, 110}, {100, VK_HOME, 0},    {100, VK_END, 255},
        {5, VK_PRIOR, 0},    {250, VK_NEXT, 255}, {0, VK_LEFT, 0},      {100, 'A', 100},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.key);
        Start(press.start);
        ::SetFocus(m_bar->Handle());
        Press(m_host, m_bar->Handle(), press.key);
        EXPECT_EQ(m_bar->Position(), press.expected);
    }

    ::SetFocus(m_bar->Handle());
    Press(m_host, m_bar->Handle(), VK_TAB);
    EXPECT_EQ(::GetFocus(), next);
}

TEST_F(ControlsScrollBarTest, ThumbDragFollowsThePointerToBothEnds)
{
    const int middle = ScrollBarHeight / 2;
    Start(128);
    const int grab = ThumbLeft(128) + ScrollBarHeight / 2;
    MouseDown(m_bar->Handle(), grab, middle);
    EXPECT_TRUE(m_seen.empty()) << "pressing the thumb does not move it";

    // Every pixel to the left end and beyond, then to the right end and far
    // beyond (also off the bar vertically): the value never runs backwards.
    int previous = m_bar->Position();
    for (int x = grab; x >= -40; --x) {
        MouseMoveHeld(m_bar->Handle(), x, middle);
        EXPECT_LE(m_bar->Position(), previous);
        previous = m_bar->Position();
    }
    EXPECT_EQ(m_bar->Position(), 0);
    for (int x = -40; x <= ScrollBarWidth + 200; ++x) {
        MouseMoveHeld(m_bar->Handle(), x, middle + 60);
        EXPECT_GE(m_bar->Position(), previous);
        previous = m_bar->Position();
    }
    EXPECT_EQ(m_bar->Position(), 255);
    MouseUp(m_bar->Handle(), ScrollBarWidth + 200, middle + 60);
    EXPECT_EQ(m_bar->Position(), 255) << "released outside, the last value stays";

    // One report per change: the drag went down to 0 and back up to 255.
    ASSERT_FALSE(m_seen.empty());
    for (size_t i = 1; i < m_seen.size(); ++i)
        EXPECT_NE(m_seen[i], m_seen[i - 1]);
    EXPECT_GE(m_seen.size(), 100u) << "the value changes along the way, not only at the ends";

    m_seen.clear();
    MouseMoveHeld(m_bar->Handle(), 0, middle);
    EXPECT_TRUE(m_seen.empty()) << "after the release the pointer moves nothing";
}

TEST_F(ControlsScrollBarTest, AnswersTheSystemScrollBarMessages)
{
    HWND bar = m_bar->Handle();
    Start(17);
    EXPECT_EQ(::SendMessageW(bar, SBM_GETPOS, 0, 0), 17);
    EXPECT_EQ(::SendMessageW(bar, SBM_SETPOS, 200, TRUE), 17) << "returns the previous position";
    EXPECT_EQ(m_bar->Position(), 200);
    EXPECT_EQ(m_seen, std::vector<int>{200});

    m_seen.clear();
    ::SendMessageW(bar, SBM_SETRANGE, 0, 120);
    int min = -1;
    int max = -1;
    ::SendMessageW(bar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&min), reinterpret_cast<LPARAM>(&max));
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 120);
    EXPECT_EQ(m_seen, std::vector<int>{120}) << "the new range cuts the position";
    EXPECT_EQ(::GetScrollPos(bar, SB_CTL), 120);
}

// --- TFlatButton and TColorSwitch ----------------------------------------

class ControlsClickTest : public ControlsTest {
protected:
    int m_clicks = 0;
};

TEST_F(ControlsClickTest, FlatButtonClicksOnReleaseInsideAndFromTheKeyboard)
{
    auto& button = Add<TFlatButton>(10, 10, 26, 26, static_cast<const wchar_t*>(nullptr));
    button.OnClick = [this] { ++m_clicks; };
    HWND handle = button.Handle();

    MouseDown(handle, 13, 13);
    EXPECT_EQ(m_clicks, 0) << "a press alone does not click";
    MouseUp(handle, 13, 13);
    EXPECT_EQ(m_clicks, 1);

    // Taken back by sliding off before the release.
    MouseDown(handle, 13, 13);
    MouseMoveHeld(handle, 40, 13);
    MouseUp(handle, 40, 13);
    EXPECT_EQ(m_clicks, 1);
    EXPECT_NE(::GetCapture(), handle);

    ::SetFocus(handle);
    Key(m_host, handle, WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(m_clicks, 1) << "Space clicks when it comes up";
    Key(m_host, handle, WM_KEYUP, VK_SPACE);
    EXPECT_EQ(m_clicks, 2);
    Press(m_host, handle, VK_RETURN);
    EXPECT_EQ(m_clicks, 3) << "Enter reaches the button past the dialog manager";
    Press(m_host, handle, 'A');
    EXPECT_EQ(m_clicks, 3);

    // A Space press cut short by a focus change never clicks.
    Key(m_host, handle, WM_KEYDOWN, VK_SPACE);
    ::SetFocus(m_host);
    Key(m_host, handle, WM_KEYUP, VK_SPACE);
    EXPECT_EQ(m_clicks, 3);
}

TEST_F(ControlsClickTest, ColorSwitchClicksFromEitherArrowAndTheKeyboard)
{
    auto& colorSwitch = Add<TColorSwitch>(10, 10, 23, 48);
    colorSwitch.OnClick = [this] { ++m_clicks; };
    HWND handle = colorSwitch.Handle();

    Click(handle, 4, 24);
    Click(handle, 18, 24);
    EXPECT_EQ(m_clicks, 2);

    // Released off the control, or over the other arrow: taken back.
    MouseDown(handle, 4, 24);
    MouseMoveHeld(handle, -10, 24);
    MouseUp(handle, -10, 24);
    MouseDown(handle, 4, 24);
    MouseUp(handle, 18, 24);
    EXPECT_EQ(m_clicks, 2);

    ::SetFocus(handle);
    Press(m_host, handle, VK_LEFT);
    Press(m_host, handle, VK_RIGHT);
    EXPECT_EQ(m_clicks, 4) << "the arrow keys reach the switch past the dialog manager";
    Press(m_host, handle, VK_SPACE);
    EXPECT_EQ(m_clicks, 5);
    Press(m_host, handle, 'A');
    EXPECT_EQ(m_clicks, 5);
}

TEST_F(ControlsTest, ColorSwitchKeepsTheUpDownStateItStandsFor)
{
    HWND handle = Add<TColorSwitch>(10, 10, 23, 48).Handle();
    int low = -1;
    int high = -1;
    ::SendMessageW(handle, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 10000);
    BOOL failed = TRUE;
    EXPECT_EQ(::SendMessageW(handle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), 5000);
    EXPECT_FALSE(failed);

    EXPECT_EQ(::SendMessageW(handle, UDM_SETPOS32, 0, 7000), 5000);
    EXPECT_EQ(::SendMessageW(handle, UDM_SETPOS32, 0, 12000), 7000);
    EXPECT_EQ(::SendMessageW(handle, UDM_GETPOS32, 0, 0), 10000) << "kept inside the range";
}

// --- TColorBox ----------------------------------------------------------

TEST_F(ControlsTest, ColorBoxShowsTheColorInABlackBorderAndTheSampleTextOnRequest)
{
    constexpr COLORREF color = RGB(0x30, 0x90, 0xD0);
    auto& box = Add<TColorBox>(20, 20, 72, 48);
    box.SetColor(color);
    EXPECT_EQ(box.Color(), color);

    for (const TThemeKind look : {TThemeKind::Windows, TThemeKind::Carbon}) {
        SCOPED_TRACE(Theme::Name(look));
        Theme::Apply(look);
        for (const bool sample : {false, true}) {
            SCOPED_TRACE(sample ? "with sample text" : "without sample text");
            box.SetSampleTextVisible(sample);
            ::UpdateWindow(box.Handle());
            const Pixels pixels = Capture(box.Handle());
            ASSERT_EQ(pixels.data.size(), 72u * 48u);

            int borderOff = 0;
            int dark = 0;  // black pixels inside, all of them in the upper line's band
            int light = 0; // white pixels inside, all of them in the lower line's band
            int other = 0;
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 72; ++x) {
                    const COLORREF pixel = pixels.At(x, y);
                    if (x == 0 || y == 0 || x == 71 || y == 47) {
                        borderOff += pixel != RGB(0, 0, 0);
                    } else if (pixel == RGB(0, 0, 0)) {
                        dark += y >= 7 && y < 26 ? 1 : 1000;
                    } else if (pixel == RGB(0xFF, 0xFF, 0xFF)) {
                        light += y >= 26 ? 1 : 1000;
                    } else if (pixel != color) {
                        ++other; // antialiased edges of the letters
                    }
                }
            }
            EXPECT_EQ(borderOff, 0);
            if (sample) {
                EXPECT_GT(dark, 20);
                EXPECT_LT(dark, 1000) << "black text outside its line";
                EXPECT_GT(light, 20);
                EXPECT_LT(light, 1000) << "white text outside its line";
            } else {
                EXPECT_EQ(dark + light + other, 0);
            }
        }
    }
}

TEST_F(ControlsTest, ColorBoxPlacesTheSampleTextByTheDpi)
{
    // The lines start at (6, 7) and (6, 26) at 96 DPI; a glyph's first pixel
    // lies a little right of and below where its line starts.
    const struct {
        UINT dpi;
        POINT dark;
        POINT light;
    } cases[] = {{96, {6, 7}, {6, 26}}, {144, {9, 10}, {9, 39}}, {192, {12, 14}, {12, 52}}};
    auto& box = Add<TColorBox>(20, 20, 150, 100);
    box.SetColor(RGB(0x80, 0x80, 0x80));
    box.SetSampleTextVisible(true);
    for (const auto& row : cases) {
        SCOPED_TRACE(row.dpi);
        box.SetDpi(row.dpi);
        ::UpdateWindow(box.Handle());
        const Pixels pixels = Capture(box.Handle());
        ASSERT_EQ(pixels.data.size(), 150u * 100u);
        POINT dark{1000, 1000};
        POINT light{1000, 1000};
        for (int y = 1; y < 99; ++y) {
            for (int x = 1; x < 149; ++x) {
                POINT& first = pixels.At(x, y) == RGB(0, 0, 0) ? dark : light;
                if (pixels.At(x, y) == RGB(0, 0, 0) || pixels.At(x, y) == RGB(0xFF, 0xFF, 0xFF)) {
                    first.x = std::min<LONG>(first.x, x);
                    first.y = std::min<LONG>(first.y, y);
                }
            }
        }
        EXPECT_GE(dark.x, row.dark.x);
        EXPECT_LE(dark.x, row.dark.x + 3);
        EXPECT_GE(dark.y, row.dark.y);
        EXPECT_LE(dark.y, row.dark.y + 5);
        EXPECT_GE(light.x, row.light.x);
        EXPECT_LE(light.x, row.light.x + 3);
        EXPECT_GE(light.y, row.light.y);
        EXPECT_LE(light.y, row.light.y + 5);
    }
}

TEST_F(ControlsTest, ColorBoxReportsADoubleClick)
{
    auto& box = Add<TColorBox>(20, 20, 72, 48);
    int doubleClicks = 0;
    box.OnDoubleClick = [&] { ++doubleClicks; };
    EXPECT_TRUE(::GetClassLongPtrW(box.Handle(), GCL_STYLE) & CS_DBLCLKS);
    ::SendMessageW(box.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(30, 20));
    EXPECT_EQ(doubleClicks, 1);
}

// --- all controls -------------------------------------------------------

TEST_F(ControlsTest, PaintingAndThemeSwitchesKeepGdiAndUserObjectsFlat)
{
    auto& bar = Add<TScrollBar>(10, 10, ScrollBarWidth, ScrollBarHeight);
    bar.SetMax(255);
    auto& button = Add<TFlatButton>(10, 30, 26, 26, L"DROPPER");
    auto& box = Add<TColorBox>(50, 30, 72, 48);
    box.SetSampleTextVisible(true);
    Add<TColorSwitch>(130, 30, 23, 48);
    ::SetFocus(bar.Handle()); // the focus dots are drawn too

    auto repaintAll = [&] {
        for (const auto& control : m_controls) {
            ::InvalidateRect(control->Handle(), nullptr, FALSE);
            ::UpdateWindow(control->Handle());
        }
    };
    // First use fills the theme's brush cache in both looks.
    Theme::Apply(TThemeKind::Carbon);
    repaintAll();
    Theme::Apply(TThemeKind::Windows);
    repaintAll();

    HANDLE process = ::GetCurrentProcess();
    const DWORD gdiBefore = LiveGdiObjects();
    const DWORD userBefore = ::GetGuiResources(process, GR_USEROBJECTS);
    for (int i = 0; i < 1000; ++i) {
        bar.SetPosition(i % 256);
        box.SetColor(static_cast<COLORREF>(i * 0x010203));
        button.SetDpi(i % 2 ? 96 : 144);
        repaintAll();
    }
    for (int i = 0; i < 1000; ++i)
        Theme::Apply(i % 2 ? TThemeKind::Windows : TThemeKind::Carbon);
    EXPECT_LE(LiveGdiObjects(), gdiBefore);
    // Wine counts no USER objects; on Windows they are checked as well.
    EXPECT_LE(::GetGuiResources(process, GR_USEROBJECTS), userBefore);
}

} // namespace
