#pragma once

// File names as UTF-8 text and back, without the standard library's
// conversion facets (which bring the whole locale machinery into the
// executable). On Windows a path holds UTF-16, elsewhere bytes.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Nothing for a Windows name with an unpaired surrogate, which has no UTF-8
// form.
std::optional<std::string> TryUtf8FromPath(const std::filesystem::path& path);
// As above, with U+FFFD where the name has no UTF-8 form: for messages.
std::string Utf8FromPath(const std::filesystem::path& path);
// Invalid UTF-8 becomes U+FFFD.
std::filesystem::path PathFromUtf8(std::string_view text);
