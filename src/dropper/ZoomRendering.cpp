#include "dropper/ZoomRendering.h"

#include <algorithm>
#include <cstring>

#include "common/Cpu.h"
#include "dropper/ZoomRows.h"

#if VESK_X86_64
#include <emmintrin.h>
#endif

namespace {

struct TChannels {
    std::int64_t R = 0, G = 0, B = 0;
};

TChannels ChannelsOf(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    return {rgb.R, rgb.G, rgb.B};
}

// The part of a sample square that lies on the picture: columns
// [FirstColumn, EndColumn) of rows [FirstRow, EndRow), none of them empty.
struct TSquareOnPicture {
    const TDesktopPictureView& Picture;
    int FirstColumn, EndColumn;
    int FirstRow, EndRow;

    const std::uint8_t* RowStart(int y) const
    {
        return Picture.Row(y) + std::ptrdiff_t{FirstColumn} * DesktopBytesPerPixel;
    }
};

// The sums are 64 bits wide, so that a rejected huge sample size cannot
// overflow them; one row always fits into 32 bits.
TChannels SumPortable(const TSquareOnPicture& square)
{
    TChannels sum;
    for (int y = square.FirstRow; y < square.EndRow; ++y) {
        const std::uint8_t* pixel = square.RowStart(y);
        std::uint32_t r = 0, g = 0, b = 0;
        for (int x = square.FirstColumn; x < square.EndColumn; ++x, pixel += DesktopBytesPerPixel) {
            b += pixel[0];
            g += pixel[1];
            r += pixel[2];
        }
        sum.R += r;
        sum.G += g;
        sum.B += b;
    }
    return sum;
}

#if VESK_X86_64
std::int64_t LaneSum(__m128i lanes)
{
    std::uint32_t values[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(values), lanes);
    return std::int64_t{values[0]} + values[1] + values[2] + values[3];
}

// Four pixels at a time into 16-bit lanes: blue and red are the low bytes of
// the pixel's two 16-bit halves, green the high byte of the first. A lane
// takes 256 bytes of 255 before it could overflow, so the lanes are added up
// every 256 loads.
TChannels SumSse2(const TSquareOnPicture& square)
{
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i lowWords = _mm_set1_epi32(0x0000FFFF);
    constexpr int LoadsPerLaneSum = 256;
    TChannels sum;
    const int width = square.EndColumn - square.FirstColumn;
    for (int y = square.FirstRow; y < square.EndRow; ++y) {
        const std::uint8_t* pixel = square.RowStart(y);
        int x = 0;
        while (width - x >= 4) {
            const int loads = std::min((width - x) / 4, LoadsPerLaneSum);
            __m128i blueRed = _mm_setzero_si128();
            __m128i green = _mm_setzero_si128();
            for (int i = 0; i < loads; ++i, pixel += 4 * DesktopBytesPerPixel) {
                const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
                blueRed = _mm_add_epi16(blueRed, _mm_and_si128(four, lowBytes));
                green = _mm_add_epi16(green, _mm_srli_epi16(four, 8)); // and the unused byte, never read
            }
            x += loads * 4;
            sum.B += LaneSum(_mm_and_si128(blueRed, lowWords));
            sum.R += LaneSum(_mm_srli_epi32(blueRed, 16));
            sum.G += LaneSum(_mm_and_si128(green, lowWords));
        }
        for (; x < width; ++x, pixel += DesktopBytesPerPixel) {
            sum.B += pixel[0];
            sum.G += pixel[1];
            sum.R += pixel[2];
        }
    }
    return sum;
}
#else
TChannels SumSse2(const TSquareOnPicture& square)
{
    return SumPortable(square);
}
#endif

// Round((fill * outside + sum) / n) with ties to even, where `sum` holds the
// `inside` pixels that lie on the picture and the rest count as `fill`. The
// quotient is taken apart into whole and remainder in integers: that is the
// same nearest integer a double division would round to, but it stays exact
// for sample squares of any size, also ones no double could hold the sum of.
int RoundedMean(std::int64_t sum, std::int64_t inside, std::int64_t n, std::int64_t fill)
{
    const std::int64_t deviation = sum - inside * fill;
    std::int64_t whole = deviation / n;
    std::int64_t remainder = deviation % n;
    if (remainder < 0) {
        --whole;
        remainder += n;
    }
    const auto twice = static_cast<std::uint64_t>(remainder) * 2u;
    const auto count = static_cast<std::uint64_t>(n);
    const std::int64_t lower = fill + whole;
    const bool up = twice > count || (twice == count && (lower & 1) != 0);
    return static_cast<int>(lower + (up ? 1 : 0));
}

TColor PixelOrFill(const TDesktopPictureView& picture, std::int64_t x, std::int64_t y)
{
    if (x < 0 || y < 0 || x >= picture.Width || y >= picture.Height) {
        return NeutralFillColor;
    }
    const std::uint8_t* pixel = picture.Row(static_cast<int>(y)) + x * DesktopBytesPerPixel;
    return pixel[2] | pixel[1] << 8 | pixel[0] << 16;
}

// In both pictures a pixel's bytes are blue, green, red; read as a
// little-endian word (every Windows machine is little-endian) that is
// 0x00RRGGBB. TColor keeps red in the low byte instead.
constexpr std::uint32_t PictureOrder(TColor color)
{
    const auto c = static_cast<std::uint32_t>(color);
    return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

constexpr std::uint32_t NeutralFillBgr = PictureOrder(NeutralFillColor);

// The pixel's blue, green and red bytes; the fourth byte is whatever the
// capture left there, and every block writer masks it off.
std::uint32_t LoadPixel(const std::uint8_t* pixel)
{
    std::uint32_t value;
    std::memcpy(&value, pixel, sizeof value);
    return value;
}

// One Z-pixel block of a 24-bpp row is its three bytes repeated, a pattern
// of period 3. The three 8-byte words that start at each phase of it let the
// block be written with one store per 8 bytes instead of one per pixel;
// stores at offsets 0, 8, 16, ... start at phases 0, 2, 1, 0, ...
struct TBlockPattern {
    std::uint64_t Words[3];
};

// One multiplication lays out phase 0; the other phases are it shifted by a
// byte with the byte that falls off put back.
TBlockPattern BlockPattern(std::uint32_t bgr)
{
    const std::uint64_t v = bgr & 0xFFFFFFu;
    const std::uint64_t phase0 = v * 0x0001000001000001u; // v | v << 24 | v << 48
    const std::uint64_t phase1 = phase0 >> 8 | (v >> 16) << 56;
    const std::uint64_t phase2 = phase0 << 8 | v >> 16;
    return {{phase0, phase2, phase1}};
}

// The block writers. Each magnifies a run of source pixels, or of the
// neutral fill, into Z-pixel blocks of a row, and returns the end of what it
// wrote; its last store may reach up to MaxOverrun bytes past that end (see
// RenderBlockRows for where they land).
constexpr int MaxOverrun = 15;
constexpr int ShortestRowBytes = 3 * 3 * ZoomBytesPerPixel; // So >= 3, Z >= 3
static_assert(MaxOverrun <= ShortestRowBytes, "the stores past a built row stay inside its first copy");

// Plain C++ with 8-byte stores, which reach up to 7 bytes past a block: into
// the next block, which is written after it, or past the row. With the block
// size known at compile time the loop unrolls and the words stay in
// registers.
template <int FixedZoom>
struct TPortableBlocks {
    int Zoom;

    std::uint8_t* Block(std::uint8_t* out, const TBlockPattern& pattern) const
    {
        const int blockBytes = (FixedZoom > 0 ? FixedZoom : Zoom) * ZoomBytesPerPixel;
        int word = 0;
        for (int offset = 0; offset < blockBytes; offset += 8) {
            std::memcpy(out + offset, &pattern.Words[word], 8);
            word = word == 2 ? 0 : word + 1;
        }
        return out + blockBytes;
    }
    std::uint8_t* Pixels(std::uint8_t* out, const std::uint8_t* pixels, int count) const
    {
        for (int i = 0; i < count; ++i, pixels += DesktopBytesPerPixel) {
            out = Block(out, BlockPattern(LoadPixel(pixels)));
        }
        return out;
    }
    std::uint8_t* Fill(std::uint8_t* out, int count) const
    {
        const TBlockPattern pattern = BlockPattern(NeutralFillBgr);
        for (int i = 0; i < count; ++i) {
            out = Block(out, pattern);
        }
        return out;
    }
};

#if VESK_X86_64
// SSE2: the same idea with 16-byte stores, which reach up to 15 bytes past a
// block. Stores at offsets 0, 16, 32, ... start at phases 0, 1, 2, 0, ...
struct TBlockVectors {
    __m128i Phases[3];
};

TBlockVectors BlockVectors(std::uint32_t bgr)
{
    // Phase 0 by doubling the three bytes to 6, 12 and 16 (of 24); phases 1
    // and 2 are it moved down by one and two bytes, the emptied top bytes
    // taken from its start.
    const __m128i v = _mm_cvtsi32_si128(static_cast<int>(bgr & 0xFFFFFFu));
    __m128i phase0 = _mm_or_si128(v, _mm_slli_si128(v, 3));
    phase0 = _mm_or_si128(phase0, _mm_slli_si128(phase0, 6));
    phase0 = _mm_or_si128(phase0, _mm_slli_si128(phase0, 12));
    const __m128i down1 = _mm_srli_si128(phase0, 1);
    const __m128i phase1 = _mm_or_si128(down1, _mm_slli_si128(down1, 15));
    const __m128i phase2 = _mm_or_si128(_mm_srli_si128(phase0, 2), _mm_slli_si128(down1, 14));
    return {{phase0, phase1, phase2}};
}

struct TSse2Blocks {
    int Zoom;

    std::uint8_t* Block(std::uint8_t* out, const TBlockVectors& pattern) const
    {
        const int blockBytes = Zoom * ZoomBytesPerPixel;
        int phase = 0;
        for (int offset = 0; offset < blockBytes; offset += 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + offset), pattern.Phases[phase]);
            phase = phase == 2 ? 0 : phase + 1;
        }
        return out + blockBytes;
    }
    std::uint8_t* Pixels(std::uint8_t* out, const std::uint8_t* pixels, int count) const
    {
        for (int i = 0; i < count; ++i, pixels += DesktopBytesPerPixel) {
            out = Block(out, BlockVectors(LoadPixel(pixels)));
        }
        return out;
    }
    std::uint8_t* Fill(std::uint8_t* out, int count) const
    {
        const TBlockVectors pattern = BlockVectors(NeutralFillBgr);
        for (int i = 0; i < count; ++i) {
            out = Block(out, pattern);
        }
        return out;
    }
};

