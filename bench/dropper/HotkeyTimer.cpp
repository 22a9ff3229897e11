// Measures, inside Wine, how long the program takes from the global hot key
// to its zoom window on the screen, against the floor of one copy of the
// whole desktop into a DIB section, timed in the same run.
//
//   HotkeyTimer RUNS EXE
//
// Starts EXE, waits for its main window, then for each run: copies the
// desktop once (the floor), posts the hot key message to the main window
// (Wine delivers no X key press to a registered hot key; the message is
// what Windows would send) and waits for the zoom window to be visible,
// then ends the run with Escape and waits for the snapshot window to go.
// Prints a header line with the clock's frequency, then one line a run:
//   <ms to the zoom window> <ms of the copy> <clock at the post> <ms of a copy into a new DIB section>
// The last is what a capture into fresh memory costs: the same copy plus
// making the section and the first touch of each of its pages.
// and last the program's private memory after the first run (which makes
// what the process keeps for good) and after the last one, in KB.
// The clock is QueryPerformanceCounter, which the program's trace (a build
// with VESK_TRACE=ON) reads as well.

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int HotKeyId = 10;
constexpr DWORD TimeoutMs = 30000;

LONGLONG Now()
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(LONGLONG ticks, LONGLONG frequency)
{
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

// Waits until `done` says yes; false after the timeout. Polls every
// millisecond, which costs the measured program next to nothing.
template <class Done>
bool WaitFor(Done done)
{
    const ULONGLONG end = ::GetTickCount64() + TimeoutMs;
    while (!done()) {
        if (::GetTickCount64() > end)
            return false;
        ::Sleep(1);
    }
    return true;
}

// Commit charge; Wine 8 reports it (as Linux's anonymous memory of the
// process) in PagefileUsage only.
SIZE_T PrivateKilobytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return (counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage) / 1024;
}

HWND VisibleWindow(const wchar_t* className)
{
    HWND window = ::FindWindowW(className, nullptr);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// The floor: the virtual desktop copied once into a 32-bit DIB section made
// beforehand, as the program's capture does it.
class TDesktopCopy {
public:
    TDesktopCopy()
        : m_left(::GetSystemMetrics(SM_XVIRTUALSCREEN)), m_top(::GetSystemMetrics(SM_YVIRTUALSCREEN)),
          m_width(::GetSystemMetrics(SM_CXVIRTUALSCREEN)), m_height(::GetSystemMetrics(SM_CYVIRTUALSCREEN))
    {
        m_bitmap = MakeSection();
        m_dc = ::CreateCompatibleDC(nullptr);
        if (m_bitmap && m_dc)
            m_old = ::SelectObject(m_dc, m_bitmap);
    }
    TDesktopCopy(const TDesktopCopy&) = delete;
    TDesktopCopy& operator=(const TDesktopCopy&) = delete;
    ~TDesktopCopy()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
        if (m_dc)
            ::DeleteDC(m_dc);
        if (m_bitmap)
            ::DeleteObject(m_bitmap);
    }
    bool Valid() const { return m_old != nullptr; }

    bool Copy() const { return CopyInto(m_dc); }

    // The same copy into a section made for it, and gone again after it.
    bool CopyIntoNew() const
    {
        HBITMAP bitmap = MakeSection();
        HDC dc = ::CreateCompatibleDC(nullptr);
        bool copied = false;
        if (bitmap && dc) {
            HGDIOBJ old = ::SelectObject(dc, bitmap);
            copied = CopyInto(dc);
            ::SelectObject(dc, old);
        }
        if (dc)
            ::DeleteDC(dc);
        if (bitmap)
            ::DeleteObject(bitmap);
        return copied;
    }

private:
    HBITMAP MakeSection() const
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    bool CopyInto(HDC target) const
    {
        HWND desktop = ::GetDesktopWindow();
        HDC screen = ::GetDC(desktop);
        if (!screen)
            return false;
        const BOOL copied = ::BitBlt(target, 0, 0, m_width, m_height, screen, m_left, m_top, SRCCOPY | CAPTUREBLT);
        ::GdiFlush();
        ::ReleaseDC(desktop, screen);
        return copied != FALSE;
    }

    int m_left, m_top, m_width, m_height;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    const int runs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    const std::wstring exe = argv[2];
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return 1;
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = VisibleWindow(L"TFormMain")) != nullptr; }))
        return 1;
    ::Sleep(500); // the rest of the start-up, off the clock

    const TDesktopCopy floor;
    if (!floor.Valid())
        return 1;
    std::printf("# frequency %lld\n", frequency.QuadPart);
    SIZE_T memoryAfterFirst = 0;
    int status = 0;
    for (int run = 0; run < runs && status == 0; ++run) {
        const LONGLONG copyStart = Now();
        if (!floor.Copy()) {
            status = 1;
            break;
        }
        const LONGLONG copyEnd = Now();
        ::Sleep(100); // the two copies apart, as the runs are
        const LONGLONG newCopyStart = Now();
        if (!floor.CopyIntoNew()) {
            status = 1;
            break;
        }
        const LONGLONG newCopyEnd = Now();
        ::Sleep(100);

        const LONGLONG posted = Now();
        if (!::PostMessageW(main, WM_HOTKEY, HotKeyId, MAKELPARAM(MOD_ALT | MOD_SHIFT, 'D'))) {
            status = 1;
            break;
        }
        HWND zoom = nullptr;
        if (!WaitFor([&] { return (zoom = VisibleWindow(L"TFormZoom")) != nullptr; })) {
            status = 1;
            break;
        }
        const LONGLONG shown = Now();
        std::printf("%.2f %.2f %lld %.2f\n", Milliseconds(shown - posted, frequency.QuadPart),
                    Milliseconds(copyEnd - copyStart, frequency.QuadPart), posted,
                    Milliseconds(newCopyEnd - newCopyStart, frequency.QuadPart));
        std::fflush(stdout);

        ::PostMessageW(zoom, WM_KEYDOWN, VK_ESCAPE, 1);
        if (!WaitFor([] { return ::FindWindowW(L"TFormSnapshot", nullptr) == nullptr; }))
            status = 1;
        ::Sleep(300); // the main window comes back, off the clock
        if (run == 0)
            memoryAfterFirst = PrivateKilobytes(process.hProcess);
    }
    std::printf("# private_kb %zu %zu\n", memoryAfterFirst, PrivateKilobytes(process.hProcess));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, TimeoutMs) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}
