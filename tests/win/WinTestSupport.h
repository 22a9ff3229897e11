#pragma once

// Small helpers of the in-process Windows tests.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace WinTesting {

// GDI objects alive in the process. Wine answers 0 to GetGuiResources but
// takes a GDI handle by its table slot alone, so there they are counted slot
// by slot.
inline DWORD LiveGdiObjects()
{
    if (const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return counted;
    DWORD live = 0;
    for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0)
            ++live;
    return live;
}

inline std::wstring TextOf(HWND window)
{
    wchar_t buffer[1024]{};
    ::GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace WinTesting
