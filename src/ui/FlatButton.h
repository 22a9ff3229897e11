#pragma once

#include "ui/PaintedControl.h"

#include <functional>
#include <string>

// A flat tool button showing one picture: no frame at rest, a frame and a
// lighter face under the pointer, a darker face while pressed. It clicks on
// a mouse release over it, on Enter, and on Space when the key comes up.
// A mouse click leaves the focus where it was, as tool buttons do.
// Assistive technology sees a push button named by the window text.
class TFlatButton final : public TPaintedControl {
public:
    static constexpr const wchar_t* ClassName = L"VeskFlatButton";

    // `iconResourceName` names an ICO resource of the program; null shows no
    // picture.
    TFlatButton(HWND parent, int controlId, const wchar_t* iconResourceName, const TChildPlace& place = {});
    ~TFlatButton() override;

    // The picture is loaded at the size that fits the DPI (SetDpi): 16 px at
    // 96 DPI.

    std::function<void()> OnClick;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LONG AccessibleRole() const noexcept override { return ROLE_SYSTEM_PUSHBUTTON; }
    DWORD AccessibleExtraState() const noexcept override;
    bool HasAccessibleDefaultAction() const noexcept override { return true; }
    void AccessibleDefaultActionRun() override { Click(); }

private:
    void DpiChanged() override { LoadPicture(); }
    void LoadPicture();
    void Paint(HDC dc, const RECT& client) const override;
    void DrawGreyedPicture(HDC dc, int x, int y) const;
    void WMLButtonDown(POINT point);
    void WMMouseMove(POINT point);
    void WMLButtonUp(POINT point);
    void WMMouseLeave();
    void WMKeyDown(WPARAM key);
    void WMKeyUp(WPARAM key);
    LRESULT WMGetDlgCode(const MSG* message) const noexcept;

    bool IsInside(POINT point) const noexcept;
    void SetHot(bool hot);
    void CancelPress();
    void Click();

    std::wstring m_iconNameText; // keeps a named resource's name alive
    const wchar_t* m_iconName = nullptr;
    int m_iconSize = 0;
    UniqueIcon m_icon;
    // The picture of the disabled button, made from m_icon when first drawn.
    mutable UniqueBitmap m_greyedIcon;

    bool m_hot = false;
    bool m_mouseDown = false; // the left button went down on us and is held
    bool m_spaceDown = false; // Space went down while we had the focus
    bool m_trackingLeave = false;
};
