#pragma once
// The A-scan job of the command line: a simulation file loaded into a viewer control, whose A-scan
// an A-scan control on the same page finds by name and plots; the page is written as a PNG.
#include <optional>
#include <string>
#include <vector>

#include "platform/base/WinDef.h"

struct SAscanOptions {
    std::string inputPath;
    std::string outputPath;
    // The picture's scale (1 to 4: page, fonts and pens together) and whether a caption below the
    // page says what it shows.
    double scale = 1.0;
    bool stamp = false;
    // The page is the A-scan control. Taller than the control's initial 600 x 125, at which the
    // amplitude axis has room for no number but 0.
    int width = 600;
    int height = 250;
    // The viewer's CurrentSnapShot (0 is the first), in effect before the A-scan's first build.
    std::optional<LONG> snapshot;
    // Range properties written after the link; an axis not given keeps the display window.
    struct SRange {
        float min = 0.0f;
        float max = 0.0f;
    };
    std::optional<SRange> x;
    std::optional<SRange> y;
    // Caption lines after the stamp's (gate readouts), drawn below the page like it.
    std::vector<std::string> readout;
};

// Container names of the two controls on the job's page.
constexpr const char* kAscanJobViewerName = "OrvexViewer1";
constexpr const char* kAscanJobAscanName = "OrvexAscanViewer1";

// Opens the page, links the controls by name, applies the options and writes the PNG. A file that
// cannot be read, or has no such snapshot, fails before anything is written: false with one line in
// `error`.
// Requests the plot cannot take as given (a window beyond the data) are not errors: the job goes
// on and `notes`, when given, gets one line for each.
bool RunAscanJob(const SAscanOptions& options, std::string& error, std::vector<std::string>* notes = nullptr);
