#include "dropper/ZoomRendering.h"

#include <algorithm>
#include <cstring>

namespace {

struct TChannels {
    std::int64_t R = 0, G = 0, B = 0;
};

TChannels ChannelsOf(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    return {rgb.R, rgb.G, rgb.B};
}

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

// One Z-pixel block of a 24-bpp row is its three bytes repeated, a pattern
// of period 3 (the byte order here assumes a little-endian machine, as every
// Windows machine is). The three 8-byte words that start at each phase of it let the
// block be written with one store per 8 bytes instead of one per pixel;
// stores at offsets 0, 8, 16, ... start at phases 0, 2, 1, 0, ...
struct TBlockPattern {
    std::uint64_t Words[3];
};

// From a pixel as 0x00RRGGBB, the byte order of both pictures read as a
// little-endian word. One multiplication lays out phase 0; the other phases
// are it shifted by a byte with the byte that falls off put back.
TBlockPattern BlockPattern(std::uint32_t bgr)
{
    const std::uint64_t v = bgr & 0xFFFFFFu;
    const std::uint64_t phase0 = v * 0x0001000001000001u; // v | v << 24 | v << 48
    const std::uint64_t phase1 = phase0 >> 8 | (v >> 16) << 56;
    const std::uint64_t phase2 = phase0 << 8 | v >> 16;
    return {{phase0, phase2, phase1}};
}

// The pixel's blue, green and red bytes; the fourth byte is whatever the
// capture left there and is masked off by BlockPattern.
std::uint32_t LoadPixel(const std::uint8_t* pixel)
{
    std::uint32_t value;
    std::memcpy(&value, pixel, sizeof value);
    return value;
}

// The last store reaches up to 7 bytes past the block: into the next block,
// which is written after it, or past the row (see RenderBlockRows). With the
// block size known at compile time the loop unrolls and the three words stay
// in registers.
template <int FixedZoom>
std::uint8_t* WriteBlock(std::uint8_t* out, const TBlockPattern& pattern, int zoom)
{
    const int blockBytes = (FixedZoom > 0 ? FixedZoom : zoom) * ZoomBytesPerPixel;
    int word = 0;
    for (int offset = 0; offset < blockBytes; offset += 8) {
        std::memcpy(out + offset, &pattern.Words[word], 8);
        word = word == 2 ? 0 : word + 1;
    }
    return out + blockBytes;
}

template <int FixedZoom>
std::uint8_t* WriteFill(std::uint8_t* out, int count, int zoom)
{
    // TColor keeps red in the low byte, the pictures keep blue there.
    const auto fill = static_cast<std::uint32_t>(NeutralFillColor);
    const TBlockPattern pattern = BlockPattern((fill & 0xFFu) << 16 | (fill & 0xFF00u) | (fill >> 16 & 0xFFu));
    for (int i = 0; i < count; ++i) {
        out = WriteBlock<FixedZoom>(out, pattern, zoom);
    }
    return out;
}

// The source square's rows, each magnified into one block row of the zoom
// picture: the first row built pixel by pixel, the other Z - 1 copies of it.
struct TBlockRows {
    const TDesktopPictureView& Picture;
    const TZoomPictureView& Target;
    int Zoom;
    int SourceSize;
    std::int64_t Left, Top;     // the source square's top-left pixel
    int FirstInside, EndInside; // its columns on the picture
};

template <int FixedZoom>
void RenderBlockRows(const TBlockRows& r)
{
    const int zoom = FixedZoom > 0 ? FixedZoom : r.Zoom;
    const auto rowBytes = static_cast<std::size_t>(r.SourceSize) * static_cast<std::size_t>(zoom) * ZoomBytesPerPixel;
    // Each block's copies are made one block later, when the stores that
    // built its first row have long left the core; measured, that was a
    // little faster than copying the row at once.
    const auto copyBlockRow = [&](int block) {
        const std::uint8_t* built = r.Target.Row(block * zoom);
        for (int copy = 1; copy < zoom; ++copy) {
            std::memcpy(r.Target.Row(block * zoom + copy), built, rowBytes);
        }
    };
    for (int j = 0; j < r.SourceSize; ++j) {
        const std::int64_t y = r.Top + j;
        std::uint8_t* blockRow = r.Target.Row(j * zoom);
        // The block stores reach up to 7 bytes past the built row: into the
        // row padding, or into the next row of the same block (Z >= 3 makes
        // sure there is one, at least 27 bytes long), which its copies
        // overwrite.
        if (y < 0 || y >= r.Picture.Height || r.FirstInside == r.EndInside) {
            WriteFill<FixedZoom>(blockRow, r.SourceSize, zoom);
        } else {
            std::uint8_t* out = WriteFill<FixedZoom>(blockRow, r.FirstInside, zoom);
            const std::uint8_t* pixel =
                r.Picture.Row(static_cast<int>(y)) + (r.Left + r.FirstInside) * DesktopBytesPerPixel;
            for (int i = r.FirstInside; i < r.EndInside; ++i, pixel += DesktopBytesPerPixel) {
                out = WriteBlock<FixedZoom>(out, BlockPattern(LoadPixel(pixel)), zoom);
            }
            WriteFill<FixedZoom>(out, r.SourceSize - r.EndInside, zoom);
        }
        if (j > 0) {
            copyBlockRow(j - 1);
        }
    }
    copyBlockRow(r.SourceSize - 1);
}

void SetZoomPixel(const TZoomPictureView& picture, int x, int y, TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    std::uint8_t* pixel = picture.Row(y) + x * ZoomBytesPerPixel;
    pixel[0] = static_cast<std::uint8_t>(rgb.B);
    pixel[1] = static_cast<std::uint8_t>(rgb.G);
    pixel[2] = static_cast<std::uint8_t>(rgb.R);
}

TColor ZoomPixel(const TZoomPictureView& picture, int x, int y)
{
    const std::uint8_t* pixel = picture.Row(y) + x * ZoomBytesPerPixel;
    return RGBToColor(pixel[2], pixel[1], pixel[0]);
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

    // 32-bit sums would do for every square the limits allow; the wider ones
    // keep a rejected huge sample size from overflowing.
    TChannels sum;
    std::int64_t inside = 0;
    for (std::int64_t y = firstRow; onPicture && y < endRow; ++y) {
        const std::uint8_t* pixel = picture.Row(static_cast<int>(y)) + firstColumn * DesktopBytesPerPixel;
        std::uint32_t r = 0, g = 0, b = 0;
        for (std::int64_t x = firstColumn; x < endColumn; ++x, pixel += DesktopBytesPerPixel) {
            if (!allShown
                && std::none_of(shown.begin(), shown.end(), [&](const auto& rect) { return Holds(rect, x, y); }))
                continue;
            b += pixel[0];
            g += pixel[1];
            r += pixel[2];
            ++inside;
        }
        sum.R += r;
        sum.G += g;
        sum.B += b;
    }
    const std::int64_t n = std::int64_t{sampleSize} * sampleSize - (onPictureCount - inside);
    if (n <= 0) {
        return NeutralFillColor; // nothing of the square is on a monitor
    }
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
    const TBlockRows rows{picture, target, zoom, sourceSize, left, top, firstInside, endInside};
    // The zoom factors the wheel reaches on common monitors get a block
    // writer of their own size.
    switch (zoom) {
    case 3: RenderBlockRows<3>(rows); break;
    case 4: RenderBlockRows<4>(rows); break;
    case 5: RenderBlockRows<5>(rows); break;
    case 6: RenderBlockRows<6>(rows); break;
    case 7: RenderBlockRows<7>(rows); break;
    case 8: RenderBlockRows<8>(rows); break;
    case 9: RenderBlockRows<9>(rows); break;
    case 10: RenderBlockRows<10>(rows); break;
    case 11: RenderBlockRows<11>(rows); break;
    case 12: RenderBlockRows<12>(rows); break;
    default: RenderBlockRows<0>(rows); break;
    }

    const int d = (sourceSize - geometry.SampleSize) / 2 * zoom;
    const int length = geometry.SampleSize * zoom;
    DrawMarkerEdge(d, d, target, false, geometry.SampleSize, zoom);
    DrawMarkerEdge(d, d + length - 1, target, false, geometry.SampleSize, zoom);
    DrawMarkerEdge(d, d, target, true, geometry.SampleSize, zoom);
    DrawMarkerEdge(d + length - 1, d, target, true, geometry.SampleSize, zoom);
    return rrDrawn;
}

// One edge of the marker, Sa segments of Z pixels, each the inverse of the
// block it lies on. The block's color is read at offset i*Z + 1: that pixel
// is still untouched, because the segments drawn so far on this edge end at
// i*Z - 1, and the earlier edges lie on the marker's outermost rows and
// columns, which offset 1 inside a block never is (Z >= 3). So the colors
// need no copy of the strip before drawing.
void DrawMarkerEdge(int x0, int y0, const TZoomPictureView& picture, bool vertical, int sampleSize, int zoomFactor)
{
    for (int i = 0; i < sampleSize; ++i) {
        const int start = i * zoomFactor;
        const TColor pen = vertical ? InverseColor(ZoomPixel(picture, x0, y0 + start + 1))
                                    : InverseColor(ZoomPixel(picture, x0 + start + 1, y0));
        for (int offset = start; offset < start + zoomFactor; ++offset) {
            if (vertical) {
                SetZoomPixel(picture, x0, y0 + offset, pen);
            } else {
                SetZoomPixel(picture, x0 + offset, y0, pen);
            }
        }
    }
}
