#include "ui/ClipboardEx.h"

#include <cstring>

namespace {

// Closes the clipboard at the end of the scope that opened it.
class ClipboardScope {
public:
    ClipboardScope() = default;
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    ~ClipboardScope() { ::CloseClipboard(); }
};

// Global memory handed to SetClipboardData; freed here unless the clipboard
// took ownership.
struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle Null() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::GlobalFree(h); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

} // namespace

bool TClipboardEx::Open() const noexcept
{
    return ::OpenClipboard(m_owner) != FALSE;
}

bool TClipboardEx::HasText() const noexcept
{
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

std::optional<std::wstring> TClipboardEx::GetText() const
{
    if (!HasText() || !Open())
        return std::nullopt;
    ClipboardScope scope;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!text)
        return std::nullopt;
    // The data need not be terminated within its block: never read past it.
    const size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && text[length] != L'\0')
        ++length;
    std::wstring result(text, length);
    ::GlobalUnlock(data);
    return result;
}

bool TClipboardEx::SetText(const std::wstring& text) const
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* target = ::GlobalLock(memory.get());
    if (!target)
        return false;
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());

    if (!Open())
        return false;
    ClipboardScope scope;
    if (!::EmptyClipboard())
        return false;
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    memory.release(); // the clipboard owns it now
    return true;
}

bool TClipboardEx::SetBitmap(HBITMAP bitmap) const
{
    // The clipboard takes ownership of what it is given, so it gets a copy.
    UniqueBitmap copy(static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)));
    if (!copy)
        return false;
    if (!Open())
        return false;
    ClipboardScope scope;
    if (!::EmptyClipboard())
        return false;
    if (!::SetClipboardData(CF_BITMAP, copy.get()))
        return false;
    copy.release();
    return true;
}
