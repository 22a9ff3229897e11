#pragma once

#include "common/Win32.h"

#include <oleacc.h>

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
// The answer to WM_GETOBJECT for OBJID_CLIENT.
LRESULT AnswerAccessibleQuery(TAccessibleObject& object, WPARAM wParam);
// The control is going away: clients still holding the object are told it is
// disconnected, and the caller's reference is dropped.
void ReleaseAccessibleObject(TAccessibleObject* object) noexcept;

// Tells clients that the control's value, name or state changed.
void NotifyAccessibleEvent(HWND control, DWORD event) noexcept;
