#include "platform/base/Saturate.h"
#include "platform/base/WinDef.h"

#include <gtest/gtest.h>

#include <limits>

TEST(SaturateTest, TruncatesTowardZeroAndSaturates) {
    struct Row { double in; int32_t out; } rows[] = {
        {2.7, 2}, {48.9, 48}, {-3.5, -3}, {10.2, 10},      // truncation, not rounding
        {1e30, std::numeric_limits<int32_t>::max()},        // far outside the int32 range
        {-1e30, std::numeric_limits<int32_t>::min()},
        {1e100, std::numeric_limits<int32_t>::max()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::max()},
        {std::numeric_limits<double>::quiet_NaN(), 0},       // NaN gives 0
        {2147483647.9, std::numeric_limits<int32_t>::max()},
        {-2147483648.5, std::numeric_limits<int32_t>::min()},
    };
    for (const Row& r : rows) EXPECT_EQ(TruncateToInt(r.in), r.out) << r.in;
    EXPECT_EQ(SaturatingAdd(std::numeric_limits<int32_t>::max(), 1), std::numeric_limits<int32_t>::max());
}

TEST(SaturateTest, RectAndParameterPacking) {
    CRect a(0, 0, 10, 10), b(5, 5, 20, 20), r;
    EXPECT_TRUE(r.IntersectRect(&a, &b));
    EXPECT_EQ(r, CRect(5, 5, 10, 10));
    CRect c(10, 0, 20, 10);  // touches a on its excluded right edge
    EXPECT_FALSE(r.IntersectRect(&a, &c));
    EXPECT_TRUE(r.IsRectNull());
    EXPECT_FALSE(a.PtInRect(CPoint(10, 5)));
    CPoint p(MAKELPARAM(-5, 300));
    EXPECT_EQ(p.x, -5);
    EXPECT_EQ(p.y, 300);
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u);
}
