// The main window's controls: creation, fonts, placement at the window's
// DPI, painting and control colors.

#include "app/Main.h"
#include "ui/ColorBox.h"
#include "ui/ColorSwitch.h"
#include "ui/CommonControls.h"
#include "ui/ContrastMarks.h"
#include "ui/Dpi.h"
#include "ui/FlatButton.h"
#include "ui/ScrollBar.h"
#include "ui/Theme.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace {

// Positions at 96 DPI.
constexpr int ClientWidthOneColor = 391;
constexpr int ClientWidthTwoColors = 504;
constexpr int RowStep = 20;
constexpr int LabelLeft = 40, LabelTop = 9, LabelWidth = 62, LabelHeight = 13;
constexpr int ScrollLeft = 102, ScrollTop = 11, ScrollWidth = 150, ScrollHeight = 12;
constexpr int EditLeft = 274, EditTop = 6, EditWidth = 30, EditHeight = 23;
constexpr int EditLabelGap = 6, EditLabelWidth = 10;
constexpr int EditHeightOf3Rows = EditTop + 2 * RowStep + EditHeight + 6; // 75
constexpr int EditHeightOf4Rows = EditTop + 3 * RowStep + EditHeight + 6; // 95

HWND CreateChild(HWND parent, const wchar_t* className, DWORD style, int id, const TChildPlace& place,
                 const wchar_t* text = L"")
{
    const RECT& bounds = place.Bounds;
    HWND child = ::CreateWindowExW(0, className, text, WS_CHILD | (place.Visible ? WS_VISIBLE : 0) | style, bounds.left,
                                   bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!child)
        throw std::runtime_error("Unable to create a control of the main window");
    return child;
}

UniqueFont MakeFont(int pixelHeight, const wchar_t* face, int weight, BYTE pitchAndFamily)
{
    // A negative height asks for the character height without the internal
    // leading, as the layout's pixel sizes are meant.
    return UniqueFont(::CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, pitchAndFamily, face));
}

void SetFont(HWND control, HFONT font)
{
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

} // namespace

int TFormMain::Scale(int pixels) const noexcept
{
    return ::MulDiv(pixels, static_cast<int>(m_dpi), USER_DEFAULT_SCREEN_DPI);
}

void TFormMain::CreateFonts()
{
    // "Microsoft Sans Serif" is the scalable face with the metrics of the
    // classic "MS Sans Serif" bitmap font, so texts stay crisp at any DPI.
    // Where it is missing (Wine) the scalable "MS Sans Serif" has the same
    // widths, so the same texts fit.
    static const std::wstring face = InstalledFontFace({L"Microsoft Sans Serif", L"MS Sans Serif"});
    m_fontDefault = MakeFont(Scale(11), face.c_str(), FW_NORMAL, DEFAULT_PITCH | FF_SWISS);
    // A pixel smaller: "21.00:1" then leaves room on both sides of its
    // narrow column, between the two codes.
    m_fontRatio = MakeFont(Scale(10), face.c_str(), FW_NORMAL, DEFAULT_PITCH | FF_SWISS);
    m_fontEdit = MakeFont(Scale(12), L"Courier New", FW_NORMAL, FIXED_PITCH | FF_MODERN);
    m_fontEditLabel = MakeFont(Scale(15), L"Courier New", FW_NORMAL, FIXED_PITCH | FF_MODERN);
    m_fontCode = MakeFont(Scale(12), L"Courier New", FW_BOLD, FIXED_PITCH | FF_MODERN);
    m_fontMenu = CreateMenuFont(m_dpi);
    m_themedMenu.SetFont(m_fontMenu.get(), m_dpi);

    // The edit boxes are as high as their text.
    TEXTMETRICW metrics{};
    {
        WindowDc dc(Handle());
        SelectedObject font(dc.get(), m_fontEdit.get());
        ::GetTextMetricsW(dc.get(), &metrics);
    }
    m_editTextHeight = static_cast<int>(metrics.tmHeight);
}

