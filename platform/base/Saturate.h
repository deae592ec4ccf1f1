#pragma once
// Float-to-integer conversion for every coordinate, count and time derived from data.
// Truncates toward zero like a cast, but saturates at the int32 limits and maps NaN to 0,
// so a coordinate of 1e30 or a time of 1e100 never reaches undefined behaviour.
#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

inline int32_t TruncateToInt(float v) { return TruncateToInt(static_cast<double>(v)); }

// Same for 64-bit results (sizes and counts).
inline int64_t TruncateToInt64(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (v <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

// Adds two int32 values, saturating instead of overflowing (pixel arithmetic on extreme coordinates).
inline int32_t SaturatingAdd(int32_t a, int32_t b) {
    int64_t s = static_cast<int64_t>(a) + b;
    if (s > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (s < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(s);
}
