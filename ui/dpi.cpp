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

bool dpi_changes(uint32_t current, uint32_t to) {
    return to != 0 && to != current;
}

uint32_t choose_dpi(uint32_t window_dpi, int32_t screen_dpi) {
    if (window_dpi != 0) {
        return window_dpi;
    }
    return screen_dpi > 0 ? static_cast<uint32_t>(screen_dpi) : BASE_DPI;
}

DialogFont dialog_font_at(uint32_t dpi, uint32_t template_dpi, int32_t template_height) {
    if (dpi == template_dpi) {
        return DialogFont::TEMPLATE;
    }
    return template_height != 0 ? DialogFont::SCALED : DialogFont::SYSTEM;
}
