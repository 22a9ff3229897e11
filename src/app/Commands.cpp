#include "app/Commands.h"

#include "common/Exception.h"

#include <algorithm>
#include <string>

const TCommand* FindCommand(int id) noexcept
{
    if (id == 0)
        return nullptr;
    const auto found =
        std::find_if(Commands.begin(), Commands.end(), [id](const TCommand& row) { return row.Id == id; });
    return found == Commands.end() ? nullptr : &*found;
}

const TCommand& MenuRow(TMenuId menu)
{
    const auto found = std::find_if(Commands.begin(), Commands.end(), [menu](const TCommand& row) {
        return row.Kind == TCommandKind::Menu && row.Opens == menu;
    });
    if (found == Commands.end())
        throw Exception("MenuRow: Unhandled TMenuId item");
    return *found;
}

bool IsToggle(int id) noexcept
{
    const TCommand* row = FindCommand(id);
    return row && row->Kind == TCommandKind::Toggle;
}

std::string ShortcutText(TShortcut shortcut)
{
    if (!shortcut.Key)
        return {};
    std::string text;
    if (shortcut.Modifiers & smCtrl)
        text += "Ctrl+";
    if (shortcut.Modifiers & smShift)
        text += "Shift+";
    if (shortcut.Modifiers & smAlt)
        text += "Alt+";
    return text + shortcut.Key;
}

const TCommand& CommandOf(bool TSettings::*setting)
{
    const auto found = std::find_if(Commands.begin(), Commands.end(),
                                    [setting](const TCommand& row) { return row.Setting == setting; });
    if (found == Commands.end())
        throw Exception("CommandOf: Unhandled TSettings member");
    return *found;
}

std::vector<std::string_view> LanguageKeysIn(std::string_view section)
{
    std::vector<std::string_view> keys;
    if (section == FormMainSection)
        keys.assign(std::begin(MainTextKeys), std::end(MainTextKeys));
    for (const TCommand& row : Commands)
        if (row.TextSection == section)
            keys.push_back(row.Name);
    return keys;
}

std::string NameOfCaption(std::string_view caption)
{
    std::string name;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&')
            name += caption[i];
        else if (i + 1 < caption.size() && caption[i + 1] == '&')
            name += caption[++i]; // "&&" shows one "&"
    }
    for (const std::string_view ellipsis : {std::string_view("..."), std::string_view("\xE2\x80\xA6")})
        if (name.size() >= ellipsis.size() && name.ends_with(ellipsis))
            name.resize(name.size() - ellipsis.size());
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string ValueRangeText(std::string_view pattern, int min, int max)
{
    std::string text(pattern);
    const auto fill = [&text](std::string_view placeholder, int value) {
        const std::string number = std::to_string(value);
        for (std::size_t at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + number.size()))
            text.replace(at, placeholder.size(), number);
    };
    fill("{min}", min);
    fill("{max}", max);
    return text;
}
