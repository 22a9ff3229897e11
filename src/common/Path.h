#pragma once

// A file name in the system's own form: UTF-16 on Windows, bytes elsewhere,
// so every name the system lists comes back unchanged, also one that has no
// UTF-8 form. It does the little the program needs of a path; the standard
// library's std::filesystem::path would bring its locale and stream
// machinery into the executable, doubling its size.

#include <concepts>
#include <string>
#include <utility>

class TPath {
public:
#ifdef _WIN32
    using TChar = wchar_t;
#else
    using TChar = char;
#endif
    using TString = std::basic_string<TChar>;

    TPath() = default;
    explicit TPath(TString native) : FNative(std::move(native)) {}
    // Any path type that keeps its name in the same form, such as
    // std::filesystem::path where a caller (a test) holds one.
    template <class TOther>
    requires requires(const TOther& other)
    {
        {
            other.native()
            } -> std::convertible_to<const TString&>;
    }
    TPath(const TOther& other) : FNative(other.native()) {}

    const TString& Native() const
    {
        return FNative;
    }
    const TChar* CStr() const
    {
        return FNative.c_str();
    }
    bool Empty() const
    {
        return FNative.empty();
    }
    void Clear()
    {
        FNative.clear();
    }

    // The last name: what follows the last separator.
    TPath FileName() const;
    // What comes before the last name, without the separator; empty for a
    // name without a folder, the root itself for a name in the root.
    TPath Folder() const;

    // name inside this folder, with one separator between them.
    TPath operator/(const TPath& name) const;
    // Appends to the last name, as a suffix: "a.ini" += ".tmp".
    TPath& operator+=(const TPath& suffix)
    {
        FNative += suffix.FNative;
        return *this;
    }

    bool operator==(const TPath&) const = default;

private:
    TString FNative;
};
