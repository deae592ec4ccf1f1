#pragma once
// The A-scan job of the command line: a simulation file loaded into a viewer control, whose A-scan
// an A-scan control on the same page finds by name and plots; the page is written as a PNG.
#include <optional>
#include <string>

#include "platform/base/WinDef.h"

struct SAscanOptions {
    std::string inputPath;
    std::string outputPath;
    // The A-scan control's initial size; the page is the control.
    int width = 600;
    int height = 125;
    // The viewer's CurrentSnapShot (0 is the first), in effect before the A-scan's first build.
    std::optional<LONG> snapshot;
    // Range properties written after the link; an axis not given keeps the display window.
    struct SRange {
        float min = 0.0f;
        float max = 0.0f;
    };
    std::optional<SRange> x;
    std::optional<SRange> y;
};

// Container names of the two controls on the job's page.
constexpr const char* kAscanJobViewerName = "OrvexViewer1";
constexpr const char* kAscanJobAscanName = "OrvexAscanViewer1";

// Opens the page, links the controls by name, applies the options and writes the PNG. A file that
// cannot be read, or has no such snapshot, fails before anything is written: false with one line in
// `error`.
bool RunAscanJob(const SAscanOptions& options, std::string& error);
