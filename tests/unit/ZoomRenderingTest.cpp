#include "dropper/ZoomRendering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// TColor is a plain integer; failures print it with its components.
std::string Describe(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    char text[64];
    std::snprintf(text, sizeof text, "0x%08X (R %d, G %d, B %d)", static_cast<unsigned>(color), rgb.R, rgb.G, rgb.B);
    return text;
}

constexpr TColor White = 0xFFFFFF;
constexpr TColor Black = 0x000000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Cyan = 0xFFFF00;

void Put(TDesktopPicture& picture, int x, int y, TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    picture.SetPixel(x, y, rgb.R, rgb.G, rgb.B);
}

void Fill(TDesktopPicture& picture, TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    picture.Fill(0, 0, picture.Width(), picture.Height(), rgb.R, rgb.G, rgb.B);
}

TColor ZoomPixelAt(const TZoomPictureView& view, int x, int y)
{
    const std::uint8_t* p = view.Row(y) + x * 3;
    return RGBToColor(p[2], p[1], p[0]);
}

TColor DesktopPixelOrFill(const TDesktopPictureView& view, int x, int y)
{
    if (!view.Contains(x, y))
        return NeutralFillColor;
    const std::uint8_t* p = view.Row(y) + x * 4;
    return RGBToColor(p[2], p[1], p[0]);
}

// Whether a zoom pixel lies on the marker: the outermost rows and columns of
// the blocks of the sample square.
bool OnMarker(int x, int y, const TZoomGeometry& g)
{
    const int d = (g.SourceSize - g.SampleSize) / 2 * g.ZoomFactor;
    const int last = d + g.SampleSize * g.ZoomFactor - 1;
    const bool inX = x >= d && x <= last;
    const bool inY = y >= d && y <= last;
    return (inX && (y == d || y == last)) || (inY && (x == d || x == last));
}

// Every pixel of the zoom picture is the source pixel of its block (or the
// neutral fill beyond the picture); on the marker, the inverse of it.
void ExpectZoomPicture(const TDesktopPictureView& source, TScreenPoint point, const TZoomGeometry& g,
                       const TZoomPictureView& zoom)
{
    const int k = (g.SourceSize - 1) / 2;
    int wrong = 0;
    for (int y = 0; y < zoom.Height && wrong < 5; ++y) {
        for (int x = 0; x < zoom.Width && wrong < 5; ++x) {
            const TColor block =
                DesktopPixelOrFill(source, point.X - k + x / g.ZoomFactor, point.Y - k + y / g.ZoomFactor);
            const TColor expected = OnMarker(x, y, g) ? InverseColor(block) : block;
            const TColor actual = ZoomPixelAt(zoom, x, y);
            if (actual != expected) {
                ++wrong;
                ADD_FAILURE() << "zoom pixel (" << x << ", " << y << ") is " << Describe(actual) << ", expected "
                              << Describe(expected);
            }
        }
    }
}

TDesktopPicture RandomPicture(int width, int height, unsigned seed)
{
    TDesktopPicture picture(width, height);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y, byte(random), byte(random), byte(random));
    return picture;
}

} // namespace

TEST(SampleColorAtTest, SinglePixelOrRoundedMeanOfTheSquare)
{
    struct TCase {
        const char* Situation;
        std::vector<TColor> Square; // 3 x 3, row by row, around (5, 5)
        int SampleSize;
        TColor Expected;
    };
    // Nine reds summing to 1147 (127.44) and to 1148 (127.56): the mean is
    // rounded, neither truncated nor rounded up.
    const std::vector<TColor> reds1147 = {127, 127, 127, 127, 127, 128, 128, 128, 128};
    const std::vector<TColor> reds1148 = {127, 127, 127, 127, 128, 128, 128, 128, 128};
    const std::vector<TColor> oneWhite = {Black, Black, Black, Black, White, Black, Black, Black, Black};
    // Each channel a different mean, so a swapped channel shows.
    const std::vector<TColor> channels = {0x102030, 0x102030, 0x102030, 0x102030, 0x102030,
                                          0x102030, 0x102030, 0x102030, 0x0A1428};
    const TCase cases[] = {
        {"sample size 1: the pixel itself", oneWhite, 1, White},
        {"sample size 1 next to other colors", channels, 1, 0x102030},
        {"eight black and one white: 255 / 9 = 28.3", oneWhite, 3, 0x1C1C1C},
        {"red sum 1147 / 9 = 127.44", reds1147, 3, 127},
        {"red sum 1148 / 9 = 127.56", reds1148, 3, 128},
        {"channels kept apart", channels, 3, RGBToColor(0x2F, 0x1F, 0x0F)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        TDesktopPicture picture(11, 11);
        Fill(picture, 0x445566); // outside the 3 x 3 square; must not count
        for (int i = 0; i < 9; ++i)
            Put(picture, 4 + i % 3, 4 + i / 3, c.Square[static_cast<std::size_t>(i)]);
        const TColor actual = SampleColorAt(picture.View(), {5, 5}, c.SampleSize);
        EXPECT_EQ(Describe(actual), Describe(c.Expected));
    }
}

// The sum over 67 x 67 = 4489 pixels of 255 still divides exactly, and a
// square of size 5 reads exactly 25 pixels around the point.
TEST(SampleColorAtTest, LargerSquaresCoverExactlyTheirPixels)
{
    TDesktopPicture picture(100, 100);
    Fill(picture, White);
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {50, 50}, 67)), Describe(White));

    Fill(picture, Black);
    picture.Fill(48, 48, 53, 53, 250, 100, 0); // the 5 x 5 square around (50, 50)
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {50, 50}, 5)), Describe(RGBToColor(250, 100, 0)));
    // Size 7 takes in the black ring as well: 25 of 49 pixels colored.
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {50, 50}, 7)), Describe(RGBToColor(128, 51, 0)));
}

