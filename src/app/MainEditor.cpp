// The color editor of the main window: the primary and secondary color, the
// component rows, the code labels, and the color and clipboard commands.

#include "app/Main.h"
#include "color/CssColorForms.h"
#include "color/PastedCode.h"
#include "color/StringFunctions.h"
#include "common/Exception.h"
#include "ui/ColorBox.h"
#include "ui/ContrastMarks.h"
#include "ui/ScrollBar.h"

namespace {

constexpr int ColorSpaceItems[] = {idMColorSpace_RGB, idMColorSpace_HLS, idMColorSpace_CMY, idMColorSpace_CMYK};
constexpr int OutputFormatItems[] = {idMOutputFormat_HTMLCSS, idMOutputFormat_Delphi, idMOutputFormat_Cpp,
                                     idMOutputFormat_VisualBasic, idMOutputFormat_WindowsColorReference};

// The lock is cleared on every way out, exceptions included.
class ChangeLock {
public:
    explicit ChangeLock(bool& lock) noexcept : m_lock(lock) { m_lock = true; }
    ChangeLock(const ChangeLock&) = delete;
    ChangeLock& operator=(const ChangeLock&) = delete;
    ~ChangeLock() { m_lock = false; }

private:
    bool& m_lock;
};

std::wstring WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

} // namespace

void TFormMain::PaintColorBox(TColorBox& box, TColor color)
{
    box.SetColor(static_cast<COLORREF>(color) & 0xFFFFFF);
}

void TFormMain::SetColorReference(TColor value)
{
    FColorReference = value;
    PaintColorBox(*ColorBoxPanel, value);
    UpdateColorCode(true);
    UpdateColorComponentsValues();
}

void TFormMain::SetColorReference2(TColor value)
{
    FColorReference2 = value;
    PaintColorBox(*ColorBoxPanel2, value);
    UpdateColorCode(false);
}

TColorSpace TFormMain::GetColorSpace() const
{
    for (size_t i = 0; i < std::size(ColorSpaceItems); ++i)
        if (IsChecked(ColorSpaceItems[i]))
            return static_cast<TColorSpace>(i);
    throw Exception("GetColorSpace: Unhandled TColorSpace item");
}

void TFormMain::SetColorSpace(int value)
{
    if (value < 0 || value >= static_cast<int>(std::size(ColorSpaceItems)))
        throw Exception("SetColorSpace: Unhandled TColorSpace item");
    Click(ColorSpaceItems[value]);
}

TColorCodeFormat TFormMain::GetOutputFormat() const
{
    for (size_t i = 0; i < std::size(OutputFormatItems); ++i)
        if (IsChecked(OutputFormatItems[i]))
            return static_cast<TColorCodeFormat>(i);
    throw Exception("GetOutputFormat: Unhandled TColorCodeFormat item");
}

void TFormMain::SetOutputFormat(int value)
{
    if (value < 0 || value >= static_cast<int>(std::size(OutputFormatItems)))
        throw Exception("SetOutputFormat: Unhandled TColorCodeFormat item");
    Click(OutputFormatItems[value]);
}

void TFormMain::CheckOutputFormat(int value)
{
    if (value < 0 || value >= static_cast<int>(std::size(OutputFormatItems)))
        throw Exception("CheckOutputFormat: Unhandled TColorCodeFormat item");
    CheckRadio(OutputFormatItems[0], OutputFormatItems[std::size(OutputFormatItems) - 1], OutputFormatItems[value]);
}

std::wstring TFormMain::GetColorCode(TColor color) const
{
    return Utf8ToWide(ColorToStr(color, GetOutputFormat(), IsChecked(idMSettings_UppercaseCode),
                                 IsChecked(idMSettings_CodeWithPrefix)));
}

void TFormMain::SetCodeLabel(int labelId, const std::wstring& text)
{
    ::SetWindowTextW(Control(labelId), text.c_str());
}

void TFormMain::UpdateColorCode(bool copyToClipboard)
{
    const std::wstring code = GetColorCode(FColorReference);
    const std::wstring code2 = GetColorCode(FColorReference2);
    SetCodeLabel(idLColorCode, code);
    if (IsChecked(idMSettings_TwoColorMode)) {
        SetCodeLabel(idLColorCode2, code2);
        UpdateContrast();
    }
    // Each box speaks its color's code, the hidden second box too, so it is
    // right the moment two-color mode shows it.
    ColorBoxPanel->SetAccessibleValue(code);
    ColorBoxPanel2->SetAccessibleValue(code2);
    UpdateCopyAsCaptions();
    if (copyToClipboard && IsChecked(idMSettings_AutomaticallyCopyCodeToClipboard))
        CopyCodeAutomatically();
}

