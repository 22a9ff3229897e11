// The main window's menus, keyboard shortcuts and language texts.

#include "app/Commands.h"
#include "app/LanguageKeys.h"
#include "app/Main.h"
#include "app/Program.h"
#include "color/StringFunctions.h"
#include "common/Exception.h"
#include "i18n/LanguageSupport.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/Application.h"
#include "ui/ColorBox.h"
#include "ui/ColorSwitch.h"
#include "ui/ContrastMarks.h"
#include "ui/FlatButton.h"
#include "ui/ScrollBar.h"
#include "ui/Theme.h"

#include <string>
#include <vector>

namespace {

BYTE AcceleratorModifiers(std::uint8_t modifiers)
{
    BYTE flags = 0;
    if (modifiers & smCtrl)
        flags |= FCONTROL;
    if (modifiers & smShift)
        flags |= FSHIFT;
    if (modifiers & smAlt)
        flags |= FALT;
    return flags;
}

// Shift+Alt+D of the dropper belongs to the global hot key: without the hot
// key the item shows no shortcut and the keys do nothing here.
bool HasShortcut(const TCommand& row, bool hotKeyRegistered)
{
    return row.Shortcut.Key && (!row.ShortcutWithHotKey || hotKeyRegistered);
}

void AppendItem(HMENU menu, int id, const wchar_t* caption, bool radio = false)
{
    if (!::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption))
        throw Exception("Unable to build the menus");
    if (radio) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        info.fType = MFT_STRING | MFT_RADIOCHECK;
        ::SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info);
    }
}

void AppendSeparator(HMENU menu)
{
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

HMENU AppendPopup(HMENU parent, const wchar_t* caption)
{
    HMENU popup = ::CreatePopupMenu();
    if (!popup || !::AppendMenuW(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption)) {
        if (popup)
            ::DestroyMenu(popup);
        throw Exception("Unable to build the menus");
    }
    return popup;
}

std::wstring WithoutFirstAmpersand(std::wstring caption)
{
    const size_t ampersand = caption.find(L'&');
    if (ampersand != std::wstring::npos)
        caption.erase(ampersand, 1);
    return caption;
}

} // namespace

std::wstring TFormMain::Text(TMainText text) const
{
    return Utf8ToWide(ReadLanguageText(Languages->ActiveFile(), FormMainSection, KeyOf(text)));
}

std::wstring TFormMain::Text(std::string_view section, std::string_view key) const
{
    return Utf8ToWide(ReadLanguageText(Languages->ActiveFile(), section, key));
}

HMENU TFormMain::MenuHandle(TMenuId menu) const noexcept
{
    switch (menu) {
    case TMenuId::MainMenu: return m_menuBar;
    case TMenuId::MClipboard: return MClipboard;
    case TMenuId::MColor: return MColor;
    case TMenuId::MTools: return MTools.get();
    case TMenuId::MColorSpace: return MColorSpace;
    case TMenuId::MOutputFormat: return MOutputFormat;
    case TMenuId::MSettings: return MSettings;
    case TMenuId::MSettings_Languages: return MSettings_Languages;
    case TMenuId::MHelp: return MHelp;
    case TMenuId::CodePopupMenu: return CodePopupMenu.get();
    case TMenuId::CodePopupMenu2: return CodePopupMenu2.get();
    case TMenuId::TrayMenu: return TrayMenu.get();
    case TMenuId::MRecentColors: return MRecentColors;
    case TMenuId::MRecentColors_CopyAllAs: return MRecentColors_CopyAllAs;
    case TMenuId::TMRecentColors: return TMRecentColors;
    case TMenuId::TMRecentColors_CopyAllAs: return TMRecentColors_CopyAllAs;
    case TMenuId::MClipboard_CopyAs: return MClipboard_CopyAs;
    case TMenuId::MCode_CopyAs: return MCode_CopyAs;
    case TMenuId::MCode_CopyAs2: return MCode_CopyAs2;
    case TMenuId::None: break;
    }
    return nullptr;
}

