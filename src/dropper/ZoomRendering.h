#pragma once

// The pixels of the zoom window: the color sampled under the pointer and the
// magnified neighbourhood with its marker, computed from the frozen desktop
// picture. Nothing here allocates, so the functions can run on every pointer
// move.

#include <cstdint>
#include <span>

#include "color/ColorFunctions.h"
#include "dropper/PixelBuffer.h"
#include "settings/WindowPlacement.h"

// What the zoom picture shows, and what a sample counts, for pixels beyond
// the edges of the desktop picture. A darker gray than the middle so that its
// inverse (0x9F9F9F) still stands apart from it when the marker lies on it.
inline constexpr TColor NeutralFillColor = 0x606060;

// The numbers that shape one zoom picture: the zoom factor Z, the source
// size So, the sample size Sa and the size limit B of the monitor under the
// pointer.
struct TZoomGeometry {
    int ZoomFactor = 0;
    int SourceSize = 0;
    int SampleSize = 0;
    int ZoomSizeBoundary = 0;
};

enum TRenderResult : std::uint8_t {
    rrDrawn,
    rrInvalidInput,        // the settings break a rule; nothing drawn
    rrPictureSizeMismatch, // the target is not So*Z square; nothing drawn
};

// The instruction sets the pixel loops can use. Each gives the same bytes;
// the functions without a kernel argument take the fastest this processor
// runs, the others let the tests and the benchmark compare them.
enum TPixelKernel : std::uint8_t {
    pkPortable, // plain C++, on every processor
    pkSse2,     // x86-64
    pkSsse3,    // x86-64 processors that report SSSE3
};

bool PixelKernelAvailable(TPixelKernel kernel);
TPixelKernel FastestPixelKernel();

// shown: the monitors' rectangles in picture coordinates; none stands for
// a picture that is all on one monitor.
TColor SampleColorAt(const TDesktopPictureView& picture, TScreenPoint point, int sampleSize,
                     std::span<const TScreenRect> shown = {});
TColor SampleColorAt(const TDesktopPictureView& picture, TScreenPoint point, int sampleSize, TPixelKernel kernel,
                     std::span<const TScreenRect> shown = {});

bool ZoomGeometryValid(const TZoomGeometry& geometry);

TRenderResult RenderZoomArea(const TDesktopPictureView& picture, TScreenPoint point, const TZoomGeometry& geometry,
                             const TZoomPictureView& target);
TRenderResult RenderZoomArea(const TDesktopPictureView& picture, TScreenPoint point, const TZoomGeometry& geometry,
                             const TZoomPictureView& target, TPixelKernel kernel);
