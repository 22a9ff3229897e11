#pragma once

// The captions of the zoom window's labels. The three value captions use
// fixed texts; the four setting captions start with a text of the active
// language, which the caller passes in (UTF-8).

#include <string>
#include <string_view>

#include "settings/WindowPlacement.h"
#include "color/ColorFunctions.h"

std::string RGBCaption(TColor color);
std::string ScreenCaption(TScreenPoint screenPoint);
std::string MonitorCaption(TScreenPoint screenPoint, const TScreenRect& monitor);

std::string ZoomFactorCaption(std::string_view sZoomFactor, int zoomFactor);
std::string SourceSizeCaption(std::string_view sSourceSize, int sourceSize);
std::string SampleSizeCaption(std::string_view sSampleSize, int sampleSize);
std::string MouseSpeedCaption(std::string_view sMouseSpeed, int mouseSpeed);