// SSSE3: whole groups of pixels by byte shuffles (ZoomRows.h), the rest of
// the run and the fill as SSE2 does them. The group stores end exactly at
// the groups' end.
struct TSsse3Blocks {
    TSse2Blocks Single;

    std::uint8_t* Pixels(std::uint8_t* out, const std::uint8_t* pixels, int count) const
    {
        const int done = MagnifyGroupsSsse3(Single.Zoom, pixels, count, out);
        out += std::ptrdiff_t{done} * Single.Zoom * ZoomBytesPerPixel;
        return Single.Pixels(out, pixels + std::ptrdiff_t{done} * DesktopBytesPerPixel, count - done);
    }
    std::uint8_t* Fill(std::uint8_t* out, int count) const { return Single.Fill(out, count); }
};
#endif

// The marker frames the sample square's blocks with a line one pixel wide on
// their outermost rows and columns, each pixel the inverse of the block it
// lies on. Drawn as an inversion of every frame pixel once (the corners too)
// over the blocks' own colors, it can be drawn row by row as the block rows
// are finished, while they are still in the cache.
void InvertPixels(std::uint8_t* row, int x, int count)
{
    std::uint8_t* byte = row + std::ptrdiff_t{x} * ZoomBytesPerPixel;
    for (int i = 0; i < count * ZoomBytesPerPixel; ++i) {
        byte[i] = static_cast<std::uint8_t>(~byte[i]);
    }
}

