#pragma once

#include "ui/PaintedControl.h"

#include <functional>
#include <string>

// The color box: a color inside a one-pixel black border, optionally with
// the sample text "Lorem Ipsum" over it once in black and once in white, so
// the user sees how text reads on the color. Assistive technology sees a
// graphic named by the window text, whose value is the text the owner gives
// (the color's code), and whose default action is the double click's.
class TColorBox final : public TPaintedControl {
public:
    static constexpr const wchar_t* ClassName = L"VeskColorBox";

    TColorBox(HWND parent, int controlId, const TChildPlace& place = {});
    ~TColorBox() override;

    COLORREF Color() const noexcept { return m_color; }
    void SetColor(COLORREF color);

    bool SampleTextVisible() const noexcept { return m_sampleText; }
    void SetSampleTextVisible(bool visible);

    // The sample text's place follows the DPI (SetDpi); its size follows the
    // font (SetFont).

    // The color as words for assistive technology: the code the window
    // shows for it.
    void SetAccessibleValue(std::wstring value);

    std::function<void()> OnDoubleClick;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LONG AccessibleRole() const noexcept override { return ROLE_SYSTEM_GRAPHIC; }
    std::wstring AccessibleValue() const override { return m_valueText; }
    bool HasAccessibleDefaultAction() const noexcept override { return true; }
    void AccessibleDefaultActionRun() override { WMLButtonDblClk(); }

private:
    void Paint(HDC dc, const RECT& client) const override;
    void WMLButtonDblClk();

    COLORREF m_color = RGB(0xFF, 0xFF, 0xFF);
    bool m_sampleText = false;
    std::wstring m_valueText;
};
