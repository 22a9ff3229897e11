#include "common/IniLine.h"

#include "common/Text.h"

std::string_view TrimIniText(std::string_view text, const TIniRules& rules)
{
    return rules.Blanks == TIniRules::TBlanks::SpacesAndControls ? Trim(text) : Trim(text, " \t\v\f");
}

TIniLine ReadIniLine(std::string_view line, const TIniRules& rules)
{
    const std::string_view text = TrimIniText(line, rules);
    if (text.empty())
        return {TIniLineKind::Blank, {}, {}};
    if (text.front() == ';')
        return {TIniLineKind::Comment, {}, {}};
    if (text.front() == '[') {
        const std::size_t close =
            rules.SectionEnd == TIniRules::TSectionEnd::FirstBracket
                ? text.find(']')
                : (text.size() >= 2 && text.back() == ']' ? text.size() - 1 : std::string_view::npos);
        if (close != std::string_view::npos)
            return {TIniLineKind::Section, TrimIniText(text.substr(1, close - 1), rules), {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    const std::string_view name = TrimIniText(text.substr(0, equals), rules);
    if (name.empty() && !rules.EmptyKeys)
        return {};
    return {TIniLineKind::Key, name, TrimIniText(text.substr(equals + 1), rules)};
}
