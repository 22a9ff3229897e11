#pragma once

// The two pictures of a dropper run as plain views over pixel memory, laid
// out as Windows device-independent bitmaps so that the Windows layer can
// hand over the bits of its DIB sections without copying:
// - the frozen desktop: 32 bits per pixel, bytes blue, green, red, unused;
// - the zoom picture: 24 bits per pixel, bytes blue, green, red, every row
//   padded to a multiple of 4 bytes.
// Both are top-down: row 0 is the top row. Views do not own their memory.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TDesktopPictureView {
    const std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Stride = 0; // bytes from one row to the next

    const std::uint8_t* Row(int y) const { return Bits + y * Stride; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

struct TZoomPictureView {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Stride = 0;

    std::uint8_t* Row(int y) const { return Bits + y * Stride; }
};

inline constexpr int DesktopBytesPerPixel = 4;
inline constexpr int ZoomBytesPerPixel = 3;

// A 24-bpp DIB row: three bytes a pixel, rounded up to whole 32-bit words.
constexpr std::ptrdiff_t ZoomPictureStride(int width)
{
    return (static_cast<std::ptrdiff_t>(width) * ZoomBytesPerPixel + 3) / 4 * 4;
}

// A zoom picture in memory of its own, for the tests, the benchmark and any
// caller that has no DIB section to draw into. Resize is the only operation
// that allocates; it is meant for a change of the settings, not for a move.
class TZoomPicture {
public:
    TZoomPicture() = default;
    explicit TZoomPicture(int side) { Resize(side); }

    // Square of the given side, all black; a side below 1 leaves it empty.
    void Resize(int side);

    int Side() const { return FSide; }
    TZoomPictureView View() { return {FBits.data(), FSide, FSide, ZoomPictureStride(FSide)}; }

private:
    std::vector<std::uint8_t> FBits;
    int FSide = 0;
};

// A desktop picture in memory of its own, in the layout of a top-down
// 32-bpp DIB section.
class TDesktopPicture {
public:
    TDesktopPicture(int width, int height);

    void SetPixel(int x, int y, int r, int g, int b);
    // Every pixel of the rectangle [left, right) x [top, bottom), clipped.
    void Fill(int left, int top, int right, int bottom, int r, int g, int b);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TDesktopPictureView View() const
    {
        return {FBits.data(), FWidth, FHeight, static_cast<std::ptrdiff_t>(FWidth) * DesktopBytesPerPixel};
    }

private:
    std::vector<std::uint8_t> FBits;
    int FWidth;
    int FHeight;
};
