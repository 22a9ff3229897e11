#include "common/Path.h"

#include <string_view>

namespace {

#ifdef _WIN32
constexpr TPath::TChar PreferredSeparator = L'\\';
constexpr const TPath::TChar* Separators = L"\\/";
constexpr bool HasDrives = true;
#else
constexpr bool HasDrives = false;
constexpr TPath::TChar PreferredSeparator = '/';
constexpr const TPath::TChar* Separators = "/";
#endif

bool IsSeparator(TPath::TChar c)
{
    return std::basic_string_view<TPath::TChar>(Separators).find(c) != std::basic_string_view<TPath::TChar>::npos;
}

} // namespace

TPath TPath::FileName() const
{
    const auto last = FNative.find_last_of(Separators);
    return last == TString::npos ? *this : TPath(FNative.substr(last + 1));
}

TPath TPath::Folder() const
{
    const auto last = FNative.find_last_of(Separators);
    if (last == TString::npos)
        return TPath();
    // A name in a root keeps the root's separator: "/a.ini", "C:\a.ini", "\\?\C:\a.ini".
    const bool root = last == 0 || (HasDrives && FNative[last - 1] == TChar(':'));
    return TPath(FNative.substr(0, root ? last + 1 : last));
}

TPath TPath::operator/(const TPath& name) const
{
    if (FNative.empty())
        return name;
    TString joined = FNative;
    if (!IsSeparator(joined.back()))
        joined += PreferredSeparator;
    joined += name.FNative;
    return TPath(std::move(joined));
}
