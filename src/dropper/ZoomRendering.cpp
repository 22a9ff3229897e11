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

// A 24-bit pixel as the low three bytes of a little-endian word, so one
// 4-byte store writes it; the fourth byte lands on the next pixel, which is
// written after it.
std::uint32_t PackedBGR(std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    return static_cast<std::uint32_t>(b) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(r) << 16;
}

std::uint8_t* WriteBlock(std::uint8_t* out, std::uint32_t packed, int zoomFactor)
{
    for (int i = 0; i < zoomFactor; ++i) {
        std::memcpy(out, &packed, sizeof packed);
        out += ZoomBytesPerPixel;
    }
    return out;
}

std::uint8_t* WriteFill(std::uint8_t* out, int count, int zoomFactor)
{
    const TRGB fill = ColorToRGB(NeutralFillColor);
    const std::uint32_t packed = PackedBGR(static_cast<std::uint8_t>(fill.B), static_cast<std::uint8_t>(fill.G),
                                           static_cast<std::uint8_t>(fill.R));
    for (int i = 0; i < count; ++i) {
        out = WriteBlock(out, packed, zoomFactor);
    }
    return out;
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

} // namespace

// The sample square is Sa x Sa pixels from (X - h, Y - h). For the odd sizes
// the setters accept that is exactly the square centred on the point; an
// even size (possible only while a rejected stored value is still in place)
// reads one more column and row to the right and below instead of failing.
// Pixels off the picture count as NeutralFillColor, the same color the zoom
// picture shows there, so the color box agrees with the zoom.
TColor SampleColorAt(const TDesktopPictureView& picture, TScreenPoint point, int sampleSize)
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

    // 32-bit sums would do for every square the limits allow; the wider ones
    // keep a rejected huge sample size from overflowing.
    TChannels sum;
    std::int64_t inside = 0;
    if (firstColumn < endColumn && firstRow < endRow) {
        inside = (endColumn - firstColumn) * (endRow - firstRow);
        for (std::int64_t y = firstRow; y < endRow; ++y) {
            const std::uint8_t* pixel = picture.Row(static_cast<int>(y)) + firstColumn * DesktopBytesPerPixel;
            std::uint32_t r = 0, g = 0, b = 0;
            for (std::int64_t x = firstColumn; x < endColumn; ++x, pixel += DesktopBytesPerPixel) {
                b += pixel[0];
                g += pixel[1];
                r += pixel[2];
            }
            sum.R += r;
            sum.G += g;
            sum.B += b;
        }
    }
    const std::int64_t n = std::int64_t{sampleSize} * sampleSize;
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
    const auto rowBytes = static_cast<std::size_t>(side) * ZoomBytesPerPixel;

    for (int j = 0; j < sourceSize; ++j) {
        const std::int64_t y = top + j;
        std::uint8_t* blockRow = target.Row(j * zoom);
        // The 4-byte stores reach one byte past the built row: into the row
        // padding, or into the next row of the same block (Z >= 3 makes sure
        // there is one), which the copies below overwrite.
        if (y < 0 || y >= picture.Height || firstInside == endInside) {
            WriteFill(blockRow, sourceSize, zoom);
        } else {
            std::uint8_t* out = WriteFill(blockRow, firstInside, zoom);
            const std::uint8_t* pixel = picture.Row(static_cast<int>(y)) + (left + firstInside) * DesktopBytesPerPixel;
            for (int i = firstInside; i < endInside; ++i, pixel += DesktopBytesPerPixel) {
                out = WriteBlock(out, PackedBGR(pixel[0], pixel[1], pixel[2]), zoom);
            }
            WriteFill(out, sourceSize - endInside, zoom);
        }
        for (int copy = 1; copy < zoom; ++copy) {
            std::memcpy(target.Row(j * zoom + copy), blockRow, rowBytes);
        }
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
