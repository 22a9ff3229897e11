#pragma once

// One dropper run seen from the rules: the frozen desktop, the monitors, the
// settings and the update that runs on every pointer move. The snapshot
// window owns one of these and forwards its events.

#include <vector>

#include "color/ColorFunctions.h"
#include "dropper/DropperSettings.h"
#include "dropper/PixelBuffer.h"
#include "settings/WindowPlacement.h"

// The frozen desktop and where it lies on the screen. The picture's pixel
// (0, 0) is the virtual desktop's top-left corner, DesktopOrigin, so client
// coordinates of the snapshot are screen coordinates minus that corner.
struct TDropperScene {
    TDesktopPictureView Snapshot;
    TScreenPoint DesktopOrigin;
    std::vector<TScreenRect> Monitors; // screen coordinates
    // The DPI of each monitor, in the order of Monitors; a monitor without
    // an entry has 96. The zoom window's fixed layout scales with the DPI of
    // the monitor it stands on.
    std::vector<unsigned> MonitorDpis;
};

class TDropperSession {
public:
    // pointer: the pointer's screen position at the start, which chooses the
    // monitor whose size limits the zoom picture.
    TDropperSession(TDropperHost& host, TDropperScene scene, const TDropperValues& stored, TScreenPoint pointer);

    TDropperSettings& Settings() { return FSettings; }
    const TDropperSettings& Settings() const { return FSettings; }
    // The color of the last update; a pick delivers it.
    TColor SampleColor() const { return FSampleColor; }

    TScreenPoint ToClient(TScreenPoint screen) const;
    TScreenPoint ToScreen(TScreenPoint client) const;
    // The snapshot's area in screen coordinates: the virtual desktop.
    TScreenRect SnapshotArea() const;

    // The update for the pointer at a point of the snapshot (client
    // coordinates). The caller makes sure the zoom window exists.
    void Update(TScreenPoint clientPoint);

private:
    struct TMonitor {
        TScreenRect Rect;
        unsigned Dpi;
    };
    TMonitor MonitorAtScreen(TScreenPoint screen) const;

    TDropperHost& FHost;
    TDropperScene FScene;
    // The monitors in client coordinates, where the sampling needs them.
    std::vector<TScreenRect> FClientMonitors;
    TDropperSettings FSettings;
    TColor FSampleColor = 0;
};
