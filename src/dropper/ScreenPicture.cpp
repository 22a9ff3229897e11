#include "dropper/ScreenPicture.h"

#include "common/Trace.h"

#include <stdexcept>

RECT VirtualDesktopRect() noexcept
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

TScreenPicture::TScreenPicture(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_dc.reset(::CreateCompatibleDC(nullptr));
    if (!m_bitmap || !bits || !m_dc)
        throw std::runtime_error("Unable to create the desktop picture");
    m_dcOld = ::SelectObject(m_dc.get(), m_bitmap.get());
    m_view = {static_cast<const std::uint8_t*>(bits), width, height, static_cast<std::ptrdiff_t>(width) * 4};

    TracePoint("desktop picture made");
}

TScreenPicture::~TScreenPicture()
{
    if (m_dc && m_dcOld)
        ::SelectObject(m_dc.get(), m_dcOld);
}

void TScreenPicture::CopyScreen(const RECT& desktop)
{
    HWND desktopWindow = ::GetDesktopWindow();
    WindowDc screen(desktopWindow);
    if (!screen)
        throw std::runtime_error("Unable to read the screen");
    TracePoint("screen DC taken");
    // The clip box of the desktop's drawing context is the screen inside it.
    RECT source{};
    if (::GetClipBox(screen.get(), &source) == ERROR || ::IsRectEmpty(&source))
        source = desktop;
    // CAPTUREBLT takes layered windows (shadows, tool tips) along.
    ::StretchBlt(m_dc.get(), 0, 0, m_view.Width, m_view.Height, screen.get(), source.left, source.top,
                 source.right - source.left, source.bottom - source.top, SRCCOPY | CAPTUREBLT);
    TracePoint("desktop copied");
    ::GdiFlush(); // the rules read the bits directly
}

void FitToDesktop(std::shared_ptr<TScreenPicture>& picture, const RECT& desktop)
{
    const int width = desktop.right - desktop.left;
    const int height = desktop.bottom - desktop.top;
    if (picture && picture->Width() == width && picture->Height() == height)
        return;
    picture.reset();
    picture = std::make_shared<TScreenPicture>(width, height);
}
