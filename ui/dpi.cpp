#include "ui/dpi.h"

int32_t rescale_for_dpi(int32_t value, uint32_t from_dpi, uint32_t to_dpi) {
    const int64_t from = from_dpi == 0 ? BASE_DPI : from_dpi;
    const int64_t to = to_dpi == 0 ? BASE_DPI : to_dpi;
    const int64_t scaled = static_cast<int64_t>(value) * to;
    const int64_t magnitude = ((scaled < 0 ? -scaled : scaled) + from / 2) / from;
    const int64_t result = scaled < 0 ? -magnitude : magnitude;
    if (result > INT32_MAX) {
        return INT32_MAX;
    }
    if (result < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(result);
}
