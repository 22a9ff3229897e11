// VeskProbe: run inside Wine by the end-to-end suite to look at the program
// the way a user sees it, through public Win32 calls only.
//
//   VeskProbe wait    CLASS TITLE [TIMEOUT_MS]  waits for a visible top-level window, prints its handle
//   VeskProbe gone    CLASS TITLE [TIMEOUT_MS]  waits until no such window exists
//   VeskProbe count   CLASS TITLE [WATCH_MS]    prints how many top-level windows have that class and
//                                               title (visible or not); with WATCH_MS it prints
//                                               "watching", keeps counting that long (or until its
//                                               standard input, a pipe, is closed) and then prints
//                                               the largest number it saw
//   VeskProbe close   CLASS TITLE               asks the window to close (WM_CLOSE)
//   VeskProbe closeall CLASS TITLE              asks every such window to close at once, prints how many
//   VeskProbe kill    CLASS TITLE               ends the window's process at once (TerminateProcess,
//                                               exit code 1) and waits until it is gone
//   VeskProbe text    CLASS TITLE               prints the window's title
//   VeskProbe control CLASS TITLE NAME          prints the text of a control of the main window
//   VeskProbe visible CLASS TITLE NAME          prints 1 or 0
//   VeskProbe scroll  CLASS TITLE NAME          prints a scroll bar's position
//   VeskProbe setscroll CLASS TITLE NAME POS    sets a scroll bar's position as the user would
//   VeskProbe scrollburst CLASS TITLE NAME GAP_MS WATCH_MS POS...
//                                               sets the scroll bar to each POS in turn, GAP_MS apart,
//                                               then watches the clipboard for WATCH_MS and prints one
//                                               line per clipboard change: the milliseconds from the
//                                               last move to the change (negative: during the burst)
//   VeskProbe settext CLASS TITLE NAME TEXT     types TEXT into an edit box (replacing its text)
//   VeskProbe command CLASS TITLE NAME          runs a menu command (WM_COMMAND, as a menu click) and
//                                               waits up to 3 s until the program has handled it
//   VeskProbe heldcommand CLASS TITLE NAME MILLISECONDS
//                                               opens the clipboard, runs a menu command (as "command")
//                                               while holding it that long, then lets it go; prints
//                                               the milliseconds the program took to handle the command
//   VeskProbe menu    CLASS TITLE NAME          prints "checked enabled" (1/0 each) of a menu item
//                                               (reads the menu of another process: not under Wine)
//   VeskProbe modules CLASS TITLE DLL...        prints one line per DLL: the path it was loaded from into
//                                               the window's process, or "-" when it is not loaded
//   VeskProbe client  CLASS TITLE               prints the client size "W H"
//   VeskProbe rect    CLASS TITLE               prints the window rectangle "L T R B"
//   VeskProbe state   CLASS TITLE               prints "iconic visible foreground topmost"
//   VeskProbe minimize CLASS TITLE              minimizes the window
//   VeskProbe foreground CLASS TITLE            brings the window to the front
//   VeskProbe cover   MILLISECONDS              shows a window of the probe's own in front of all
//                                               others for that long ("shown" once it is there)
//   VeskProbe box     TITLE [TIMEOUT_MS]        waits for a message box, prints its text
//   VeskProbe press   TITLE BUTTON_ID           presses a button of that message box (1 = OK, 6 = Yes ...)
//                                               and waits until the box is gone
//   VeskProbe getclip                           prints the clipboard's Unicode text
//   VeskProbe setclip TEXT                      puts TEXT on the clipboard
//   VeskProbe clipformats                       prints one line per format on the clipboard: its name
//                                               (registered formats) or number, and for data of four
//                                               bytes " =" and the DWORD
//   VeskProbe holdclip MILLISECONDS             keeps the clipboard open that long at most, or until standard
//                                               input closes ("held" once open)
//   VeskProbe holdfile PATH SHARE MILLISECONDS  keeps a file open for reading that long at most, or until
//                                               standard input closes ("held" once open), allowing others
//                                               what SHARE names: r read, w write, d delete
//   VeskProbe bpp                               prints the screen's bits per pixel
//   VeskProbe findtext CLASS TITLE TEXT...      prints 1 or 0 per TEXT: whether the window shows it as a
//                                               whole line in the zoom window's font (for texts the
//                                               program paints, which no control holds)
//   VeskProbe clip                              prints the rectangle the pointer is confined to "L T R B"
//   VeskProbe monitors                          prints one line per monitor, the primary first:
//                                               "L T R B" of its bounds, then of its work area
//
// Exit code 0 on success, 1 when the window or control is not there, 2 for
// bad usage.

