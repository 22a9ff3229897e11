#pragma once

#include "common/Win32.h"

#include <optional>
#include <string>

// Whether a copy is the user's own command, which belongs in the clipboard
// history like any copy, or one the program made by itself (automatic
// copying), which Windows is asked to keep out of the history and out of
// the cloud clipboard.
enum class TClipboardCopy { Command, Automatic };

// All clipboard access of the program. Clipboard managers, the cloud
// clipboard and remote desktop sessions open the clipboard for moments of
// their own, so a refusal is tried again for about a quarter of a second. A
// clipboard that stays held longer is not an error the user needs to hear
// about: the operation simply does not take place, without a message.
class TClipboardEx {
public:
    explicit TClipboardEx(HWND owner) noexcept : m_owner(owner) {}

    bool HasText() const noexcept;
    // The Unicode text on the clipboard; nothing when there is none, the
    // clipboard cannot be opened, or the text is longer than maxLength
    // characters, which is then neither read further nor copied.
    std::optional<std::wstring> GetText(size_t maxLength = static_cast<size_t>(-1)) const;
    // Puts the text on the clipboard; false when the clipboard was busy.
    bool SetText(const std::wstring& text, TClipboardCopy copy = TClipboardCopy::Command) const;
    // Puts a copy of the bitmap on the clipboard; false when it was busy.
    bool SetBitmap(HBITMAP bitmap) const;

private:
    // OpenClipboard, tried again while another program holds it; a lasting
    // refusal is swallowed and reported as false.
    bool Open() const noexcept;

    HWND m_owner;
};