void TFormMain::KeepMenu(TMenuId menu, HMENU handle)
{
    switch (menu) {
    case TMenuId::MClipboard: MClipboard = handle; return;
    case TMenuId::MColor: MColor = handle; return;
    case TMenuId::MTools: MTools.reset(handle); return;
    case TMenuId::MColorSpace: MColorSpace = handle; return;
    case TMenuId::MOutputFormat: MOutputFormat = handle; return;
    case TMenuId::MSettings: MSettings = handle; return;
    case TMenuId::MSettings_Languages: MSettings_Languages = handle; return;
    case TMenuId::MHelp: MHelp = handle; return;
    case TMenuId::CodePopupMenu: CodePopupMenu.reset(handle); return;
    case TMenuId::CodePopupMenu2: CodePopupMenu2.reset(handle); return;
    case TMenuId::TrayMenu: TrayMenu.reset(handle); return;
    case TMenuId::MRecentColors: MRecentColors = handle; return;
    case TMenuId::MRecentColors_CopyAllAs: MRecentColors_CopyAllAs = handle; return;
    case TMenuId::TMRecentColors: TMRecentColors = handle; return;
    case TMenuId::TMRecentColors_CopyAllAs: TMRecentColors_CopyAllAs = handle; return;
    case TMenuId::MClipboard_CopyAs: MClipboard_CopyAs = handle; return;
    case TMenuId::MCode_CopyAs: MCode_CopyAs = handle; return;
    case TMenuId::MCode_CopyAs2: MCode_CopyAs2 = handle; return;
    case TMenuId::None:
    case TMenuId::MainMenu: break;
    }
    throw Exception("KeepMenu: Unhandled TMenuId item");
}

HMENU TFormMain::MenuOf(int commandId) const noexcept
{
    // The language items and the Color menu's recent colors, which the table
    // does not hold, are found from the bar; the tray menu's recent colors
    // from that menu.
    if (commandId >= idTMRecentColorFirst && commandId <= idTMRecentColorLast)
        return TrayMenu.get();
    const TCommand* row = FindCommand(commandId);
    return row ? MenuHandle(row->Menu) : m_menuBar;
}

bool TFormMain::IsChecked(int commandId) const noexcept
{
    const UINT state = ::GetMenuState(MenuOf(commandId), static_cast<UINT>(commandId), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool TFormMain::IsEnabled(int commandId) const noexcept
{
    const UINT state = ::GetMenuState(MenuOf(commandId), static_cast<UINT>(commandId), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_DISABLED | MF_GRAYED)) == 0;
}

void TFormMain::SetChecked(int commandId, bool checked) noexcept
{
    ::CheckMenuItem(MenuOf(commandId), static_cast<UINT>(commandId),
                    static_cast<UINT>(MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)));
}

void TFormMain::CheckRadio(int first, int last, int commandId) noexcept
{
    ::CheckMenuRadioItem(MenuOf(commandId), static_cast<UINT>(first), static_cast<UINT>(last),
                         static_cast<UINT>(commandId), MF_BYCOMMAND);
}

std::wstring TFormMain::MenuCaption(HMENU menu, int commandId) const
{
    wchar_t buffer[512]{};
    const int length = ::GetMenuStringW(menu, static_cast<UINT>(commandId), buffer, 512, MF_BYCOMMAND);
    std::wstring caption(buffer, static_cast<size_t>(length > 0 ? length : 0));
    return caption.substr(0, caption.find(L'\t'));
}

