// Measures how long a program takes from its start to a visible window,
// inside Wine, so the Wine process start itself is part of both sides.
//
//   StartupTimer RUNS EXE CLASS TITLE
//
// Prints one line per run: the milliseconds from CreateProcess to the
// window being visible and, after a space, from the close request to the
// end of the process (the program saves its settings in between).

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5)
        return 2;
    const int runs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    std::wstring exe = argv[2];
    const wchar_t* className = argv[3];
    const wchar_t* title = argv[4];
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);

    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    for (int run = 0; run < runs; ++run) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + exe + L"\"";
        LARGE_INTEGER start{};
        ::QueryPerformanceCounter(&start);
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &startup, &process))
            return 1;
        HWND window = nullptr;
        for (;;) {
            window = ::FindWindowW(className, title);
            if (window && ::IsWindowVisible(window))
                break;
            if (::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
                return 1; // ended without a window
            ::Sleep(1);
        }
        LARGE_INTEGER shown{};
        ::QueryPerformanceCounter(&shown);
        const auto milliseconds = [&](const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
            return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
        };
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0)
            return 1; // did not end
        LARGE_INTEGER ended{};
        ::QueryPerformanceCounter(&ended);
        std::printf("%.1f %.1f\n", milliseconds(start, shown), milliseconds(shown, ended));
        std::fflush(stdout);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return 0;
}
