#pragma once

// File names as UTF-8 text and back. On Windows a path holds UTF-16,
// elsewhere bytes.

#include "common/Path.h"

#include <optional>
#include <string>
#include <string_view>

// Nothing for a Windows name with an unpaired surrogate, which has no UTF-8
// form.
std::optional<std::string> TryUtf8FromPath(const TPath& path);
// As above, with U+FFFD where the name has no UTF-8 form: for messages.
std::string Utf8FromPath(const TPath& path);
// Invalid UTF-8 becomes U+FFFD.
TPath PathFromUtf8(std::string_view text);
