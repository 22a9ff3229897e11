#pragma once

// Every section and key that the program reads from a language file. A
// complete language file holds all of them; the shipped files are checked
// against this list.

#include <span>
#include <string_view>

struct TLanguageSectionKeys {
    std::string_view Section;
    std::span<const std::string_view> Keys;
};

std::span<const TLanguageSectionKeys> LanguageFileKeys();