// The source square's rows, each magnified into one block row of the zoom
// picture: the first row built block by block, the other Z - 1 copies of it.
struct TBlockRows {
    const TDesktopPictureView& Picture;
    const TZoomPictureView& Target;
    int Zoom;
    int SourceSize;
    std::int64_t Left, Top;      // the source square's top-left pixel
    int FirstInside, EndInside;  // its columns on the picture
    int MarkerFirst, MarkerLast; // the marker's outer rows and columns in the zoom picture

    void Mark(int y) const
    {
        if (y < MarkerFirst || y > MarkerLast) {
            return;
        }
        std::uint8_t* row = Target.Row(y);
        if (y == MarkerFirst || y == MarkerLast) {
            InvertPixels(row, MarkerFirst, MarkerLast - MarkerFirst + 1);
        } else {
            InvertPixels(row, MarkerFirst, 1);
            InvertPixels(row, MarkerLast, 1);
        }
    }

    // The source row of block row j, when it lies on the picture.
    const std::uint8_t* SourceRow(int j) const
    {
        const std::int64_t y = Top + j;
        if (y < 0 || y >= Picture.Height || FirstInside == EndInside) {
            return nullptr;
        }
        return Picture.Row(static_cast<int>(y)) + (Left + FirstInside) * DesktopBytesPerPixel;
    }
};

