#include "platform/gdi/PolygonFill.h"

#include "platform/base/Saturate.h"

#include <algorithm>
#include <cmath>

namespace gdi {

namespace {

struct Edge {
    double x0, y0, x1, y1;
    int winding;
};

struct Crossing {
    double x;
    int winding;
};

}  // namespace

void FillContours(const RasterTarget& t, const std::vector<std::vector<DPoint>>& contours, const RopMasks& m) {
    if (t.IsEmpty()) return;
    std::vector<Edge> edges;
    double minY = HUGE_VAL, maxY = -HUGE_VAL;
    for (const auto& c : contours) {
        const size_t n = c.size();
        for (size_t i = 0; i < n; ++i) {
            const DPoint& a = c[i];
            const DPoint& b = c[(i + 1) % n];
            if (a.y == b.y || !std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
                continue;
            if (a.y < b.y) edges.push_back(Edge{a.x, a.y, b.x, b.y, 1});
            else edges.push_back(Edge{b.x, b.y, a.x, a.y, -1});
            minY = std::min({minY, a.y, b.y});
            maxY = std::max({maxY, a.y, b.y});
        }
    }
    if (edges.empty()) return;
    // Rows whose centre lies inside the contours' vertical extent, within the clip.
    const double top = std::max<double>(std::ceil(minY - 0.5), t.clip.top);
    const double bottom = std::min<double>(std::ceil(maxY - 0.5), t.clip.bottom);
    // Contours wholly above or below the clip (text at extreme coordinates) fill nothing; past this
    // test the first row lies within the clip, so it fits an int.
    if (!(top < bottom)) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    std::vector<Crossing> crossings;
    for (int y = static_cast<int>(top); y < bottom; ++y) {
        const double yc = y + 0.5;
        crossings.clear();
        for (const Edge& e : edges) {
            if (e.y0 > yc) break;
            if (yc >= e.y1) continue;
            const double x = e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
            crossings.push_back(Crossing{x, e.winding});
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (winding == 0) continue;
            // Pixels whose centre x + 0.5 lies in [xa, xb).
            const long long a = TruncateToInt64(std::ceil(crossings[i].x - 0.5));
            const long long b = TruncateToInt64(std::ceil(crossings[i + 1].x - 0.5));
            Span(t, y, a, b, m);
        }
    }
}

}  // namespace gdi
