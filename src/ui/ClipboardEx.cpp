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

// The pauses between attempts to open a held clipboard, 250 ms in all. A
// clipboard manager reading a new copy holds it for a few milliseconds, so
// the first pauses are short; the window's thread waits no longer than a
// user can notice.
constexpr DWORD OpenRetryPauses[] = {5, 10, 20, 40, 75, 100};

UniqueGlobal GlobalCopy(const void* data, size_t bytes) noexcept
{
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return {};
    void* target = ::GlobalLock(memory.get());
    if (!target)
        return {};
    std::memcpy(target, data, bytes);
    ::GlobalUnlock(memory.get());
    return memory;
}

// Marks the clipboard's new content as one that clipboard history, the
// cloud clipboard and clipboard managers leave alone. Windows documents
// both ways: the presence of ExcludeClipboardContentFromMonitorProcessing
// (any data), and a DWORD 0 in CanIncludeInClipboardHistory and
// CanUploadToCloudClipboard; managers of other makers know the first. A
// mark that cannot be set costs only the exclusion, never the copy.
void MarkAsPrivate() noexcept
{
    constexpr const wchar_t* Formats[] = {L"ExcludeClipboardContentFromMonitorProcessing",
                                          L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"};
    constexpr DWORD No = 0;
    for (const wchar_t* name : Formats) {
        const UINT format = ::RegisterClipboardFormatW(name);
        UniqueGlobal value = GlobalCopy(&No, sizeof No);
        if (format != 0 && value && ::SetClipboardData(format, value.get()))
            value.release(); // the clipboard owns it now
    }
}

} // namespace

bool TClipboardEx::Open() const noexcept
{
    if (::OpenClipboard(m_owner))
        return true;
    for (const DWORD pause : OpenRetryPauses) {
        ::Sleep(pause);
        if (::OpenClipboard(m_owner))
            return true;
    }
    return false;
}

bool TClipboardEx::HasText() const noexcept
{
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

std::optional<std::wstring> TClipboardEx::GetText(size_t maxLength) const
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
    while (length < capacity && length <= maxLength && text[length] != L'\0')
        ++length;
    std::optional<std::wstring> result;
    if (length <= maxLength)
        result.emplace(text, length);
    ::GlobalUnlock(data);
    return result;
}

bool TClipboardEx::SetText(const std::wstring& text, TClipboardCopy copy) const
{
    UniqueGlobal memory = GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (!memory)
        return false;

    if (!Open())
        return false;
    ClipboardScope scope;
    if (!::EmptyClipboard())
        return false;
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    memory.release(); // the clipboard owns it now
    if (copy == TClipboardCopy::Automatic)
        MarkAsPrivate();
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
