#pragma once

#include "app/Commands.h"
#include "app/MainIds.h"
#include "ui/ClipboardEx.h"
#include "ui/ThemedMenu.h"
#include "ui/Window.h"

#include "color/ColorFunctions.h"
#include "color/Contrast.h"
#include "color/RecentColors.h"
#include "dropper/DropperSettings.h"
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TScrollBar;
class TFlatButton;
class TColorBox;
class TColorSwitch;
class TContrastMarks;

// The main window: the hub that owns the color state and runs every command.
// Its methods are spread over a few files by concern: Main.cpp (creation,
// messages, commands), MainLayout.cpp (controls, fonts, DPI, painting),
// MainMenus.cpp (menus, shortcuts, texts), MainEditor.cpp (the color
// editor), MainSettings.cpp (the settings file).
class TFormMain final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TFormMain";

    // Creates the window; its creation handler runs. Show makes it visible.
    explicit TFormMain(HINSTANCE instance);
    ~TFormMain() override;

    void Show();

    bool Creating() const noexcept { return FCreating; }
    std::vector<std::string>& ErrorLog() noexcept { return FErrorLog; }
    TClipboardEx& ClipboardEx() noexcept { return *FClipboardEx; }
    bool HotKeyRegistered() const noexcept { return FHotKeyRegistered; }

    TColor ColorReference() const noexcept { return FColorReference; }
    void SetColorReference(TColor value);
    TColor ColorReference2() const noexcept { return FColorReference2; }
    void SetColorReference2(TColor value);
    TColorSpace GetColorSpace() const;
    void SetColorSpace(int value);
    TColorCodeFormat GetOutputFormat() const;
    void SetOutputFormat(int value);
    void CheckOutputFormat(int value);

    // Menu state and commands, as the user reaches them.
    bool IsChecked(int commandId) const noexcept;
    bool IsEnabled(int commandId) const noexcept;
    // The caption of a command's item in whichever menu holds it, without
    // its shortcut.
    std::wstring ItemCaption(int commandId) const { return MenuCaption(MenuOf(commandId), commandId); }
    // Runs a menu command as a click on its item: a toggle flips its own
    // check mark first.
    void Click(int commandId);
    HMENU MenuBar() const noexcept { return m_menuBar; }
    HWND Control(int controlId) const noexcept;
    // The name of a component row and the letter beside its edit box, as
    // drawn (the row's scroll bar carries the name for screen readers).
    const std::wstring& ComponentName(size_t row) const { return m_componentNames.at(row); }
    const std::wstring& ComponentLetter(size_t row) const { return m_componentLetters.at(row); }
    const std::wstring& DropperHint() const noexcept { return m_dropperHint; }
    // The control given the keyboard when the window is activated: the one
    // that last had it, else the first.
    HWND ControlToFocus() const noexcept;
    std::wstring CodeHint(int labelId) const;
    // The tool tip of the contrast ratio in two-color mode.
    std::wstring ContrastHint() const;
    UINT Dpi() const noexcept { return m_dpi; }
    // Newest first.
    const TRecentColors& RecentColors() const noexcept { return FRecentColors; }

    // One eye dropper run, modal. Tests put their own run here; empty, the
    // real one runs. The command around it keeps a second run from starting
    // during one.
    std::function<void()> DropperRun;
    bool DropperIsRunning() const noexcept { return FDropperIsRunning; }
    // A run ended with a pick: its settings are kept, the color becomes the
    // primary one, and a screen reader hears it.
    void DropperPicked(const TDropperValues& values, TColor color);

    // The four dropper settings.
    int FDropperZoomFactor = 8;
    int FDropperSourceSize = 49;
    int FDropperSampleSize = 1;
    int FDropperMouseSpeed = 5;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The one-shot automatic-copy timer.
    static constexpr UINT_PTR SingleUpdateClipboardTimer = 1;
    static constexpr UINT SingleUpdateClipboardInterval = 300;
    // Posted when assistive technology first asks for a control: the
    // annotations are made then, outside the client's call.
    static constexpr UINT AnnotateMessage = WM_APP + 2;
    // Sent when the event loop is next idle after the pointer first reached
    // a control with a hint.
    static constexpr UINT CreateTooltipsMessage = WM_APP + 3;

    // Main.cpp
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void SaveAtExit(bool reportErrors);
    void RunCommand(int commandId);
    void OpenAddress(const std::string& address) const;
    void CheckScreenColorDepth();
    void RegisterGlobalHotKey();
    void WMHotKey(WPARAM id);
    void WMSysCommand(WPARAM command);
    void SingleUpdateClipboardTimerTimer();
    void MTools_DropperClick();
    void RunDropper();
    void MTools_PaletteClick(int sender);
    void MHelp_FeedbackClick();
    void MHelp_AboutClick();
    void MDonateClick();
    void TMExitClick();
    void MSettings_WindowAlwaysOnTopClick();
    void MSettings_DisableSkin_FasterLaunchClick();
    void MSettings_UseTrayIconClick();
    void ThemeChanged();

    // MainLayout.cpp
    void CreateControls();
    void CreateFonts();
    // A rectangle given in pixels at 96 DPI, at the window's DPI (each
    // edge scaled, as the layout's positions are).
    RECT ScaledRect(int left, int top, int width, int height) const noexcept;
    // The rectangle of a control at the window's DPI.
    RECT ControlBounds(int controlId) const;
    // Where a row's name and its letter are drawn, at the window's DPI.
    RECT ComponentNameBounds(size_t row) const;
    RECT ComponentLetterBounds(size_t row) const;
    // The row's name or letter has changed: it is drawn again.
    void SetComponentName(size_t row, std::wstring name);
    void SetComponentLetter(size_t row, const wchar_t* letter);
    // Moves every control to its place after a DPI change; the fonts follow.
    void LayoutControls();
    void SetControlFonts();
    // Fits the window to its contents; while the window is being created
    // this waits for ResizeToContents at the end.
    void UpdateClientSize();
    // Fits the window to its contents; with menuBarChanged it does so also
    // when the client size is right, so the menu bar is measured anew. With
    // `placement` it also goes to its place from the settings, in one step.
    void ResizeToContents(bool menuBarChanged, const TSettings* placement = nullptr);
    // The client size the layout gives at a DPI.
    SIZE ClientSizeAt(UINT dpi) const noexcept;
    // Fonts, controls and menus made anew for another DPI; the window's
    // size follows separately.
    void ApplyDpi(UINT dpi);
    // WM_GETDPISCALEDSIZE: the outer size at the DPI of the monitor the
    // window is about to move to, so that the rectangle Windows suggests
    // next is the one the layout needs there.
    SIZE ScaledSizeFor(UINT dpi) const;
    // WM_DPICHANGED: the window takes the suggested rectangle, then makes
    // sure its client area is what the layout gives.
    void DpiChanged(UINT dpi, const RECT* suggested);
    int Scale(int pixels) const noexcept;
    void PaintWindow();
    LRESULT ControlColor(HDC dc, HWND control);
    void CreateTooltips();
    // The dropper button, the two code labels and the contrast ratio.
    std::array<HWND, 4> HintedControls() const noexcept;
    bool HasHint(HWND control) const noexcept;
    LRESULT TooltipNeedsText(NMTTDISPINFOW& info);
    void ShowControl(int controlId, bool visible);

    // MainMenus.cpp
    void CreateMenus();
    void ApplyMenuLook();
    void SetMenuCaption(HMENU menu, int commandId, const std::wstring& caption);
    void SetPopupCaption(HMENU parent, HMENU popup, const std::wstring& caption);
    void RebuildAccelerators();
    void ApplyLanguage();
    void UpdateAccessibleTexts();
    // The edit boxes' names (their rows' names) and the primary code as a
    // live region, for screen readers.
    void AnnotateControls();
    // A screen reader hears the new primary color without a move of focus.
    void AnnounceColor();
    void MColorClick();
    void MSettingsClick();
    void MSettings_LanguageItemClick(int commandId);
    void ShowCodePopup(int labelId, POINT screen);
    std::wstring Text(TMainText text) const;
    std::wstring Text(std::string_view section, std::string_view key) const;
    HMENU MenuHandle(TMenuId menu) const noexcept;
    void KeepMenu(TMenuId menu, HMENU handle);
    void SetChecked(int commandId, bool checked) noexcept;
    void CheckRadio(int first, int last, int commandId) noexcept;
    std::wstring MenuCaption(HMENU menu, int commandId) const;
    HMENU MenuOf(int commandId) const noexcept;

    // MainEditor.cpp
    void PaintColorBox(TColorBox& box, TColor color);
    std::wstring GetColorCode(TColor color) const;
    void UpdateColorCode(bool copyToClipboard);
    // Automatic copying's copy of the code: kept out of clipboard history.
    void CopyCodeAutomatically();
    void UpdateColorComponentsCaptions();
    void UpdateColorComponentsValues();
    void UpdateColor();
    void UpdateScrollBarRanges();
    void SBColorComponentChange(int sender);
    void EColorComponentChange(int sender);
    void MColorSpaceClick(int sender);
    void MOutputFormatClick(int sender);
    void UDColorSwitchClick();
    void MSettings_TwoColorModeClick();
    void MSettings_LoremIpsumTextClick();
    void MColorAdjust(int commandId);
    void MCode_CopyCodeToClipboardClick();
    void MCode_CopyCodeToClipboard2Click();
    void MClipboard_PasteCodeFromClipboardClick();
    void MSettings_AutomaticallyCopyCodeToClipboardClick();
    void MSettings_CodeOptionClick();
    void SetCodeLabel(int labelId, const std::wstring& text);
    void UpdateContrast();
    void MCode_CopyContrastRatioClick();
    // The Copy As items show their color in each form.
    void UpdateCopyAsCaptions();
    void MCopyAsClick(int commandId);

    // MainRecentColors.cpp
    // A color picked with the dropper, pasted or copied by a command goes to
    // the front of the recent colors.
    void RememberColor(TColor color);
    // The Recent Colors submenu (of the Color menu or the tray menu) opens:
    // its colors are put in front of its commands anew.
    void RecentColorsMenuOpens(HMENU menu);
    void MRecentColorClick(std::size_t index);
    void MRecentColors_CopyAllClick();
    void MRecentColors_CopyAllAsClick(int commandId);
    void MRecentColors_ClearClick();

    // MainSettings.cpp
    static TSettings ReadStoredSettings();
    void LoadSettings(const TSettings& stored);
    // Where the window of that outer size goes: its stored place, where
    // that is on a screen, else the middle of the primary screen.
    POINT WindowPlace(const TSettings& stored, SIZE outer) const;
    TSettings CollectSettings() const;
    void MSettings_SaveConfigurationClick();
    void MSettings_AllowMultipleInstancesClick();
    void MSettings_SaveConfigurationOnExitClick();
    void MSettings_LoadDefaultClick();
    void WriteSettingsAtExit();

    HINSTANCE m_instance;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;

    bool FCreating = false;
    // While the window is created, its size and menu bar wait for the end.
    bool m_frameDeferred = false;
    bool FSavedAtExit = false;
    std::vector<std::string> FErrorLog;
    TColor FColorReference = 0x808080;
    TColor FColorReference2 = 0x808080;
    bool FChangeEventLock = false;
    std::unique_ptr<TClipboardEx> FClipboardEx;
    bool FHotKeyRegistered = false;
    bool FDropperIsRunning = false;
    TRecentColors FRecentColors;
    // The settings file holds the list's key, or a color has come since the
    // start: saves write the list from now on (Settings.h).
    bool FRecentColorsStored = false;

    // Controls
    std::unique_ptr<TFlatButton> BDropper;
    std::unique_ptr<TFlatButton> BPalette;
    std::array<std::unique_ptr<TScrollBar>, 4> SBColorComponent;
    std::array<HWND, 4> EColorComponent{};
    // The rows' names and the letters beside their edit boxes, drawn by the
    // window itself (PaintWindow): texts that take no input need no window
    // of their own, and each child window costs time at start.
    std::array<std::wstring, 4> m_componentNames;
    std::array<std::wstring, 4> m_componentLetters{L"R", L"G", L"B", L" "};
    std::unique_ptr<TColorBox> ColorBoxPanel;
    std::unique_ptr<TColorBox> ColorBoxPanel2;
    HWND LColorCode = nullptr;
    HWND LColorCode2 = nullptr;
    std::unique_ptr<TColorSwitch> UDColorSwitch;
    std::unique_ptr<TContrastMarks> LContrastRatio;
    HWND m_tooltip = nullptr;
    bool m_tooltipsTried = false; // made once, or tried once without success
    // The control that had the keyboard when the window last lost the
    // activation (to a menu's owner, a dialog, a message box, the dropper or
    // another program); it gets it back on the next activation.
    HWND m_lastFocus = nullptr;
    // Whether a client of assistive technology has been seen, so that the
    // annotations are kept up to date.
    bool m_annotating = false;
    std::wstring m_tipText;

    // Fonts for the current DPI
    UniqueFont m_fontDefault;   // "MS Sans Serif" 11 px
    UniqueFont m_fontRatio;     // "MS Sans Serif" 10 px, the contrast ratio's
    UniqueFont m_fontEdit;      // "Courier New" 12 px
    UniqueFont m_fontEditLabel; // "Courier New" 15 px
    UniqueFont m_fontCode;      // "Courier New" 12 px bold
    int m_editTextHeight = 0;   // of m_fontEdit, in pixels
    UniqueFont m_fontMenu;

    // Menus
    HMENU m_menuBar = nullptr; // owned by the window once attached
    HMENU MClipboard = nullptr;
    HMENU MColor = nullptr;
    HMENU MColorSpace = nullptr;
    HMENU MOutputFormat = nullptr;
    HMENU MSettings = nullptr;
    HMENU MSettings_Languages = nullptr;
    HMENU MHelp = nullptr;
    HMENU MRecentColors = nullptr;
    HMENU MRecentColors_CopyAllAs = nullptr;
    // Inside TrayMenu, which frees them.
    HMENU TMRecentColors = nullptr;
    HMENU TMRecentColors_CopyAllAs = nullptr;
    UniqueMenu MTools;
    UniqueMenu CodePopupMenu;
    UniqueMenu CodePopupMenu2;
    UniqueMenu TrayMenu;
    // Copy As submenus, owned by the menus they sit in.
    HMENU MClipboard_CopyAs = nullptr;
    HMENU MCode_CopyAs = nullptr;
    HMENU MCode_CopyAs2 = nullptr;
    // The color last pasted from a text outside sRGB, while it is the
    // primary color: its code's hint says so.
    std::optional<TColor> m_pastedOutsideSrgb;
    TThemedMenu m_themedMenu;
    HACCEL m_accelerators = nullptr;

    // Module-wide texts set by ApplyLanguage
    std::wstring m_dropperHint;
    std::wstring sAlreadyInClipboard;
    std::wstring sNotInClipboard;
    std::wstring sLowScreenColorDepth;
    TContrastTexts m_contrastTexts;
};

// The one main window, while it exists.
extern TFormMain* FormMain;
