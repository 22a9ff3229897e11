#include "ui/ContrastMarks.h"

#include "ui/ControlPaint.h"
#include "ui/Theme.h"

using namespace ControlPaint;

namespace {

// Sizes at 96 DPI: the marks of normal and of large text, the gap inside a
// level's pair and the gap between the AA and the AAA pair.
constexpr int SmallMark = 5;
constexpr int LargeMark = 7;
constexpr int PairGap = 2;
constexpr int LevelGap = 6;
constexpr int BottomMargin = 1;

} // namespace

TContrastMarks::TContrastMarks(HWND parent, int controlId, const TChildPlace& place)
{
    CreateControlWindow(ClassName, 0, 0, parent, controlId, place);
}

TContrastMarks::~TContrastMarks()
{
    DestroyHandle();
}

void TContrastMarks::SetContrast(const std::wstring& ratioText, const TContrastLevels& levels)
{
    if (ratioText == m_ratioText && levels == m_levels)
        return;
    m_ratioText = ratioText;
    m_levels = levels;
    ::SetWindowTextW(Handle(), m_ratioText.c_str());
    Invalidate();
}

void TContrastMarks::Paint(HDC dc, const RECT& client) const
{
    Fill(dc, client, Theme::Color(TThemeColor::WindowBackground));

    HFONT font = Font();
    SelectedObject selectFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Theme::Color(TThemeColor::Text));
    RECT text = client;
    ::DrawTextW(dc, m_ratioText.c_str(), static_cast<int>(m_ratioText.size()), &text,
                DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);

    const int small = Scale(SmallMark, Dpi());
    const int large = Scale(LargeMark, Dpi());
    const int pairGap = Scale(PairGap, Dpi());
    const int width = 2 * (small + pairGap + large) + Scale(LevelGap, Dpi());
    const int bottom = client.bottom - Scale(BottomMargin, Dpi());
    int left = client.left + (client.right - client.left - width) / 2;
    const bool passes[] = {m_levels.AANormalText, m_levels.AALargeText, m_levels.AAANormalText, m_levels.AAALargeText};
    for (int i = 0; i < 4; ++i) {
        const int size = i % 2 == 0 ? small : large;
        const RECT mark{left, bottom - size, left + size, bottom};
        if (passes[i])
            Fill(dc, mark, Theme::Color(TThemeColor::Text));
        else
            Frame(dc, mark, Theme::Color(TThemeColor::DisabledText));
        left += size + (i == 1 ? Scale(LevelGap, Dpi()) : pairGap);
    }
}