void TFormMain::UpdateCopyAsCaptions()
{
    // Set whenever a color or the Uppercase option changes, rather than when
    // a menu opens, so the captions are right for anyone who reads them.
    const bool uppercase = IsChecked(idMSettings_UppercaseCode);
    for (std::size_t i = 0; i < CssForms.size(); ++i) {
        const int offset = static_cast<int>(i);
        const std::wstring primary = Utf8ToWide(CssFormText(FColorReference, CssForms[i], uppercase));
        SetMenuCaption(MClipboard_CopyAs, idMClipboard_CopyAsFirst + offset, primary);
        SetMenuCaption(MCode_CopyAs, idMCode_CopyAsFirst + offset, primary);
        SetMenuCaption(MCode_CopyAs2, idMCode_CopyAs2First + offset,
                       Utf8ToWide(CssFormText(FColorReference2, CssForms[i], uppercase)));
    }
}

void TFormMain::MCopyAsClick(int commandId)
{
    const bool second = commandId >= idMCode_CopyAs2First && commandId <= idMCode_CopyAs2Last;
    const int first = second                             ? idMCode_CopyAs2First
                      : commandId >= idMCode_CopyAsFirst ? idMCode_CopyAsFirst
                                                         : idMClipboard_CopyAsFirst;
    const auto form = CssForms.at(static_cast<std::size_t>(commandId - first));
    FClipboardEx->SetText(Utf8ToWide(
        CssFormText(second ? FColorReference2 : FColorReference, form, IsChecked(idMSettings_UppercaseCode))));
}

void TFormMain::CopyCodeAutomatically()
{
    // The code changes with every move of a scroll bar: a history of them
    // would bury the user's own copies.
    FClipboardEx->SetText(GetColorCode(FColorReference), TClipboardCopy::Automatic);
}

void TFormMain::UpdateColorComponentsCaptions()
{
    const auto space = static_cast<size_t>(GetColorSpace());
    if (space >= std::size(ColorSpaceTexts))
        throw Exception("UpdateColorComponentsCaptions: Unhandled TColorSpace item");
    const TComponentTexts& names = ColorSpaceTexts[space];
    for (size_t i = 0; i < 4; ++i) {
        const std::wstring name = i < names.Count ? Text(names.Names[i]) : std::wstring();
        // The scroll bar of the row is called what the row is called.
        ::SetWindowTextW(SBColorComponent[i]->Handle(), name.c_str());
        SetComponentName(i, name);
    }
}

void TFormMain::UpdateColorComponentsValues()
{
    int values[4] = {0, 0, 0, 0};
    switch (GetColorSpace()) {
    case csRGB: {
        const TRGB c = ColorToRGB(FColorReference);
        values[0] = c.R, values[1] = c.G, values[2] = c.B;
        break;
    }
    case csHLS: {
        const THLS c = ColorToHLS(FColorReference);
        values[0] = c.H, values[1] = c.L, values[2] = c.S;
        break;
    }
    case csCMY: {
        const TCMY c = ColorToCMY(FColorReference);
        values[0] = c.C, values[1] = c.M, values[2] = c.Y;
        break;
    }
    case csCMYK: {
        const TCMYK c = ColorToCMYK(FColorReference);
        values[0] = c.C, values[1] = c.M, values[2] = c.Y, values[3] = c.K;
        break;
    }
    default: throw Exception("UpdateColorComponentsValues: Unhandled TColorSpace case");
    }
    ChangeLock lock(FChangeEventLock);
    for (size_t i = 0; i < 4; ++i) {
        SBColorComponent[i]->SetPosition(values[i]);
        ::SetWindowTextW(EColorComponent[i], Utf8ToWide(IntToZeroPaddedStr(values[i], 3)).c_str());
    }
}

