#include "color/CssColorForms.h"

#include "color/CssColorSpaces.h"

#include <cmath>
#include <cstdio>

namespace {

// Decimals of the three channels of each form, indexed by TCssForm.
constexpr std::array<std::array<int, 3>, 9> FormDecimals{{
    {0, 0, 0}, // #rrggbb
    {0, 0, 0}, // rgb(r g b)
    {1, 1, 1}, // hsl(h s% l%)
    {1, 1, 1}, // hwb(h w% b%)
    {2, 2, 2}, // lab(L a b)
    {2, 2, 2}, // lch(L C h)
    {2, 5, 5}, // oklab(L% a b)
    {2, 5, 2}, // oklch(L% C h)
    {4, 4, 4}, // color(display-p3 r g b)
}};

std::int64_t Power10(int exponent)
{
    std::int64_t power = 1;
    while (exponent-- > 0)
        power *= 10;
    return power;
}

std::int64_t Units(double value, int decimals)
{
    return std::llround(value * static_cast<double>(Power10(decimals)));
}

// A hue in 0..360 in units; a hue that rounds to 360 is 0.
std::int64_t HueUnits(double hue, int decimals)
{
    const std::int64_t units = Units(hue, decimals);
    return units >= 360 * Power10(decimals) ? 0 : units;
}

// "-12.5" for -1250 units with 2 decimals: at most the decimals, trailing
// zeros dropped, no sign on zero.
std::string Number(std::int64_t units, int decimals)
{
    std::string text = units < 0 ? "-" : "";
    const std::uint64_t magnitude =
        units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    const auto power = static_cast<std::uint64_t>(Power10(decimals));
    text += std::to_string(magnitude / power);
    std::uint64_t fraction = magnitude % power;
    if (fraction != 0) {
        int digits = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        const std::string written = std::to_string(fraction);
        text += '.';
        text.append(static_cast<std::size_t>(digits) - written.size(), '0');
        text += written;
    }
    return text;
}

} // namespace

TCssFormValues CssFormValues(TColor color, TCssForm form)
{
    TCssFormValues values;
    values.Form = form;
    values.Decimals = FormDecimals[static_cast<std::size_t>(form)];
    const auto& d = values.Decimals;
    auto& u = values.Units;
    const TRGB rgb = ColorToRGB(color);
    const TTriple srgb{rgb.R / 255.0, rgb.G / 255.0, rgb.B / 255.0};
    switch (form) {
    case TCssForm::Hex:
    case TCssForm::Rgb: u = {rgb.R, rgb.G, rgb.B}; break;
    case TCssForm::Hsl: {
        const TTriple hsl = SrgbToHsl(srgb);
        u = {HueUnits(hsl[0], d[0]), Units(hsl[1] * 100, d[1]), Units(hsl[2] * 100, d[2])};
        values.HueNone = u[1] == 0;
        break;
    }
    case TCssForm::Hwb: {
        const TTriple hwb = SrgbToHwb(srgb);
        u = {HueUnits(hwb[0], d[0]), Units(hwb[1] * 100, d[1]), Units(hwb[2] * 100, d[2])};
        values.HueNone = u[1] * Power10(d[2] - d[1]) + u[2] >= 100 * Power10(d[2]);
        break;
    }
    case TCssForm::Lab:
    case TCssForm::Lch: {
        const TTriple lab = XyzD50ToLab(XyzD65ToXyzD50(LinearSrgbToXyzD65(ColorToLinearSrgb(color))));
        const TTriple written = form == TCssForm::Lab ? lab : LabToPolar(lab);
        u = {Units(written[0], d[0]), Units(written[1], d[1]),
             form == TCssForm::Lab ? Units(written[2], d[2]) : HueUnits(written[2], d[2])};
        values.HueNone = form == TCssForm::Lch && u[1] == 0;
        break;
    }
    case TCssForm::Oklab:
    case TCssForm::Oklch: {
        const TTriple lab = LinearSrgbToOklab(ColorToLinearSrgb(color));
        const TTriple written = form == TCssForm::Oklab ? lab : LabToPolar(lab);
        u = {Units(written[0] * 100, d[0]), Units(written[1], d[1]),
             form == TCssForm::Oklab ? Units(written[2], d[2]) : HueUnits(written[2], d[2])};
        values.HueNone = form == TCssForm::Oklch && u[1] == 0;
        break;
    }
    case TCssForm::DisplayP3: {
        const TTriple p3 = LinearToSrgb(XyzD65ToLinearP3(LinearSrgbToXyzD65(ColorToLinearSrgb(color))));
        u = {Units(p3[0], d[0]), Units(p3[1], d[1]), Units(p3[2], d[2])};
        break;
    }
    }
    if (values.HueNone)
        u[form == TCssForm::Hsl || form == TCssForm::Hwb ? 0 : 2] = 0;
    return values;
}

std::string CssFormText(const TCssFormValues& values, bool uppercase)
{
    const auto& u = values.Units;
    const auto number = [&values](std::size_t i) { return Number(values.Units[i], values.Decimals[i]); };
    const auto hue = [&](std::size_t i) { return values.HueNone ? std::string("none") : number(i); };
    switch (values.Form) {
    case TCssForm::Hex: {
        char text[8];
        std::snprintf(text, sizeof text, uppercase ? "#%02X%02X%02X" : "#%02x%02x%02x", static_cast<unsigned>(u[0]),
                      static_cast<unsigned>(u[1]), static_cast<unsigned>(u[2]));
        return text;
    }
    case TCssForm::Rgb: return "rgb(" + number(0) + " " + number(1) + " " + number(2) + ")";
    case TCssForm::Hsl: return "hsl(" + hue(0) + " " + number(1) + "% " + number(2) + "%)";
    case TCssForm::Hwb: return "hwb(" + hue(0) + " " + number(1) + "% " + number(2) + "%)";
    case TCssForm::Lab: return "lab(" + number(0) + " " + number(1) + " " + number(2) + ")";
    case TCssForm::Lch: return "lch(" + number(0) + " " + number(1) + " " + hue(2) + ")";
    case TCssForm::Oklab: return "oklab(" + number(0) + "% " + number(1) + " " + number(2) + ")";
    case TCssForm::Oklch: return "oklch(" + number(0) + "% " + number(1) + " " + hue(2) + ")";
    case TCssForm::DisplayP3: return "color(display-p3 " + number(0) + " " + number(1) + " " + number(2) + ")";
    }
    return {};
}

std::string CssFormText(TColor color, TCssForm form, bool uppercase)
{
    return CssFormText(CssFormValues(color, form), uppercase);
}
