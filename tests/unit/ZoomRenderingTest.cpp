#include "dropper/ZoomRendering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

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

// Random pixels in memory of the test's own, as a capture may leave it: the
// fourth byte of every pixel and the bytes past each row's end are random
// too, and must never show.
struct TRandomDesktop {
    std::vector<std::uint8_t> Bits;
    TDesktopPictureView View;

    TRandomDesktop(int width, int height, unsigned seed)
    {
        const std::ptrdiff_t stride = width * 4 + 12;
        Bits.resize(static_cast<std::size_t>(stride * height));
        std::mt19937 random(seed);
        for (std::uint8_t& byte : Bits)
            byte = static_cast<std::uint8_t>(random());
        View = {Bits.data(), width, height, stride};
    }
};

// The zoom picture by its definition, pixel by pixel, with none of the
// renderer's shortcuts: each pixel is its block's source pixel (or the
// neutral fill off the picture), inverted where the marker lies.
std::vector<std::uint8_t> ReferenceZoomPicture(const TDesktopPictureView& source, TScreenPoint point,
                                               const TZoomGeometry& g)
{
    const int side = g.SourceSize * g.ZoomFactor;
    const int k = (g.SourceSize - 1) / 2;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(side * side * 3));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            TColor color = DesktopPixelOrFill(source, point.X - k + x / g.ZoomFactor, point.Y - k + y / g.ZoomFactor);
            if (OnMarker(x, y, g))
                color = InverseColor(color);
            const TRGB rgb = ColorToRGB(color);
            std::uint8_t* pixel = &bytes[static_cast<std::size_t>((y * side + x) * 3)];
            pixel[0] = static_cast<std::uint8_t>(rgb.B);
            pixel[1] = static_cast<std::uint8_t>(rgb.G);
            pixel[2] = static_cast<std::uint8_t>(rgb.R);
        }
    }
    return bytes;
}

// The sample by its definition: the pixel itself while h is 0, else every
// pixel of the square added up, the ones off the picture as the neutral
// fill, each mean rounded to the nearest integer (ties to even, for the even
// sizes a rejected setting can leave).
TColor ReferenceSample(const TDesktopPictureView& source, TScreenPoint point, int sampleSize)
{
    const int h = (sampleSize - 1) / 2;
    if (h == 0)
        return DesktopPixelOrFill(source, point.X, point.Y);
    std::int64_t r = 0, g = 0, b = 0;
    for (int y = point.Y - h; y < point.Y - h + sampleSize; ++y) {
        for (int x = point.X - h; x < point.X - h + sampleSize; ++x) {
            const TRGB rgb = ColorToRGB(DesktopPixelOrFill(source, x, y));
            r += rgb.R;
            g += rgb.G;
            b += rgb.B;
        }
    }
    const double n = static_cast<double>(sampleSize) * sampleSize;
    return RGBToColor(static_cast<int>(std::nearbyint(static_cast<double>(r) / n)),
                      static_cast<int>(std::nearbyint(static_cast<double>(g) / n)),
                      static_cast<int>(std::nearbyint(static_cast<double>(b) / n)));
}

// Whole pages between two pages nobody may touch: a read or write one byte
// outside ends the test program with an access violation. The memory of a
// DIB section ends at a page end as well, so that is what a stray read past
// the desktop picture does to the program.
class TGuardedPages {
public:
    TGuardedPages(const TGuardedPages&) = delete;
    TGuardedPages& operator=(const TGuardedPages&) = delete;

    static std::size_t PageSize()
    {
#ifdef _WIN32
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        return info.dwPageSize;
#else
        return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
#endif
    }

