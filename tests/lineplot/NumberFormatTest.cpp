#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lineplot/NumberFormat.h"

TEST(NumberFormatTest, FormatNumberPicksDigitsByDecimals) {
    struct Row { float value; int decimals; const char* text; } rows[] = {
        {2.5f, 0, "2"},          // printf rounds half to even
        {2.5f, 1, "2.5"},
        {12.5f, 2, "12.50"},
        {2.5f, 3, "2.5000"},     // 3 decimals print four digits
        {0.5f, 7, "0.5000"},     // any other count prints four too
        {-1.25f, -1, "-1.2500"}, // negative counts are "other" as well
        {-0.04f, 1, "-0.0"},
    };
    for (const Row& r : rows) EXPECT_EQ(FormatNumber(r.value, r.decimals), r.text) << r.value << " " << r.decimals;
}

TEST(NumberFormatTest, FormatNumberSurvivesExtremes) {
    EXPECT_EQ(FormatNumber(3.0e38f, 2).size(), 42u);  // 39 digits, point, two decimals
    EXPECT_EQ(FormatNumber(-std::numeric_limits<float>::infinity(), 2), "-inf");
}

TEST(NumberFormatTest, RoundToDecimalsTruncatesAfterAddingAHalf) {
    struct Row { float value; int decimals; double expected; } rows[] = {
        {2.345f, 2, 2.35},       // half up
        {12.34567f, 3, 12.346},  // gate edge snapping at the default decimals
        {-1.26f, 1, -1.2},       // negative: toward zero at the half
        {-1.24f, 1, -1.1},       // -12.4 + 0.5 = -11.9 truncates to -11
        {7.7f, 0, 8.0},
        {0.123456f, 5, 0.12346}, // beyond 3 decimals the factor is a power of ten
        {1e30f, 2, 2147483647 / 100.0},  // saturates instead of overflowing
    };
    for (const Row& r : rows) EXPECT_NEAR(RoundToDecimals(r.value, r.decimals), r.expected, 1e-6) << r.value;
}

TEST(NumberFormatTest, MakeAxisLabelJoinsWithParentheses) {
    EXPECT_EQ(MakeAxisLabel("Depth", "mm"), "Depth (mm)");
    EXPECT_EQ(MakeAxisLabel("", "Time (us)"), "Time (us)");
    EXPECT_EQ(MakeAxisLabel("Amplitude", ""), "Amplitude");
    EXPECT_EQ(MakeAxisLabel("", ""), "");
}
