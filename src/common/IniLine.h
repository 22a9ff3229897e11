#pragma once

// One line of an ini file, as the language files and the settings file read
// it. The two agree on almost everything (";" comments, "[" headers, the key
// before the first "="); where they differ, TIniRules names the difference.

#include <string_view>

struct TIniRules {
    enum class TSectionEnd {
        // "[name]" must be the whole line; "[a]b" is no header.
        LastCharacter,
        // The name ends at the first "]", and the rest of the line is
        // ignored, as in the Windows profile functions.
        FirstBracket,
    };
    enum class TBlanks {
        // The space and every control character.
        SpacesAndControls,
        // Space, tab, vertical tab and form feed, as the profile functions
        // trim.
        WhiteSpace,
    };

    TSectionEnd SectionEnd;
    TBlanks Blanks;
    // Whether "=value" is a key with an empty name or just another line.
    bool EmptyKeys;
};

// The language files: a header is the whole line, every control character is
// a blank, and "=value" has an empty key.
inline constexpr TIniRules LanguageFileRules{TIniRules::TSectionEnd::LastCharacter,
                                             TIniRules::TBlanks::SpacesAndControls, true};
// The settings file, read as the Windows profile functions read it.
inline constexpr TIniRules SettingsFileRules{TIniRules::TSectionEnd::FirstBracket, TIniRules::TBlanks::WhiteSpace,
                                             false};

enum class TIniLineKind { Blank, Comment, Section, Key, Other };

struct TIniLine {
    TIniLineKind Kind = TIniLineKind::Other;
    // The section or key name, trimmed; a view into the line, so a writer
    // can find its place in the file.
    std::string_view Name;
    // The value of a key, trimmed.
    std::string_view Value;
};

// The line without its line end.
TIniLine ReadIniLine(std::string_view line, const TIniRules& rules);

// The line trimmed as the rules trim.
std::string_view TrimIniText(std::string_view text, const TIniRules& rules);
