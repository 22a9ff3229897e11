#pragma once

#include "common/Win32.h"

#include <optional>
#include <string>

// All clipboard access of the program. A clipboard that another program
// holds open is not an error the user needs to hear about: the operation
// simply does not take place, without a message and without a retry.
class TClipboardEx {
public:
    explicit TClipboardEx(HWND owner) noexcept : m_owner(owner) {}

    bool HasText() const noexcept;
    // The Unicode text on the clipboard; nothing when there is none or the
    // clipboard cannot be opened.
    std::optional<std::wstring> GetText() const;
    // Puts the text on the clipboard; false when the clipboard was busy.
    bool SetText(const std::wstring& text) const;
    // Puts a copy of the bitmap on the clipboard; false when it was busy.
    bool SetBitmap(HBITMAP bitmap) const;

private:
    // OpenClipboard; a refusal is swallowed and reported as false.
    bool Open() const noexcept;

    HWND m_owner;
};
