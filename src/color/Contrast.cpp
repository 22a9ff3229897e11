#include "color/Contrast.h"

#include <cmath>

namespace {

// An sRGB component 0..255 as linear light 0..1. The linear segment ends at
// 0.04045 in the sRGB standard; WCAG 2 writes 0.03928, from an earlier draft
// of it. No 8-bit value lies between the two (10/255 = 0.0392 is below both,
// 11/255 = 0.0431 above both), so either gives the same luminances here.
double LinearComponent(int component)
{
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    return 0.2126 * LinearComponent(rgb.R) + 0.7152 * LinearComponent(rgb.G) + 0.0722 * LinearComponent(rgb.B);
}

double ContrastRatio(TColor first, TColor second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    const double lighter = a > b ? a : b;
    const double darker = a > b ? b : a;
    return (lighter + 0.05) / (darker + 0.05);
}

TContrastLevels ContrastLevels(double ratio)
{
    return {ratio >= AANormalTextRatio, ratio >= AALargeTextRatio, ratio >= AAANormalTextRatio,
            ratio >= AAALargeTextRatio};
}

std::string ContrastRatioText(double ratio)
{
    // Hundredths, cut off. The product ratio * 100 is rounded and may land on
    // the next whole number just above a ratio that is a hair below it; the
    // fused multiply-add tells the exact sign of ratio * 100 - hundredths.
    auto hundredths = static_cast<long long>(std::floor(ratio * 100.0));
    if (std::fma(ratio, 100.0, -static_cast<double>(hundredths)) < 0.0)
        --hundredths;
    const long long whole = hundredths / 100;
    const long long fraction = hundredths % 100;
    return std::to_string(whole) + "." + (fraction < 10 ? "0" : "") + std::to_string(fraction) + ":1";
}

std::string ContrastHint(double ratio, const TContrastTexts& texts)
{
    const TContrastLevels levels = ContrastLevels(ratio);
    const auto line = [&texts](const char* level, const std::string& size, const char* least, bool passes) {
        return std::string("\r\n") + level + ", " + size + " (" + least + "): " + (passes ? texts.Passes : texts.Fails);
    };
    return texts.ContrastRatio + ": " + ContrastRatioText(ratio) + "\r\n" + texts.Marks
           + line("AA", texts.NormalText, "4.5:1", levels.AANormalText)
           + line("AA", texts.LargeText, "3:1", levels.AALargeText)
           + line("AAA", texts.NormalText, "7:1", levels.AAANormalText)
           + line("AAA", texts.LargeText, "4.5:1", levels.AAALargeText);
}
