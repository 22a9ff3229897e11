// The main window's menus, keyboard shortcuts and language texts.

#include "ui/Application.h"
#include "ui/FlatButton.h"
#include "app/Main.h"
#include "app/Program.h"
#include "settings/SettingsFile.h"
#include "ui/Theme.h"
#include "color/StringFunctions.h"
#include "common/Exception.h"
#include "i18n/LanguageSupport.h"

#include <string>
#include <vector>

namespace {

constexpr const char* FormSection = "TFormMain";

struct TShortcut {
    int Command;
    BYTE Modifiers; // FCONTROL, FALT, FSHIFT
    WORD Key;
    const wchar_t* Text;
};

// Shift+Alt+D of the dropper is added only when the hot key is registered.
constexpr TShortcut Shortcuts[] = {
    {idMClipboard_CopyCodeToClipboard, FCONTROL, 'C', L"Ctrl+C"},
    {idMClipboard_PasteCodeFromClipboard, FCONTROL, 'V', L"Ctrl+V"},
    {idMColor_SwapPrimaryAndSecondaryColor, FCONTROL, 'S', L"Ctrl+S"},
    {idMColor_Inverse, FCONTROL, 'I', L"Ctrl+I"},
    {idMColor_Complementary, FCONTROL, 'K', L"Ctrl+K"},
    {idMColor_Random, FCONTROL, 'R', L"Ctrl+R"},
    {idMColorSpace_RGB, FALT, '1', L"Alt+1"},
    {idMColorSpace_HLS, FALT, '2', L"Alt+2"},
    {idMColorSpace_CMY, FALT, '3', L"Alt+3"},
    {idMColorSpace_CMYK, FALT, '4', L"Alt+4"},
    {idMSettings_AutomaticallyCopyCodeToClipboard, FSHIFT, 'A', L"Shift+A"},
    {idMSettings_CodeWithPrefix, FSHIFT, 'P', L"Shift+P"},
    {idMSettings_UppercaseCode, FSHIFT, 'U', L"Shift+U"},
    {idMSettings_WindowAlwaysOnTop, FSHIFT, 'T', L"Shift+T"},
    {idMSettings_TwoColorMode, FSHIFT, '2', L"Shift+2"},
    {idMSettings_LoremIpsumText, FSHIFT, 'L', L"Shift+L"},
};
constexpr TShortcut DropperShortcut{idMTools_Dropper, FSHIFT | FALT, 'D', L"Shift+Alt+D"};

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

const wchar_t* ShortcutText(int commandId, bool hotKeyRegistered)
{
    for (const auto& shortcut : Shortcuts)
        if (shortcut.Command == commandId)
            return shortcut.Text;
    if (hotKeyRegistered && commandId == DropperShortcut.Command)
        return DropperShortcut.Text;
    return nullptr;
}

std::wstring WithoutFirstAmpersand(std::wstring caption)
{
    const size_t ampersand = caption.find(L'&');
    if (ampersand != std::wstring::npos)
        caption.erase(ampersand, 1);
    return caption;
}

} // namespace

std::wstring TFormMain::Text(const char* key) const
{
    return Text(FormSection, key);
}

std::wstring TFormMain::Text(const char* section, const char* key) const
{
    return Utf8ToWide(Languages->ActiveFile().ReadString(section, key));
}

