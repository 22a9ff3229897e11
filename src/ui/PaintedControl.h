#pragma once

#include "ui/Accessible.h"
#include "ui/Window.h"

#include <string>

// A control that draws itself: every paint goes through a back buffer (no
// flicker), the background is never erased separately, and WM_PRINTCLIENT
// draws the same picture into the caller's DC.
//
// It also speaks to assistive technology: WM_GETOBJECT answers with an
// accessible object whose name is the window text (the owner sets it), whose
// role, value and action the control gives, and whose description the owner
// may add. A change of the window text is announced as a change of name.
class TPaintedControl : public Window, private IAccessibleSource {
public:
    void SetAccessibleDescription(std::wstring description);
    // The word for the default action, where the control has one.
    void SetAccessibleDefaultAction(std::wstring action);
    // The keys that do what the control does, as the menus write them.
    void SetAccessibleKeyboardShortcut(std::wstring keys) { m_keyboardShortcut = std::move(keys); }

    // The DPI of the control's monitor, which its drawing follows; a change
    // repaints it.
    void SetDpi(UINT dpi);
    // The font of its text; the caller keeps it alive. Null means the
    // default GUI font. WM_SETFONT does the same.
    void SetFont(HFONT font);

protected:
    TPaintedControl() = default;
    ~TPaintedControl() override;

    // Makes the control's window, of the class `className` (registered on
    // first use: redrawn whole on a resize, with the arrow cursor, plus
    // `classStyle`), a child of `parent` with WS_CHILD and `style`, visible
    // when `place` says so, at its place, with the id `controlId`.
    void CreateControlWindow(const wchar_t* className, UINT classStyle, DWORD style, HWND parent, int controlId,
                             const TChildPlace& place);

    // Draws the whole control into dc, whose client area is `client`.
    virtual void Paint(HDC dc, const RECT& client) const = 0;

    // Asks for a repaint of the whole control.
    void Invalidate() const noexcept;

    UINT Dpi() const noexcept { return m_dpi; }
    // The font set, or the default GUI font.
    HFONT Font() const noexcept;
    // What a control makes anew for another DPI, beyond the repaint.
    virtual void DpiChanged() {}

    // What the derived control says of itself.
    LONG AccessibleRole() const noexcept override = 0;
    std::wstring AccessibleValue() const override { return {}; }
    HRESULT PutAccessibleValue(const std::wstring&) override { return DISP_E_MEMBERNOTFOUND; }
    DWORD AccessibleExtraState() const noexcept override { return 0; }
    virtual bool HasAccessibleDefaultAction() const noexcept { return false; }
    // Runs the default action; called from the message loop, after the
    // client that asked for it has its answer.
    virtual void AccessibleDefaultActionRun() {}
    // Tells clients that the value changed (EVENT_OBJECT_VALUECHANGE) or
    // another event of the control's own.
    void NotifyAccessible(DWORD event) const noexcept;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void HandleDestroyed() override;

private:
    HWND AccessibleWindow() const noexcept override { return Handle(); }
    std::wstring AccessibleName() const override;
    std::wstring AccessibleDescription() const override { return m_description; }
    std::wstring AccessibleDefaultAction() const override;
    std::wstring AccessibleKeyboardShortcut() const override { return m_keyboardShortcut; }
    void RequestAccessibleDefaultAction() override;
    void ReleaseAccessible() noexcept;

    TAccessibleObject* m_accessible = nullptr; // one reference is ours
    std::wstring m_description;
    std::wstring m_defaultAction;
    std::wstring m_keyboardShortcut;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    HFONT m_font = nullptr; // not ours
};