#include "app/Commands.h"
#include "app/MainIds.h"

#include <windows.h>

#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

void PrintUtf8(const std::wstring& text)
{
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; *text; ++text)
        result.push_back(static_cast<char>(*text));
    return result;
}

int IdOf(const wchar_t* name)
{
    const std::string wanted = Narrow(name);
    for (const auto& entry : MainIdNames)
        if (wanted == entry.Name)
            return entry.Id;
    for (const TCommand& command : Commands)
        if (command.Id != 0 && wanted == command.Name)
            return command.Id;
    return 0;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        HWND window = ::FindWindowW(className, title);
        if (window && ::IsWindowVisible(window))
            return window;
        if (::GetTickCount64() >= deadline)
            return nullptr;
        ::Sleep(50);
    }
}

std::wstring WindowText(HWND window)
{
    // WM_GETTEXT reaches controls of another process too.
    const auto length = static_cast<int>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = static_cast<int>(
        ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

// The message box of our program: a dialog with the program's title.
HWND FindMessageBox(const wchar_t* title, DWORD timeoutMs)
{
    return WaitForWindow(L"#32770", title, timeoutMs);
}

std::wstring MessageBoxText(HWND box)
{
    // The text is the static control with id 0xFFFF.
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::wstring();
}

struct TWindowCount {
    const wchar_t* ClassName;
    const wchar_t* Title;
    int Count;
    bool Close = false; // each one found is asked to close as well
};

BOOL CALLBACK CountWindow(HWND window, LPARAM data)
{
    auto& count = *reinterpret_cast<TWindowCount*>(data);
    // GetWindowTextW reads another process's title without a message, so a
    // program that hangs cannot hang the count.
    wchar_t className[256]{};
    wchar_t title[256]{};
    ::GetClassNameW(window, className, 256);
    ::GetWindowTextW(window, title, 256);
    if (std::wcscmp(className, count.ClassName) == 0 && std::wcscmp(title, count.Title) == 0) {
        ++count.Count;
        if (count.Close)
            ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// Set once whoever started the probe has closed its end of the probe's
// standard input (a pipe): the way to end a watch early. A reading thread
// sees the end of the pipe; Wine cannot peek into a pipe from Linux.
std::atomic<bool> g_inputClosed{false};

void WatchStandardInput()
{
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (::GetFileType(input) != FILE_TYPE_PIPE)
        return;
    std::thread([input] {
        char byte = 0;
        DWORD read = 0;
        while (::ReadFile(input, &byte, 1, &read, nullptr) && read > 0) {
        }
        g_inputClosed = true;
    }).detach();
}

int PrintModules(HWND window, int count, wchar_t** names)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 1;
    std::vector<std::wstring> paths(static_cast<size_t>(count), L"-");
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Module32FirstW(snapshot, &entry); more; more = ::Module32NextW(snapshot, &entry)) {
        for (int i = 0; i < count; ++i) {
            if (::_wcsicmp(entry.szModule, names[i]) == 0)
                paths[static_cast<size_t>(i)] = entry.szExePath;
        }
    }
    ::CloseHandle(snapshot);
    for (const std::wstring& path : paths)
        PrintUtf8(path);
    return 0;
}

int CountWindows(const wchar_t* className, const wchar_t* title)
{
    TWindowCount count{className, title, 0};
    ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&count));
    return count.Count;
}