void TFormMain::UpdateColor()
{
    ::KillTimer(Handle(), SingleUpdateClipboardTimer);
    const int p1 = SBColorComponent[0]->Position();
    const int p2 = SBColorComponent[1]->Position();
    const int p3 = SBColorComponent[2]->Position();
    const int p4 = SBColorComponent[3]->Position();
    switch (GetColorSpace()) {
    case csRGB: FColorReference = RGBToColor(p1, p2, p3); break;
    case csHLS: FColorReference = HLSToColor(p1, p2, p3); break;
    case csCMY: FColorReference = CMYToColor(p1, p2, p3); break;
    case csCMYK: FColorReference = CMYKToColor(p1, p2, p3, p4); break;
    default: throw Exception("UpdateColor: Unhandled TColorSpace case");
    }
    PaintColorBox(*ColorBoxPanel, FColorReference);
    UpdateColorCode(false);
    // Re-arming restarts the count: a burst of changes ends in one copy,
    // 300 ms after the last one.
    if (IsChecked(idMSettings_AutomaticallyCopyCodeToClipboard))
        ::SetTimer(Handle(), SingleUpdateClipboardTimer, SingleUpdateClipboardInterval, nullptr);
}

void TFormMain::SBColorComponentChange(int sender)
{
    if (FChangeEventLock)
        return;
    const int row = sender - idSBColorComponent1;
    if (row < 0 || row >= 4)
        throw Exception("SBColorComponentChange: Unhandled Sender");
    {
        ChangeLock lock(FChangeEventLock);
        ::SetWindowTextW(
            EColorComponent[static_cast<size_t>(row)],
            Utf8ToWide(IntToZeroPaddedStr(SBColorComponent[static_cast<size_t>(row)]->Position(), 3)).c_str());
    }
    UpdateColor();
}

void TFormMain::EColorComponentChange(int sender)
{
    if (FChangeEventLock)
        return;
    const int row = sender - idEColorComponent1;
    if (row < 0 || row >= 4)
        throw Exception("EColorComponentChange: Unhandled Sender");
    TScrollBar& scrollBar = *SBColorComponent[static_cast<size_t>(row)];
    // Text that is no number, or out of the row's range, stays as typed and
    // changes nothing.
    std::int32_t value = 0;
    if (!TryStrToInt(WideToUtf8(WindowText(EColorComponent[static_cast<size_t>(row)])), value)
        || value < scrollBar.Min() || value > scrollBar.Max())
        return;
    {
        ChangeLock lock(FChangeEventLock);
        scrollBar.SetPosition(value);
    }
    UpdateColor();
}

void TFormMain::MColorSpaceClick(int sender)
{
    if (IsChecked(sender))
        return;
    static constexpr const wchar_t* Letters[4][4] = {
        {L"R", L"G", L"B", L" "}, {L"H", L"L", L"S", L" "}, {L"C", L"M", L"Y", L" "}, {L"C", L"M", L"Y", L"K"}};
    size_t space = 0;
    switch (sender) {
    case idMColorSpace_RGB: space = 0; break;
    case idMColorSpace_HLS: space = 1; break;
    case idMColorSpace_CMY: space = 2; break;
    case idMColorSpace_CMYK: space = 3; break;
    default: throw Exception("MColorSpaceClick: Unhandled Sender");
    }
    CheckRadio(idMColorSpace_RGB, idMColorSpace_CMYK, sender);

    const bool fourRows = space == 3;
    for (const int control : FourthRowControls)
        ShowControl(control, fourRows);
    UpdateClientSize();

    UpdateColorComponentsCaptions();
    for (size_t i = 0; i < 4; ++i)
        SetComponentLetter(i, Letters[space][i]);
    const int maximum = space == 1 ? HLSMAX : RGBMAX;
    {
        ChangeLock lock(FChangeEventLock);
        for (auto& scrollBar : SBColorComponent)
            scrollBar->SetMax(maximum);
    }
    UpdateScrollBarRanges();
    UpdateColorComponentsValues();
}

void TFormMain::UpdateScrollBarRanges()
{
    const std::string pattern = WideToUtf8(Text(TMainText::sValueRange));
    for (auto& scrollBar : SBColorComponent)
        scrollBar->SetAccessibleDescription(Utf8ToWide(ValueRangeText(pattern, scrollBar->Min(), scrollBar->Max())));
}

void TFormMain::MOutputFormatClick(int sender)
{
    if (IsChecked(sender))
        return;
    CheckRadio(OutputFormatItems[0], OutputFormatItems[std::size(OutputFormatItems) - 1], sender);
    UpdateColorCode(true);
}

void TFormMain::UDColorSwitchClick()
{
    if (!IsChecked(idMSettings_TwoColorMode))
        return;
    const TColor primary = FColorReference;
    SetColorReference(FColorReference2);
    SetColorReference2(primary);
}

