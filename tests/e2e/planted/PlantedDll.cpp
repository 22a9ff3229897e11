// A stand-in for a DLL that someone has put beside the program (in a
// Downloads folder, say) under the name of a system DLL. Loaded into a
// process, it leaves a note beside itself, "<its own path>.loaded". It
// exports nothing: a process that imports functions from it does not start.
// Plain Win32 only, so it needs no DLL of the compiler's to load.

#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    constexpr DWORD Size = 1024;
    wchar_t note[Size] = {};
    const DWORD length = ::GetModuleFileNameW(module, note, Size - 8);
    if (length == 0 || length >= Size - 8)
        return TRUE;
    std::wcscat(note, L".loaded");
    const HANDLE file = ::CreateFileW(note, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return TRUE;
}