template <class Blocks>
void RenderBlockRows(const TBlockRows& r, const Blocks& blocks)
{
    const int zoom = r.Zoom;
    const auto rowBytes = static_cast<std::size_t>(r.SourceSize) * static_cast<std::size_t>(zoom) * ZoomBytesPerPixel;
    // Each block's copies are made one block later, when the stores that
    // built its first row have long left the core; measured, that was a
    // little faster than copying the row at once.
    const auto copyBlockRow = [&](int block) {
        const std::uint8_t* built = r.Target.Row(block * zoom);
        for (int copy = 1; copy < zoom; ++copy) {
            std::memcpy(r.Target.Row(block * zoom + copy), built, rowBytes);
        }
        for (int y = block * zoom; y < (block + 1) * zoom; ++y) {
            r.Mark(y);
        }
    };
    for (int j = 0; j < r.SourceSize; ++j) {
        std::uint8_t* blockRow = r.Target.Row(j * zoom);
        // The block stores reach up to MaxOverrun bytes past the built row:
        // into the row padding, or into the next row of the same block
        // (Z >= 3 makes sure there is one, at least 27 bytes long), which its
        // copies overwrite.
        if (const std::uint8_t* source = r.SourceRow(j)) {
            std::uint8_t* out = blocks.Fill(blockRow, r.FirstInside);
            out = blocks.Pixels(out, source, r.EndInside - r.FirstInside);
            blocks.Fill(out, r.SourceSize - r.EndInside);
        } else {
            blocks.Fill(blockRow, r.SourceSize);
        }
        if (j > 0) {
            copyBlockRow(j - 1);
        }
    }
    copyBlockRow(r.SourceSize - 1);
}

// The plain kernel gets a block writer of its own size for the zoom factors
// the wheel reaches on common monitors.
constexpr int PortableFixedMaxZoom = 12;

void RenderBlockRowsPortable(const TBlockRows& rows)
{
    switch (rows.Zoom) {
    case 3: RenderBlockRows(rows, TPortableBlocks<3>{3}); break;
    case 4: RenderBlockRows(rows, TPortableBlocks<4>{4}); break;
    case 5: RenderBlockRows(rows, TPortableBlocks<5>{5}); break;
    case 6: RenderBlockRows(rows, TPortableBlocks<6>{6}); break;
    case 7: RenderBlockRows(rows, TPortableBlocks<7>{7}); break;
    case 8: RenderBlockRows(rows, TPortableBlocks<8>{8}); break;
    case 9: RenderBlockRows(rows, TPortableBlocks<9>{9}); break;
    case 10: RenderBlockRows(rows, TPortableBlocks<10>{10}); break;
    case 11: RenderBlockRows(rows, TPortableBlocks<11>{11}); break;
    case 12: RenderBlockRows(rows, TPortableBlocks<12>{12}); break;
    default: RenderBlockRows(rows, TPortableBlocks<0>{rows.Zoom}); break;
    }
}

