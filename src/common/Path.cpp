#include "common/Path.h"

#include <string_view>

namespace {

#ifdef _WIN32
constexpr TPath::TChar PreferredSeparator = L'\\';
constexpr const TPath::TChar* Separators = L"\\/";
#else
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
