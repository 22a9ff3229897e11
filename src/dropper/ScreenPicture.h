#pragma once

// The frozen desktop of a dropper run: a 32-bit top-down DIB section of the
// virtual desktop's size, filled by one copy of the screen at the run's
// start. Every sample and zoom of the run reads this picture, never the
// screen.

#include "common/Win32.h"
#include "dropper/PixelBuffer.h"

#include <memory>

// The bounding rectangle of all monitors, in screen coordinates.
RECT VirtualDesktopRect() noexcept;

class TScreenPicture {
public:
    // Makes the picture, still empty.
    TScreenPicture(int width, int height);
    ~TScreenPicture();
    TScreenPicture(const TScreenPicture&) = delete;
    TScreenPicture& operator=(const TScreenPicture&) = delete;

    // Copies the screen once onto the whole picture; `desktop` is the
    // virtual desktop in screen coordinates.
    void CopyScreen(const RECT& desktop);

    int Width() const noexcept { return m_view.Width; }
    int Height() const noexcept { return m_view.Height; }
    HDC Dc() const noexcept { return m_dc.get(); }
    TDesktopPictureView View() const noexcept { return m_view; }

private:
    UniqueBitmap m_bitmap;
    UniqueMemoryDc m_dc;
    HGDIOBJ m_dcOld = nullptr;
    TDesktopPictureView m_view;
};

// Makes `picture` one of the desktop's size: kept when it is one already,
// else replaced by a new one, still empty (the old one let go first).
void FitToDesktop(std::shared_ptr<TScreenPicture>& picture, const RECT& desktop);
