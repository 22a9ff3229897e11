#include "color/CssColorSpaces.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using TMatrix = std::array<TTriple, 3>;

TTriple Times(const TMatrix& m, const TTriple& v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// The matrices as CSS Color 4 publishes them (its sample code), the RGB
// ones as exact fractions.
constexpr TMatrix LinearSrgbToXyz{{
    {506752.0 / 1228815.0, 87881.0 / 245763.0, 12673.0 / 70218.0},
    {87098.0 / 409605.0, 175762.0 / 245763.0, 12673.0 / 175545.0},
    {7918.0 / 409605.0, 87881.0 / 737289.0, 1001167.0 / 1053270.0},
}};
constexpr TMatrix XyzToLinearSrgb{{
    {12831.0 / 3959.0, -329.0 / 214.0, -1974.0 / 3959.0},
    {-851781.0 / 878810.0, 1648619.0 / 878810.0, 36519.0 / 878810.0},
    {705.0 / 12673.0, -2585.0 / 12673.0, 705.0 / 667.0},
}};
constexpr TMatrix LinearP3ToXyz{{
    {608311.0 / 1250200.0, 189793.0 / 714400.0, 198249.0 / 1000160.0},
    {35783.0 / 156275.0, 247089.0 / 357200.0, 198249.0 / 2500400.0},
    {0.0, 32229.0 / 714400.0, 5220557.0 / 5000800.0},
}};
constexpr TMatrix XyzToLinearP3{{
    {446124.0 / 178915.0, -333277.0 / 357830.0, -72051.0 / 178915.0},
    {-14852.0 / 17905.0, 63121.0 / 35810.0, 423.0 / 17905.0},
    {11844.0 / 330415.0, -50337.0 / 660830.0, 316169.0 / 330415.0},
}};
constexpr TMatrix LinearRec2020ToXyz{{
    {63426534.0 / 99577255.0, 20160776.0 / 139408157.0, 47086771.0 / 278816314.0},
    {26158966.0 / 99577255.0, 472592308.0 / 697040785.0, 8267143.0 / 139408157.0},
    {0.0, 19567812.0 / 697040785.0, 295819943.0 / 278816314.0},
}};
// Bradford chromatic adaptation.
constexpr TMatrix D65ToD50{{
    {1.0479297925449969, 0.022946870601609652, -0.05019226628920524},
    {0.02962780877005599, 0.9904344267538799, -0.017073799063418826},
    {-0.009243040646204504, 0.015055191490298152, 0.7518742814281371},
}};
constexpr TMatrix D50ToD65{{
    {0.955473421488075, -0.02309845494876471, 0.06325924320057072},
    {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
    {0.012314014864481998, -0.020507649298898964, 1.330365926242124},
}};
constexpr TMatrix XyzToLms{{
    {0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
    {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
    {0.0481771893596242, 0.2642395317527308, 0.6335478284694309},
}};
constexpr TMatrix LmsToOklab{{
    {0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
    {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
    {0.0259040424655478, 0.7827717124575296, -0.8086757549230774},
}};
constexpr TMatrix OklabToLms{{
    {1.0, 0.3963377773761749, 0.2158037573099136},
    {1.0, -0.1055613458156586, -0.0638541728258133},
    {1.0, -0.0894841775298119, -1.2914855480194092},
}};
constexpr TMatrix LmsToXyz{{
    {1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
    {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
    {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816},
}};

constexpr TTriple D50White{0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};

// Lab's constants as exact fractions.
constexpr double LabEpsilon = 216.0 / 24389.0;
constexpr double LabKappa = 24389.0 / 27.0;

// The sRGB transfer function, extended to negative values by symmetry as
// CSS does.
double SrgbChannelToLinear(double c)
{
    const double magnitude = std::abs(c);
    if (magnitude <= 0.04045)
        return c / 12.92;
    return std::copysign(std::pow((magnitude + 0.055) / 1.055, 2.4), c);
}

double LinearChannelToSrgb(double c)
{
    const double magnitude = std::abs(c);
    if (magnitude <= 0.0031308)
        return c * 12.92;
    return std::copysign(1.055 * std::pow(magnitude, 1 / 2.4) - 0.055, c);
}

double Rec2020ChannelToLinear(double c)
{
    constexpr double Alpha = 1.09929682680944;
    constexpr double Beta = 0.018053968510807;
    const double magnitude = std::abs(c);
    if (magnitude < Beta * 4.5)
        return c / 4.5;
    return std::copysign(std::pow((magnitude + Alpha - 1) / Alpha, 1 / 0.45), c);
}

double NormalHue(double hue)
{
    hue = std::fmod(hue, 360.0);
    return hue < 0 ? hue + 360 : hue;
}

double DeltaEOk(const TTriple& a, const TTriple& b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

bool InGamut(const TTriple& rgb)
{
    return std::all_of(rgb.begin(), rgb.end(), [](double c) { return c >= 0 && c <= 1; });
}

TTriple Clip(const TTriple& rgb)
{
    return {std::clamp(rgb[0], 0.0, 1.0), std::clamp(rgb[1], 0.0, 1.0), std::clamp(rgb[2], 0.0, 1.0)};
}

TTriple LinearToOklch(const TTriple& linear)
{
    return LabToPolar(LinearSrgbToOklab(linear));
}

TTriple OklchToLinear(const TTriple& lch)
{
    return OklabToLinearSrgb(PolarToLab(lch));
}

// CSS Color 4's gamut mapping to sRGB, step by step as it is written there,
// but on linear sRGB values: the transfer function keeps 0 and 1 and the
// order of values, so a channel is in gamut, and clipped, alike in either.
// A color in gamut returns at once, which CSS does after its tests of the
// lightness; for such a color they make no difference.
TTriple GamutMapped(const TTriple& origin)
{
    constexpr double Jnd = 0.02;
    constexpr double Epsilon = 0.0001;
    if (InGamut(origin))
        return origin;
    const TTriple originLch = LinearToOklch(origin);
    if (originLch[0] >= 1)
        return {1, 1, 1};
    if (originLch[0] <= 0)
        return {0, 0, 0};
    TTriple current = originLch;
    TTriple clipped = Clip(origin);
    if (DeltaEOk(LinearSrgbToOklab(clipped), PolarToLab(current)) < Jnd)
        return clipped;
    double min = 0;
    double max = originLch[1];
    bool minInGamut = true;
    while (max - min > Epsilon) {
        const double chroma = (min + max) / 2;
        current[1] = chroma;
        const TTriple currentLinear = OklchToLinear(current);
        if (minInGamut && InGamut(currentLinear)) {
            min = chroma;
            continue;
        }
        clipped = Clip(currentLinear);
        const double e = DeltaEOk(LinearSrgbToOklab(clipped), PolarToLab(current));
        if (e < Jnd) {
            if (Jnd - e < Epsilon)
                return clipped;
            minInGamut = false;
            min = chroma;
        } else {
            max = chroma;
        }
    }
    return clipped;
}

// The 8-bit channel of a linear value in 0..1: the sRGB value times 255,
// rounded halves up, found among the linear values of the halfway points
// rather than by the transfer function, which costs a power per channel.
int RoundedLinear(double linear)
{
    static const std::array<double, 255> halfways = [] {
        std::array<double, 255> values{};
        for (std::size_t k = 0; k < values.size(); ++k)
            values[k] = SrgbChannelToLinear((static_cast<double>(k) + 0.5) / 255);
        return values;
    }();
    return static_cast<int>(std::upper_bound(halfways.begin(), halfways.end(), linear) - halfways.begin());
}

int Rounded(double channel)
{
    return static_cast<int>(std::floor(std::clamp(channel, 0.0, 1.0) * 255 + 0.5));
}

// Values a rounding to 8 bits takes back into 0..255 are no excursion worth
// a word: a copied code that rounds a hair past the edge of sRGB reads back
// as the color it came from.
bool BeyondRounding(const TTriple& rgb)
{
    constexpr double Slack = 1.0 / 255;
    return std::any_of(rgb.begin(), rgb.end(), [](double c) { return !(c >= -Slack && c <= 1 + Slack); });
}

bool Finite(const TTriple& values)
{
    return std::all_of(values.begin(), values.end(), [](double c) { return std::isfinite(c); });
}

} // namespace

TTriple SrgbToLinear(const TTriple& rgb)
{
    return {SrgbChannelToLinear(rgb[0]), SrgbChannelToLinear(rgb[1]), SrgbChannelToLinear(rgb[2])};
}

TTriple LinearToSrgb(const TTriple& linear)
{
    return {LinearChannelToSrgb(linear[0]), LinearChannelToSrgb(linear[1]), LinearChannelToSrgb(linear[2])};
}

double SrgbChannelToLinear(int channel)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (int i = 0; i < 256; ++i)
            values[static_cast<std::size_t>(i)] = SrgbChannelToLinear(i / 255.0);
        return values;
    }();
    return table[static_cast<std::size_t>(std::clamp(channel, 0, 255))];
}

TTriple Rec2020ToLinear(const TTriple& rgb)
{
    return {Rec2020ChannelToLinear(rgb[0]), Rec2020ChannelToLinear(rgb[1]), Rec2020ChannelToLinear(rgb[2])};
}

TTriple LinearSrgbToXyzD65(const TTriple& linear)
{
    return Times(LinearSrgbToXyz, linear);
}

TTriple XyzD65ToLinearSrgb(const TTriple& xyz)
{
    return Times(XyzToLinearSrgb, xyz);
}

TTriple LinearP3ToXyzD65(const TTriple& linear)
{
    return Times(LinearP3ToXyz, linear);
}

TTriple XyzD65ToLinearP3(const TTriple& xyz)
{
    return Times(XyzToLinearP3, xyz);
}

TTriple LinearRec2020ToXyzD65(const TTriple& linear)
{
    return Times(LinearRec2020ToXyz, linear);
}

TTriple XyzD65ToXyzD50(const TTriple& xyz)
{
    return Times(D65ToD50, xyz);
}

TTriple XyzD50ToXyzD65(const TTriple& xyz)
{
    return Times(D50ToD65, xyz);
}

TTriple XyzD65ToOklab(const TTriple& xyz)
{
    const TTriple lms = Times(XyzToLms, xyz);
    return Times(LmsToOklab, TTriple{std::cbrt(lms[0]), std::cbrt(lms[1]), std::cbrt(lms[2])});
}

TTriple OklabToXyzD65(const TTriple& lab)
{
    const TTriple lms = Times(OklabToLms, lab);
    return Times(LmsToXyz, TTriple{lms[0] * lms[0] * lms[0], lms[1] * lms[1] * lms[1], lms[2] * lms[2] * lms[2]});
}

TTriple XyzD50ToLab(const TTriple& xyz)
{
    TTriple f{};
    for (std::size_t i = 0; i < 3; ++i) {
        const double scaled = xyz[i] / D50White[i];
        f[i] = scaled > LabEpsilon ? std::cbrt(scaled) : (LabKappa * scaled + 16) / 116;
    }
    return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

TTriple LabToXyzD50(const TTriple& lab)
{
    const double f1 = (lab[0] + 16) / 116;
    const double f0 = lab[1] / 500 + f1;
    const double f2 = f1 - lab[2] / 200;
    const double x = f0 * f0 * f0 > LabEpsilon ? f0 * f0 * f0 : (116 * f0 - 16) / LabKappa;
    const double y = lab[0] > LabKappa * LabEpsilon ? f1 * f1 * f1 : lab[0] / LabKappa;
    const double z = f2 * f2 * f2 > LabEpsilon ? f2 * f2 * f2 : (116 * f2 - 16) / LabKappa;
    return {x * D50White[0], y * D50White[1], z * D50White[2]};
}

TTriple LabToPolar(const TTriple& lab)
{
    const double hue = std::atan2(lab[2], lab[1]) * (180 / std::numbers::pi);
    return {lab[0], std::sqrt(lab[1] * lab[1] + lab[2] * lab[2]), NormalHue(hue)};
}

TTriple PolarToLab(const TTriple& lch)
{
    const double radians = lch[2] * (std::numbers::pi / 180);
    return {lch[0], lch[1] * std::cos(radians), lch[1] * std::sin(radians)};
}

TTriple HslToSrgb(double hue, double saturation, double lightness)
{
    hue = NormalHue(hue);
    const auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12);
        const double a = saturation * std::min(lightness, 1 - lightness);
        return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return {channel(0), channel(8), channel(4)};
}

TTriple HwbToSrgb(double hue, double whiteness, double blackness)
{
    if (whiteness + blackness >= 1) {
        const double gray = whiteness / (whiteness + blackness);
        return {gray, gray, gray};
    }
    TTriple rgb = HslToSrgb(hue, 1, 0.5);
    for (double& c : rgb)
        c = c * (1 - whiteness - blackness) + whiteness;
    return rgb;
}

TTriple SrgbToHsl(const TTriple& rgb)
{
    const double max = std::max({rgb[0], rgb[1], rgb[2]});
    const double min = std::min({rgb[0], rgb[1], rgb[2]});
    const double lightness = (min + max) / 2;
    const double d = max - min;
    double hue = 0;
    double saturation = 0;
    if (d != 0) {
        saturation = lightness == 0 || lightness == 1 ? 0 : (max - lightness) / std::min(lightness, 1 - lightness);
        if (max == rgb[0])
            hue = (rgb[1] - rgb[2]) / d + (rgb[1] < rgb[2] ? 6 : 0);
        else if (max == rgb[1])
            hue = (rgb[2] - rgb[0]) / d + 2;
        else
            hue = (rgb[0] - rgb[1]) / d + 4;
        hue *= 60;
    }
    return {NormalHue(hue), saturation, lightness};
}

TTriple SrgbToHwb(const TTriple& rgb)
{
    const TTriple hsl = SrgbToHsl(rgb);
    return {hsl[0], std::min({rgb[0], rgb[1], rgb[2]}), 1 - std::max({rgb[0], rgb[1], rgb[2]})};
}

TTriple ColorToLinearSrgb(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    return {SrgbChannelToLinear(rgb.R), SrgbChannelToLinear(rgb.G), SrgbChannelToLinear(rgb.B)};
}

TTriple LinearSrgbToOklab(const TTriple& linear)
{
    return XyzD65ToOklab(LinearSrgbToXyzD65(linear));
}

TTriple OklabToLinearSrgb(const TTriple& lab)
{
    return XyzD65ToLinearSrgb(OklabToXyzD65(lab));
}

TMappedColor SrgbToColor(const TTriple& rgb)
{
    if (!Finite(rgb))
        return {0, true};
    if (InGamut(rgb))
        return {RGBToColor(Rounded(rgb[0]), Rounded(rgb[1]), Rounded(rgb[2])), false};
    return LinearSrgbToColor(SrgbToLinear(rgb));
}

TMappedColor LinearSrgbToColor(const TTriple& linear)
{
    if (!Finite(linear))
        return {0, true};
    const TTriple inside = GamutMapped(linear);
    return {RGBToColor(RoundedLinear(inside[0]), RoundedLinear(inside[1]), RoundedLinear(inside[2])),
            !InGamut(linear) && BeyondRounding(LinearToSrgb(linear))};
}