// The plain writers beat SSE2's 16-byte stores while a block is short: a
// block pattern costs fewer instructions to make from 8-byte words.
void RenderBlockRowsWith(const TBlockRows& rows, TPixelKernel kernel)
{
#if VESK_X86_64
    if (kernel == pkSsse3 && rows.Zoom <= GroupPlanMaxZoom) {
        RenderBlockRows(rows, TSsse3Blocks{TSse2Blocks{rows.Zoom}});
        return;
    }
    if (kernel != pkPortable && rows.Zoom > PortableFixedMaxZoom) {
        RenderBlockRows(rows, TSse2Blocks{rows.Zoom});
        return;
    }
#else
    static_cast<void>(kernel);
#endif
    RenderBlockRowsPortable(rows);
}

bool Holds(const TScreenRect& rect, std::int64_t x, std::int64_t y)
{
    return x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom;
}

bool HoldsSquare(const TScreenRect& rect, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    return left >= rect.Left && right <= rect.Right && top >= rect.Top && bottom <= rect.Bottom;
}

} // namespace

bool PixelKernelAvailable(TPixelKernel kernel)
{
    switch (kernel) {
    case pkPortable: return true;
    case pkSse2: return VESK_X86_64 != 0;
    case pkSsse3: return CpuHasSsse3();
    }
    return false;
}

TPixelKernel FastestPixelKernel()
{
    static const TPixelKernel fastest = PixelKernelAvailable(pkSsse3)  ? pkSsse3
                                        : PixelKernelAvailable(pkSse2) ? pkSse2
                                                                       : pkPortable;
    return fastest;
}

// The sample square is Sa x Sa pixels from (X - h, Y - h). For the odd sizes
// the setters accept that is exactly the square centred on the point; an
// even size (possible only while a rejected stored value is still in place)
// reads one more column and row to the right and below instead of failing.
// Pixels off the picture count as NeutralFillColor, the same color the zoom
// picture shows there, so the color box agrees with the zoom.
//
// Pixels on the picture that no monitor shows are left out of the mean. They
// are the corners a shorter monitor leaves beside a taller one: the pointer
// confinement keeps the square inside the picture, not inside the monitors,
// so at such a monitor's edge the square reaches into them, and they hold
// whatever the capture put there, nothing the user saw.
TColor SampleColorAt(const TDesktopPictureView& picture, TScreenPoint point, int sampleSize,
                     std::span<const TScreenRect> shown)
{
    return SampleColorAt(picture, point, sampleSize, FastestPixelKernel(), shown);
}

