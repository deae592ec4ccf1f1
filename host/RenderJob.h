#pragma once
// The render job of the command line: a simulation file drawn by the viewer control on a page of
// its own, written as a PNG.
#include <optional>
#include <string>

#include "platform/base/WinDef.h"

struct SRenderOptions {
    std::string inputPath;
    std::string outputPath;
    // The picture's scale (1 to 4: page, fonts and pens together) and whether a caption below the
    // page says what it shows.
    double scale = 1.0;
    bool stamp = false;
    // The viewer's initial size.
    int width = 500;
    int height = 400;
    // Standard views, applied first.
    enum class EView { Front, Side, Top };
    std::optional<EView> view;
    // Then, in this order, the view turns in degrees.
    std::optional<float> rotate;
    std::optional<float> spin;
    std::optional<float> tilt;
    // RayPlotType: 0 full rays, 1 rays cut at the time, 2 the travelling pulse.
    std::optional<SHORT> plotType;
    std::optional<double> time;
};

// The name of the viewer on the render job's page.
constexpr const char* kRenderViewerName = "OrvexViewer1";

// Opens a one-viewer document of the options' size, sets FileName and the options through the
// viewer's dispatch interface, lets the page paint and writes the PNG. A simulation file that
// cannot be read fails before anything is written: false with one line in `error`.
bool RunRenderJob(const SRenderOptions& options, std::string& error);
