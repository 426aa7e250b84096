// Pixel figures given at 96 DPI, scaled to the dialog's DPI.
#include <gtest/gtest.h>

#include <climits>

#include "ui/dpi.h"

namespace {

TEST(Dpi, ScalesFromNinetySixRoundingHalfAwayFromZero) {
    const struct {
        int32_t value;
        uint32_t dpi;
        int32_t expected;
    } cases[] = {
        {15, 96, 15},  {20, 96, 20},  {15, 120, 19},   {20, 120, 25}, {15, 144, 23}, {20, 144, 30},
        {15, 192, 30}, {20, 192, 40}, {1, 120, 1},     {2, 120, 3},   {3, 120, 4},   {1, 144, 2},
        {-1, 144, -2}, {-2, 120, -3}, {-15, 144, -23}, {0, 192, 0},   {15, 72, 11},  {15, 0, 15},
    };
    // A DPI of 0 above is unknown and counts as 96.
    for (const auto& c : cases) {
        EXPECT_EQ(scale_for_dpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    }
    // Near the ends of the range: no overflow, the result stops at the end.
    EXPECT_EQ(scale_for_dpi(INT32_MAX, 192), INT32_MAX);
    EXPECT_EQ(scale_for_dpi(INT32_MIN, 192), INT32_MIN);
    EXPECT_EQ(scale_for_dpi(INT32_MAX, 48), 1073741824);
    EXPECT_EQ(rescale_for_dpi(INT32_MIN, UINT32_MAX, UINT32_MAX), INT32_MIN);
    EXPECT_EQ(rescale_for_dpi(30, 144, 0), 20);
    EXPECT_EQ(rescale_for_dpi(20, 0, 144), 30);
}

TEST(Dpi, ThereAndBackReturnsEveryFigure) {
    // Up and down again is exact; down and up again settles after the first trip.
    const struct { uint32_t low, high; } pairs[] = {{96, 120}, {96, 144}, {96, 192}, {120, 144}, {144, 192}};
    for (const auto& p : pairs) {
        for (int32_t v = -400; v <= 400; ++v) {
            ASSERT_EQ(rescale_for_dpi(rescale_for_dpi(v, p.low, p.high), p.high, p.low), v) << v;
            const int32_t settled = rescale_for_dpi(rescale_for_dpi(v, p.high, p.low), p.low, p.high);
            ASSERT_LE(settled > v ? settled - v : v - settled, 1) << v;
            ASSERT_EQ(rescale_for_dpi(rescale_for_dpi(settled, p.high, p.low), p.low, p.high), settled) << v;
        }
    }
}

}  // namespace