// Ends the process that owns the window, the way a crash or the task
// manager would: no message reaches the program.
int KillWindowProcess(HWND window)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = processId ? ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId) : nullptr;
    if (!process)
        return 1;
    const bool ended = ::TerminateProcess(process, 1) && ::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended ? 0 : 1;
}

// A plain window of the probe's own, in front of everything, for the tests
// that need the program's window to be behind another one.
// As another program reading a file would: a virus scanner, an indexer, a
// sync client or an editor.
int HoldFile(const wchar_t* path, std::wstring_view share, DWORD milliseconds)
{
    DWORD mode = 0;
    for (const wchar_t letter : share)
        mode |= letter == L'r'   ? FILE_SHARE_READ
                : letter == L'w' ? FILE_SHARE_WRITE
                : letter == L'd' ? FILE_SHARE_DELETE
                                 : 0;
    const HANDLE file = ::CreateFileW(path, GENERIC_READ, mode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    WatchStandardInput();
    std::puts("held");
    std::fflush(stdout);
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < deadline && !g_inputClosed)
        ::Sleep(20);
    ::CloseHandle(file);
    return 0;
}

int Cover(DWORD milliseconds)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VeskProbeCover";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"VeskProbe cover", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    0, 0, 600, 400, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    ::SetForegroundWindow(window);
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    bool announced = false;
    while (::GetTickCount64() < deadline) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (!announced && ::GetForegroundWindow() == window) {
            std::puts("shown");
            std::fflush(stdout);
            announced = true;
        }
        ::Sleep(10);
    }
    ::DestroyWindow(window);
    return 0;
}

// The test pattern of the eye dropper tests: every pixel's color follows
// from its place, so a test can compute what a pick must give. The same
// formula is in tests/e2e/test_dropper.py.
COLORREF PatternColor(int x, int y)
{
    return RGB((x * 37 + y * 91) % 256, (x * 13 + y * 5) % 256, (x * 3 + y * 71) % 256);
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(window, &paint);
        RECT client{};
        ::GetClientRect(window, &client);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(client.right * client.bottom));
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) {
                const COLORREF c = PatternColor(x, y);
                pixels[static_cast<std::size_t>(y * client.right + x)] =
                    (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8)
                    | GetBValue(c);
            }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(client.right), static_cast<DWORD>(client.bottom), 0, 0, 0,
                            static_cast<UINT>(client.bottom), pixels.data(), &info, DIB_RGB_COLORS);
        ::EndPaint(window, &paint);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Shows the pattern in a borderless window at left, top, size x size, for
// the given time.
int Pattern(int left, int top, int size, DWORD milliseconds)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PatternProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VeskProbePattern";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"VeskProbe pattern",
                                    WS_POPUP | WS_VISIBLE, left, top, size, size, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    ::UpdateWindow(window);
    std::puts("shown");
    std::fflush(stdout);
    WatchStandardInput();
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < deadline && !g_inputClosed) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
    ::DestroyWindow(window);
    return 0;
}

