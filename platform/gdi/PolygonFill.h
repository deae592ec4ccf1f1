#pragma once
// Filling closed contours (non-zero winding), sampled at pixel centres, only over the rows and
// columns the clip shows: used for rotated text backgrounds and for glyphs too large to cache.
#include "platform/gdi/DeviceContext.h"

#include <vector>

namespace gdi {

void FillContours(const RasterTarget& t, const std::vector<std::vector<DPoint>>& contours, const RopMasks& m);

}  // namespace gdi
