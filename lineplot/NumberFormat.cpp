#include "lineplot/NumberFormat.h"

#include <cmath>
#include <cstdio>

#include "platform/base/Saturate.h"

std::string FormatNumber(float value, int decimals) {
    const char* format = "%.4f";
    switch (decimals) {
        case 0: format = "%.0f"; break;
        case 1: format = "%.1f"; break;
        case 2: format = "%.2f"; break;
        default: break;
    }
    // A float printed with at most four decimals fits easily; 1e38 needs 39 digits plus the point.
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return text;
}

double RoundToDecimals(float value, int decimals) {
    double factor;
    switch (decimals) {
        case 0: factor = 1.0; break;
        case 1: factor = 10.0; break;
        case 2: factor = 100.0; break;
        case 3: factor = 1000.0; break;
        default: factor = std::pow(10.0, decimals); break;
    }
    // Truncation toward zero after adding a half: negative values round toward zero at the half.
    return TruncateToInt(factor * value + 0.5) / factor;
}

std::string MakeAxisLabel(const std::string& secondText, const std::string& label) {
    if (secondText.empty()) return label;
    if (label.empty()) return secondText;
    return secondText + " (" + label + ")";
}