// Moves a scroll bar through the positions, then reports when the clipboard
// changed, measured from the last move. The clipboard is never opened here,
// so the watch cannot make the program's own clipboard access fail.
int ScrollBurst(HWND control, DWORD gapMs, DWORD watchMs, int count, wchar_t** positions)
{
    DWORD sequence = ::GetClipboardSequenceNumber();
    long long changes[64]{};
    int changeCount = 0;
    const auto watchUntil = [&](ULONGLONG until, ULONGLONG origin) {
        do {
            const DWORD now = ::GetClipboardSequenceNumber();
            if (now != sequence) {
                sequence = now;
                if (changeCount < 64)
                    changes[changeCount++] =
                        static_cast<long long>(::GetTickCount64()) - static_cast<long long>(origin);
            }
            ::Sleep(5);
        } while (::GetTickCount64() < until);
    };

    // Times during the burst are taken against its start and shifted below.
    const ULONGLONG burstStart = ::GetTickCount64();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            watchUntil(::GetTickCount64() + gapMs, burstStart);
        ::SendMessageW(control, SBM_SETPOS, static_cast<WPARAM>(std::wcstol(positions[i], nullptr, 10)), TRUE);
    }
    const ULONGLONG lastMove = ::GetTickCount64();
    const int duringBurst = changeCount;
    for (int i = 0; i < duringBurst; ++i)
        changes[i] -= static_cast<long long>(lastMove - burstStart);
    watchUntil(lastMove + watchMs, lastMove);
    for (int i = 0; i < changeCount; ++i)
        std::printf("%lld\n", changes[i]);
    std::fflush(stdout);
    return 0;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<MONITORINFO>*>(data)->push_back(info);
    return TRUE;
}

int PrintMonitors()
{
    std::vector<MONITORINFO> monitors;
    if (!::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors)) || monitors.empty())
        return 1;
    std::stable_partition(monitors.begin(), monitors.end(),
                          [](const MONITORINFO& info) { return (info.dwFlags & MONITORINFOF_PRIMARY) != 0; });
    for (const MONITORINFO& info : monitors) {
        const RECT& m = info.rcMonitor;
        const RECT& w = info.rcWork;
        std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", m.left, m.top, m.right, m.bottom, w.left, w.top, w.right,
                    w.bottom);
    }
    std::fflush(stdout);
    return 0;
}

// A picture of 32-bit pixels, 0x00RRGGBB, top row first.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Bits;

    std::uint32_t At(int x, int y) const
    {
        return Bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
    }
};

// Copies a rectangle of a drawing context (the screen, or a memory picture)
// into plain pixels.
TPixels CopyPixels(HDC source, int left, int top, int width, int height)
{
    TPixels pixels{width, height,
                   std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(nullptr);
    if (bitmap && bits && memory) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
        ::GdiFlush();
        const auto* row = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels.Bits.size(); ++i)
            pixels.Bits[i] = row[i] & 0xFFFFFFu;
        ::SelectObject(memory, old);
    }
    if (memory)
        ::DeleteDC(memory);
    if (bitmap)
        ::DeleteObject(bitmap);
    return pixels;
}

int CALLBACK NoteFontFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontInstalled(HDC screen, const wchar_t* face)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(wanted.lfFaceName, face);
    bool found = false;
    ::EnumFontFamiliesExW(screen, &wanted, NoteFontFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The font the zoom window writes its values in, chosen as the program
// chooses it: MS Sans Serif, else Microsoft Sans Serif, else the face of the
// system's dialog font; 11 pixels high at 96 DPI.
HFONT ZoomWindowFont(HDC screen)
{
    LOGFONTW font{};
    if (FontInstalled(screen, L"MS Sans Serif"))
        std::wcscpy(font.lfFaceName, L"MS Sans Serif");
    else if (FontInstalled(screen, L"Microsoft Sans Serif"))
        std::wcscpy(font.lfFaceName, L"Microsoft Sans Serif");
    else if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) != sizeof font)
        std::wcscpy(font.lfFaceName, L"MS Shell Dlg");
    return ::CreateFontW(-::MulDiv(11, ::GetDeviceCaps(screen, LOGPIXELSY), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                         FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, font.lfFaceName);
}

