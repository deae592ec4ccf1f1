#pragma once
// The arithmetic of gates, apart from any window or context: which part of a gate lies under the
// mouse, how a drag step moves its points, how its points are kept in order, which figure places
// its label and what the label reads.
#include <string>

#include "lineplot/LinePlotWnd.h"

// Near an edge: an absolute pixel difference below this.
constexpr int kGateNearPixels = 5;
// Near a turned segment: the line test's tolerance.
constexpr int kGateLineTolerance = 10;

// Tests one gate at a pixel and prepares its drag (drag part, order flags). With xHorizontal false
// the pixel axes exchange, so x edges are found along the screen's vertical. Returns the standard
// cursor of the part under the mouse, or null when the gate is not hit.
LPCTSTR HitTestGate(CLinePlotWnd::CGate& gate, CPoint mouse, bool xHorizontal);

// Where the order flags ask for it, stops x1 from passing x2 (and y1 from passing y2) by moving
// the edge that is being dragged onto the other one.
void OrderGatePoints(CLinePlotWnd::CGate& gate);

// One drag step from the saved points: (x, y) under the mouse, (ax, ay) under the press point, in
// axis units. The points are then rounded to the plot's decimals and ordered.
void ApplyGateDrag(CLinePlotWnd::CGate& gate, float x, float y, float ax, float ay, int xDecimals, int yDecimals);

// The figure bit whose label place the gate uses: the first figure, in drawing order, that has one;
// for a gate drawn only with the crossed-out regions or the circle, the first of those; 0 for none.
int GateLabelFigure(int kind);

// The label: the text alone, and while the gate is dragged followed by the coordinates its label
// figure works with ("--" for the others).
std::string GateLabelText(const CLinePlotWnd::CGate& gate, int figure, int xDecimals, int yDecimals);
