// The standard numeric validation and the formatting of numbers in edits.
#include <gtest/gtest.h>

#include <cfloat>

#include "platform/afx/DataExchange.h"

namespace {

TEST(DataExchangeTest, RealNumbers) {
    struct Row {
        const char* text;
        bool ok;
        double value;
    };
    const Row rows[] = {
        {"1.0", true, 1.0},        // the preset buttons' text
        {" -2.5e3 ", true, -2500},  // blanks, sign and exponent
        {".5", true, 0.5},          // no digit before the point
        {"5.", true, 5.0},          // none after it
        {"+0", true, 0.0},
        {"", false, 0},             // empty is not a number
        {"abc", false, 0},
        {"1.2.3", false, 0},
        {"1e", false, 0},           // exponent without digits
        {"0x10", false, 0},         // no hex
        {"inf", false, 0},          // no infinities
        {"nan", false, 0},
        {"1e400", false, 0},        // overflows a double
        {"3 4", false, 0},
    };
    for (const Row& r : rows) {
        double v = -1;
        EXPECT_EQ(AfxParseDouble(r.text, &v) != FALSE, r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
}

TEST(DataExchangeTest, Integers) {
    struct Row {
        const char* text;
        bool ok;
        int value;
    };
    const Row rows[] = {
        {"42", true, 42},
        {" -7 ", true, -7},
        {"2147483647", true, 2147483647},
        {"2147483648", false, 0},  // one past the top
        {"1.5", false, 0},          // no fractions
        {"1e3", false, 0},
        {"", false, 0},
    };
    for (const Row& r : rows) {
        int v = -1;
        EXPECT_EQ(AfxParseInt(r.text, &v) != FALSE, r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
}

TEST(DataExchangeTest, Formatting) {
    EXPECT_EQ(AfxFormatDouble(0.1), "0.1");
    EXPECT_EQ(AfxFormatDouble(10.0), "10");
    EXPECT_EQ(AfxFormatDouble(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(AfxFormatFloat(0.1f), "0.1");  // not 0.100000001
    EXPECT_EQ(AfxFormatFloat(FLT_MAX), "3.40282e+38");
}

}  // namespace
