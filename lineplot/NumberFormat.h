#pragma once
// Number texts of the plot: readout, gate labels and axis titles share these so they agree.
#include <string>

// The value with 0, 1 or 2 decimals; any other count prints four (3 included, as the readout expects).
std::string FormatNumber(float value, int decimals);

// The value rounded half up to the given decimals, truncating toward zero, so -1.26 at 1 decimal
// gives -1.2 (gate positions snap to what their labels show).
double RoundToDecimals(float value, int decimals);

// An axis title: the second text with the label in parentheses, or whichever of the two is not empty.
std::string MakeAxisLabel(const std::string& secondText, const std::string& label);