RECT TFormMain::ScaledRect(int left, int top, int width, int height) const noexcept
{
    return RECT{Scale(left), Scale(top), Scale(left) + Scale(width), Scale(top) + Scale(height)};
}

RECT TFormMain::ControlBounds(int controlId) const
{
    // The component rows: scroll bars and edit boxes.
    const auto rowOf = [controlId](int first) { return (controlId - first) * RowStep; };
    if (controlId >= idSBColorComponent1 && controlId <= idSBColorComponent4)
        return ScaledRect(ScrollLeft, ScrollTop + rowOf(idSBColorComponent1), ScrollWidth, ScrollHeight);
    if (controlId >= idEColorComponent1 && controlId <= idEColorComponent4) {
        // The edit control sits inside the frame the window paints, centred
        // vertically, since a one-line edit cannot centre its own text.
        const int innerHeight = std::min(Scale(EditHeight) - 2, m_editTextHeight + 2);
        const int innerTop = Scale(EditTop + rowOf(idEColorComponent1)) + (Scale(EditHeight) - innerHeight) / 2;
        const int innerLeft = Scale(EditLeft) + Scale(3);
        return RECT{innerLeft, innerTop, innerLeft + Scale(EditWidth) - Scale(3) - 1, innerTop + innerHeight};
    }
    switch (controlId) {
    case idBDropper: return ScaledRect(6, 8, 26, 26);
    case idBPalette: return ScaledRect(6, 38, 26, 26);
    case idColorBoxPanel: return ScaledRect(313, 3, 72, 48);
    case idColorBoxPanel2: return ScaledRect(426, 3, 72, 48);
    case idUDColorSwitch: return ScaledRect(394, 3, 23, 48);
    case idLColorCode: return ScaledRect(314, 53, 70, 16);
    case idLColorCode2: return ScaledRect(427, 53, 77, 16);
    // Under the switch, between the two codes: the column two-color mode
    // leaves free.
    case idLContrastRatio: return ScaledRect(386, 53, 39, 22);
    default: return RECT{};
    }
}

RECT TFormMain::ComponentNameBounds(size_t row) const
{
    return ScaledRect(LabelLeft, LabelTop + static_cast<int>(row) * RowStep, LabelWidth, LabelHeight);
}

RECT TFormMain::ComponentLetterBounds(size_t row) const
{
    return ScaledRect(EditLeft - EditLabelGap - EditLabelWidth, EditTop + static_cast<int>(row) * RowStep + 2,
                      EditLabelWidth, EditHeight - 4);
}

void TFormMain::SetComponentName(size_t row, std::wstring name)
{
    if (m_componentNames.at(row) == name)
        return;
    m_componentNames[row] = std::move(name);
    const RECT bounds = ComponentNameBounds(row);
    ::InvalidateRect(Handle(), &bounds, FALSE);
    if (m_annotating)
        AnnotateAccessibleName(EColorComponent.at(row), m_componentNames[row]);
}

void TFormMain::AnnotateControls()
{
    // The row names are painted, so a stock edit box finds no label to be
    // named after: each is named after its row, in the current language and
    // color space.
    for (size_t row = 0; row < EColorComponent.size(); ++row)
        AnnotateAccessibleName(EColorComponent[row], m_componentNames[row]);
    AnnotatePoliteLiveRegion(LColorCode);
}

void TFormMain::AnnounceColor()
{
    // The primary code's label is the live region: its name is the code in
    // the output format, "#256F95", which is what is read out.
    AnnounceLiveRegion(LColorCode);
}

void TFormMain::SetComponentLetter(size_t row, const wchar_t* letter)
{
    if (m_componentLetters.at(row) == letter)
        return;
    m_componentLetters[row] = letter;
    const RECT bounds = ComponentLetterBounds(row);
    ::InvalidateRect(Handle(), &bounds, FALSE);
}

