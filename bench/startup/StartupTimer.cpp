// Measures how long programs take from their start to a window on the
// screen, inside Wine, so the Wine process start itself is part of every
// figure.
//
//   StartupTimer [--linger MS] RUNS EXE CLASS TITLE [EXE CLASS TITLE]...
//
// With several programs the runs alternate (A B A B ...), so a busy moment
// of the machine falls on all of them alike. Prints one line per run: the
// program's number (1, 2, ...), the milliseconds from CreateProcess to the
// window being visible, and to the window answering a message, which it
// does once it has painted and waits in its event loop. Then, after MS
// milliseconds (0 unless given), it closes the window and waits for the
// process to end; the fourth column is the time from the close request to
// that end (the program saves its settings in between).

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct TProgram {
    std::wstring Exe;
    const wchar_t* ClassName;
    const wchar_t* Title;
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool TimeOneStart(const TProgram& program, int number, DWORD linger, const LARGE_INTEGER& frequency)
{
    const std::wstring folder = program.Exe.substr(0, program.Exe.find_last_of(L"\\/") + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program.Exe + L"\"";
    LARGE_INTEGER start{};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(program.Exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    HWND window = nullptr;
    for (;;) {
        window = ::FindWindowW(program.ClassName, program.Title);
        if (window && ::IsWindowVisible(window))
            break;
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            return false; // ended without a window
        ::Sleep(1);
    }
    LARGE_INTEGER shown{};
    ::QueryPerformanceCounter(&shown);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
    LARGE_INTEGER answered{};
    ::QueryPerformanceCounter(&answered);
    ::Sleep(linger);
    LARGE_INTEGER closing{};
    ::QueryPerformanceCounter(&closing);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = ::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    LARGE_INTEGER closed{};
    ::QueryPerformanceCounter(&closed);
    std::printf("%d\t%.1f\t%.1f\t%.1f\n", number, Milliseconds(start, shown, frequency),
                Milliseconds(start, answered, frequency), Milliseconds(closing, closed, frequency));
    std::fflush(stdout);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return ended;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    DWORD linger = 0;
    if (argc > 2 && std::wcscmp(argv[1], L"--linger") == 0) {
        linger = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
        argc -= 2;
        argv += 2;
    }
    if (argc < 5 || (argc - 2) % 3 != 0)
        return 2;
    const int runs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    std::vector<TProgram> programs;
    for (int i = 2; i + 2 < argc; i += 3)
        programs.push_back({argv[i], argv[i + 1], argv[i + 2]});

    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    for (int run = 0; run < runs; ++run)
        for (size_t i = 0; i < programs.size(); ++i)
            if (!TimeOneStart(programs[i], static_cast<int>(i + 1), linger, frequency))
                return 1;
    return 0;
}
