// Pixel figures given at 96 DPI, scaled to the dialog's DPI.
#include "ui/dpi.h"

#include <gtest/gtest.h>

#include <climits>

// Rounded half away from zero; an unknown DPI (0) counts as 96; the ends of the range hold.
TEST(Dpi, RescalesRoundingHalfAwayFromZero) {
    const int32_t kMax = INT32_MAX, kMin = INT32_MIN, kHalf = 1073741824;
    const uint32_t kTop = UINT32_MAX;
    const struct {
        int32_t value;
        uint32_t from, to;
        int32_t expected;
    } rows[] = {
        {15, 96, 120, 19},     {20, 96, 120, 25},        {1, 96, 120, 1},  {2, 96, 120, 3},       {-2, 96, 120, -3},
        {-15, 96, 144, -23},   {0, 96, 192, 0},          {15, 96, 72, 11}, {15, 96, 0, 15},       {20, 0, 144, 30},
        {2, 144, 96, 1},       {-1, 144, 96, -1},        {30, 144, 0, 20}, {kMax, 96, 192, kMax}, {kMin, 96, 192, kMin},
        {kMax, 96, 48, kHalf}, {kMin, kTop, kTop, kMin},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(rescale_for_dpi(r.value, r.from, r.to), r.expected) << r.value << " " << r.from << "->" << r.to;
    }
    EXPECT_EQ(scale_for_dpi(20, 144), 30);
}

// Up and down again is exact, so a dialog that changes DPI back and forth keeps its figures.
TEST(Dpi, ThereAndBackReturnsEveryFigure) {
    for (const uint32_t high : {120u, 144u, 192u}) {
        for (int32_t v = -300; v <= 300; ++v) {
            ASSERT_EQ(rescale_for_dpi(rescale_for_dpi(v, BASE_DPI, high), high, BASE_DPI), v) << v << " at " << high;
        }
    }
}