void TFormMain::CreateControls()
{
    HWND parent = Handle();
    // Each control is made at its place, the groups that start hidden
    // hidden.
    const auto place = [this](int controlId) {
        const auto in = [controlId](const auto& group) {
            return std::find(std::begin(group), std::end(group), controlId) != std::end(group);
        };
        return TChildPlace{ControlBounds(controlId), !in(FourthRowControls) && !in(TwoColorControls)};
    };
    // Created in tab order: the window's Tab key follows the z-order.
    for (size_t i = 0; i < 4; ++i) {
        const int sender = idSBColorComponent1 + static_cast<int>(i);
        SBColorComponent[i] = std::make_unique<TScrollBar>(parent, sender, place(sender));
        SBColorComponent[i]->SetSmallChange(1);
        SBColorComponent[i]->SetLargeChange(10);
        SBColorComponent[i]->SetMax(255);
        SBColorComponent[i]->OnChange = [this, sender] { SBColorComponentChange(sender); };
    }
    for (size_t i = 0; i < 4; ++i) {
        const int id = idEColorComponent1 + static_cast<int>(i);
        EColorComponent[i] = CreateChild(parent, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, id, place(id));
        ::SendMessageW(EColorComponent[i], EM_SETLIMITTEXT, 3, 0);
    }
    ColorBoxPanel = std::make_unique<TColorBox>(parent, idColorBoxPanel, place(idColorBoxPanel));
    ColorBoxPanel->OnDoubleClick = [this] { MTools_PaletteClick(idColorBoxPanel); };
    ColorBoxPanel2 = std::make_unique<TColorBox>(parent, idColorBoxPanel2, place(idColorBoxPanel2));
    ColorBoxPanel2->OnDoubleClick = [this] { MTools_PaletteClick(idColorBoxPanel2); };
    UDColorSwitch = std::make_unique<TColorSwitch>(parent, idUDColorSwitch, place(idUDColorSwitch));
    UDColorSwitch->OnClick = [this] { UDColorSwitchClick(); };
    LContrastRatio = std::make_unique<TContrastMarks>(parent, idLContrastRatio, place(idLContrastRatio));
    BDropper = std::make_unique<TFlatButton>(parent, idBDropper, L"DROPPER", place(idBDropper));
    BDropper->OnClick = [this] { MTools_DropperClick(); };
    BPalette = std::make_unique<TFlatButton>(parent, idBPalette, L"PALETTE", place(idBPalette));
    BPalette->OnClick = [this] { MTools_PaletteClick(idBPalette); };

    // The codes show "&H" as it is; SS_NOTIFY lets the tool tip see the
    // pointer over them.
    LColorCode = CreateChild(parent, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, idLColorCode, place(idLColorCode));
    LColorCode2 =
        CreateChild(parent, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, idLColorCode2, place(idLColorCode2));
    SetControlFonts();
}

void TFormMain::ShowControl(int controlId, bool visible)
{
    if (HWND control = Control(controlId))
        ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
    if (controlId == idEColorComponent4 || controlId == idEColorComponent1 || controlId == idEColorComponent2
        || controlId == idEColorComponent3)
        ::InvalidateRect(Handle(), nullptr, FALSE); // the edit frames are painted by the window
}