// Whether the screen picture shows TEXT, drawn in FONT, as a line of its own:
// somewhere every pixel a glyph covers has one color, every other pixel of
// the text's box has another, and a margin of three columns at either side
// holds no pixel of the first color. The margins keep "Monitor = [5" from
// matching inside "Monitor = [500, 400]"; they may reach a panel's border.
bool ShowsText(const TPixels& screen, HFONT font, const std::wstring& text)
{
    constexpr int Margin = 3;
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = ::SelectObject(memory, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(memory, text.c_str(), static_cast<int>(text.size()), &extent);
    const int width = extent.cx + 2 * Margin;
    const int height = extent.cy;
    HBITMAP bitmap = ::CreateBitmap(width, height, 1, 32, nullptr);
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    const RECT all{0, 0, width, height};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(memory, TRANSPARENT);
    ::SetTextColor(memory, RGB(0, 0, 0));
    ::TextOutW(memory, Margin, 0, text.c_str(), static_cast<int>(text.size()));
    const TPixels glyphs = CopyPixels(memory, 0, 0, width, height);
    ::SelectObject(memory, oldBitmap);
    ::SelectObject(memory, oldFont);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);

    std::vector<bool> ink(glyphs.Bits.size());
    std::size_t firstInk = ink.size();
    for (std::size_t i = 0; i < ink.size(); ++i) {
        ink[i] = glyphs.Bits[i] != 0xFFFFFFu;
        if (ink[i] && firstInk == ink.size())
            firstInk = i;
    }
    if (firstInk == ink.size())
        return false; // nothing drawn: no text to look for
    for (int top = 0; top + height <= screen.Height; ++top) {
        for (int left = 0; left + width <= screen.Width; ++left) {
            const auto at = [&](int x, int y) { return screen.At(left + x, top + y); };
            const auto inkAt = [&](int x, int y) { return ink[static_cast<std::size_t>(y * width + x)]; };
            const std::uint32_t inkColor = at(static_cast<int>(firstInk) % width, static_cast<int>(firstInk) / width);
            const std::uint32_t background = at(Margin, 0); // the box's top-left corner: no glyph reaches it
            if (inkColor == background)
                continue;
            bool same = true;
            for (int y = 0; y < height && same; ++y)
                for (int x = 0; x < width && same; ++x) {
                    const bool margin = x < Margin || x >= width - Margin;
                    same = margin ? at(x, y) != inkColor : at(x, y) == (inkAt(x, y) ? inkColor : background);
                }
            if (same)
                return true;
        }
    }
    return false;
}

