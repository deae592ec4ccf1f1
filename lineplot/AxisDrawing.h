#pragma once
// The axis routines: an axis line with tick marks, dotted grid lines, tick numbers and a title.
// They are not members of the plot: everything they need is passed. Start and span are in view
// units (sample indices for x, raw units for y); offset and scale turn them into axis units.
#include <string>

class CDC;

// Font heights of the axis texts: in 0.01 inch on the measured path, in target units on the direct one.
constexpr int kAxisFontHeight = 16;
constexpr int kDirectAxisFontHeight = 17;
// Grid line colour on the screen and print paths (the direct path draws black).
constexpr unsigned kGridColour = 0xC0C0C0;

// A horizontal axis along y = P from x = a to x = b with grid lines up to y = Q, its numbers and title
// below the line when below is set. Texts are measured in MM_LOENGLISH so they keep their physical
// size; the context's mapping, alignment, background mode, pen and font are restored.
void DrawHorzAxis(CDC* dc, float start, float span, double offset, double scale, int divisions, int P, int a,
                  int b, int Q, const std::string& title, int below);

// A vertical axis along x = P from the top end a to the bottom end b with grid lines to x = Q; its
// numbers and title read bottom to top, letter tops away from the plot, on the right when right is set.
void DrawVertAxis(CDC* dc, float start, float span, double offset, double scale, int divisions, int P, int a,
                  int b, int Q, const std::string& title, int right);

// The same for printer and metafile targets, in the target's own units with fixed text sizes.
void DrawHorzAxisDirect(CDC* dc, float start, float span, double offset, double scale, int divisions, int P,
                        int a, int b, int Q, const std::string& title, int below);
void DrawVertAxisDirect(CDC* dc, float start, float span, double offset, double scale, int divisions, int P,
                        int a, int b, int Q, const std::string& title, int right);

// Creates a font of the axis family ("Times New Roman", draft quality, roman pitch and family).
class CFont;
void CreateAxisFont(CFont& font, int height, int weight, int escapement, int orientation);

// A tick number with the given printf format, cut to 19 characters.
std::string FormatTickNumber(const std::string& format, double value);

// How many tick values an axis tries: |trunc(span / step)| + 2, bounded so that a degenerate step
// cannot make an axis loop for long.
int TickCount(double span, double step);