// Only reachable while a rejected sample size is still in place or the
// pointer is not confined yet; the square then counts the neutral fill for
// what lies off the picture, and reads nothing there.
TEST(SampleColorAtTest, PixelsOffThePictureCountAsTheNeutralFill)
{
    TDesktopPicture picture(4, 4);
    Fill(picture, White);
    const TRGB fill = ColorToRGB(NeutralFillColor);
    // Four of nine pixels on the picture at its corner.
    const int mean = static_cast<int>((4 * 255 + 5 * fill.R) / 9.0 + 0.5);
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {0, 0}, 3)), Describe(RGBToColor(mean, mean, mean)));
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {-1, 2}, 1)), Describe(NeutralFillColor));
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {-50, -50}, 5)), Describe(NeutralFillColor));
    // A huge rejected size neither overflows nor takes long: almost all fill.
    EXPECT_EQ(Describe(SampleColorAt(picture.View(), {2, 2}, 2000001)), Describe(NeutralFillColor));
}

// Two monitors of different heights side by side, as the picture of a run
// holds them: a tall one at the left, a short one at the right, and below the
// short one a corner no monitor shows, which the capture filled with gray.
// The square counts only the pixels a monitor shows, wherever it lies.
TEST(SampleColorAtTest, PixelsNoMonitorShowsAreLeftOut)
{
    const TScreenRect tall{0, 0, 4, 8};
    const TScreenRect shortOne{4, 0, 8, 4};
    const TColor tallColor = RGBToColor(200, 100, 50);
    TDesktopPicture picture(8, 8);
    picture.Fill(0, 0, 8, 8, 64, 64, 64);
    picture.Fill(0, 0, 4, 8, 200, 100, 50);
    picture.Fill(4, 0, 8, 4, 10, 20, 30);
    // Six shown pixels at the short monitor's bottom edge: red sums to 69
    // (11.5) and green to 123 (20.5); ties go to the even number.
    picture.SetPixel(4, 2, 19, 23, 30);

    struct TCase {
        const char* Situation;
        TScreenPoint Point;
        std::vector<TScreenRect> Monitors;
        TColor Expected;
    };
    const TCase cases[] = {
        {"inside one monitor", {1, 5}, {tall, shortOne}, tallColor},
        {"across two adjoining monitors: all nine", {4, 1}, {tall, shortOne}, RGBToColor(74, 47, 37)},
        {"the short monitor's bottom edge: six of nine", {5, 3}, {tall, shortOne}, RGBToColor(12, 20, 30)},
        {"the tall monitor beside the corner: seven of nine", {3, 4}, {tall, shortOne}, RGBToColor(173, 89, 47)},
        {"a monitor listed twice counts its pixels once", {5, 3}, {tall, shortOne, shortOne}, RGBToColor(12, 20, 30)},
        {"nothing of the square on a monitor", {6, 6}, {tall, shortOne}, NeutralFillColor},
        {"no monitor list: the whole picture counts", {5, 3}, {}, RGBToColor(29, 35, 41)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        EXPECT_EQ(Describe(SampleColorAt(picture.View(), c.Point, 3, c.Monitors)), Describe(c.Expected));
    }
}

// The bytes of a 32-bpp DIB are blue, green, red, unused; rows may be longer
// than the pixels (stride).
TEST(SampleColorAtTest, ReadsBlueGreenRedBytesWithTheStride)
{
    const int stride = 3 * 4 + 8;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride * 3), 0xEE);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = bits.data() + y * stride + x * 4;
            p[0] = 0x30;                                                      // blue
            p[1] = 0x20;                                                      // green
            p[2] = static_cast<std::uint8_t>(x == 1 && y == 1 ? 0x19 : 0x10); // red
            p[3] = 0xEE;
        }
    }
    const TDesktopPictureView view{bits.data(), 3, 3, stride};
    EXPECT_EQ(Describe(SampleColorAt(view, {1, 1}, 1)), Describe(RGBToColor(0x19, 0x20, 0x30)));
    EXPECT_EQ(Describe(SampleColorAt(view, {1, 1}, 3)), Describe(RGBToColor(0x11, 0x20, 0x30)));
}

