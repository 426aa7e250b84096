#include "ui/main_layout.h"

#include <algorithm>
#include <iterator>

#include "res/resource.h"

namespace {

// Only the control and its flags are fixed; the rectangles come from the capture.
struct LayoutAnchor {
    int32_t control_id;
    uint32_t flags;
};

const LayoutAnchor MAIN_LAYOUT_ANCHORS[MAIN_LAYOUT_ROW_COUNT] = {
    {},  // the dialog itself
    {IDC_STATUS, LF_STRETCH_X | LF_STRETCH_Y | LF_SHIFT_Y},
    {IDC_PROGRAM, LF_STRETCH_X},
    {IDC_TIME, LF_STRETCH_X},
    {IDC_INFO, 0},
    {IDC_START, LF_SHIFT_X},
    {IDC_CANCEL, LF_SHIFT_X},
    {IDC_EXIT, LF_SHIFT_X},
};

}  // namespace

void load_main_layout(LayoutEntry (&rows)[MAIN_LAYOUT_ROW_COUNT]) {
    std::transform(std::begin(MAIN_LAYOUT_ANCHORS), std::end(MAIN_LAYOUT_ANCHORS), rows, [](const LayoutAnchor& a) {
        LayoutEntry row{};
        row.control_id = a.control_id;
        row.flags = a.flags;
        return row;
    });
}
