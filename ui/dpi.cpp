#include "ui/dpi.h"

#include <algorithm>

int32_t rescale_for_dpi(int32_t value, uint32_t from_dpi, uint32_t to_dpi) {
    const int64_t from = from_dpi == 0 ? BASE_DPI : from_dpi;
    const int64_t to = to_dpi == 0 ? BASE_DPI : to_dpi;
    const int64_t scaled = static_cast<int64_t>(value) * to;
    // Division truncates toward zero; a remainder of half the divisor or more adds one step away
    // from zero, which the second quotient (-1, 0 or 1) gives without a test of the sign.
    const int64_t result = scaled / from + 2 * (scaled % from) / from;
    return static_cast<int32_t>(std::clamp<int64_t>(result, INT32_MIN, INT32_MAX));
}
