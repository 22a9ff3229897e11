#pragma once

// The four settings of a dropper run (zoom factor, source size, sample size,
// mouse speed) with their rules, and the small interface through which they
// reach the snapshot and zoom windows. The windows implement TDropperHost;
// every decision about order, limits and messages is made here.

#include <cstdint>
#include <string>
#include <string_view>

#include "color/ColorFunctions.h"
#include "dropper/DropperInput.h"
#include "dropper/PixelBuffer.h"
#include "dropper/ZoomRendering.h"
#include "settings/WindowPlacement.h"

enum TZoomLabel : std::uint8_t {
    zlRGB,
    zlCoordinatesScreen,
    zlCoordinatesMonitor,
    zlZoomFactor,
    zlSourceSize,
    zlSampleSize,
    zlMouseSpeed,
};

// The snapshot window as the dropper's rules see it.
class TDropperHost {
public:
    virtual ~TDropperHost() = default;

    virtual void SetCaption(TZoomLabel label, std::string_view caption) = 0;
    // Clear the zoom picture and make it side x side (the zoom window and its
    // region follow). Called when a setting changes, never on a move.
    virtual void ResizeZoomPicture(int side) = 0;
    // Confine the pointer for the current sample size (PointerConfinement).
    virtual void ClipCursorToSnapshot() = 0;
    // Read the pointer and run the update with it (TDropperSession::Update).
    // Only called while the refresh lock is clear.
    virtual void RefreshZoom() = 0;
    virtual void SetSystemMouseSpeed(int speed) = 0;
    virtual void AppendErrorLine(const std::string& line) = 0;
    // Hide the snapshot window and end its modal loop with Cancel.
    virtual void CancelRun() = 0;

    // For the update on every move:
    // if the foreground window is not the zoom window, bring it to the front
    virtual void KeepZoomWindowInFront() = 0;
    virtual void ShowSampleColor(TColor color) = 0;
    // The zoom window laid out for a monitor of dpi, and its outer size.
    virtual TWindowSize ZoomWindowSize(unsigned dpi) = 0;
    virtual void MoveZoomWindow(TScreenPoint screenTopLeft) = 0;
    // The pixels of the zoom picture, as last sized by ResizeZoomPicture.
    virtual TZoomPictureView ZoomPicture() = 0;
    // The zoom picture has been drawn anew; show it.
    virtual void ZoomPictureChanged() = 0;

protected:
    TDropperHost() = default;
    TDropperHost(const TDropperHost&) = default;
    TDropperHost& operator=(const TDropperHost&) = default;
};

struct TDropperValues {
    int ZoomFactor = 0;
    int SourceSize = 0;
    int SampleSize = 0;
    int MouseSpeed = 0;

    friend bool operator==(const TDropperValues&, const TDropperValues&) = default;
};

// The language texts the four setting captions start with.
struct TDropperTexts {
    std::string ZoomFactor;
    std::string SourceSize;
    std::string SampleSize;
    std::string MouseSpeed;
};

class TDropperSettings {
public:
    // The start of a run: the stored values are taken unchecked (the setters
    // check them at the first activation); only a source size too large for
    // the monitor under the pointer is reduced, silently.
    TDropperSettings(TDropperHost& host, const TDropperValues& stored, int zoomSizeBoundary);
    TDropperSettings(const TDropperSettings&) = delete;
    TDropperSettings& operator=(const TDropperSettings&) = delete;

    int ZoomFactor() const { return FZoomFactor; }
    int SourceSize() const { return FSourceSize; }
    int SampleSize() const { return FSampleSize; }
    int MouseSpeed() const { return FMouseSpeed; }
    TDropperValues Values() const { return {FZoomFactor, FSourceSize, FSampleSize, FMouseSpeed}; }
    int ZoomSizeBoundary() const { return FZoomSizeBoundary; }
    bool RefreshZoomLocked() const { return FRefreshZoomLock; }
    TZoomGeometry Geometry() const { return {FZoomFactor, FSourceSize, FSampleSize, FZoomSizeBoundary}; }

    // The first activation: keep the language texts and apply the stored
    // values through the setters, without a refresh in between.
    void ApplyStoredSettings(const TDropperTexts& texts);

    // A move onto another monitor: the new limit, and a source size reduced
    // to fit it.
    void FitToMonitor(int zoomSizeBoundary);

    void RefreshZoom();

    void SetZoomFactor(int value);
    void SetSourceSize(int value);
    void SetSampleSize(int value);
    void SetMouseSpeed(int value);

    void IncZoomFactor();
    void DecZoomFactor();
    void IncSourceSize();
    void DecSourceSize();
    void IncSampleSize();
    void DecSampleSize();
    void IncMouseSpeed();
    void DecMouseSpeed();

    // One notch of the mouse wheel over the zoom window.
    void WheelStep(bool up, TShiftState shift);

private:
    class TRefreshLock;

    bool FitsBoundary(int a, int b) const;
    void Reject(const char* setter);

    TDropperHost& FHost;
    TDropperTexts FTexts;
    int FZoomSizeBoundary;
    bool FRefreshZoomLock = false;
    int FZoomFactor;
    int FSourceSize;
    int FSampleSize;
    int FMouseSpeed;
};
