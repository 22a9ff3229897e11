#pragma once

// One eye dropper run, from the command to the hand-back of the picked color.

#include "dropper/Snapshot.h"

#include <functional>

struct TEyeDropperRequest {
    TSnapshotContext Snapshot;
    bool MinimizeOwner = false; // the owner steps aside for the capture
    // Called after a pick, before the windows go: the four values as the run
    // left them, then the color.
    std::function<void(const TDropperValues&, TColor)> Picked;
};

// Runs modally and returns when the run has ended. The pointer, the owner's
// window state, the minimize animation and the pointer speed are restored on
// every way out, also when an exception passes through.
void RunEyeDropper(const TEyeDropperRequest& request);

// How long what runs keep for the next one (the desktop picture, the zoom
// window's pictures) stays once a run has ended; 0 for the program's own
// time. Tests shorten it.
void SetKeptForTesting(unsigned milliseconds) noexcept;
