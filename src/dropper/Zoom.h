#pragma once

// The zoom window of a dropper run: the sampled color, the magnified
// neighbourhood of the pointer and the values, beside the pointer. It draws
// itself through a back buffer, so the update on every pointer move shows
// no flicker; what it shows is written by the snapshot window.

#include "common/Win32.h"
#include "dropper/DropperInput.h"
#include "dropper/DropperSettings.h"
#include "dropper/PixelBuffer.h"
#include "ui/Accessible.h"
#include "ui/Window.h"

#include <array>

// A zoom window leaves its zoom picture and back buffer to the next run's,
// which takes them when it needs the same sizes; this lets them go.
void ReleaseKeptZoomPictures() noexcept;

// What the zoom window hands on to the run it belongs to.
class TZoomEvents {
public:
    virtual ~TZoomEvents() = default;
    virtual void ZoomKey(TZoomKeyAction action, unsigned virtualKey, bool shift) = 0;
    virtual void ZoomWheel(bool up, TShiftState shift) = 0;
    virtual void ZoomMouseMove() = 0;
    virtual void ZoomClosed() = 0;

protected:
    TZoomEvents() = default;
    TZoomEvents(const TZoomEvents&) = default;
    TZoomEvents& operator=(const TZoomEvents&) = default;
};

// To a screen reader the window is one object whose name is what its values
// panel shows, read again once the pointer rests.
class TFormZoom final : public Window, private IAccessibleSource {
public:
    static constexpr const wchar_t* ClassName = L"TFormZoom";

    // owner: the snapshot window, which the zoom window stays above.
    TFormZoom(HWND owner, TZoomEvents& events, UINT dpi);
    ~TFormZoom() override;

    void SetCaption(TZoomLabel label, std::string_view caption);
    void SetSampleColor(TColor color) noexcept { m_sampleColor = color; }
    // A new, black zoom picture of side x side; the window and its region
    // follow its size.
    void ResizeZoomPicture(int side);
    // Lays the window out for a monitor of dpi: the fixed parts and the font
    // scale with it, the zoom picture does not.
    void SetDpi(UINT dpi);
    TZoomPictureView ZoomPicture() const noexcept { return m_view; }
    HBITMAP ZoomBitmap() const noexcept { return m_picture.get(); }
    TWindowSize Size() const noexcept { return {m_width, m_height}; }
    void MoveTo(int left, int top);
    // Paints what was written since the last call, at once.
    void Repaint();
    // A color was added to the recent colors: the color box flashes and
    // shows how many this run has added.
    void ConfirmAdded(int count);
    // Makes both windows topmost and the zoom window the foreground window.
    void FormActivate();

    const wchar_t* Caption(TZoomLabel label) const noexcept { return m_captions[label].data(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Scale(int pixels) const noexcept;
    void MakeFont();
    void Layout();
    void UpdateVisibleFormRegion();
    void Paint(HDC target);
    void MouseWheel(WPARAM wParam);
    void PaintAddedCount(HDC dc, const RECT& colorBox);

    static constexpr UINT_PTR FlashTimer = 1;
    static constexpr UINT FlashInterval = 150;
    // How long the pointer rests before a screen reader hears the values.
    static constexpr UINT_PTR RestTimer = 2;
    static constexpr UINT RestInterval = 500;

    // IAccessibleSource
    HWND AccessibleWindow() const noexcept override { return Handle(); }
    LONG AccessibleRole() const noexcept override { return ROLE_SYSTEM_CLIENT; }
    std::wstring AccessibleName() const override;
    std::wstring AccessibleValue() const override { return {}; }
    HRESULT PutAccessibleValue(const std::wstring&) override { return DISP_E_MEMBERNOTFOUND; }
    std::wstring AccessibleDescription() const override { return {}; }
    DWORD AccessibleExtraState() const noexcept override { return STATE_SYSTEM_READONLY; }
    std::wstring AccessibleDefaultAction() const override { return {}; }
    void RequestAccessibleDefaultAction() override {}
    void HandleDestroyed() override;

    TAccessibleObject* m_accessible = nullptr; // one reference is ours

    HWND m_owner;
    TZoomEvents& m_events;
    UINT m_dpi;
    int m_width = 0;
    int m_height = 0;
    int m_left = INT_MIN;
    int m_top = INT_MIN;
    int m_wheelDelta = 0;
    TColor m_sampleColor = 0;
    int m_addedCount = 0;
    bool m_flash = false;
    std::array<wchar_t, 16> m_addedText{};
    std::array<std::array<wchar_t, 96>, zlMouseSpeed + 1> m_captions{};
    UniqueFont m_font;
    // The zoom picture: a 24-bit top-down DIB section whose bits the rules
    // draw into directly.
    UniqueBitmap m_picture;
    TZoomPictureView m_view;
    UniqueMemoryDc m_pictureDc;
    HGDIOBJ m_pictureDcOld = nullptr;
    // The back buffer, the size of the window.
    UniqueMemoryDc m_bufferDc;
    UniqueBitmap m_buffer;
    HGDIOBJ m_bufferDcOld = nullptr;
    HRGN FVisibleFormRegion = nullptr; // owned by the system once applied
    int m_regionSide = 0;              // the zoom picture's side it was made for
};