int FindText(HWND window, int count, wchar_t** texts)
{
    RECT rect{};
    if (!::GetWindowRect(window, &rect))
        return 1;
    HDC screen = ::GetDC(nullptr);
    const TPixels shown = CopyPixels(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    HFONT font = ZoomWindowFont(screen);
    ::ReleaseDC(nullptr, screen);
    for (int i = 0; i < count; ++i)
        std::printf("%d\n", ShowsText(shown, font, texts[i]) ? 1 : 0);
    ::DeleteObject(font);
    std::fflush(stdout);
    return 0;
}

int ClipboardCommand(const std::wstring& command, int argc, wchar_t** argv)
{
    if (command == L"getclip") {
        for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt)
            ::Sleep(50);
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        std::wstring text;
        if (data) {
            if (const auto* locked = static_cast<const wchar_t*>(::GlobalLock(data))) {
                text = locked;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
        if (!data)
            return 1;
        PrintUtf8(text);
        return 0;
    }
    if (command == L"getclipbitmap") {
        // The size of the bitmap on the clipboard, and the color of its
        // middle pixel as 0xRRGGBB.
        for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt)
            ::Sleep(50);
        HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
        BITMAP info{};
        COLORREF middle = CLR_INVALID;
        if (bitmap && ::GetObjectW(bitmap, sizeof info, &info)) {
            HDC dc = ::CreateCompatibleDC(nullptr);
            HGDIOBJ old = ::SelectObject(dc, bitmap);
            middle = ::GetPixel(dc, info.bmWidth / 2, info.bmHeight / 2);
            ::SelectObject(dc, old);
            ::DeleteDC(dc);
        }
        ::CloseClipboard();
        if (!bitmap)
            return 1;
        std::printf("%ld %ld %02x%02x%02x\n", info.bmWidth, info.bmHeight, GetRValue(middle), GetGValue(middle),
                    GetBValue(middle));
        return 0;
    }
    if (command == L"setclip" && argc > 2) {
        const std::wstring text = argv[2];
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (!memory)
            return 1;
        std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        ::GlobalUnlock(memory);
        for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt)
            ::Sleep(50);
        ::EmptyClipboard();
        const bool done = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        ::CloseClipboard();
        return done ? 0 : 1;
    }
    if (command == L"clipformats") {
        for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt)
            ::Sleep(50);
        for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
            wchar_t name[256] = {};
            std::wstring line = ::GetClipboardFormatNameW(format, name, static_cast<int>(std::size(name))) > 0
                                    ? std::wstring(name)
                                    : std::to_wstring(format);
            // Registered formats only: asking for a standard one would make
            // the system synthesize it.
            HANDLE data = format >= 0xC000 ? ::GetClipboardData(format) : nullptr;
            if (data && ::GlobalSize(data) == sizeof(DWORD)) {
                if (const auto* value = static_cast<const DWORD*>(::GlobalLock(data))) {
                    line += L" =" + std::to_wstring(*value);
                    ::GlobalUnlock(data);
                }
            }
            PrintUtf8(line);
        }
        ::CloseClipboard();
        return 0;
    }
    if (command == L"holdclip" && argc > 2) {
        // Held until standard input closes (the test is done) or MS
        // milliseconds have passed, whichever comes first, so a slow
        // machine cannot end the hold in the middle of a test.
        if (!::OpenClipboard(nullptr))
            return 1;
        WatchStandardInput();
        std::puts("held");
        std::fflush(stdout);
        const ULONGLONG deadline = ::GetTickCount64() + std::wcstoul(argv[2], nullptr, 10);
        while (::GetTickCount64() < deadline && !g_inputClosed)
            ::Sleep(20);
        ::CloseClipboard();
        return 0;
    }
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::wstring command = argv[1];
    // Texts go out byte for byte: a CR LF inside a text must not become
    // CR CR LF.
    ::_setmode(::_fileno(stdout), _O_BINARY);

    if (command == L"getclip" || command == L"getclipbitmap" || command == L"setclip" || command == L"holdclip"
        || command == L"clipformats")
        return ClipboardCommand(command, argc, argv);
    if (command == L"holdfile" && argc > 4)
        return HoldFile(argv[2], argv[3], static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)));
    if (command == L"cover" && argc > 2)
        return Cover(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    if (command == L"pattern" && argc > 5)
        return Pattern(static_cast<int>(std::wcstol(argv[2], nullptr, 10)),
                       static_cast<int>(std::wcstol(argv[3], nullptr, 10)),
                       static_cast<int>(std::wcstol(argv[4], nullptr, 10)),
                       static_cast<DWORD>(std::wcstoul(argv[5], nullptr, 10)));
    if (command == L"cursor") {
        POINT point{};
        ::GetCursorPos(&point);
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    if (command == L"clip") {
        RECT clip{};
        if (!::GetClipCursor(&clip))
            return 1;
        std::printf("%ld %ld %ld %ld\n", clip.left, clip.top, clip.right, clip.bottom);
        return 0;
    }
    if (command == L"monitors")
        return PrintMonitors();
    if (command == L"bpp") {
        HDC screen = ::GetDC(nullptr);
        std::printf("%d\n", ::GetDeviceCaps(screen, BITSPIXEL));
        ::ReleaseDC(nullptr, screen);
        return 0;
    }
    if (command == L"box" && argc > 2) {
        const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 10000;
        HWND box = FindMessageBox(argv[2], timeout);
        if (!box)
            return 1;
        PrintUtf8(MessageBoxText(box));
        return 0;
    }
    if (command == L"press" && argc > 3) {
        HWND box = FindMessageBox(argv[2], 5000);
        if (!box)
            return 1;
        const int button = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
        if (!::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0))
            return 1;
        // Returns once the box is gone, so that the next "box" finds the
        // program's next box and not this one.
        const ULONGLONG deadline = ::GetTickCount64() + 5000;
        while (::IsWindow(box)) {
            if (::GetTickCount64() >= deadline)
                return 1;
            ::Sleep(20);
        }
        return 0;
    }

    if (argc < 4)
        return 2;
    const wchar_t* className = argv[2];
    // "*" stands for any title (a window whose title is translated).
    const wchar_t* title = std::wcscmp(argv[3], L"*") == 0 ? nullptr : argv[3];

    if (command == L"wait") {
        const DWORD timeout = argc > 4 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 10000;
        HWND window = WaitForWindow(className, title, timeout);
        if (!window)
            return 1;
        std::printf("%p\n", static_cast<void*>(window));
        return 0;
    }
    if (command == L"gone") {
        const DWORD timeout = argc > 4 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 10000;
        const ULONGLONG deadline = ::GetTickCount64() + timeout;
        while (::FindWindowW(className, title)) {
            if (::GetTickCount64() >= deadline)
                return 1;
            ::Sleep(50);
        }
        return 0;
    }

    if (command == L"closeall") {
        TWindowCount count{className, title, 0, true};
        ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count.Count);
        return 0;
    }

    if (command == L"count") {
        int largest = CountWindows(className, title);
        if (argc > 4) {
            WatchStandardInput();
            std::puts("watching");
            std::fflush(stdout);
            const ULONGLONG deadline = ::GetTickCount64() + std::wcstoul(argv[4], nullptr, 10);
            while (::GetTickCount64() < deadline && !g_inputClosed) {
                ::Sleep(20);
                const int now = CountWindows(className, title);
                largest = now > largest ? now : largest;
            }
        }
        std::printf("%d\n", largest);
        return 0;
    }

    HWND window = ::FindWindowW(className, title);
    if (!window) {
        std::puts("no window");
        return 1;
    }

    if (command == L"close")
        return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"kill")
        return KillWindowProcess(window);
    if (command == L"foreground")
        return ::SetForegroundWindow(window) ? 0 : 1;
    if (command == L"findtext" && argc > 4)
        return FindText(window, argc - 4, argv + 4);
    if (command == L"text") {
        PrintUtf8(WindowText(window));
        return 0;
    }
    if (command == L"modules" && argc > 4)
        return PrintModules(window, argc - 4, argv + 4);
    if (command == L"client") {
        RECT client{};
        ::GetClientRect(window, &client);
        std::printf("%ld %ld\n", client.right, client.bottom);
        return 0;
    }
    if (command == L"rect") {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == L"state") {
        const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
        std::printf("%d %d %d %d\n", ::IsIconic(window) ? 1 : 0, ::IsWindowVisible(window) ? 1 : 0,
                    ::GetForegroundWindow() == window ? 1 : 0, (exStyle & WS_EX_TOPMOST) ? 1 : 0);
        return 0;
    }
    if (command == L"endsession") {
        // What Windows sends at a log-off before it ends the process.
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &result);
        if (!result)
            return 1;
        return ::SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &result) ? 0
                                                                                                                 : 1;
    }
    if (command == L"hotkey")
        return ::PostMessageW(window, WM_HOTKEY, 10, MAKELPARAM(MOD_ALT | MOD_SHIFT, 'D')) ? 0 : 1;
    if (command == L"key" && argc > 4) {
        // A key pressed and released in the window, as the keyboard would.
        const auto key = static_cast<WPARAM>(std::wcstoul(argv[4], nullptr, 0));
        ::PostMessageW(window, WM_KEYDOWN, key, 1);
        return ::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001)) ? 0 : 1;
    }
    if (command == L"minimize")
        return ::PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 1;

    if (argc < 5)
        return 2;
    const int id = IdOf(argv[4]);
    if (id == 0)
        return 2;

    if (command == L"command") {
        // Sent rather than posted, so the next probe sees the command's
        // effect. A command that opens a modal box is still running when the
        // wait ends; that is no failure.
        // Wine does not always say ERROR_TIMEOUT when the wait ran out, so
        // the clock decides: a busy machine can keep the program from
        // answering for seconds. Anything else is printed for the test's
        // message.
        DWORD_PTR result = 0;
        constexpr DWORD Wait = 5000;
        const ULONGLONG start = ::GetTickCount64();
        if (::SendMessageTimeoutW(window, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, Wait, &result))
            return 0;
        const DWORD error = ::GetLastError();
        const ULONGLONG waited = ::GetTickCount64() - start;
        if (error == ERROR_TIMEOUT || waited + 100 >= Wait)
            return 0;
        std::printf("error %lu after %llu ms, window %s\n", error, waited, ::IsWindow(window) ? "there" : "gone");
        return 1;
    }
    if (command == L"heldcommand" && argc > 5) {
        // The command goes from a thread of its own, so this one can hold
        // the clipboard and let it go while the program is still trying.
        if (!::OpenClipboard(nullptr))
            return 1;
        std::atomic<ULONGLONG> handledAfter{0};
        std::atomic<bool> answered{false};
        const ULONGLONG start = ::GetTickCount64();
        std::thread sender([&] {
            DWORD_PTR result = 0;
            answered =
                ::SendMessageTimeoutW(window, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, 30000, &result) != 0;
            handledAfter = ::GetTickCount64() - start;
        });
        const ULONGLONG deadline = start + std::wcstoul(argv[5], nullptr, 10);
        while (::GetTickCount64() < deadline)
            ::Sleep(5);
        ::CloseClipboard();
        sender.join();
        std::printf("%llu\n", handledAfter.load());
        return answered ? 0 : 1;
    }
    if (command == L"menu") {
        HMENU menu = ::GetMenu(window);
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1))
            return 1;
        std::printf("%d %d\n", (state & MF_CHECKED) ? 1 : 0, (state & (MF_DISABLED | MF_GRAYED)) ? 0 : 1);
        return 0;
    }

    HWND control = ::GetDlgItem(window, id);
    if (!control)
        return 1;
    if (command == L"control") {
        PrintUtf8(WindowText(control));
        return 0;
    }
    if (command == L"click") {
        // A left click in the middle of the control, as the mouse gives it.
        RECT rect{};
        ::GetClientRect(control, &rect);
        const LPARAM middle = MAKELPARAM(rect.right / 2, rect.bottom / 2);
        ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        return ::PostMessageW(control, WM_LBUTTONUP, 0, middle) ? 0 : 1;
    }
    if (command == L"visible") {
        std::printf("%d\n", ::IsWindowVisible(control) ? 1 : 0);
        return 0;
    }
    if (command == L"scroll") {
        std::printf("%d\n", static_cast<int>(::SendMessageW(control, SBM_GETPOS, 0, 0)));
        return 0;
    }
    if (command == L"setscroll" && argc > 5) {
        ::SendMessageW(control, SBM_SETPOS, static_cast<WPARAM>(std::wcstol(argv[5], nullptr, 10)), TRUE);
        return 0;
    }
    if (command == L"scrollburst" && argc > 7)
        return ScrollBurst(control, static_cast<DWORD>(std::wcstoul(argv[5], nullptr, 10)),
                           static_cast<DWORD>(std::wcstoul(argv[6], nullptr, 10)), argc - 7, argv + 7);
    if (command == L"settext" && argc > 5) {
        ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[5]));
        return 0;
    }
    return 2;
}
