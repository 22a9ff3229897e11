#pragma once

// Small helpers of the in-process Windows tests.

#include "common/Win32.h"
#include "ui/ComApartment.h"
#include "ui/Shell.h"

#include <windows.h>

#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace WinTesting {

// Whether the calling thread is in a single-threaded COM apartment.
inline bool InSingleThreadedApartment()
{
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    return SUCCEEDED(::CoGetApartmentType(&type, &qualifier)) && (type == APTTYPE_STA || type == APTTYPE_MAINSTA);
}

// Stands in for ShellExecuteW while it lives, so no browser or mail program
// starts; notes each target and whether the calling thread was in a single-
// threaded apartment then, as shell extensions need. It ends with COM left
// the way the program leaves it at its end.
class ShellCalls {
public:
    struct Call {
        std::wstring Target;
        bool InApartment;
    };

    ShellCalls()
    {
        Calls().clear();
        SetShellExecuteForTesting(&Record);
    }
    ShellCalls(const ShellCalls&) = delete;
    ShellCalls& operator=(const ShellCalls&) = delete;
    ~ShellCalls()
    {
        SetShellExecuteForTesting(nullptr);
        LeaveComApartment();
    }
    const std::vector<Call>& calls() const { return Calls(); }

private:
    static std::vector<Call>& Calls()
    {
        static std::vector<Call> calls;
        return calls;
    }
    static HINSTANCE WINAPI Record(HWND, LPCWSTR, LPCWSTR target, LPCWSTR, LPCWSTR, INT)
    {
        Calls().push_back({target ? target : L"", InSingleThreadedApartment()});
        return reinterpret_cast<HINSTANCE>(INT_PTR{33}); // above 32: done
    }
};

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

// The client area as the screen shows it, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;
    COLORREF At(int x, int y) const { return data[static_cast<size_t>(y * width + x)]; }
};

inline Pixels Capture(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    Pixels pixels{client.right, client.bottom, {}};
    WindowDc screen(window);
    UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap)
        return pixels;
    {
        SelectedObject select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, pixels.width, pixels.height, screen.get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    const auto* source = static_cast<const DWORD*>(bits);
    for (int i = 0; i < pixels.width * pixels.height; ++i) {
        const DWORD bgra = source[i];
        pixels.data.push_back(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
    }
    return pixels;
}

// A picture for the eye, as a 24-bit BMP; the folder is made when missing.
inline void SavePicture(const Pixels& pixels, const std::filesystem::path& file)
{
    std::filesystem::create_directories(file.parent_path());
    const auto rowBytes = static_cast<DWORD>((pixels.width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(pixels.height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = pixels.width;
    info.biHeight = -pixels.height; // top-down
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string bytes(imageBytes, '\0');
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const COLORREF color = pixels.At(x, y);
            const auto at = static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 3;
            bytes[at] = static_cast<char>(GetBValue(color));
            bytes[at + 1] = static_cast<char>(GetGValue(color));
            bytes[at + 2] = static_cast<char>(GetRValue(color));
        }
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace WinTesting
