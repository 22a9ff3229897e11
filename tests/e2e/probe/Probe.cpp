// VeskProbe: run inside Wine by the end-to-end suite to look at the program
// the way a user sees it, through public Win32 calls only.
//
//   VeskProbe wait  CLASS TITLE [TIMEOUT_MS]   waits for a top-level window, prints its handle
//   VeskProbe close CLASS TITLE                asks the window to close (WM_CLOSE)
//   VeskProbe text  CLASS TITLE                prints the window's title
//
// Exit code 0 on success, 1 when the window is not there, 2 for bad usage.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

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
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

int Usage()
{
    std::fputs("usage: VeskProbe wait|close|text CLASS TITLE [TIMEOUT_MS]\n", stderr);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return Usage();
    const std::wstring command = argv[1];
    const wchar_t* className = argv[2];
    const wchar_t* title = argv[3];

    if (command == L"wait") {
        const DWORD timeout = argc > 4 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 10000;
        HWND window = WaitForWindow(className, title, timeout);
        if (!window)
            return 1;
        std::printf("%p\n", static_cast<void*>(window));
        return 0;
    }

    HWND window = ::FindWindowW(className, title);
    if (!window)
        return 1;
    if (command == L"close")
        return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"text") {
        PrintUtf8(WindowText(window));
        return 0;
    }
    return Usage();
}
