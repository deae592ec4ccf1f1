#pragma once
// Plays a recording into Cairo: PDF and SVG files of a metafile or printer page.
//
// Geometry follows the raster rules where a vector file can: lines run through pixel centres and
// leave out their last pixel, one-pixel pens stay one device pixel wide (never thinner than
// kMinCosmeticPenPt), wide pens are round-capped and scale with the mapping, dash runs are counted
// in device pixels and carry along a polyline, text is drawn with the face the raster context
// resolves, at the same pen positions. A vector file has no pixels underneath, so each raster
// operation is applied to white paper (R2_NOTXORPEN with black draws black, R2_NOP draws nothing).
#include "platform/gdi/Recording.h"

#include <string>

struct _cairo;

namespace gdi {

// The thinnest a one-pixel pen is drawn in a vector file, in points (a 600-dpi dot is 0.12 point,
// which viewers show as a faint grey).
constexpr double kMinCosmeticPenPt = 0.25;

// Draws the recording into a Cairo context whose user space is the recording's device pixels.
// minCosmeticWidth is the narrowest line in those pixels.
void PlayRecordingCairo(const CRecording& recording, _cairo* cr, double minCosmeticWidth = 1.0);

// Writes the recording as a one-page PDF or SVG file whose page is the recording's page at its
// resolution. False, with the reason in error, when the file cannot be written.
bool WriteRecordingPdf(const CRecording& recording, const std::string& path, std::string* error = nullptr);
bool WriteRecordingSvg(const CRecording& recording, const std::string& path, std::string* error = nullptr);

}  // namespace gdi
