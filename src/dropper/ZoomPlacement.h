#pragma once

// Where the zoom window stands and how large its picture may be, from the
// monitor under the pointer. Monitors come in as a list of rectangles, so
// any layout can be computed without a screen.

#include <cstdint>
#include <span>

#include "settings/WindowPlacement.h"

// As MonitorFromPoint with MONITOR_DEFAULTTONEAREST; nullptr for an empty list.
const TScreenRect* MonitorAt(std::span<const TScreenRect> monitors, TScreenPoint point);

int GetZoomSizeBoundary(const TScreenRect& monitor);

// B of the monitor at the point; 0 without monitors, which no zoom picture fits.
int ZoomSizeBoundaryAt(std::span<const TScreenRect> monitors, TScreenPoint point);

int MaxFittingSourceSize(int zoomSizeBoundary, int zoomFactor);

// Pixels of the layout at 96 DPI for a monitor of dpi, rounded as MulDiv
// rounds (halves away from zero).
int ScaleToDpi(int pixels, unsigned dpi);

// The zoom window's outer size for a zoom picture of the given side on a
// monitor of dpi: the left column (color box over the values panel, 120 x 281
// with its gap at 96 DPI, scaled with the monitor) and the zoom box with its
// one-pixel border, 8 pixels to the right of it. The zoom picture is never
// scaled: its pixels are the monitor's.
TWindowSize ZoomWindowSize(int zoomPictureSide, unsigned dpi = 96);

// The zoom window's top-left corner, all in client coordinates of the
// snapshot picture: the pointer, the monitor under it and the window's size.
// The window stays on that monitor wherever it fits on it.
TScreenPoint ZoomWindowPosition(TScreenPoint pointer, const TScreenRect& monitor, TWindowSize window);