void TFormMain::LayoutControls()
{
    for (int controlId = idBDropper; controlId <= idLContrastRatio; ++controlId) {
        const RECT bounds = ControlBounds(controlId);
        ::SetWindowPos(Control(controlId), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                       bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetControlFonts();
}

void TFormMain::SetControlFonts()
{
    BDropper->SetDpi(m_dpi);
    BPalette->SetDpi(m_dpi);
    for (size_t i = 0; i < 4; ++i) {
        SetFont(EColorComponent[i], m_fontEdit.get());
        // Three digits fill the narrow box; the font's default margins would
        // clip the last one at high scaling.
        const auto margin = static_cast<WORD>(Scale(1));
        ::SendMessageW(EColorComponent[i], EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                       static_cast<LPARAM>(static_cast<DWORD>(margin) | (static_cast<DWORD>(margin) << 16)));
    }
    ColorBoxPanel->SetDpi(m_dpi);
    ColorBoxPanel2->SetDpi(m_dpi);
    ColorBoxPanel->SetFont(m_fontDefault.get());
    ColorBoxPanel2->SetFont(m_fontDefault.get());
    LContrastRatio->SetDpi(m_dpi);
    LContrastRatio->SetFont(m_fontRatio.get());
    SetFont(LColorCode, m_fontCode.get());
    SetFont(LColorCode2, m_fontCode.get());
}

void TFormMain::UpdateClientSize()
{
    if (!m_frameDeferred)
        ResizeToContents(false);
}

void TFormMain::ResizeToContents(bool menuBarChanged, const TSettings* placement)
{
    // The window follows the size of its contents: the width of one- or
    // two-color mode, the height of three or four component rows (CMYK).
    const SIZE client = ClientSizeAt(m_dpi);
    const int width = client.cx;
    const int height = client.cy;
    if (placement) {
        const UINT createdAt = m_dpi;
        SIZE outer = OuterSizeForClient(Handle(), width, height);
        POINT place = WindowPlace(*placement, outer);
        ::SetWindowPos(Handle(), nullptr, place.x, place.y, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        // Its place may be on a monitor of another DPI, which a hidden
        // window is not always told of: it takes that DPI and is placed
        // again at the size that goes with it.
        const UINT placedAt = WindowDpi(Handle());
        if (placedAt != m_dpi)
            ApplyDpi(placedAt);
        if (m_dpi != createdAt) {
            const SIZE scaled = ClientSizeAt(m_dpi);
            outer = OuterSizeForClient(Handle(), scaled.cx, scaled.cy);
            place = WindowPlace(*placement, outer);
            ::SetWindowPos(Handle(), nullptr, place.x, place.y, outer.cx, outer.cy,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        return;
    }
    RECT current{};
    ::GetClientRect(Handle(), &current);
    if (!menuBarChanged && current.right == width && current.bottom == height)
        return; // a resize would only cost a frame recalculation
    SetClientSize(Handle(), width, height);
}

SIZE TFormMain::ClientSizeAt(UINT dpi) const noexcept
{
    const auto scale = [dpi](int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); };
    return SIZE{scale(IsChecked(idMSettings_TwoColorMode) ? ClientWidthTwoColors : ClientWidthOneColor),
                scale(IsChecked(idMColorSpace_CMYK) ? EditHeightOf4Rows : EditHeightOf3Rows)};
}

void TFormMain::ApplyDpi(UINT dpi)
{
    m_dpi = dpi;
    CreateFonts();
    LayoutControls();
    ApplyMenuLook();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

SIZE TFormMain::ScaledSizeFor(UINT dpi) const
{
    // Only windows whose frame follows their DPI are asked, so the frame is
    // reckoned at the new DPI too.
    const SIZE client = ClientSizeAt(dpi);
    return OuterSizeForClientAtDpi(Handle(), client.cx, client.cy, dpi);
}

void TFormMain::DpiChanged(UINT dpi, const RECT* suggested)
{
    ApplyDpi(dpi);
    // The suggestion is where the window belongs on the new monitor, at the
    // size it answered to WM_GETDPISCALEDSIZE (or scaled by the system):
    // taking it as it is keeps a window dragged across the edge of two
    // monitors from bouncing between them.
    if (suggested)
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // What differs (a menu bar that wraps at the new DPI, a frame the
    // system did not scale) is made good from the top-left corner.
    UpdateClientSize();
}

void TFormMain::PaintWindow()
{
    PaintDc paint(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;

    // Through a back buffer: the background and the edit frames appear in
    // one step, without flicker.
    UniqueMemoryDc buffer(::CreateCompatibleDC(paint.get()));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(paint.get(), width, height));
    if (!buffer || !bitmap) {
        ::FillRect(paint.get(), &client, Theme::Brush(TThemeColor::WindowBackground));
        return;
    }
    SelectedObject selected(buffer.get(), bitmap.get());
    ::FillRect(buffer.get(), &client, Theme::Brush(TThemeColor::WindowBackground));

    ::SetBkMode(buffer.get(), TRANSPARENT);
    ::SetTextColor(buffer.get(), Theme::Color(TThemeColor::Text));
    for (size_t i = 0; i < 4; ++i) {
        if (!::IsWindowVisible(EColorComponent[i]))
            continue;
        const int row = static_cast<int>(i) * RowStep;
        RECT frame{Scale(EditLeft), Scale(EditTop + row), Scale(EditLeft + EditWidth),
                   Scale(EditTop + row + EditHeight)};
        ::FillRect(buffer.get(), &frame, Theme::Brush(TThemeColor::EditBackground));
        ::FrameRect(buffer.get(), &frame, Theme::Brush(TThemeColor::Border));

        // The row's name on one line, shortened with an ellipsis where a
        // language's word is too long; the letter at the edit box's left.
        RECT name = ComponentNameBounds(i);
        {
            SelectedObject font(buffer.get(), m_fontDefault.get());
            ::DrawTextW(buffer.get(), m_componentNames[i].c_str(), static_cast<int>(m_componentNames[i].size()), &name,
                        DT_LEFT | DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS);
        }
        RECT letter = ComponentLetterBounds(i);
        SelectedObject font(buffer.get(), m_fontEditLabel.get());
        ::DrawTextW(buffer.get(), m_componentLetters[i].c_str(), static_cast<int>(m_componentLetters[i].size()),
                    &letter, DT_RIGHT | DT_NOPREFIX | DT_SINGLELINE);
    }
    ::BitBlt(paint.get(), 0, 0, width, height, buffer.get(), 0, 0, SRCCOPY);
}

LRESULT TFormMain::ControlColor(HDC dc, HWND control)
{
    const bool edit = std::find(EColorComponent.begin(), EColorComponent.end(), control) != EColorComponent.end();
    ::SetTextColor(dc, Theme::Color(edit ? TThemeColor::EditText : TThemeColor::Text));
    ::SetBkColor(dc, Theme::Color(edit ? TThemeColor::EditBackground : TThemeColor::WindowBackground));
    return reinterpret_cast<LRESULT>(Theme::Brush(edit ? TThemeColor::EditBackground : TThemeColor::WindowBackground));
}

std::array<HWND, 4> TFormMain::HintedControls() const noexcept
{
    return {BDropper->Handle(), LColorCode, LColorCode2, LContrastRatio->Handle()};
}

bool TFormMain::HasHint(HWND control) const noexcept
{
    const auto controls = HintedControls();
    return control && std::find(controls.begin(), controls.end(), control) != controls.end();
}

void TFormMain::CreateTooltips()
{
    TCommonControlsScope commonControls;
    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                  m_instance, nullptr);
    if (!m_tooltip)
        return; // no hints, but the program works
    for (HWND tool : HintedControls()) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = Handle();
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    // Hints appear after the pointer has rested 100 ms and stay 10 s.
    ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 10000);
    ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, Scale(600));
    Theme::ApplyToTooltip(m_tooltip);
}

LRESULT TFormMain::TooltipNeedsText(NMTTDISPINFOW& info)
{
    // Asked each time a hint is about to show, so the code labels' hints say
    // whether their code is on the clipboard at that moment.
    const auto tool = reinterpret_cast<HWND>(info.hdr.idFrom);
    if (tool == BDropper->Handle())
        m_tipText = m_dropperHint;
    else if (tool == LColorCode)
        m_tipText = CodeHint(idLColorCode);
    else if (tool == LColorCode2)
        m_tipText = CodeHint(idLColorCode2);
    else if (tool == LContrastRatio->Handle())
        m_tipText = ContrastHint();
    else
        m_tipText.clear();
    info.lpszText = m_tipText.data();
    return 0;
}
