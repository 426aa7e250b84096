#include "ui/main_layout.h"

#include "res/resource.h"

const LayoutEntry main_layout_table[MAIN_LAYOUT_ROW_COUNT] = {
    {0, 0, 0, 0, 0, 0},
    {IDC_STATUS, 0, 0, 0, 0, LF_STRETCH_X | LF_STRETCH_Y | LF_SHIFT_Y},
    {IDC_PROGRAM, 0, 0, 0, 0, LF_STRETCH_X},
    {IDC_TIME, 0, 0, 0, 0, LF_STRETCH_X},
    {IDC_INFO, 0, 0, 0, 0, 0},
    {IDC_START, 0, 0, 0, 0, LF_SHIFT_X},
    {IDC_CANCEL, 0, 0, 0, 0, LF_SHIFT_X},
    {IDC_EXIT, 0, 0, 0, 0, LF_SHIFT_X},
};