TColor SampleColorAt(const TDesktopPictureView& picture, TScreenPoint point, int sampleSize, TPixelKernel kernel,
                     std::span<const TScreenRect> shown)
{
    const int h = (sampleSize - 1) / 2;
    if (h <= 0) {
        return PixelOrFill(picture, point.X, point.Y);
    }
    const std::int64_t left = std::int64_t{point.X} - h;
    const std::int64_t top = std::int64_t{point.Y} - h;
    const std::int64_t firstColumn = std::max<std::int64_t>(left, 0);
    const std::int64_t endColumn = std::min<std::int64_t>(left + sampleSize, picture.Width);
    const std::int64_t firstRow = std::max<std::int64_t>(top, 0);
    const std::int64_t endRow = std::min<std::int64_t>(top + sampleSize, picture.Height);
    const bool onPicture = firstColumn < endColumn && firstRow < endRow;
    const std::int64_t onPictureCount = onPicture ? (endColumn - firstColumn) * (endRow - firstRow) : 0;
    // The usual case, the square within one monitor, reads whole rows.
    const bool allShown = shown.empty() || !onPicture || std::any_of(shown.begin(), shown.end(), [&](const auto& rect) {
                              return HoldsSquare(rect, firstColumn, firstRow, endColumn, endRow);
                          });

    TChannels sum;
    std::int64_t inside = 0;
    if (onPicture && allShown) {
        inside = onPictureCount;
        const TSquareOnPicture square{picture, static_cast<int>(firstColumn), static_cast<int>(endColumn),
                                      static_cast<int>(firstRow), static_cast<int>(endRow)};
        sum = kernel == pkPortable ? SumPortable(square) : SumSse2(square);
    } else if (onPicture) {
        // Pixel by pixel: only where the square straddles a monitor's edge.
        for (std::int64_t y = firstRow; y < endRow; ++y) {
            const std::uint8_t* pixel = picture.Row(static_cast<int>(y)) + firstColumn * DesktopBytesPerPixel;
            for (std::int64_t x = firstColumn; x < endColumn; ++x, pixel += DesktopBytesPerPixel) {
                if (std::none_of(shown.begin(), shown.end(), [&](const auto& rect) { return Holds(rect, x, y); }))
                    continue;
                sum.B += pixel[0];
                sum.G += pixel[1];
                sum.R += pixel[2];
                ++inside;
            }
        }
    }
    const std::int64_t n = std::int64_t{sampleSize} * sampleSize - (onPictureCount - inside);
    if (n <= 0)
        return NeutralFillColor; // nothing of the square is on a monitor
    const TChannels fill = ChannelsOf(NeutralFillColor);
    return RGBToColor(RoundedMean(sum.R, inside, n, fill.R), RoundedMean(sum.G, inside, n, fill.G),
                      RoundedMean(sum.B, inside, n, fill.B));
}

// The checks run in this order and stop at the first failure; all of them
// give the same message, so the order only matters for the product check,
// which must not overflow for the unchecked values read from the settings.
bool ZoomGeometryValid(const TZoomGeometry& g)
{
    return std::int64_t{g.SourceSize} * g.ZoomFactor <= g.ZoomSizeBoundary && g.ZoomFactor >= 3 && g.SourceSize % 2 != 0
           && g.SourceSize >= 3 && g.SampleSize % 2 != 0 && g.SampleSize >= 1 && g.SampleSize <= g.SourceSize;
}

// Whole-pixel magnification: the first row of every block is built from its
// source row, the other Z - 1 rows are copies of it. Source pixels beyond the
// picture become NeutralFillColor and are never read.
TRenderResult RenderZoomArea(const TDesktopPictureView& picture, TScreenPoint point, const TZoomGeometry& geometry,
                             const TZoomPictureView& target)
{
    return RenderZoomArea(picture, point, geometry, target, FastestPixelKernel());
}

TRenderResult RenderZoomArea(const TDesktopPictureView& picture, TScreenPoint point, const TZoomGeometry& geometry,
                             const TZoomPictureView& target, TPixelKernel kernel)
{
    if (!ZoomGeometryValid(geometry)) {
        return rrInvalidInput;
    }
    const int zoom = geometry.ZoomFactor;
    const int sourceSize = geometry.SourceSize;
    const int side = sourceSize * zoom;
    if (target.Bits == nullptr || target.Width != side || target.Height != side
        || target.Stride < ZoomPictureStride(side)) {
        return rrPictureSizeMismatch;
    }

    const int k = (sourceSize - 1) / 2;
    const std::int64_t left = std::int64_t{point.X} - k;
    const std::int64_t top = std::int64_t{point.Y} - k;
    // Source columns [firstInside, endInside) of the square lie on the picture.
    const auto firstInside = static_cast<int>(std::clamp<std::int64_t>(-left, 0, sourceSize));
    const auto endInside = static_cast<int>(std::clamp<std::int64_t>(picture.Width - left, firstInside, sourceSize));
    // The blocks of the sample square: zoom pixels d .. d + Sa * Z - 1.
    const int d = (sourceSize - geometry.SampleSize) / 2 * zoom;
    const int markerLast = d + geometry.SampleSize * zoom - 1;
    RenderBlockRowsWith({picture, target, zoom, sourceSize, left, top, firstInside, endInside, d, markerLast}, kernel);
    return rrDrawn;
}
