#pragma once

// The captions of the zoom window's labels. The three value captions use
// fixed texts; the four setting captions start with a text of the active
// language, which the caller passes in (UTF-8).

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "color/ColorFunctions.h"
#include "settings/WindowPlacement.h"

// A caption of the update that runs on every pointer move, built in place:
// that path takes no memory from the heap. Longer text is cut off.
class TShortText {
public:
    static constexpr std::size_t Capacity = 48;

    TShortText& operator+=(std::string_view text) noexcept;
    TShortText& operator+=(std::int64_t number) noexcept;
    std::string_view View() const noexcept { return {FText.data(), FSize}; }
    operator std::string_view() const noexcept { return View(); }
    friend bool operator==(const TShortText& a, std::string_view b) noexcept { return a.View() == b; }
    friend std::ostream& operator<<(std::ostream& out, const TShortText& text) { return out << text.View(); }

private:
    std::array<char, Capacity> FText{};
    std::size_t FSize = 0;
};

// The language texts the four setting captions start with, read at the
// first activation of every run.
inline constexpr std::string_view SnapshotSection = "TFormSnapshot";
inline constexpr std::string_view SnapshotTextKeys[] = {"sZoomFactor", "sSourceSize", "sSampleSize", "sMouseSpeed"};

TShortText RGBCaption(TColor color);
TShortText ScreenCaption(TScreenPoint screenPoint);
TShortText MonitorCaption(TScreenPoint screenPoint, const TScreenRect& monitor);

std::string ZoomFactorCaption(std::string_view sZoomFactor, int zoomFactor);
std::string SourceSizeCaption(std::string_view sSourceSize, int sourceSize);
std::string SampleSizeCaption(std::string_view sSampleSize, int sampleSize);
std::string MouseSpeedCaption(std::string_view sMouseSpeed, int mouseSpeed);
