#include "dropper/PixelBuffer.h"

#include <algorithm>

void TZoomPicture::Resize(int side)
{
    FSide = std::max(side, 0);
    FBits.assign(static_cast<std::size_t>(ZoomPictureStride(FSide) * FSide), 0);
}

TDesktopPicture::TDesktopPicture(int width, int height)
    : FBits(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0))
                * DesktopBytesPerPixel,
            0),
      FWidth(std::max(width, 0)), FHeight(std::max(height, 0))
{}

void TDesktopPicture::SetPixel(int x, int y, int r, int g, int b)
{
    Fill(x, y, x + 1, y + 1, r, g, b);
}

void TDesktopPicture::Fill(int left, int top, int right, int bottom, int r, int g, int b)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, FWidth);
    bottom = std::min(bottom, FHeight);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            std::uint8_t* pixel =
                FBits.data()
                + (static_cast<std::size_t>(y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(x))
                      * DesktopBytesPerPixel;
            pixel[0] = static_cast<std::uint8_t>(b);
            pixel[1] = static_cast<std::uint8_t>(g);
            pixel[2] = static_cast<std::uint8_t>(r);
            pixel[3] = 0;
        }
    }
}