    // At least `bytes`, rounded up to whole pages.
    explicit TGuardedPages(std::size_t bytes)
        : m_page(PageSize()), m_size((bytes + m_page - 1) / m_page * m_page), m_total(m_size + 2 * m_page)
    {
#ifdef _WIN32
        m_base = static_cast<std::uint8_t*>(::VirtualAlloc(nullptr, m_total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (m_base
            && (!::VirtualProtect(m_base, m_page, PAGE_NOACCESS, &old)
                || !::VirtualProtect(m_base + m_page + m_size, m_page, PAGE_NOACCESS, &old))) {
            ::VirtualFree(m_base, 0, MEM_RELEASE);
            m_base = nullptr;
        }
#else
        void* base = ::mmap(nullptr, m_total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        m_base = base == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(base);
        if (m_base
            && (::mprotect(m_base, m_page, PROT_NONE) != 0
                || ::mprotect(m_base + m_page + m_size, m_page, PROT_NONE) != 0)) {
            ::munmap(m_base, m_total);
            m_base = nullptr;
        }
#endif
    }
    ~TGuardedPages()
    {
        if (!m_base)
            return;
#ifdef _WIN32
        ::VirtualFree(m_base, 0, MEM_RELEASE);
#else
        ::munmap(m_base, m_total);
#endif
    }

    bool Valid() const
    {
        return m_base != nullptr;
    }
    std::uint8_t* Start() const
    {
        return m_base + m_page;
    }
    // Where `bytes` must start to end right at the second guard page.
    std::uint8_t* EndingAt(std::size_t bytes) const
    {
        return m_base + m_page + m_size - bytes;
    }

private:
    std::size_t m_page;
    std::size_t m_size;
    std::size_t m_total;
    std::uint8_t* m_base = nullptr;
};

// The kernels this processor runs; each must give the same pictures.
std::vector<TPixelKernel> AvailableKernels()
{
    std::vector<TPixelKernel> kernels;
    for (const TPixelKernel kernel : {pkPortable, pkSse2, pkSsse3})
        if (PixelKernelAvailable(kernel))
            kernels.push_back(kernel);
    return kernels;
}

const char* KernelName(TPixelKernel kernel)
{
    switch (kernel) {
    case pkPortable: return "portable";
    case pkSse2: return "SSE2";
    case pkSsse3: return "SSSE3";
    }
    return "?";
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

// Every kernel against the plain definition, over random pixels whose unused
// bytes are random as well: squares of one pixel, odd and even (rejected)
// sizes, squares reaching past each edge or lying off the picture, and rows
// long enough for the vector loops to add up their lanes on the way.
TEST(SampleColorAtTest, EveryKernelGivesTheRoundedMeanOfItsSquare)
{
    const TRandomDesktop desktop(80, 50, 11);
    const TScreenPoint points[] = {{40, 25}, {0, 0}, {79, 49}, {-2, 10}, {85, 25}, {40, -40}, {3, 47}};
    const int sizes[] = {1, 2, 3, 4, 5, 7, 9, 15, 33, 67};
    const TRandomDesktop large(1100, 1100, 12);
    TDesktopPicture white(1100, 1100);
    Fill(white, White);
    for (const TPixelKernel kernel : AvailableKernels()) {
        SCOPED_TRACE(KernelName(kernel));
        for (const TScreenPoint point : points) {
            for (const int size : sizes) {
                SCOPED_TRACE(testing::Message() << "point " << point.X << ", " << point.Y << ", size " << size);
                EXPECT_EQ(Describe(SampleColorAt(desktop.View, point, size, kernel)),
                          Describe(ReferenceSample(desktop.View, point, size)));
            }
        }
        // Rows of 1099 pixels: more bytes of 255 than a 16-bit lane holds.
        for (const TDesktopPictureView& view : {large.View, white.View()}) {
            EXPECT_EQ(Describe(SampleColorAt(view, {550, 550}, 1099, kernel)),
                      Describe(ReferenceSample(view, {550, 550}, 1099)));
        }
    }
}

// Every kernel, byte for byte against the plain definition: each zoom factor
// with a shuffle plan of its own (3 .. 16) and beyond, runs too short for a
// whole group and runs of groups with a rest, the marker in the middle and
// on the outer blocks, and source squares cut by each edge, wider than the
// picture or off it.
TEST(RenderZoomAreaTest, EveryKernelDrawsThePictureByItsDefinition)
{
    const TRandomDesktop desktop(40, 30, 5);
    const TScreenPoint points[] = {{20, 15}, {0, 0}, {39, 29}, {-5, 3}, {45, 10}, {20, -12}, {-40, -40}};
    std::vector<int> zooms;
    for (int zoom = 3; zoom <= 17; ++zoom)
        zooms.push_back(zoom);
    zooms.push_back(24);
    for (const int zoom : zooms) {
        for (const int sourceSize : {5, 21, 43}) {
            if (sourceSize == 43 && zoom > 4)
                continue; // wider than the picture: once for each kind of block writer is enough
            const int side = zoom * sourceSize;
            const std::size_t rowBytes = static_cast<std::size_t>(side) * 3;
            TZoomPicture zoomPicture(side);
            const TZoomPictureView view = zoomPicture.View();
            for (const int sampleSize : {1, 3, sourceSize}) {
                const TZoomGeometry geometry{zoom, sourceSize, sampleSize, 4096};
                for (const TScreenPoint point : points) {
                    const std::vector<std::uint8_t> expected = ReferenceZoomPicture(desktop.View, point, geometry);
                    for (const TPixelKernel kernel : AvailableKernels()) {
                        SCOPED_TRACE(testing::Message()
                                     << KernelName(kernel) << ", Z " << zoom << ", So " << sourceSize << ", Sa "
                                     << sampleSize << ", point " << point.X << ", " << point.Y);
                        ASSERT_EQ(RenderZoomArea(desktop.View, point, geometry, view, kernel), rrDrawn);
                        for (int y = 0; y < side; ++y) {
                            const std::uint8_t* want = &expected[static_cast<std::size_t>(y) * rowBytes];
                            const auto differs = std::mismatch(want, want + rowBytes, view.Row(y));
                            if (differs.first != want + rowBytes) {
                                const int x = static_cast<int>(differs.first - want) / 3;
                                ADD_FAILURE() << "zoom pixel (" << x << ", " << y << ") is "
                                              << Describe(ZoomPixelAt(view, x, y)) << ", expected "
                                              << Describe(RGBToColor(want[x * 3 + 2], want[x * 3 + 1], want[x * 3]));
                                break;
                            }
                        }
                    }
                }
            }
        }
    }
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
// would change the guard. The sides make rows of exactly 36 and 120 bytes,
// with no padding to absorb a stray byte; the second is long enough for
// whole groups of the shuffle loop.
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

    for (const TPixelKernel kernel : AvailableKernels()) {
        for (const TZoomGeometry geometry : {TZoomGeometry{4, 3, 1, 540}, TZoomGeometry{8, 5, 3, 540}}) {
            const int side = geometry.ZoomFactor * geometry.SourceSize;
            ASSERT_EQ(ZoomPictureStride(side), side * 3);
            for (const TScreenPoint point : {TScreenPoint{0, 0}, {9, 5}, {9, 0}, {0, 5}, {4, 2}}) {
                SCOPED_TRACE(testing::Message() << KernelName(kernel) << ", Z " << geometry.ZoomFactor << ", point "
                                                << point.X << ", " << point.Y);
                const auto pictureBytes = static_cast<std::size_t>(ZoomPictureStride(side) * side);
                std::vector<std::uint8_t> bits(pictureBytes + 16, 0xA5);
                const TZoomPictureView zoom{bits.data(), side, side, ZoomPictureStride(side)};
                ASSERT_EQ(RenderZoomArea(inner, point, geometry, zoom, kernel), rrDrawn);
                ExpectZoomPicture(inner, point, geometry, zoom);
                for (std::size_t i = pictureBytes; i < bits.size(); ++i)
                    ASSERT_EQ(bits[i], 0xA5) << "guard byte " << i - pictureBytes;
            }
        }
    }
}

// A desktop picture of exactly one page and zoom pictures that end where
// their memory ends, between guard pages: pointer positions at the corners
// send every kernel and block writer to the first and the last byte of
// both, and one byte further would end the test program. With So 31 the
// source square has 16 columns on the picture at every corner, whole groups
// of the shuffle loop for every zoom factor, so its last load ends right at
// the picture's last byte.
TEST(RenderZoomAreaTest, StaysInsideMemoryThatEndsWithThePictures)
{
    constexpr int Width = 64;
    const int height = static_cast<int>(TGuardedPages::PageSize() / (Width * 4));
    const TGuardedPages desktopPages(static_cast<std::size_t>(Width) * 4 * static_cast<std::size_t>(height));
    ASSERT_TRUE(desktopPages.Valid());
    std::mt19937 random(3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(Width) * 4 * static_cast<std::size_t>(height); ++i)
        desktopPages.Start()[i] = static_cast<std::uint8_t>(random());
    const TDesktopPictureView desktop{desktopPages.Start(), Width, height, Width * 4};

    const TScreenPoint corners[] = {{0, 0}, {Width - 1, 0}, {0, height - 1}, {Width - 1, height - 1}};
    for (const TScreenPoint corner : corners) {
        SCOPED_TRACE(testing::Message() << "corner " << corner.X << ", " << corner.Y);
        for (const TPixelKernel kernel : AvailableKernels()) {
            SCOPED_TRACE(KernelName(kernel));
            for (const int size : {3, 5, 67})
                EXPECT_EQ(Describe(SampleColorAt(desktop, corner, size, kernel)),
                          Describe(ReferenceSample(desktop, corner, size)));
        }
        for (int zoom = 3; zoom <= 17; ++zoom) {
            const TZoomGeometry geometry{zoom, 31, 3, 4096};
            const int side = zoom * geometry.SourceSize;
            const auto bytes = static_cast<std::size_t>(ZoomPictureStride(side) * side);
            const TGuardedPages zoomPages(bytes);
            ASSERT_TRUE(zoomPages.Valid());
            const TZoomPictureView view{zoomPages.EndingAt(bytes), side, side, ZoomPictureStride(side)};
            const std::vector<std::uint8_t> expected = ReferenceZoomPicture(desktop, corner, geometry);
            for (const TPixelKernel kernel : AvailableKernels()) {
                SCOPED_TRACE(testing::Message() << KernelName(kernel) << ", Z " << zoom);
                ASSERT_EQ(RenderZoomArea(desktop, corner, geometry, view, kernel), rrDrawn);
                for (int y = 0; y < side; ++y)
                    ASSERT_TRUE(std::equal(view.Row(y), view.Row(y) + side * 3,
                                           &expected[static_cast<std::size_t>(y * side * 3)]))
                        << "row " << y;
            }
        }
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