HMENU TFormMain::MenuOf(int commandId) const noexcept
{
    switch (commandId) {
    case idMTools_Dropper:
    case idMTools_Palette:
        return MTools.get();
    case idMCode_CopyCodeToClipboard:
        return CodePopupMenu.get();
    case idMCode_CopyCodeToClipboard2:
        return CodePopupMenu2.get();
    case idTMDropper:
    case idTMExit:
        return TrayMenu.get();
    default:
        return m_menuBar;
    }
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

    MClipboard = AppendPopup(m_menuBar, L"MClipboard");
    AppendItem(MClipboard, idMClipboard_CopyCodeToClipboard, L"MClipboard_CopyCodeToClipboard");
    AppendItem(MClipboard, idMClipboard_PasteCodeFromClipboard, L"MClipboard_PasteCodeFromClipboard");

    MColor = AppendPopup(m_menuBar, L"MColor");
    AppendItem(MColor, idMColor_SwapPrimaryAndSecondaryColor, L"MColor_SwapPrimaryAndSecondaryColor");
    AppendSeparator(MColor);
    AppendItem(MColor, idMColor_Inverse, L"MColor_Inverse");
    AppendItem(MColor, idMColor_Complementary, L"MColor_Complementary");
    AppendItem(MColor, idMColor_Grayscaled, L"MColor_Grayscaled");
    AppendItem(MColor, idMColor_Desaturated, L"MColor_Desaturated");
    AppendSeparator(MColor);
    AppendItem(MColor, idMColor_Random, L"MColor_Random");

    // The Tools menu never shows in the bar; its items are reached through
    // their shortcut, the buttons and the tray menu.
    MTools.reset(::CreatePopupMenu());
    AppendItem(MTools.get(), idMTools_Dropper, L"MTools_Dropper");
    AppendItem(MTools.get(), idMTools_Palette, L"MTools_Palette");

    MColorSpace = AppendPopup(m_menuBar, L"MColorSpace");
    AppendItem(MColorSpace, idMColorSpace_RGB, L"MColorSpace_RGB", true);
    AppendItem(MColorSpace, idMColorSpace_HLS, L"MColorSpace_HLS", true);
    AppendItem(MColorSpace, idMColorSpace_CMY, L"MColorSpace_CMY", true);
    AppendItem(MColorSpace, idMColorSpace_CMYK, L"MColorSpace_CMYK", true);

    // The format captions are the same in every language. The doubled "&"
    // shows as one.
    MOutputFormat = AppendPopup(m_menuBar, L"MOutputFormat");
    AppendItem(MOutputFormat, idMOutputFormat_HTMLCSS, L"HTML / CSS [#rrggbb]", true);
    AppendItem(MOutputFormat, idMOutputFormat_Delphi, L"Delphi [$00bbggrr]", true);
    AppendItem(MOutputFormat, idMOutputFormat_Cpp, L"C++ [0x00bbggrr]", true);
    AppendItem(MOutputFormat, idMOutputFormat_VisualBasic, L"Visual Basic [&&H00bbggrr]", true);
    AppendItem(MOutputFormat, idMOutputFormat_WindowsColorReference, L"Windows Color Reference", true);

    MSettings = AppendPopup(m_menuBar, L"MSettings");
    AppendItem(MSettings, idMSettings_AutomaticallyCopyCodeToClipboard, L"MSettings_AutomaticallyCopyCodeToClipboard");
    AppendItem(MSettings, idMSettings_CodeWithPrefix, L"MSettings_CodeWithPrefix");
    AppendItem(MSettings, idMSettings_UppercaseCode, L"MSettings_UppercaseCode");
    AppendItem(MSettings, idMSettings_WindowAlwaysOnTop, L"MSettings_WindowAlwaysOnTop");
    AppendItem(MSettings, idMSettings_TwoColorMode, L"MSettings_TwoColorMode");
    AppendItem(MSettings, idMSettings_LoremIpsumText, L"Lorem Ipsum text");
    AppendItem(MSettings, idMSettings_LaunchInEyeDropperMode, L"MSettings_LaunchInEyeDropperMode");
    AppendItem(MSettings, idMSettings_AllowMultipleInstances, L"MSettings_AllowMultipleInstances");
    AppendItem(MSettings, idMSettings_MinimizeWhileUsingDropper, L"MSettings_MinimizeWhileUsingDropper");
    AppendItem(MSettings, idMSettings_UseTrayIcon, L"MSettings_UseTrayIcon");
    ::EnableMenuItem(MSettings, idMSettings_UseTrayIcon, MF_BYCOMMAND | MF_GRAYED);
    AppendItem(MSettings, idMSettings_DisableSkin_FasterLaunch, L"MSettings_DisableSkin_FasterLaunch");
    AppendItem(MSettings, idMSettings_SaveConfigurationOnExit, L"MSettings_SaveConfigurationOnExit");
    AppendItem(MSettings, idMSettings_SaveLastColorOnExit, L"MSettings_SaveLastColorOnExit");
    AppendSeparator(MSettings);
    MSettings_Languages = AppendPopup(MSettings, L"MSettings_Languages");
    AppendSeparator(MSettings);
    AppendItem(MSettings, idMSettings_SaveConfiguration, L"MSettings_SaveConfiguration");
    AppendItem(MSettings, idMSettings_LoadDefault, L"MSettings_LoadDefault");

    MHelp = AppendPopup(m_menuBar, L"MHelp");
    AppendItem(MHelp, idMHelp_Feedback, L"Feedback");
    AppendItem(MHelp, idMHelp_About, L"MHelp_About");

    AppendItem(m_menuBar, idMDonate, L"MDonate");

    CodePopupMenu.reset(::CreatePopupMenu());
    AppendItem(CodePopupMenu.get(), idMCode_CopyCodeToClipboard, L"MCode_CopyCodeToClipboard");
    CodePopupMenu2.reset(::CreatePopupMenu());
    AppendItem(CodePopupMenu2.get(), idMCode_CopyCodeToClipboard2, L"MCode_CopyCodeToClipboard2");

    TrayMenu.reset(::CreatePopupMenu());
    AppendItem(TrayMenu.get(), idTMDropper, L"TMDropper");
    AppendSeparator(TrayMenu.get());
    AppendItem(TrayMenu.get(), idTMExit, L"TMExit");

    RebuildAccelerators();
    ApplyMenuLook();
}

