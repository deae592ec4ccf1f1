#pragma once
// The job of `orvex animate`: the viewer's pulse animation, frame by frame as the control itself
// steps it (its timer, its increment, its limits), written as an animated GIF.
#include <optional>
#include <string>
#include <vector>

#include "host/AscanTraces.h"

struct SAnimateOptions {
    std::string inputPath;
    std::string outputPath;
    int width = 500;
    int height = 400;
    // RayPlotType: 2 the travelling pulse, 1 the rays cut at the time.
    short plotType = 2;
    // Frames per second of the GIF (its delay is in hundredths of a second).
    int fps = 5;
    // A caption below each frame: the file, the snapshot and the time.
    bool stamp = false;
};

// Frames an animation stops at, whatever the limits and the increment say.
constexpr int kMaxAnimationFrames = 2000;

struct SAnimateResult {
    int frames = 0;
    // The delay of each frame, in hundredths of a second.
    int delay = 0;
    // The times the frames show (RayEndTime), first to last.
    std::vector<double> times;
    // Whether the frames' palettes held every colour exactly.
    bool exact = true;
    // Lines for the user (an animation cut at the frame limit).
    std::vector<std::string> notes;
};

// The GIF delay for a frame rate: 100 / fps rounded, at least 2 (what viewers honour).
int AnimationDelay(int fps);

// Frame 0 shows PulseAnimateStartLimit; each further frame is one tick of the control's timer
// (200 ms of the page's clock); the animation ends at the tick that wraps back to the start (or
// that does not move the time on). Written under a temporary name and renamed. False with one
// line in `error`, nothing left behind.
bool RunAnimateJob(const SAnimateOptions& options, SAnimateResult& result, std::string& error,
                   const AscanProgress& progress = {});
