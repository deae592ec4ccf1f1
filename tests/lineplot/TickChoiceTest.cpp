#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lineplot/TickChoice.h"

TEST(TickChoiceTest, FormatByRawStep) {
    struct Row { double raw; double unit; const char* format; int decimals; } rows[] = {
        {0.005, 0.001, " %.3f ", 3},   // boundary belongs to the finer row
        {0.0051, 0.01, " %.2f ", 2},
        {0.05, 0.01, " %.2f ", 2},
        {0.5, 0.1, " %.1f ", 1},
        {0.51, 1.0, " %.0f ", 0},
        {-3.0, 0.001, " %.3f ", 3},    // a negative raw step is "small"
        {1e30, 1.0, " %.0f ", 0},
    };
    for (const Row& r : rows) {
        double unit = 0;
        std::string format;
        int decimals = -1;
        ChooseTickFormat(r.raw, unit, format, decimals);
        EXPECT_EQ(unit, r.unit) << r.raw;
        EXPECT_EQ(format, r.format) << r.raw;
        EXPECT_EQ(decimals, r.decimals) << r.raw;
    }
}

TEST(TickChoiceTest, StepIsFirstOneTwoFiveMultipleCoveringTheTarget) {
    struct Row { double range, divisions, minStep; int decimals; double unit; double step; int decimalsAfter; } rows[] = {
        {2, 10, 0, 1, 0.1, 0.2, 1},        // a tenth of the range
        {2, 10, 0.13, 1, 0.1, 0.5, 1},     // twice the minimum step (0.26) wins
        {2, 10, 0.3, 1, 0.1, 1.0, 0},      // one decade up drops a decimal
        {-2, 10, 0, 1, 0.1, -0.2, 1},      // sign of the range
        {51.2, 10, 0, 0, 1.0, 10, 0},      // 2 and 5 too small; decimals stay at 0
        {1000, 10, 0, 0, 1.0, 100, 0},     // 2, 5, 10, 20, 50 tried first
        {0.5, 10, 0, 2, 0.1, 0.1, 2},      // target below the unit: the unit itself
        {2, 10, -0.3, 1, 0.1, 1.0, 0},     // the minimum step counts by magnitude
        {3000, 10, 0, 3, 0.001, 500, 0},   // several decades: decimals floor at 0
    };
    for (const Row& r : rows) {
        int decimals = r.decimals;
        double unit = r.unit;
        ChooseTickStep(r.range, r.divisions, r.minStep, decimals, unit);
        EXPECT_DOUBLE_EQ(unit, r.step) << r.range << " " << r.minStep;
        EXPECT_EQ(decimals, r.decimalsAfter) << r.range << " " << r.minStep;
    }
}

TEST(TickChoiceTest, StepTerminatesOnUnusableInput) {
    struct Row { double range; double unit; } rows[] = {
        {std::nan(""), 1.0},                             // NaN target: keeps the unit
        {std::numeric_limits<double>::infinity(), 1.0},  // infinite target
        {100, 0.0},                                      // a unit that cannot grow
    };
    for (const Row& r : rows) {
        int decimals = 1;
        double unit = r.unit;
        ChooseTickStep(r.range, 10, 0, decimals, unit);
        EXPECT_EQ(std::fabs(unit), r.unit);
    }
}

TEST(TickChoiceTest, TickFormatFromDecimals) {
    EXPECT_EQ(MakeTickFormat(2), " %.2f ");
    EXPECT_EQ(MakeTickFormat(0), " %.0f ");
}
