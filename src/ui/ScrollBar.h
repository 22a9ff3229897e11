#pragma once

#include "ui/PaintedControl.h"

#include <functional>
#include <string>

// A horizontal scroll bar drawn in the program's look. Its thumb is a
// position marker of fixed size, not a page proportion. Besides the C++
// interface it answers SBM_GETPOS, SBM_SETPOS, SBM_GETRANGE, SBM_SETRANGE and
// SBM_GETSCROLLINFO, so other programs can read and set it like a system
// scroll bar. Assistive technology sees a slider named by the window text,
// whose value is the position and can be set.
class TScrollBar final : public TPaintedControl {
public:
    static constexpr const wchar_t* ClassName = L"VeskScrollBar";

    TScrollBar(HWND parent, int controlId, const TChildPlace& place = {});
    ~TScrollBar() override;

    int Min() const noexcept { return m_min; }
    int Max() const noexcept { return m_max; }
    int Position() const noexcept { return m_position; }

    // A position above the new maximum is cut to it, which is a change.
    void SetMax(int max);
    // Clamped to Min()..Max(); OnChange runs before this returns whenever
    // the position changes, and not at all when it stays.
    void SetPosition(int position);
    void SetSmallChange(int change) noexcept { m_smallChange = change; }
    void SetLargeChange(int change) noexcept { m_largeChange = change; }

    std::function<void()> OnChange;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LONG AccessibleRole() const noexcept override { return ROLE_SYSTEM_SLIDER; }
    std::wstring AccessibleValue() const override { return std::to_wstring(m_position); }
    HRESULT PutAccessibleValue(const std::wstring& value) override;

private:
    enum class TPart { None, LeftArrow, LeftTrack, Thumb, RightTrack, RightArrow };

    struct TLayout {
        RECT leftArrow;
        RECT rightArrow;
        RECT track;
        RECT thumb;
        int travel; // pixels the thumb's left edge can move
    };

    TLayout Layout() const noexcept;
    TPart HitTest(POINT point) const noexcept;
    int PositionFromThumbOffset(int offset, int travel) const noexcept;
    void SetRange(int min, int max);
    void Step(TPart part);

    void Paint(HDC dc, const RECT& client) const override;
    void WMLButtonDown(POINT point);
    void WMMouseMove(POINT point);
    void WMLButtonUp();
    void WMMouseLeave();
    void WMCaptureChanged();
    void WMTimer();
    void WMKeyDown(WPARAM key);
    LRESULT SBMGetRange(int* min, int* max) const noexcept;
    LRESULT SBMGetScrollInfo(SCROLLINFO* info) const noexcept;

    void SetHot(TPart part);
    void EndTracking();

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_smallChange = 1;
    int m_largeChange = 10;

    TPart m_hot = TPart::None;
    TPart m_pressed = TPart::None; // the part the button went down on, while held
    POINT m_pointer{};             // last pointer position while the button is held
    int m_grabOffset = 0;          // pointer x minus thumb left at the start of a drag
    bool m_trackingLeave = false;
};
