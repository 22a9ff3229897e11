// The main window's recent colors: what it remembers, the Recent Colors
// submenus of the Color menu and the tray menu, and their commands.

#include "app/Main.h"
#include "color/StringFunctions.h"

#include <string>
#include <vector>

namespace {

// A menu caption shows "&" as an access key; a code's "&H" shows as it is.
std::wstring MenuText(const std::wstring& code)
{
    std::wstring text;
    for (const wchar_t c : code) {
        if (c == L'&')
            text += L'&';
        text += c;
    }
    return text;
}

void EnableByPosition(HMENU menu, int position, bool enabled)
{
    ::EnableMenuItem(menu, static_cast<UINT>(position),
                     static_cast<UINT>(MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED)));
}

} // namespace

void TFormMain::RememberColor(TColor color)
{
    FRecentColors.Add(color);
    FRecentColorsStored = true;
}

void TFormMain::RecentColorsMenuOpens(HMENU menu)
{
    const bool tray = menu == TMRecentColors;
    const int firstId = tray ? idTMRecentColorFirst : idMRecentColorFirst;
    const int copyAllId = tray ? idTMRecentColors_CopyAll : idMRecentColors_CopyAll;

    // The colors and their separator stand before "Copy All".
    while (::GetMenuItemCount(menu) > 0 && ::GetMenuItemID(menu, 0) != static_cast<UINT>(copyAllId))
        if (!::DeleteMenu(menu, 0, MF_BYPOSITION))
            break;
    const auto first = static_cast<UINT>(firstId);
    m_themedMenu.ClearSwatches(first, first + static_cast<UINT>(MaxRecentColors) - 1);

    UINT position = 0;
    for (const TColor color : FRecentColors.Colors()) {
        const UINT id = first + position;
        if (!::InsertMenuW(menu, position, MF_BYPOSITION | MF_STRING, id, MenuText(GetColorCode(color)).c_str()))
            break;
        m_themedMenu.SetSwatch(id, static_cast<COLORREF>(color) & 0xFFFFFF);
        ++position;
    }
    if (position > 0)
        ::InsertMenuW(menu, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);

    // Copy All, Copy All As and Clear have nothing to act on without colors.
    const bool any = !FRecentColors.Empty();
    const int count = ::GetMenuItemCount(menu);
    for (int i = static_cast<int>(position) + (position > 0 ? 1 : 0); i < count; ++i)
        EnableByPosition(menu, i, any);
    ApplyMenuLook();
}

void TFormMain::MRecentColorClick(std::size_t index)
{
    // As a paste would: the color becomes the primary color.
    if (index < FRecentColors.Size())
        SetColorReference(FRecentColors.Colors()[index]);
}

void TFormMain::MRecentColors_CopyAllClick()
{
    if (FRecentColors.Empty())
        return;
    std::vector<std::string> codes;
    for (const TColor color : FRecentColors.Colors())
        codes.push_back(WideToUtf8(GetColorCode(color)));
    FClipboardEx->SetText(Utf8ToWide(JoinStrings("\r\n", codes)));
}

void TFormMain::MRecentColors_CopyAllAsClick(int commandId)
{
    if (FRecentColors.Empty())
        return;
    const bool css = commandId == idMRecentColors_CopyAllAsCss || commandId == idTMRecentColors_CopyAllAsCss;
    const std::string text =
        css ? CssCustomPropertiesText(FRecentColors.Colors()) : GimpPaletteText(FRecentColors.Colors());
    FClipboardEx->SetText(Utf8ToWide(text));
}

void TFormMain::MRecentColors_ClearClick()
{
    FRecentColors.Clear();
}
