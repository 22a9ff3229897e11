#pragma once

#include "color/Contrast.h"
#include "ui/PaintedControl.h"

#include <string>

// The contrast ratio of two colors with four marks under it for the levels
// it reaches: from the left AA for normal and for large text, then AAA for
// normal and for large text. A small mark stands for normal text, a large one
// for large text; a filled mark passes, an outlined one fails. The window
// text is the ratio as shown ("4.52:1"), for screen readers and tests.
class TContrastMarks final : public TPaintedControl {
public:
    static constexpr const wchar_t* ClassName = L"VeskContrastMarks";

    TContrastMarks(HWND parent, int controlId, const TChildPlace& place = {});
    ~TContrastMarks() override;

    void SetContrast(const std::wstring& ratioText, const TContrastLevels& levels);
    const TContrastLevels& Levels() const noexcept { return m_levels; }

protected:
    // Read as its text: the ratio is the name, the owner's description says
    // which levels pass.
    LONG AccessibleRole() const noexcept override { return ROLE_SYSTEM_STATICTEXT; }

private:
    void Paint(HDC dc, const RECT& client) const override;

    std::wstring m_ratioText;
    TContrastLevels m_levels;
};