void TFormMain::CreateMenus()
{
    m_menuBar = ::CreateMenu();
    if (!m_menuBar)
        throw Exception("Unable to build the menus");
    // Attached at once, so the window owns and frees it on every way out.
    ::SetMenu(Handle(), m_menuBar);

    // Until ApplyLanguage runs, an item is captioned by its name, unless its
    // caption is the same in every language.
    for (const TCommand& row : Commands) {
        const std::wstring caption = Utf8ToWide(std::string(row.FixedCaption.empty() ? row.Name : row.FixedCaption));
        switch (row.Kind) {
        case TCommandKind::Menu:
            if (row.Menu == TMenuId::None) {
                HMENU popup = ::CreatePopupMenu();
                if (!popup)
                    throw Exception("Unable to build the menus");
                KeepMenu(row.Opens, popup);
            } else {
                KeepMenu(row.Opens, AppendPopup(MenuHandle(row.Menu), caption.c_str()));
            }
            break;
        case TCommandKind::Separator: AppendSeparator(MenuHandle(row.Menu)); break;
        case TCommandKind::Command:
        case TCommandKind::Toggle:
        case TCommandKind::Radio:
            AppendItem(MenuHandle(row.Menu), row.Id, caption.c_str(), row.Kind == TCommandKind::Radio);
            if (row.Disabled)
                ::EnableMenuItem(MenuHandle(row.Menu), static_cast<UINT>(row.Id), MF_BYCOMMAND | MF_GRAYED);
            break;
        }
    }

    RebuildAccelerators();
    ApplyMenuLook();
}

void TFormMain::ApplyMenuLook()
{
    const bool ownerDraw = Theme::IsDark();
    m_themedMenu.Apply(m_menuBar, true, ownerDraw);
    for (HMENU popup : {MTools.get(), CodePopupMenu.get(), CodePopupMenu2.get(), TrayMenu.get()})
        m_themedMenu.Apply(popup, false, ownerDraw);
    if (!m_frameDeferred)
        ::DrawMenuBar(Handle());
}

void TFormMain::RebuildAccelerators()
{
    std::vector<ACCEL> table;
    for (const TCommand& row : Commands)
        if (row.Id != 0 && HasShortcut(row, FHotKeyRegistered))
            table.push_back({static_cast<BYTE>(FVIRTKEY | AcceleratorModifiers(row.Shortcut.Modifiers)),
                             static_cast<WORD>(row.Shortcut.Key), static_cast<WORD>(row.Id)});
    HACCEL accelerators = ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    if (!accelerators)
        return; // the menus still work; the shortcuts do not
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
    m_accelerators = accelerators;
    Application::SetAccelerators(Handle(), m_accelerators);
}

void TFormMain::SetMenuCaption(HMENU menu, int commandId, const std::wstring& caption)
{
    std::wstring text = caption;
    if (const TCommand* row = FindCommand(commandId); row && HasShortcut(*row, FHotKeyRegistered))
        text += L"\t" + Utf8ToWide(ShortcutText(row->Shortcut));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(menu, static_cast<UINT>(commandId), FALSE, &info);
}

void TFormMain::SetPopupCaption(HMENU parent, HMENU popup, const std::wstring& caption)
{
    const int count = ::GetMenuItemCount(parent);
    for (int i = 0; i < count; ++i) {
        if (::GetSubMenu(parent, i) != popup)
            continue;
        std::wstring text = caption;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = text.data();
        ::SetMenuItemInfoW(parent, static_cast<UINT>(i), TRUE, &info);
        return;
    }
}

