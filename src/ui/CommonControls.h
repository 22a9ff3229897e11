#pragma once

#include <windows.h>

// The common controls of version 6, the system's look for the tool tips,
// the message boxes' buttons, the color dialog and the About window's
// controls, are taken on at their first use, not at start.
//
// The process manifest asks for no version of them: with it, every edit box
// and label would come from comctl32, which would then load before the
// first frame (some 17 ms under Wine, for DLL set-up alone). The main
// window's edit boxes and labels are frameless and colored by the window,
// so the system's own classes draw them alike. Whatever wants the look of
// version 6 is made inside a TCommonControlsScope: its manifest (resource
// CommonControlsManifestId) is active there, so the windows made inside
// get the controls of version 6, and the first scope loads comctl32 and
// registers its classes.
class TCommonControlsScope {
public:
    TCommonControlsScope() noexcept;
    ~TCommonControlsScope();
    TCommonControlsScope(const TCommonControlsScope&) = delete;
    TCommonControlsScope& operator=(const TCommonControlsScope&) = delete;

private:
    ULONG_PTR m_cookie = 0;
    bool m_activated = false;
};
