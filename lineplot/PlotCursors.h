#pragma once
// The plot's own cursors: five 32 x 32 monochrome cursor resources of the module, drawn here as
// black arrows with a white rim so they show on light and dark backgrounds alike.
#include <vector>

#include "platform/win/Cursor.h"

// Resource ids, as the module's resources number them.
constexpr UINT kCursorPanVert = 257;   // vertical double arrow, plain shaft: pan x in a turned plot
constexpr UINT kCursorZoomHorz = 258;  // horizontal double arrow, split shaft: zoom x in a horizontal plot
constexpr UINT kCursorPanHorz = 259;   // horizontal double arrow, plain shaft: pan x in a horizontal plot
constexpr UINT kCursorZoomVert = 260;  // vertical double arrow, split shaft: zoom x in a turned plot
constexpr UINT kCursorMoveAll = 261;   // four-way arrow (kept with the others; nothing shows it)

// The five cursor shapes with their hot spots.
std::vector<CCursorResource> MakeLinePlotCursors();

// Makes the five cursors loadable by id. Ids that are already registered keep their shapes, so a
// module that brings its own resources wins; calling it again does nothing.
void RegisterLinePlotCursors();
