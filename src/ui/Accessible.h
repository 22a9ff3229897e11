#pragma once

#include "common/Win32.h"

#include <oleacc.h>

#include <optional>
#include <string>

// What a self-drawn control tells assistive technology about itself. The
// control answers; TAccessibleObject turns the answers into the system's
// accessibility interface.
class IAccessibleSource {
public:
    virtual HWND AccessibleWindow() const noexcept = 0;
    virtual LONG AccessibleRole() const noexcept = 0; // ROLE_SYSTEM_...
    virtual std::wstring AccessibleName() const = 0;
    // Empty: the control has no value.
    virtual std::wstring AccessibleValue() const = 0;
    // S_OK when the text was taken; E_INVALIDARG when it is no value the
    // control can have; DISP_E_MEMBERNOTFOUND when its value is read-only.
    virtual HRESULT PutAccessibleValue(const std::wstring& value) = 0;
    virtual std::wstring AccessibleDescription() const = 0;
    // STATE_SYSTEM_... beyond what the window itself says (visible, enabled,
    // focusable, focused).
    virtual DWORD AccessibleExtraState() const noexcept = 0;
    // Empty: the control has no default action.
    virtual std::wstring AccessibleDefaultAction() const = 0;
    // Asks for the default action; it runs once the caller has returned.
    virtual void RequestAccessibleDefaultAction() = 0;
    // The keys that do what the control does ("Shift+Alt+D"); empty: none.
    virtual std::wstring AccessibleKeyboardShortcut() const { return {}; }

protected:
    ~IAccessibleSource() = default;
};

// The IAccessible of one self-drawn control, without children. Where, under
// whom and next to whom the control is comes from the system's own object of
// the window, so it agrees with every other window; the rest comes from the
// source. Clients hold references of their own: once the control is gone the
// object answers that it is disconnected.
class TAccessibleObject;

// A new object for the source; the caller holds one reference.
TAccessibleObject* NewAccessibleObject(IAccessibleSource& source);
// WM_GETOBJECT for a window that speaks through SOURCE: for OBJID_CLIENT it
// makes OBJECT on the first query (the window keeps its reference) and
// answers with it; any other object id is left to the system (nullopt).
std::optional<LRESULT> AnswerClientQuery(TAccessibleObject*& object, IAccessibleSource& source, WPARAM wParam,
                                         LPARAM lParam);
// The control is going away: clients still holding the object are told it is
// disconnected, and the caller's reference is dropped.
void ReleaseAccessibleObject(TAccessibleObject* object) noexcept;

// Tells clients that the control's value, name or state changed.
void NotifyAccessibleEvent(HWND control, DWORD event) noexcept;

// Dynamic annotation of the accessible objects the system makes for a
// window (oleacc's IAccPropServices): what a stock control cannot say of
// itself. Each returns whether the system took it.
//
// The name an edit box is read by, where the label beside it is painted.
bool AnnotateAccessibleName(HWND window, const std::wstring& name) noexcept;
// The role a stock control is read with (a static text that is a link).
bool AnnotateAccessibleRole(HWND window, LONG role) noexcept;
// A polite live region: a change of its name is read out when it is
// announced (AnnounceLiveRegion), wherever the focus is.
bool AnnotatePoliteLiveRegion(HWND window) noexcept;
void AnnounceLiveRegion(HWND window) noexcept;

// Runs once, when the first client of assistive technology asks one of the
// program's windows for its accessible object: the annotations wait for it,
// so a start without a screen reader loads no COM.
void CallOnFirstAccessibleClient(void (*call)(void* context), void* context) noexcept;
// Whether a client of assistive technology has asked the program's windows
// for their accessible objects.
bool AccessibleClientSeen() noexcept;

// Wine takes no annotation (E_NOTIMPL): tests put a recorder in the
// system's place. Null restores the system.
using TAnnotateProperty = HRESULT (*)(HWND window, const GUID& property, const VARIANT& value);
void SetAnnotationForTesting(TAnnotateProperty annotate) noexcept;
