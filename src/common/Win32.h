#pragma once

// The Win32 boundary: UTF-8 <-> UTF-16 conversion and owners for handles.
// Only Windows-layer files include this header.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// A move-only owner of one handle. Traits name the null value and how the
// handle is released, so HANDLEs whose "none" is INVALID_HANDLE_VALUE and GDI
// objects share one implementation.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Null(); }

    Handle release() noexcept { return std::exchange(m_handle, Traits::Null()); }
    void reset(Handle handle = Traits::Null()) noexcept
    {
        Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Null())
            Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Null();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Null() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Null() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Null() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Null() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Null() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteDC(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

// A DC from GetDC, released with ReleaseDC for the same window.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : m_window(window), m_dc(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    HDC get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint/EndPaint as one scope.
class PaintDc {
public:
    explicit PaintDc(HWND window) noexcept : m_window(window) { ::BeginPaint(window, &m_ps); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { ::EndPaint(m_window, &m_ps); }
    HDC get() const noexcept { return m_ps.hdc; }
    const RECT& area() const noexcept { return m_ps.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_ps{};
};

// SelectObject undone at the end of the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        // HGDI_ERROR, spelled without the macro's sign-changing cast.
        const auto gdiError = reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1));
        if (m_old && m_old != gdiError)
            ::SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The DPI of the screen as the process sees it (96 when unknown), and of one
// monitor: its own where Windows keeps one per monitor (8.1 and later, for a
// process aware of each monitor's DPI), else the screen's.
UINT SystemDpi() noexcept;
UINT MonitorDpi(HMONITOR monitor) noexcept;

// The folder of the running executable, with a trailing backslash.
std::wstring ExecutableFolder();
// The user's local application data folder (%LOCALAPPDATA%); empty where the
// system does not say.
std::wstring LocalApplicationDataFolder();

// The first of FACES that is installed, else the face of the dialog font.
// Font mapping would otherwise pick any face with the asked-for pitch, whose
// widths the layout was not made for ("Microsoft Sans Serif" is missing
// under Wine, and its stand-in there is wider).
std::wstring InstalledFontFace(std::initializer_list<const wchar_t*> faces);
