#include "dropper/DropperSession.h"

#include <utility>

#include "common/Trace.h"
#include "dropper/ZoomPlacement.h"
#include "dropper/ZoomRendering.h"
#include "dropper/ZoomTexts.h"

namespace {

TScreenRect Offset(const TScreenRect& rect, std::int32_t dx, std::int32_t dy)
{
    return {rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
}

} // namespace

TDropperSession::TDropperSession(TDropperHost& host, TDropperScene scene, const TDropperValues& stored,
                                 TScreenPoint pointer)
    : FHost(host), FScene(std::move(scene)), FSettings(host, stored, GetZoomSizeBoundary(MonitorAtScreen(pointer).Rect))
{
    for (const TScreenRect& monitor : FScene.Monitors)
        FClientMonitors.push_back(Offset(monitor, -FScene.DesktopOrigin.X, -FScene.DesktopOrigin.Y));
}

TScreenPoint TDropperSession::ToClient(TScreenPoint screen) const
{
    return {screen.X - FScene.DesktopOrigin.X, screen.Y - FScene.DesktopOrigin.Y};
}

TScreenPoint TDropperSession::ToScreen(TScreenPoint client) const
{
    return {client.X + FScene.DesktopOrigin.X, client.Y + FScene.DesktopOrigin.Y};
}

TScreenRect TDropperSession::SnapshotArea() const
{
    const TScreenPoint origin = FScene.DesktopOrigin;
    return {origin.X, origin.Y, origin.X + FScene.Snapshot.Width, origin.Y + FScene.Snapshot.Height};
}

// Without a monitor list (no monitor answered) the whole snapshot stands in
// for the monitor.
TDropperSession::TMonitor TDropperSession::MonitorAtScreen(TScreenPoint screen) const
{
    constexpr unsigned DefaultDpi = 96;
    const TScreenRect* monitor = MonitorAt(FScene.Monitors, screen);
    if (!monitor)
        return {SnapshotArea(), DefaultDpi};
    const auto index = static_cast<std::size_t>(monitor - FScene.Monitors.data());
    const unsigned dpi = index < FScene.MonitorDpis.size() ? FScene.MonitorDpis[index] : 0;
    return {*monitor, dpi > 0 ? dpi : DefaultDpi};
}

// The steps keep their order because each later one may depend on the
// earlier: the captions show the color just sampled, the limit of the monitor
// under the pointer may shrink the source size before the window is placed
// and the picture drawn, and a rejected reduction still lets the placement
// and the render's own check run (which adds its line to the error log).
void TDropperSession::Update(TScreenPoint clientPoint)
{
    TracePoint("update");
    FHost.KeepZoomWindowInFront();
    TracePoint("update: zoom window in front");
    FSampleColor = SampleColorAt(FScene.Snapshot, clientPoint, FSettings.SampleSize(), FClientMonitors);
    FHost.ShowSampleColor(FSampleColor);
    FHost.SetCaption(zlRGB, RGBCaption(FSampleColor));

    const TScreenPoint screen = ToScreen(clientPoint);
    const TMonitor found = MonitorAtScreen(screen);
    const TScreenRect& monitor = found.Rect;
    FHost.SetCaption(zlCoordinatesScreen, ScreenCaption(screen));
    FHost.SetCaption(zlCoordinatesMonitor, MonitorCaption(screen, monitor));

    FSettings.FitToMonitor(GetZoomSizeBoundary(monitor));

    const TScreenRect clientMonitor = Offset(monitor, -FScene.DesktopOrigin.X, -FScene.DesktopOrigin.Y);
    FHost.MoveZoomWindow(ToScreen(ZoomWindowPosition(clientPoint, clientMonitor, FHost.ZoomWindowSize(found.Dpi))));
    TracePoint("update: zoom window moved");

    const TZoomGeometry geometry = FSettings.Geometry();
    TZoomPictureView target = FHost.ZoomPicture();
    if (ZoomGeometryValid(geometry)) {
        // The setters size the picture whenever So or Z change, so this
        // only catches a host that lost it; the render itself allocates
        // nothing.
        const int side = geometry.SourceSize * geometry.ZoomFactor;
        if (target.Width != side || target.Height != side) {
            FHost.ResizeZoomPicture(side);
            target = FHost.ZoomPicture();
        }
    }
    TracePoint("update: rendering");
    switch (RenderZoomArea(FScene.Snapshot, clientPoint, geometry, target)) {
    case rrDrawn: FHost.ZoomPictureChanged(); break;
    case rrInvalidInput:
        FHost.AppendErrorLine("RenderZoomArea: Invalid input");
        FHost.CancelRun();
        break;
    case rrPictureSizeMismatch: break;
    }
}
