// The main dialog's layout table: which controls follow the frame, and how.
#ifndef KELVAST_MAIN_LAYOUT_H
#define KELVAST_MAIN_LAYOUT_H

#include <cstdint>

#include "ui/layout.h"

constexpr uint32_t MAIN_LAYOUT_ROW_COUNT = 8;

// Row 0 is the dialog itself; a dialog lays itself out over a copy that the capture fills in.
extern const LayoutEntry main_layout_table[MAIN_LAYOUT_ROW_COUNT];

#endif