void TFormMain::ApplyLanguage()
{
    // 1. Module-wide texts.
    const std::wstring sMouseWheel = Text(TMainText::sMouseWheel);
    sLowScreenColorDepth = Text(TMainText::sLowScreenColorDepth);
    sAlreadyInClipboard = Text(TMainText::sAlreadyInClipboard);
    sNotInClipboard = Text(TMainText::sNotInClipboard);
    m_contrastTexts = {WideToUtf8(Text(TMainText::sContrastRatio)), WideToUtf8(Text(TMainText::sContrastMarks)),
                       WideToUtf8(Text(TMainText::sNormalText)),    WideToUtf8(Text(TMainText::sLargeText)),
                       WideToUtf8(Text(TMainText::sPasses)),        WideToUtf8(Text(TMainText::sFails))};
    if (LContrastRatio)
        LContrastRatio->SetAccessibleDescription(ContrastHint());

    // 2. and 3. Menu captions from the language file, the tray menu's too.
    // Items that share a caption follow the one they share it with.
    const auto captionOf = [this](const TCommand& row) {
        return Text(row.TextSection, row.Name) + Utf8ToWide(std::string(row.CaptionSuffix));
    };
    for (const TCommand& row : Commands) {
        if (!row.FixedCaption.empty() && row.Id != 0) {
            // The same in every language, but its shortcut text comes here.
            SetMenuCaption(MenuHandle(row.Menu), row.Id, Utf8ToWide(std::string(row.FixedCaption)));
            continue;
        }
        if (row.TextSection.empty() || row.Kind == TCommandKind::Separator)
            continue;
        if (row.Kind == TCommandKind::Menu) {
            if (row.Menu != TMenuId::None)
                SetPopupCaption(MenuHandle(row.Menu), MenuHandle(row.Opens), captionOf(row));
            for (const TCommand& sharing : Commands)
                if (sharing.Kind == TCommandKind::Menu && sharing.CaptionOfMenu == row.Opens)
                    SetPopupCaption(MenuHandle(sharing.Menu), MenuHandle(sharing.Opens), captionOf(row));
            continue;
        }
        const std::wstring caption = captionOf(row);
        SetMenuCaption(MenuHandle(row.Menu), row.Id, caption);
        for (const TCommand& sharing : Commands)
            if (sharing.CaptionOf == row.Id)
                SetMenuCaption(MenuHandle(sharing.Menu), sharing.Id, caption);
    }

    // The code pop-ups' Copy As submenus are called as the Clipboard menu's.
    const std::wstring copyAs = captionOf(MenuRow(TMenuId::MClipboard_CopyAs));
    SetPopupCaption(CodePopupMenu.get(), MCode_CopyAs, copyAs);
    SetPopupCaption(CodePopupMenu2.get(), MCode_CopyAs2, copyAs);

    // 4. The color spaces, named by their components.
    for (const TCommand& row : Commands) {
        if (row.Group != &TSettings::ColorSpace)
            continue;
        const TComponentTexts& space = ColorSpaceTexts[static_cast<std::size_t>(row.GroupValue)];
        std::vector<std::string> names;
        for (std::size_t i = 0; i < space.Count; ++i)
            names.push_back(WideToUtf8(Text(space.Names[i])));
        SetMenuCaption(MenuHandle(row.Menu), row.Id,
                       Utf8ToWide(std::string(space.Prefix) + " (" + JoinStrings(", ", names) + ")"));
    }

    // 5. The Languages submenu can be found in any language.
    if (Languages->ActiveLanguage() != "English") {
        const TCommand& languages = MenuRow(TMenuId::MSettings_Languages);
        SetPopupCaption(MenuHandle(languages.Menu), MSettings_Languages, captionOf(languages) + L" (Language)");
    }

    // 6. and 7. The dropper button's hint: the hot key first when there is
    // one, then the wheel and key combinations of the dropper.
    m_dropperHint.clear();
    if (FHotKeyRegistered)
        m_dropperHint = L"[Shift + Alt + D]:  " + Text(TMainText::sSystemWideHotkeyForEyeDropper) + L"\r\n"
                        + std::wstring(40, L'-') + L"\r\n";
    m_dropperHint += L"[" + sMouseWheel + L"]:  " + Text(TMainText::sZoomFactorLong) + L"\r\n";
    m_dropperHint += L"[Ctrl + " + sMouseWheel + L"]:  " + Text(TMainText::sSourceSizeLong) + L"\r\n";
    m_dropperHint += L"[Alt + " + sMouseWheel + L"]:  " + Text(TMainText::sSampleSizeLong) + L"\r\n";
    m_dropperHint += L"[Shift + " + sMouseWheel + L"]:  " + Text(TMainText::sMouseSpeedLong);

    RebuildAccelerators();
    ApplyMenuLook();
    // Other captions can make the menu bar wrap, or stop wrapping.
    UpdateClientSize();

    // 8. The component names of the current color space.
    UpdateColorComponentsCaptions();

    UpdateAccessibleTexts();
}

