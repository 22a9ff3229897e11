#pragma once

#include "ui/PaintedControl.h"

#include <functional>

// The switch between the two color boxes: a left and a right arrow button
// side by side. Both do the same thing, so both fire OnClick. It stands where
// an up-down control used to, and still answers UDM_GETPOS32, UDM_SETPOS32,
// UDM_GETRANGE32 and UDM_SETRANGE32 with a range of 0..10000 and the
// position 5000, which nothing else reads or changes. Assistive technology
// sees one push button named by the window text.
class TColorSwitch final : public TPaintedControl {
public:
    static constexpr const wchar_t* ClassName = L"VeskColorSwitch";

    TColorSwitch(HWND parent, int controlId, const TChildPlace& place = {});
    ~TColorSwitch() override;

    std::function<void()> OnClick;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LONG AccessibleRole() const noexcept override { return ROLE_SYSTEM_PUSHBUTTON; }
    DWORD AccessibleExtraState() const noexcept override;
    bool HasAccessibleDefaultAction() const noexcept override { return true; }
    void AccessibleDefaultActionRun() override { Click(); }

private:
    enum class TPart { None, Left, Right };

    void Buttons(RECT& left, RECT& right) const noexcept;
    TPart HitTest(POINT point) const noexcept;

    void Paint(HDC dc, const RECT& client) const override;
    void WMLButtonDown(POINT point);
    void WMMouseMove(POINT point);
    void WMLButtonUp(POINT point);
    void WMMouseLeave();
    void WMKeyDown(WPARAM key);
    void WMKeyUp(WPARAM key);
    LRESULT UDMSetPos32(int position) noexcept;
    LRESULT UDMGetRange32(int* low, int* high) const noexcept;

    void SetHot(TPart part);
    void CancelPress();
    void Click();

    TPart m_hot = TPart::None;
    TPart m_pressed = TPart::None; // the button the left mouse button went down on
    bool m_spaceDown = false;
    bool m_trackingLeave = false;

    int m_low = 0;
    int m_high = 10000;
    int m_position = 5000;
};
