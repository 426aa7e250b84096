#include "app/startup.h"

#include "config/settings_store.h"

uint32_t compute_storage_mode(const OptionEntry* table) {
    if (table == nullptr) {
        return MODE_READ_REGISTRY | MODE_WRITE_REGISTRY;
    }
    auto given = [table](OptionRow row) { return table[row].present != 0; };
    uint32_t mode = 0;
    if (given(OPTION_RR)) {
        mode |= MODE_READ_REGISTRY;
    }
    if (given(OPTION_RW)) {
        mode |= MODE_WRITE_REGISTRY;
    }
    if (given(OPTION_IR)) {
        mode |= MODE_READ_INI;
    }
    if (given(OPTION_IW)) {
        mode |= MODE_WRITE_INI;
    }
    if (mode == 0) {
        mode = given(OPTION_RD) ? (MODE_READ_INI | MODE_WRITE_INI) : (MODE_READ_REGISTRY | MODE_WRITE_REGISTRY);
    }
    // A disable wins over an explicit request.
    if (given(OPTION_RD)) {
        mode &= ~static_cast<uint32_t>(MODE_READ_REGISTRY | MODE_WRITE_REGISTRY);
    }
    if (given(OPTION_ID)) {
        mode &= ~static_cast<uint32_t>(MODE_READ_INI | MODE_WRITE_INI);
    }
    return mode;
}

uint32_t clamp_priority_index(int32_t value) {
    if (value < 0) {
        return 0;
    }
    if (value > 3) {
        return 3;
    }
    return static_cast<uint32_t>(value);
}