void TFormMain::UpdateAccessibleTexts()
{
    // The buttons are called what their commands are called in the menus.
    const auto nameOf = [this](int commandId) {
        const TCommand* row = FindCommand(commandId);
        return row ? Utf8ToWide(NameOfCaption(WideToUtf8(Text(row->TextSection, row->Name)))) : std::wstring();
    };
    // And read out the keys that do the same, where the menus show them.
    const auto shortcutOf = [this](int commandId) {
        const TCommand* row = FindCommand(commandId);
        return row && HasShortcut(*row, FHotKeyRegistered) ? Utf8ToWide(ShortcutText(row->Shortcut)) : std::wstring();
    };
    const std::wstring press = Text(TMainText::sPress);
    ::SetWindowTextW(BDropper->Handle(), nameOf(idMTools_Dropper).c_str());
    BDropper->SetAccessibleKeyboardShortcut(shortcutOf(idMTools_Dropper));
    BPalette->SetAccessibleKeyboardShortcut(shortcutOf(idMTools_Palette));
    UDColorSwitch->SetAccessibleKeyboardShortcut(shortcutOf(idMColor_SwapPrimaryAndSecondaryColor));
    BDropper->SetAccessibleDescription(m_dropperHint);
    BDropper->SetAccessibleDefaultAction(press);
    ::SetWindowTextW(BPalette->Handle(), nameOf(idMTools_Palette).c_str());
    BPalette->SetAccessibleDefaultAction(press);
    ::SetWindowTextW(UDColorSwitch->Handle(), nameOf(idMColor_SwapPrimaryAndSecondaryColor).c_str());
    UDColorSwitch->SetAccessibleDefaultAction(press);

    // A double click on a box, and its default action, open the color dialog.
    ::SetWindowTextW(ColorBoxPanel->Handle(), Text(TMainText::sPrimaryColor).c_str());
    ::SetWindowTextW(ColorBoxPanel2->Handle(), Text(TMainText::sSecondaryColor).c_str());
    ColorBoxPanel->SetAccessibleDefaultAction(nameOf(idMTools_Palette));
    ColorBoxPanel2->SetAccessibleDefaultAction(nameOf(idMTools_Palette));

    UpdateScrollBarRanges();
}

void TFormMain::MColorClick()
{
    ::EnableMenuItem(m_menuBar, idMColor_SwapPrimaryAndSecondaryColor,
                     static_cast<UINT>(MF_BYCOMMAND | (IsChecked(idMSettings_TwoColorMode) ? MF_ENABLED : MF_GRAYED)));
}

void TFormMain::MSettingsClick()
{
    {
        const TSettingsFile file(SettingsFilePath());
        const TSettings stored = ReadSettings(file, std::nullopt);
        SetChecked(idMSettings_AllowMultipleInstances, stored.AllowMultipleInstances);
    }

    for (int i = ::GetMenuItemCount(MSettings_Languages) - 1; i >= 0; --i)
        ::DeleteMenu(MSettings_Languages, static_cast<UINT>(i), MF_BYPOSITION);

    Languages->RefreshList();
    int id = idMSettings_LanguageFirst;
    for (const std::string& language : Languages->List()) {
        if (id > idMSettings_LanguageLast)
            break;
        AppendItem(MSettings_Languages, id, Utf8ToWide(language).c_str(), true);
        if (language == Languages->ActiveLanguage())
            SetChecked(id, true);
        ++id;
    }
    ApplyMenuLook();
}

void TFormMain::MSettings_LanguageItemClick(int commandId)
{
    const std::string language = WideToUtf8(WithoutFirstAmpersand(MenuCaption(m_menuBar, commandId)));
    const int last = idMSettings_LanguageFirst + ::GetMenuItemCount(MSettings_Languages) - 1;
    if (language != Languages->ActiveLanguage()) {
        if (Languages->Load(language)) {
            CheckRadio(idMSettings_LanguageFirst, last, commandId);
            ApplyLanguage();
        }
    } else if (!IsChecked(commandId)) {
        CheckRadio(idMSettings_LanguageFirst, last, commandId);
    }
}

void TFormMain::ShowCodePopup(int labelId, POINT screen)
{
    HMENU popup = labelId == idLColorCode ? CodePopupMenu.get() : CodePopupMenu2.get();
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard (Shift+F10, the menu key): under the label.
        RECT label{};
        ::GetWindowRect(Control(labelId), &label);
        screen = {label.left, label.bottom};
    }
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
}
