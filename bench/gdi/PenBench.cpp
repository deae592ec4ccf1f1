// The viewer creates, selects and deletes one pen per ray leg: a million short legs must draw in
// well under one 200 ms animation tick. The baseline draws the same legs with one pen selected
// once, so the ratio shows what the per-leg pen costs.
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    Canvas(int w, int h) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, w, h);
        previous = dc.SelectObject(&bitmap);
    }
    ~Canvas() { dc.SelectObject(previous); }
};

// Deterministic leg end points and colours, the same for both runs.
struct Legs {
    uint32_t state = 12345;
    int Next(int m) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(m));
    }
};

constexpr int kLegs = 1000000;

void BM_MillionLegsOnePenEach(benchmark::State& st) {
    Canvas c(1000, 800);
    CPen black(PS_SOLID, 0, RGB(0, 0, 0));
    CPen* old = c.dc.SelectObject(&black);
    for (auto _ : st) {
        Legs legs;
        for (int i = 0; i < kLegs; ++i) {
            CPen pen;
            pen.CreatePen(PS_SOLID, 1, RGB(0, 0, legs.Next(256)));
            c.dc.SelectObject(&pen);
            const int x = legs.Next(1000), y = legs.Next(800);
            c.dc.MoveTo(x, y);
            c.dc.LineTo(x + legs.Next(21) - 10, y + legs.Next(21) - 10);
            c.dc.SelectObject(&black);
            pen.DeleteObject();
        }
    }
    c.dc.SelectObject(old);
}
BENCHMARK(BM_MillionLegsOnePenEach)->Unit(benchmark::kMillisecond);

void BM_MillionLegsBaselineOnePen(benchmark::State& st) {
    Canvas c(1000, 800);
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = c.dc.SelectObject(&black);
    for (auto _ : st) {
        Legs legs;
        for (int i = 0; i < kLegs; ++i) {
            legs.Next(256);
            const int x = legs.Next(1000), y = legs.Next(800);
            c.dc.MoveTo(x, y);
            c.dc.LineTo(x + legs.Next(21) - 10, y + legs.Next(21) - 10);
        }
    }
    c.dc.SelectObject(old);
}
BENCHMARK(BM_MillionLegsBaselineOnePen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
