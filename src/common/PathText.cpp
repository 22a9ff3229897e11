#include "common/PathText.h"

#include "common/Text.h"

#include <type_traits>

namespace {

// Templates, so that only the branch of the system's kind of name is
// compiled: UTF-16 on Windows, bytes elsewhere.
template <class Native>
std::optional<std::string> Convert(const Native& native, TInvalidText invalid)
{
    if constexpr (std::is_same_v<typename Native::value_type, wchar_t>)
        return Utf16ToUtf8(std::u16string(native.begin(), native.end()), invalid);
    else
        return native;
}

template <class Char>
TPath FromUtf8(std::string_view text)
{
    if constexpr (std::is_same_v<Char, wchar_t>) {
        const std::u16string units = Utf8ToUtf16(text, TInvalidText::Replace).value_or(std::u16string());
        return TPath(std::basic_string<Char>(units.begin(), units.end()));
    } else {
        return TPath(std::basic_string<Char>(text));
    }
}

} // namespace

std::optional<std::string> TryUtf8FromPath(const TPath& path)
{
    return Convert(path.Native(), TInvalidText::Refuse);
}

std::string Utf8FromPath(const TPath& path)
{
    return Convert(path.Native(), TInvalidText::Replace).value_or(std::string());
}

TPath PathFromUtf8(std::string_view text)
{
    return FromUtf8<TPath::TChar>(text);
}
