#pragma once
// The B-scan: the A-scans of all snapshots side by side as an image, snapshot (probe position)
// across and time down, amplitude as colour, with the line plot's own axis routines for the time
// and snapshot axes and for the numbers of a colour bar. PNG, PDF or SVG by extension.
#include <optional>
#include <string>
#include <vector>

#include "host/AscanTraces.h"

class CBitmap;
class CDC;

struct SBscanOptions {
    int width = 800;
    int height = 500;
    // The time window; none: the display window of the first snapshot.
    struct SRange {
        double min = 0.0;
        double max = 0.0;
    };
    std::optional<SRange> x;
    enum class EColourMap { Gray, Viridis };
    EColourMap colourMap = EColourMap::Gray;
    // The magnitude of the analytic signal instead of the raw signal.
    bool envelope = false;
};

// The image before drawing: one column of values per snapshot, one value per pixel row.
struct SBscanImage {
    int rows = 0;
    double timeMin = 0.0;
    double timeMax = 0.0;
    std::string timeLabel;
    // Colours run from valueMin to valueMax.
    double valueMin = -1.0;
    double valueMax = 1.0;
    std::vector<LONG> snapshots;
    std::vector<std::vector<float>> columns;
};

// Where the parts of a B-scan of the given size lie (the image, the colour bar), in pixels.
struct SBscanLayout {
    CRect image;
    CRect colourBar;
};
SBscanLayout LayOutBscan(int width, int height);

// 0x00BBGGRR for a fraction 0..1 of the colour scale (clamped).
COLORREF BscanColour(SBscanOptions::EColourMap map, double fraction);

// One pixel row per value of a trace in the time window: the sample of largest magnitude within
// the row's time span (so no echo falls between rows), or the nearest sample when the row is
// narrower than a sample; 0 beyond the trace.
std::vector<float> ResampleTrace(const std::vector<float>& samples, double resolution, double timeMin, double timeMax,
                                 int rows);

// Reads every snapshot of the viewer (restoring its CurrentSnapShot) into an image for `options`.
bool BuildBscanImage(IDispatch* viewer, const SBscanOptions& options, SBscanImage& image, std::string& error,
                     const AscanProgress& progress = {});

// Draws the image, the axes, the colour bar and its numbers into `dc` (white background assumed).
void DrawBscan(CDC& dc, const SBscanOptions& options, const SBscanImage& image);

// The B-scan of a viewer as a 32-bit picture of the options' size, as the PNG of WriteBscan has it.
bool RenderBscanBitmap(IDispatch* viewer, const SBscanOptions& options, CBitmap& picture, std::string& error,
                       const AscanProgress& progress = {});

// The whole job for a viewer: build, draw into a recording and write PNG, PDF or SVG under a
// temporary name. False with one line in `error`; nothing is left behind then.
bool WriteBscan(IDispatch* viewer, const SBscanOptions& options, const std::string& path, std::string& error,
                const AscanProgress& progress = {});
