// Feeds arbitrary bytes to the paste reader under every assumed format and
// checks what paste relies on: no exception; every text StrToColor reads
// keeps StrToColor's result and a text nothing reads gets StrToColor's
// answer; a valid result is a color that reads back from its own code; and a
// CSS color reads the same in any letter case and from its own #rrggbb and
// rgb() forms; a color in every Copy As form reads back as itself.

#include "color/CssColor.h"
#include "color/CssColorForms.h"
#include "color/PastedCode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "PastedCodeToColor invariant broken: %s\n", what);
        std::abort();
    }
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int assumed = ccfHTMLCSS; assumed <= ccfWindowsColorReference; ++assumed) {
        auto todayFormat = static_cast<TColorCodeFormat>(assumed);
        bool todayValid = false;
        bool todayPrefix = false;
        const TColor today = StrToColor(text, todayFormat, todayValid, todayPrefix);

        auto format = static_cast<TColorCodeFormat>(assumed);
        bool valid = false;
        bool hasPrefix = false;
        const TColor color = PastedCodeToColor(text, format, valid, hasPrefix);

        if (todayValid || !valid) {
            Check(valid == todayValid && color == today && format == todayFormat && hasPrefix == todayPrefix,
                  "differs from StrToColor where StrToColor decides");
            continue;
        }
        Check(color >= 0 && color <= 0xFFFFFF, "valid result outside 0..0xFFFFFF");
        Check(format <= ccfWindowsColorReference, "format out of range");
        for (const bool uppercase : {true, false}) {
            for (const bool withPrefix : {true, false}) {
                TColorCodeFormat readFormat = format;
                bool readValid = false;
                bool readPrefix = false;
                const TColor readBack = PastedCodeToColor(ColorToStr(color, format, uppercase, withPrefix), readFormat,
                                                          readValid, readPrefix);
                Check(readValid && readBack == color && readFormat == format, "code does not read back");
            }
        }
    }

    if (const std::optional<TColor> css = CssColorToColor(text)) {
        Check(*css >= 0 && *css <= 0xFFFFFF, "CSS color outside 0..0xFFFFFF");
        Check(CssColorToColor(UpperAscii(text)) == css, "CSS color depends on letter case");
        const TRGB rgb = ColorToRGB(*css);
        const std::string functional =
            "rgb(" + std::to_string(rgb.R) + " " + std::to_string(rgb.G) + " " + std::to_string(rgb.B) + ")";
        Check(CssColorToColor(functional) == css, "rgb() of the color does not read back");
        Check(CssColorToColor(ColorToStr(*css, ccfHTMLCSS, false, true)) == css, "#rrggbb does not read back");
        for (const TCssForm form : CssForms)
            Check(CssColorToColor(CssFormText(*css, form, false)) == css, "a Copy As form does not read back");
    }
    return 0;
}