void TFormMain::MSettings_TwoColorModeClick()
{
    const bool twoColors = IsChecked(idMSettings_TwoColorMode);
    for (const int control : TwoColorControls)
        ShowControl(control, twoColors);
    for (const int item : {idMCode_CopyContrastRatio, idMCode_CopyContrastRatio2})
        ::EnableMenuItem(MenuOf(item), static_cast<UINT>(item),
                         static_cast<UINT>(MF_BYCOMMAND | (twoColors ? MF_ENABLED : MF_GRAYED)));
    UpdateClientSize();
    if (twoColors)
        UpdateColorCode(false);
}

void TFormMain::MSettings_LoremIpsumTextClick()
{
    const bool visible = IsChecked(idMSettings_LoremIpsumText);
    ColorBoxPanel->SetSampleTextVisible(visible);
    ColorBoxPanel2->SetSampleTextVisible(visible);
}

void TFormMain::MColorAdjust(int commandId)
{
    switch (commandId) {
    case idMColor_Inverse: SetColorReference(InverseColor(FColorReference)); break;
    case idMColor_Complementary: SetColorReference(ComplementaryColor(FColorReference)); break;
    case idMColor_Grayscaled: SetColorReference(GrayscaledColor(FColorReference)); break;
    case idMColor_Desaturated: SetColorReference(DesaturatedColor(FColorReference)); break;
    case idMColor_Random: SetColorReference(RandomColor()); break;
    default: break;
    }
}

// The copy commands remember the color they copy; automatic copying
// (CopyCodeAutomatically) does not, as it follows every pause in editing.
void TFormMain::MCode_CopyCodeToClipboardClick()
{
    FClipboardEx->SetText(GetColorCode(FColorReference));
    RememberColor(FColorReference);
}

void TFormMain::MCode_CopyCodeToClipboard2Click()
{
    FClipboardEx->SetText(GetColorCode(FColorReference2));
    RememberColor(FColorReference2);
}

// Every change of either color refreshes the code labels, and with them
// this; only two-color mode shows it.
void TFormMain::UpdateContrast()
{
    const double ratio = ContrastRatio(FColorReference, FColorReference2);
    LContrastRatio->SetContrast(Utf8ToWide(ContrastRatioText(ratio)), ContrastLevels(ratio));
    LContrastRatio->SetAccessibleDescription(ContrastHint());
}

std::wstring TFormMain::ContrastHint() const
{
    return Utf8ToWide(::ContrastHint(ContrastRatio(FColorReference, FColorReference2), m_contrastTexts));
}

void TFormMain::MCode_CopyContrastRatioClick()
{
    // Its items are grayed outside two-color mode; a command sent by other
    // means does nothing there either.
    if (IsChecked(idMSettings_TwoColorMode))
        FClipboardEx->SetText(Utf8ToWide(ContrastRatioText(ContrastRatio(FColorReference, FColorReference2))));
}

void TFormMain::MClipboard_PasteCodeFromClipboardClick()
{
    if (!FClipboardEx->HasText())
        return;
    // A text longer than any code is left on the clipboard unread: pasting
    // a clipboard of any size costs no more than pasting a code.
    const auto text = FClipboardEx->GetText(MaxPastedCodeLength);
    if (!text || text->empty())
        return;
    TColorCodeFormat format = GetOutputFormat();
    bool valid = false;
    bool hasPrefix = false;
    bool outsideSrgb = false;
    const TColor color = PastedCodeToColor(WideToUtf8(*text), format, valid, hasPrefix, &outsideSrgb);
    if (!valid)
        return;
    if (format != ccfWindowsColorReference)
        SetChecked(idMSettings_CodeWithPrefix, hasPrefix);
    CheckOutputFormat(format);
    m_pastedOutsideSrgb = outsideSrgb ? std::optional<TColor>(color) : std::nullopt;
    SetColorReference(color);
    RememberColor(color);
}

void TFormMain::MSettings_AutomaticallyCopyCodeToClipboardClick()
{
    if (IsChecked(idMSettings_AutomaticallyCopyCodeToClipboard))
        CopyCodeAutomatically();
}

void TFormMain::MSettings_CodeOptionClick()
{
    UpdateColorCode(true);
}

std::wstring TFormMain::CodeHint(int labelId) const
{
    const auto clipboard = FClipboardEx ? FClipboardEx->GetText(MaxPastedCodeLength) : std::nullopt;
    std::wstring hint = clipboard && *clipboard == WindowText(Control(labelId)) ? sAlreadyInClipboard : sNotInClipboard;
    if (labelId == idLColorCode && m_pastedOutsideSrgb == FColorReference)
        hint += L"\r\n" + Text(TMainText::sPastedOutsideSrgb);
    return hint;
}
