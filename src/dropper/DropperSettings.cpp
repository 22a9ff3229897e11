#include "dropper/DropperSettings.h"

#include <algorithm>

#include "dropper/ZoomPlacement.h"
#include "dropper/ZoomTexts.h"

namespace {

constexpr int MinZoomFactor = 3;
constexpr int MinSourceSize = 3;
constexpr int MinSampleSize = 1;
constexpr int MinMouseSpeed = 1;
constexpr int MaxMouseSpeed = 20;

bool IsOdd(int value)
{
    return value % 2 != 0;
}

// The side of the zoom picture for two values of which one may still be an
// unchecked stored value: no overflow, and never negative.
int PictureSide(int a, int b)
{
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{a} * b, 0, INT32_MAX));
}

} // namespace

// Sets the lock for its lifetime and puts back what was there before, so an
// exception from a host call cannot leave the refresh switched off.
class TDropperSettings::TRefreshLock {
public:
    explicit TRefreshLock(bool& lock) : FLock(lock), FPrevious(lock) { FLock = true; }
    ~TRefreshLock() { FLock = FPrevious; }
    TRefreshLock(const TRefreshLock&) = delete;
    TRefreshLock& operator=(const TRefreshLock&) = delete;

private:
    bool& FLock;
    bool FPrevious;
};

TDropperSettings::TDropperSettings(TDropperHost& host, const TDropperValues& stored, int zoomSizeBoundary)
    : FHost(host), FZoomSizeBoundary(zoomSizeBoundary), FZoomFactor(stored.ZoomFactor), FSourceSize(stored.SourceSize),
      FSampleSize(stored.SampleSize), FMouseSpeed(stored.MouseSpeed)
{
    if (!FitsBoundary(FSourceSize, FZoomFactor)) {
        FSourceSize = MaxFittingSourceSize(FZoomSizeBoundary, FZoomFactor);
    }
}

// Every setter runs, also after one of them has rejected its value and ended
// the run: each stored value gets its own line in the error log.
void TDropperSettings::ApplyStoredSettings(const TDropperTexts& texts)
{
    FTexts = texts;
    const TRefreshLock lock(FRefreshZoomLock);
    SetZoomFactor(FZoomFactor);
    SetSourceSize(FSourceSize);
    SetSampleSize(FSampleSize);
    SetMouseSpeed(FMouseSpeed);
}

// The zoom factor stays; the sample size follows only through the source
// size setter. The lock keeps that setter's refresh from starting an update
// inside the update that called this.
void TDropperSettings::FitToMonitor(int zoomSizeBoundary)
{
    FZoomSizeBoundary = zoomSizeBoundary;
    if (!FitsBoundary(FSourceSize, FZoomFactor)) {
        const TRefreshLock lock(FRefreshZoomLock);
        SetSourceSize(MaxFittingSourceSize(FZoomSizeBoundary, FZoomFactor));
    }
}

void TDropperSettings::RefreshZoom()
{
    if (!FRefreshZoomLock) {
        FHost.RefreshZoom();
    }
}

void TDropperSettings::SetZoomFactor(int value)
{
    if (value < MinZoomFactor || !FitsBoundary(value, FSourceSize)) {
        Reject("SetZoomFactor");
        return;
    }
    FZoomFactor = value;
    FHost.SetCaption(zlZoomFactor, ZoomFactorCaption(FTexts.ZoomFactor, value));
    FHost.ResizeZoomPicture(PictureSide(FSourceSize, value));
    RefreshZoom();
}

void TDropperSettings::SetSourceSize(int value)
{
    if (!IsOdd(value) || value < MinSourceSize || !FitsBoundary(value, FZoomFactor)) {
        Reject("SetSourceSize");
        return;
    }
    FSourceSize = value;
    FHost.SetCaption(zlSourceSize, SourceSizeCaption(FTexts.SourceSize, value));
    FHost.ResizeZoomPicture(PictureSide(value, FZoomFactor));
    if (FSampleSize > value) {
        SetSampleSize(value);
    } else {
        RefreshZoom();
    }
}

void TDropperSettings::SetSampleSize(int value)
{
    if (!IsOdd(value) || value < MinSampleSize || !FitsBoundary(value, FZoomFactor)) {
        Reject("SetSampleSize");
        return;
    }
    FSampleSize = value;
    FHost.SetCaption(zlSampleSize, SampleSizeCaption(FTexts.SampleSize, value));
    FHost.ClipCursorToSnapshot();
    if (value > FSourceSize) {
        SetSourceSize(value);
    } else {
        RefreshZoom();
    }
}

void TDropperSettings::SetMouseSpeed(int value)
{
    if (value < MinMouseSpeed || value > MaxMouseSpeed) {
        Reject("SetMouseSpeed");
        return;
    }
    FMouseSpeed = value;
    FHost.SetCaption(zlMouseSpeed, MouseSpeedCaption(FTexts.MouseSpeed, value));
    FHost.SetSystemMouseSpeed(value);
}

// Each step tests the new value first, so the wheel stops at the limits
// without a message.

void TDropperSettings::IncZoomFactor()
{
    if (FitsBoundary(FZoomFactor + 1, FSourceSize)) {
        SetZoomFactor(FZoomFactor + 1);
    }
}

void TDropperSettings::DecZoomFactor()
{
    if (FZoomFactor >= MinZoomFactor + 1) {
        SetZoomFactor(FZoomFactor - 1);
    }
}

void TDropperSettings::IncSourceSize()
{
    if (FitsBoundary(FSourceSize + 2, FZoomFactor)) {
        SetSourceSize(FSourceSize + 2);
    }
}

void TDropperSettings::DecSourceSize()
{
    if (FSourceSize >= MinSourceSize + 2) {
        SetSourceSize(FSourceSize - 2);
    }
}

void TDropperSettings::IncSampleSize()
{
    if (FitsBoundary(FSampleSize + 2, FZoomFactor)) {
        SetSampleSize(FSampleSize + 2);
    }
}

void TDropperSettings::DecSampleSize()
{
    if (FSampleSize >= MinSampleSize + 2) {
        SetSampleSize(FSampleSize - 2);
    }
}

void TDropperSettings::IncMouseSpeed()
{
    if (FMouseSpeed <= MaxMouseSpeed - 1) {
        SetMouseSpeed(FMouseSpeed + 1);
    }
}

void TDropperSettings::DecMouseSpeed()
{
    if (FMouseSpeed >= MinMouseSpeed + 1) {
        SetMouseSpeed(FMouseSpeed - 1);
    }
}

void TDropperSettings::WheelStep(bool up, TShiftState shift)
{
    switch (WheelSetting(shift)) {
    case dsZoomFactor: up ? IncZoomFactor() : DecZoomFactor(); break;
    case dsSourceSize: up ? IncSourceSize() : DecSourceSize(); break;
    case dsSampleSize: up ? IncSampleSize() : DecSampleSize(); break;
    case dsMouseSpeed: up ? IncMouseSpeed() : DecMouseSpeed(); break;
    case dsNone: break;
    }
}

// a * b <= B in 64 bits: the stored values are unchecked and their product
// may pass the 32-bit range.
bool TDropperSettings::FitsBoundary(int a, int b) const
{
    return std::int64_t{a} * b <= FZoomSizeBoundary;
}

void TDropperSettings::Reject(const char* setter)
{
    FHost.AppendErrorLine(std::string(setter) + ": Invalid input");
    FHost.CancelRun();
}
