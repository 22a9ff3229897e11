#pragma once

// Every section and key that the program reads from a language file. A
// complete language file holds all of them; the shipped files are checked
// against this list.

#include <span>
#include <string>
#include <string_view>

class TLanguageFile;

struct TLanguageSectionKeys {
    std::string_view Section;
    std::span<const std::string_view> Keys;
};

std::span<const TLanguageSectionKeys> LanguageFileKeys();

// The English words of a text that came after the first language files, or
// nothing for any other key. A language file made for an earlier version
// lacks such a text; the window then shows these words.
std::string_view EnglishFallback(std::string_view section, std::string_view key);

// ReadString, with the English words of a later text where the file lacks
// it; every other missing key still shows as "[undefined]".
std::string ReadLanguageText(const TLanguageFile& file, std::string_view section, std::string_view key);
