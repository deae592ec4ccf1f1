#pragma once
// Choice of tick units, steps and number formats for the axes.
#include <string>

// The rounding unit, printf format (" %.Nf ", blank on each side) and decimals for a raw tick step.
void ChooseTickFormat(double rawStep, double& unit, std::string& format, int& decimals);

// Picks the smallest of 1, 2, 5, 10, 20, 50 ... x unit that covers both range / divisions and twice
// the minimum step. On return unit holds the step (with the sign of range) and decimals is lowered by
// one for every decade climbed, never below 0.
void ChooseTickStep(double range, double divisions, double minimumStep, int& decimals, double& unit);

// The printf format for tick numbers with the given decimals: " %.Nf ".
std::string MakeTickFormat(int decimals);