void TFormMain::ApplyMenuLook()
{
    const bool ownerDraw = Theme::IsDark();
    m_themedMenu.Apply(m_menuBar, true, ownerDraw);
    for (HMENU popup : {MTools.get(), CodePopupMenu.get(), CodePopupMenu2.get(), TrayMenu.get()})
        m_themedMenu.Apply(popup, false, ownerDraw);
    ::DrawMenuBar(Handle());
}

void TFormMain::RebuildAccelerators()
{
    std::vector<ACCEL> table;
    for (const auto& shortcut : Shortcuts)
        table.push_back({static_cast<BYTE>(FVIRTKEY | shortcut.Modifiers), shortcut.Key,
                         static_cast<WORD>(shortcut.Command)});
    if (FHotKeyRegistered)
        table.push_back({static_cast<BYTE>(FVIRTKEY | DropperShortcut.Modifiers), DropperShortcut.Key,
                         static_cast<WORD>(DropperShortcut.Command)});
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
    if (const wchar_t* shortcut = ShortcutText(commandId, FHotKeyRegistered))
        text += std::wstring(L"\t") + shortcut;
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
    const std::wstring sMouseWheel = Text("sMouseWheel");
    sLowScreenColorDepth = Text("sLowScreenColorDepth");
    sAlreadyInClipboard = Text("sAlreadyInClipboard");
    sNotInClipboard = Text("sNotInClipboard");

    // 2. Menu captions.
    SetPopupCaption(m_menuBar, MClipboard, Text("MClipboard"));
    const std::wstring copyCaption = Text("MClipboard_CopyCodeToClipboard");
    SetMenuCaption(m_menuBar, idMClipboard_CopyCodeToClipboard, copyCaption);
    SetMenuCaption(CodePopupMenu.get(), idMCode_CopyCodeToClipboard, copyCaption);
    SetMenuCaption(CodePopupMenu2.get(), idMCode_CopyCodeToClipboard2, copyCaption);
    SetMenuCaption(m_menuBar, idMClipboard_PasteCodeFromClipboard, Text("MClipboard_PasteCodeFromClipboard"));
    SetPopupCaption(m_menuBar, MColor, Text("MColor"));
    for (const auto& [id, key] : {std::pair{idMColor_SwapPrimaryAndSecondaryColor, "MColor_SwapPrimaryAndSecondaryColor"},
                                  {idMColor_Inverse, "MColor_Inverse"},
                                  {idMColor_Complementary, "MColor_Complementary"},
                                  {idMColor_Grayscaled, "MColor_Grayscaled"},
                                  {idMColor_Desaturated, "MColor_Desaturated"},
                                  {idMColor_Random, "MColor_Random"}})
        SetMenuCaption(m_menuBar, id, Text(key));
    const std::wstring dropperCaption = Text("MTools_Dropper");
    SetMenuCaption(MTools.get(), idMTools_Dropper, dropperCaption);
    SetMenuCaption(MTools.get(), idMTools_Palette, Text("MTools_Palette"));
    SetPopupCaption(m_menuBar, MColorSpace, Text("MColorSpace"));
    SetPopupCaption(m_menuBar, MOutputFormat, Text("MOutputFormat"));
    SetPopupCaption(m_menuBar, MSettings, Text("MSettings"));
    for (const auto& [id, key] :
         {std::pair{idMSettings_AllowMultipleInstances, "MSettings_AllowMultipleInstances"},
          {idMSettings_WindowAlwaysOnTop, "MSettings_WindowAlwaysOnTop"},
          {idMSettings_TwoColorMode, "MSettings_TwoColorMode"},
          {idMSettings_LaunchInEyeDropperMode, "MSettings_LaunchInEyeDropperMode"},
          {idMSettings_UppercaseCode, "MSettings_UppercaseCode"},
          {idMSettings_CodeWithPrefix, "MSettings_CodeWithPrefix"},
          {idMSettings_AutomaticallyCopyCodeToClipboard, "MSettings_AutomaticallyCopyCodeToClipboard"},
          {idMSettings_MinimizeWhileUsingDropper, "MSettings_MinimizeWhileUsingDropper"},
          {idMSettings_UseTrayIcon, "MSettings_UseTrayIcon"},
          {idMSettings_DisableSkin_FasterLaunch, "MSettings_DisableSkin_FasterLaunch"},
          {idMSettings_SaveConfigurationOnExit, "MSettings_SaveConfigurationOnExit"},
          {idMSettings_SaveLastColorOnExit, "MSettings_SaveLastColorOnExit"}})
        SetMenuCaption(m_menuBar, id, Text(key));
    std::wstring languagesCaption = Text("MSettings_Languages");
    SetMenuCaption(m_menuBar, idMSettings_SaveConfiguration, Text("MSettings_SaveConfiguration"));
    SetMenuCaption(m_menuBar, idMSettings_LoadDefault, Text("MSettings_LoadDefault"));
    SetPopupCaption(m_menuBar, MHelp, Text("MHelp"));
    SetMenuCaption(m_menuBar, idMHelp_About, Text("MHelp_About") + L"...");
    SetMenuCaption(m_menuBar, idMDonate, Text("MDonate"));

    // 3. The tray menu.
    SetMenuCaption(TrayMenu.get(), idTMDropper, dropperCaption);
    SetMenuCaption(TrayMenu.get(), idTMExit, Text("TrayMenu", "TMExit"));

    // 4. The color spaces, named by their components.
    const auto names = [this](std::initializer_list<const char*> keys) {
        std::vector<std::string> parts;
        for (const char* key : keys)
            parts.push_back(WideToUtf8(Text(key)));
        return Utf8ToWide(JoinStrings(", ", parts));
    };
    SetMenuCaption(m_menuBar, idMColorSpace_RGB, L"RGB (" + names({"sRed", "sGreen", "sBlue"}) + L")");
    SetMenuCaption(m_menuBar, idMColorSpace_HLS, L"HLS (" + names({"sHue", "sLuminance", "sSaturation"}) + L")");
    SetMenuCaption(m_menuBar, idMColorSpace_CMY, L"CMY (" + names({"sCyan", "sMagenta", "sYellow"}) + L")");
    SetMenuCaption(m_menuBar, idMColorSpace_CMYK,
                   L"CMYK (" + names({"sCyan", "sMagenta", "sYellow", "sBlack"}) + L")");

    // 5. The Languages submenu can be found in any language.
    if (Languages->ActiveLanguage() != "English")
        languagesCaption += L" (Language)";
    SetPopupCaption(MSettings, MSettings_Languages, languagesCaption);

    // 6. and 7. The dropper button's hint: the hot key first when there is
    // one, then the wheel and key combinations of the dropper.
    m_dropperHint.clear();
    if (FHotKeyRegistered)
        m_dropperHint = L"[Shift + Alt + D]:  " + Text("sSystemWideHotkeyForEyeDropper") + L"\r\n"
                        + std::wstring(40, L'-') + L"\r\n";
    m_dropperHint += L"[" + sMouseWheel + L"]:  " + Text("sZoomFactorLong") + L"\r\n";
    m_dropperHint += L"[Ctrl + " + sMouseWheel + L"]:  " + Text("sSourceSizeLong") + L"\r\n";
    m_dropperHint += L"[Alt + " + sMouseWheel + L"]:  " + Text("sSampleSizeLong") + L"\r\n";
    m_dropperHint += L"[Shift + " + sMouseWheel + L"]:  " + Text("sMouseSpeedLong");

    RebuildAccelerators();
    ApplyMenuLook();
    // Other captions can make the menu bar wrap, or stop wrapping.
    UpdateClientSize();

    // 8. The component names of the current color space.
    UpdateColorComponentsCaptions();
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
        SetChecked(idMSettings_AllowMultipleInstances, file.ReadBool("Settings", "AllowMultipleInstances", false));
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
