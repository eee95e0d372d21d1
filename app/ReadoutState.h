// What the window keeps for its readings: the axes of the picture in the view, the worker that
// computes levels of long frames, the window table for short ones, and what the pointer last showed.
#pragma once

#include "spectral/LevelReadoutWorker.h"
#include "spectral/SpectrogramReadout.h"

#include <cstdint>
#include <memory>
#include <optional>

class TTimeScaleLayer;

// Frames up to this length are read on the user-interface thread at each pointer move (a few
// microseconds at N = 1024); longer ones go to the worker, and the readout shows the rest meanwhile.
inline constexpr int32_t kLongestInlineLevelFrame = 65536;

struct ReadoutState {
    std::optional<PictureAxes> Axes; // of the last picture computed, at the rate it was computed with
    std::unique_ptr<LevelReadoutWorker> Worker;
    ReadoutWindow InlineWindow; // the user-interface thread's own window table
    uint64_t AwaitedLevel = 0;  // number of the worker's request the readout waits for; 0: none
    bool PointerOver = false;   // the pointer is over the picture
    int PointerX = 0;           // its last view position
    int PointerY = 0;
    int64_t Column = 0; // what the readout shows
    RowReading Row;
    TTimeScaleLayer* TimeScale = nullptr;
};