TEST(RenderZoomAreaTest, DefaultSettingsGiveA392PictureWithTheMarkerOnBlocks192To199)
{
    TDesktopPicture picture(200, 200);
    Fill(picture, White);
    const TZoomGeometry geometry{8, 49, 1, 540};
    TZoomPicture zoom(392);
    ASSERT_EQ(RenderZoomArea(picture.View(), {100, 100}, geometry, zoom.View()), rrDrawn);
    const TZoomPictureView view = zoom.View();
    int wrong = 0;
    for (int y = 0; y < 392; ++y) {
        for (int x = 0; x < 392; ++x) {
            const bool frame =
                (x >= 192 && x <= 199 && (y == 192 || y == 199)) || (y >= 192 && y <= 199 && (x == 192 || x == 199));
            if (ZoomPixelAt(view, x, y) != (frame ? Black : White) && ++wrong < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(RenderZoomAreaTest, MarkerIsTheInverseOfTheBackground)
{
    struct TCase {
        const char* Background;
        TColor Color;
        TColor Marker;
    };
    const TCase cases[] = {
        {"white", White, Black},
        {"black", Black, White},
        {"pure red", Red, Cyan},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Background);
        TDesktopPicture picture(50, 50);
        Fill(picture, c.Color);
        const TZoomGeometry geometry{4, 9, 3, 540};
        TZoomPicture zoom(36);
        ASSERT_EQ(RenderZoomArea(picture.View(), {25, 25}, geometry, zoom.View()), rrDrawn);
        // d = 3 * 4 = 12, L = 12: the corners and the middle of each edge.
        const std::pair<int, int> markerPixels[] = {{12, 12}, {23, 12}, {12, 23}, {23, 23},
                                                    {18, 12}, {12, 18}, {23, 18}};
        for (const auto& [x, y] : markerPixels) {
            EXPECT_EQ(Describe(ZoomPixelAt(zoom.View(), x, y)), Describe(c.Marker)) << x << ", " << y;
        }
        EXPECT_EQ(Describe(ZoomPixelAt(zoom.View(), 13, 13)), Describe(c.Color));
        EXPECT_EQ(Describe(ZoomPixelAt(zoom.View(), 11, 11)), Describe(c.Color));
    }
}

// A noisy picture: every block has its own color, so a block shifted by one,
// a marker segment taking its neighbour's color, or a swapped byte shows.
TEST(RenderZoomAreaTest, EveryPixelIsItsBlocksSourcePixelAndTheMarkerItsInverse)
{
    const TDesktopPicture picture = RandomPicture(64, 48, 7);
    struct TCase {
        const char* Situation;
        TZoomGeometry Geometry;
        TScreenPoint Point;
    };
    const TCase cases[] = {
        {"Z 3, So 7, Sa 1", {3, 7, 1, 540}, {30, 20}},
        {"Z 5, So 9, Sa 3", {5, 9, 3, 540}, {10, 10}},
        {"Z 4, So 5, Sa 5: the marker on the outer blocks", {4, 5, 5, 540}, {32, 24}},
        {"Z 7, So 11, Sa 9", {7, 11, 9, 540}, {40, 30}},
        {"Z 8, So 7, Sa 3", {8, 7, 3, 540}, {20, 20}},
        {"Z 12, So 5, Sa 1", {12, 5, 1, 540}, {20, 20}},
        {"Z 13 (no block writer of its own), So 7, Sa 3", {13, 7, 3, 540}, {62, 1}},
        {"Z 30, So 3, Sa 3", {30, 3, 3, 540}, {5, 40}},
        {"top-left corner: fill above and to the left", {3, 9, 1, 540}, {0, 0}},
        {"bottom-right corner: fill below and to the right", {5, 9, 5, 540}, {63, 47}},
        {"source square wider than the picture", {3, 101, 1, 540}, {32, 24}},
        {"point off the picture", {3, 7, 3, 540}, {-2, 50}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        const int side = c.Geometry.SourceSize * c.Geometry.ZoomFactor;
        TZoomPicture zoom(side);
        ASSERT_EQ(RenderZoomArea(picture.View(), c.Point, c.Geometry, zoom.View()), rrDrawn);
        ExpectZoomPicture(picture.View(), c.Point, c.Geometry, zoom.View());
    }
}

// The desktop picture sits inside a larger buffer of a sentinel color, and
// the zoom picture is followed by guard bytes: a read outside the picture
// would bring the sentinel into the zoom, a write past the zoom picture
// would change the guard. Side 12 makes rows of exactly 36 bytes, with no
// padding to absorb a stray byte.
TEST(RenderZoomAreaTest, NeitherReadsNorWritesOutsideThePictures)
{
    constexpr int Margin = 8, Width = 10, Height = 6;
    constexpr int OuterWidth = Width + 2 * Margin, OuterHeight = Height + 2 * Margin;
    TDesktopPicture outer(OuterWidth, OuterHeight);
    outer.Fill(0, 0, OuterWidth, OuterHeight, 0, 255, 0);
    outer.Fill(Margin, Margin, Margin + Width, Margin + Height, 200, 10, 10);
    TDesktopPictureView inner = outer.View();
    inner.Bits = outer.View().Row(Margin) + Margin * 4;
    inner.Width = Width;
    inner.Height = Height;

    for (const TScreenPoint point : {TScreenPoint{0, 0}, {9, 5}, {9, 0}, {0, 5}, {4, 2}}) {
        SCOPED_TRACE(testing::Message() << "point " << point.X << ", " << point.Y);
        const TZoomGeometry geometry{4, 3, 1, 540};
        constexpr int Side = 12;
        const auto pictureBytes = static_cast<std::size_t>(ZoomPictureStride(Side) * Side);
        std::vector<std::uint8_t> bits(pictureBytes + 16, 0xA5);
        const TZoomPictureView zoom{bits.data(), Side, Side, ZoomPictureStride(Side)};
        ASSERT_EQ(ZoomPictureStride(Side), Side * 3);
        ASSERT_EQ(RenderZoomArea(inner, point, geometry, zoom), rrDrawn);
        ExpectZoomPicture(inner, point, geometry, zoom);
        for (std::size_t i = pictureBytes; i < bits.size(); ++i)
            ASSERT_EQ(bits[i], 0xA5) << "guard byte " << i - pictureBytes;
    }
}

TEST(RenderZoomAreaTest, InvalidSettingsDrawNothing)
{
    struct TCase {
        const char* Broken;
        TZoomGeometry Geometry;
        int Side;
    };
    const TCase cases[] = {
        {"So * Z above B", {8, 49, 1, 391}, 392}, {"Z below 3", {2, 49, 1, 540}, 98},
        {"So even", {8, 48, 1, 540}, 384},        {"So below 3", {181, 1, 1, 540}, 181},
        {"Sa even", {8, 49, 2, 540}, 392},        {"Sa below 1", {8, 49, -1, 540}, 392},
        {"Sa above So", {8, 49, 51, 540}, 392},   {"So * Z beyond 32 bits", {8, 1 << 30 | 1, 1, 540}, 8},
    };
    TDesktopPicture picture(100, 100);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Broken);
        EXPECT_FALSE(ZoomGeometryValid(c.Geometry));
        TZoomPicture zoom(c.Side);
        std::vector<std::uint8_t> before(zoom.View().Bits, zoom.View().Bits + ZoomPictureStride(c.Side) * c.Side);
        EXPECT_EQ(RenderZoomArea(picture.View(), {50, 50}, c.Geometry, zoom.View()), rrInvalidInput);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), zoom.View().Bits));
    }
    EXPECT_TRUE(ZoomGeometryValid({8, 49, 49, 392})) << "every limit met exactly";
}

TEST(RenderZoomAreaTest, ATargetOfAnotherSizeIsLeftAlone)
{
    TDesktopPicture picture(100, 100);
    TZoomPicture zoom(391);
    std::fill(zoom.View().Bits, zoom.View().Bits + ZoomPictureStride(391) * 391, std::uint8_t{0x5A});
    EXPECT_EQ(RenderZoomArea(picture.View(), {50, 50}, {8, 49, 1, 540}, zoom.View()), rrPictureSizeMismatch);
    EXPECT_EQ(zoom.View().Bits[0], 0x5A);
    EXPECT_EQ(RenderZoomArea(picture.View(), {50, 50}, {8, 49, 1, 540}, TZoomPictureView{}), rrPictureSizeMismatch);
}

TEST(ZoomPictureTest, RowsArePaddedToWholeWords)
{
    struct TCase {
        int Width;
        std::ptrdiff_t Stride;
    };
    for (const TCase c : {TCase{1, 4}, {3, 12}, {4, 12}, {5, 16}, {9, 28}, {392, 1176}, {537, 1612}}) {
        SCOPED_TRACE(c.Width);
        EXPECT_EQ(ZoomPictureStride(c.Width), c.Stride);
    }
}
