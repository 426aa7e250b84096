// The main dialog's layout table: which controls follow the frame, and how.
#ifndef KELVAST_MAIN_LAYOUT_H
#define KELVAST_MAIN_LAYOUT_H

#include <cstdint>

#include "ui/layout.h"

constexpr uint32_t MAIN_LAYOUT_ROW_COUNT = 8;

// The rows the main dialog lays itself out over: row 0 is the dialog itself, each other row a
// control with its anchor flags; the rectangles are zero until the capture fills them.
void load_main_layout(LayoutEntry (&rows)[MAIN_LAYOUT_ROW_COUNT]);

#endif
