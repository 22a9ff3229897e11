// libFuzzer target: any bytes as the settings file's content. Decoding and
// encoding give the same bytes back, reads are safe, writing one key makes
// exactly that key read back while another key keeps its value, and many
// keys written at once give what writing them one by one gives.

#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void Read(std::string_view text, std::string_view section, std::string_view key)
{
    if (const auto value = FindSettingsValue(text, section, key))
        static_cast<void>(ParseSettingsInteger(*value));
    static_cast<void>(SettingsSectionExists(text, section));
    static_cast<void>(SettingsSectionHasKeys(text, section));
}

void CheckWrite(const TSettingsText& decoded, std::string_view section, std::string_view key, std::string_view value)
{
    const auto otherBefore = FindSettingsValue(decoded.Text, "Position", "Top");
    TSettingsText written = decoded;
    try {
        written.Text = SetSettingsValue(decoded.Text, section, key, value);
    } catch (const Exception&) {
        return; // a name or value the writer refuses
    }
    Check(FindSettingsValue(written.Text, section, key) == std::string(value));
    Check(SettingsSectionHasKeys(written.Text, section));
    if (section != "Position" || key != "Top")
        Check(FindSettingsValue(written.Text, "Position", "Top") == otherBefore);
    // What is written reads back as the same text.
    Check(DecodeSettingsText(EncodeSettingsText(written)).Text == written.Text);
}

// Many keys in one write give what the same writes one after another give.
void CheckManyWrites(const std::string& text, std::string_view section, std::string_view key)
{
    const TSettingsValue values[] = {{"Settings", "TwoColorMode", "1"},
                                     {section, key, "0x7F"},
                                     {"Position", "Top", "5"},
                                     {"settings", "twocolormode", "0"},
                                     {section, "Other", ""}};
    std::string oneByOne = text;
    try {
        for (const TSettingsValue& value : values)
            oneByOne = SetSettingsValue(oneByOne, value.Section, value.Key, value.Value);
    } catch (const Exception&) {
        bool refused = false;
        try {
            static_cast<void>(SetSettingsValues(text, values));
        } catch (const Exception&) {
            refused = true;
        }
        Check(refused);
        return;
    }
    Check(SetSettingsValues(text, values) == oneByOne);
}

std::string Printable(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes)
        text += static_cast<char>(0x20 + static_cast<unsigned char>(c) % 0x5F);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TSettingsText decoded = DecodeSettingsText(std::string(bytes));
    Check(EncodeSettingsText(decoded) == bytes);

    Read(decoded.Text, "Settings", "OutputFormat");
    Read(decoded.Text, "Position", "Top");
    // Names taken from the input reach sections and keys the fixed names
    // above never would.
    const std::size_t split = size / 4;
    const std::string_view section = bytes.substr(0, split / 2);
    const std::string_view key = bytes.substr(split / 2, split - split / 2);
    Read(decoded.Text, section, key);

    CheckWrite(decoded, "Settings", "TwoColorMode", "1");
    CheckWrite(decoded, "Settings", "Language", "Čeština");
    // Callers pass UTF-8; printable ASCII keeps input-made names valid in
    // every encoding while still hitting odd spellings.
    CheckWrite(decoded, Printable(section), Printable(key), "0x7F");
    CheckManyWrites(decoded.Text, Printable(section), Printable(key));
    return 0;
}
