#include "ui/layout.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Sums and differences are taken in 64 bits so that any rectangle, however odd, stays defined.
int32_t clamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int64_t distance(int64_t a, int64_t b) {
    return std::llabs(a - b);
}

int64_t width_of(const LayoutRect& r) {
    return static_cast<int64_t>(r.right) - r.left;
}
int64_t height_of(const LayoutRect& r) {
    return static_cast<int64_t>(r.bottom) - r.top;
}

uint32_t usable_rows(uint32_t count) {
    return std::min(count, LAYOUT_MAX_ROWS);
}

// A captured figure at the dialog's current DPI; each edge maps on its own, so controls that touch
// keep touching, and always from the capture, so changes back and forth never drift.
int32_t at_dpi(const Layout& layout, int32_t value) {
    return rescale_for_dpi(value, layout.capture_dpi, layout.dpi);
}

// The captured window size of the dialog at its current DPI.
int64_t captured_width(const Layout& layout) {
    return at_dpi(layout, clamp32(static_cast<int64_t>(layout.table[0].right) - layout.table[0].left));
}
int64_t captured_height(const Layout& layout) {
    return at_dpi(layout, clamp32(static_cast<int64_t>(layout.table[0].bottom) - layout.table[0].top));
}

enum class SortEdge { left, top };

int32_t sort_key(const LayoutEntry& row, SortEdge edge) {
    return edge == SortEdge::left ? row.left : row.top;
}

// Fills `order` with the control rows sorted by their captured edge; insertion sort keeps rows with
// equal edges in table order, so the moves are always in the same order.
uint32_t sorted_rows(const Layout& layout, SortEdge edge, bool descending, uint32_t (&order)[LAYOUT_MAX_ROWS]) {
    uint32_t n = 0;
    const uint32_t rows = usable_rows(layout.count);
    for (uint32_t row = 1; row < rows; ++row) {
        const int32_t key = sort_key(layout.table[row], edge);
        uint32_t at = n;
        while (at > 0) {
            const int32_t other = sort_key(layout.table[order[at - 1]], edge);
            if (descending ? other >= key : other <= key) {
                break;
            }
            order[at] = order[at - 1];
            --at;
        }
        order[at] = row;
        ++n;
    }
    return n;
}

// Returns whether it moved any control.
bool place_rows(const Layout& layout, WindowOps& ops, const uint32_t* order, uint32_t n, int64_t dw, int64_t dh) {
    bool moved = false;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t row = order[i];
        if ((layout.present_rows & (1u << row)) == 0) {
            continue;
        }
        const LayoutEntry& e = layout.table[row];
        const int64_t left = at_dpi(layout, e.left);
        const int64_t top = at_dpi(layout, e.top);
        const int64_t x = left + ((e.flags & LF_SHIFT_X) ? dw : 0);
        const int64_t y = top + ((e.flags & LF_SHIFT_Y) ? dh : 0);
        const int64_t w = at_dpi(layout, e.right) - left + ((e.flags & LF_STRETCH_X) ? dw : 0);
        const int64_t h = at_dpi(layout, e.bottom) - top + ((e.flags & LF_STRETCH_Y) ? dh : 0);
        ops.move_control(e.control_id, clamp32(x), clamp32(y), clamp32(std::max<int64_t>(w, 0)),
                         clamp32(std::max<int64_t>(h, 0)));
        moved = true;
    }
    return moved;
}

bool drags_right(uintptr_t edge) {
    return edge == EDGE_RIGHT || edge == EDGE_BOTTOMRIGHT || edge == EDGE_TOPRIGHT;
}
bool drags_left(uintptr_t edge) {
    return edge == EDGE_LEFT || edge == EDGE_BOTTOMLEFT || edge == EDGE_TOPLEFT;
}
bool drags_bottom(uintptr_t edge) {
    return edge == EDGE_BOTTOM || edge == EDGE_BOTTOMRIGHT || edge == EDGE_BOTTOMLEFT;
}
bool drags_top(uintptr_t edge) {
    return edge == EDGE_TOP || edge == EDGE_TOPRIGHT || edge == EDGE_TOPLEFT;
}

// The dragged edge gives way, the opposite edge stays.
void keep_minimum_size(const Layout& layout, uintptr_t edge, LayoutRect& r) {
    if (drags_right(edge)) {
        r.right = clamp32(std::max<int64_t>(r.right, static_cast<int64_t>(r.left) + layout.min_width));
    } else if (drags_left(edge)) {
        r.left = clamp32(std::min<int64_t>(r.left, static_cast<int64_t>(r.right) - layout.min_width));
    }
    if (drags_bottom(edge)) {
        r.bottom = clamp32(std::max<int64_t>(r.bottom, static_cast<int64_t>(r.top) + layout.min_height));
    } else if (drags_top(edge)) {
        r.top = clamp32(std::min<int64_t>(r.top, static_cast<int64_t>(r.bottom) - layout.min_height));
    }
}

void snap_to_edges(Layout& layout, WindowOps& ops) {
    LayoutRect r{};
    if (ops.dialog_minimized_or_maximized() || !ops.dialog_rect(r)) {
        return;
    }
    int64_t x = r.left;
    int64_t y = r.top;
    const int64_t snap = layout.snap_distance;
    if (distance(r.left, 0) < snap) {
        x = 0;
    }
    if (distance(r.top, 0) < snap) {
        y = 0;
    }
    // The right and bottom lines are tested last so they win over the left and top ones.
    const int64_t cx = ops.full_screen_width();
    const int64_t cy = ops.full_screen_height();
    if (distance(cx, r.right) < snap) {
        x = r.left + (cx - r.right);
    }
    if (distance(cy, r.bottom) < snap) {
        y = r.top + (cy - r.bottom);
    }
    // A position already on its lines needs no move; that is also what ends the nested calls.
    if ((x == r.left && y == r.top) || layout.snap_depth >= SNAP_MAX_DEPTH) {
        return;
    }
    ++layout.snap_depth;
    ops.move_dialog(clamp32(x), clamp32(y), clamp32(width_of(r)), clamp32(height_of(r)));
    --layout.snap_depth;
}

}  // namespace

uint32_t capture_control_rects(LayoutEntry* table, uint32_t count, WindowOps& ops) {
    uint32_t present = 0;
    if (table == nullptr) {
        return present;
    }
    const uint32_t rows = usable_rows(count);
    for (uint32_t row = 1; row < rows; ++row) {
        LayoutEntry& e = table[row];
        LayoutRect r{};
        if (ops.control_client_rect(e.control_id, r)) {
            present |= 1u << row;
        } else {
            r = LayoutRect{};
        }
        e.left = r.left;
        e.top = r.top;
        e.right = r.right;
        e.bottom = r.bottom;
    }
    return present;
}

void capture_layout(Layout& layout, WindowOps& ops) {
    layout.captured = false;
    layout.placed = false;  // the first relayout takes the captured size as the laid-out one
    layout.snap_depth = 0;
    LayoutRect r{};
    if (layout.table == nullptr || layout.count == 0 || !ops.dialog_rect(r)) {
        return;
    }
    LayoutEntry& dialog = layout.table[0];
    dialog.left = r.left;
    dialog.top = r.top;
    dialog.right = r.right;
    dialog.bottom = r.bottom;
    layout.capture_dpi = layout.dpi;
    layout.min_width = clamp32(width_of(r));
    layout.min_height = clamp32(height_of(r));
    layout.present_rows = capture_control_rects(layout.table, layout.count, ops);
    layout.captured = true;
}

bool relayout_controls(Layout& layout, WindowOps& ops) {
    LayoutRect now{};
    if (!layout.captured || !ops.dialog_rect(now)) {
        return false;
    }
    const int64_t w0 = captured_width(layout);
    const int64_t h0 = captured_height(layout);
    const int32_t w = clamp32(width_of(now));
    const int32_t h = clamp32(height_of(now));
    if (!layout.placed) {
        layout.laid_out_width = clamp32(w0);
        layout.laid_out_height = clamp32(h0);
        layout.placed = true;
    }

    uint32_t order[LAYOUT_MAX_ROWS];
    bool moved = false;
    // Moving the control nearest the growing edge first keeps controls from painting over each other.
    if (w != layout.laid_out_width) {
        const uint32_t n = sorted_rows(layout, SortEdge::left, w > layout.laid_out_width, order);
        moved = place_rows(layout, ops, order, n, w - w0, layout.laid_out_height - h0);
    }
    layout.laid_out_width = w;
    if (h != layout.laid_out_height) {
        const uint32_t n = sorted_rows(layout, SortEdge::top, h > layout.laid_out_height, order);
        moved = place_rows(layout, ops, order, n, layout.laid_out_width - w0, h - h0) || moved;
    }
    layout.laid_out_height = h;
    return moved;
}

void set_layout_dpi(Layout& layout, uint32_t dpi) {
    layout.dpi = dpi;  // 0, unknown, scales as BASE_DPI
    layout.snap_distance = scale_for_dpi(SNAP_DISTANCE, layout.dpi);
    if (layout.captured) {
        const LayoutEntry& dialog = layout.table[0];
        layout.min_width = at_dpi(layout, clamp32(static_cast<int64_t>(dialog.right) - dialog.left));
        layout.min_height = at_dpi(layout, clamp32(static_cast<int64_t>(dialog.bottom) - dialog.top));
    }
}

void place_all_controls(Layout& layout, WindowOps& ops) {
    LayoutRect now{};
    if (!layout.captured || !ops.dialog_rect(now)) {
        return;
    }
    uint32_t order[LAYOUT_MAX_ROWS];
    const uint32_t n = sorted_rows(layout, SortEdge::top, true, order);
    place_rows(layout, ops, order, n, width_of(now) - captured_width(layout), height_of(now) - captured_height(layout));
    layout.laid_out_width = clamp32(width_of(now));
    layout.laid_out_height = clamp32(height_of(now));
    layout.placed = true;
}

void follow_dpi(Layout& layout, WindowOps& ops, uint32_t dpi, const LayoutRect& target) {
    set_layout_dpi(layout, dpi);
    ops.move_dialog(target.left, target.top, clamp32(width_of(target)), clamp32(height_of(target)));
    place_all_controls(layout, ops);
    ops.repaint();
}

LayoutRect rect_from_size(int32_t x, int32_t y, int64_t width, int64_t height) {
    return {x, y, clamp32(x + width), clamp32(y + height)};
}

LayoutRect rescale_rect(const LayoutRect& rect, uint32_t from_dpi, uint32_t to_dpi) {
    return {rescale_for_dpi(rect.left, from_dpi, to_dpi), rescale_for_dpi(rect.top, from_dpi, to_dpi),
            rescale_for_dpi(rect.right, from_dpi, to_dpi), rescale_for_dpi(rect.bottom, from_dpi, to_dpi)};
}

LayoutRect dpi_change_target(const LayoutRect* suggested, const LayoutRect& now, uint32_t from_dpi, uint32_t to_dpi) {
    if (suggested != nullptr) {
        return *suggested;
    }
    return rect_from_size(now.left, now.top, rescale_for_dpi(clamp32(width_of(now)), from_dpi, to_dpi),
                          rescale_for_dpi(clamp32(height_of(now)), from_dpi, to_dpi));
}

void restore_dialog(Layout& layout, WindowOps& ops, int32_t x, int32_t y, uint32_t width, uint32_t height) {
    const LayoutRect desktop = ops.desktop_rect();
    // A size beyond the desktop hides the buttons anchored to the right and bottom edges; one below
    // the minimum can only come from a damaged store and would leave no usable window.
    auto fit = [](int64_t size, int64_t screen, int32_t minimum) {
        return std::max<int64_t>(std::min(size, screen > 0 ? screen : INT32_MAX), minimum);
    };
    const int64_t w = fit(width, width_of(desktop), layout.captured ? layout.min_width : 0);
    const int64_t h = fit(height, height_of(desktop), layout.captured ? layout.min_height : 0);
    // One pixel beyond the desktop at most, so that the rectangle stays valid for the monitor test.
    auto near_desktop = [](int64_t at, int64_t size, int32_t low, int32_t high) {
        return clamp32(std::min(std::max(at, low - size - 1), high + int64_t{1}));
    };
    LayoutRect rect = rect_from_size(near_desktop(x, w, desktop.left, desktop.right),
                                     near_desktop(y, h, desktop.top, desktop.bottom), w, h);
    if (!ops.on_a_monitor(rect)) {
        const LayoutRect work = ops.nearest_work_area(rect);
        rect = rect_from_size(
            clamp32(std::clamp<int64_t>(rect.left, work.left, std::max<int64_t>(work.left, work.right - w))),
            clamp32(std::clamp<int64_t>(rect.top, work.top, std::max<int64_t>(work.top, work.bottom - h))), w, h);
    }
    ops.move_dialog(rect.left, rect.top, clamp32(w), clamp32(h));
}

LayoutRect dialog_rect_to_keep(WindowOps& ops) {
    LayoutRect rect{};
    if (ops.dialog_minimized()) {
        return ops.normal_dialog_rect();
    }
    ops.dialog_rect(rect);
    return rect;
}

LayoutRect placement_on_screen(const LayoutRect& placement, const LayoutRect& work, const LayoutRect& monitor) {
    const int64_t dx = static_cast<int64_t>(work.left) - monitor.left;
    const int64_t dy = static_cast<int64_t>(work.top) - monitor.top;
    return {clamp32(placement.left + dx), clamp32(placement.top + dy), clamp32(placement.right + dx),
            clamp32(placement.bottom + dy)};
}

int handle_layout_message(Layout& layout, WindowOps& ops, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
        case LAYOUT_WM_MOVE:
            if (layout.captured) {
                snap_to_edges(layout, ops);
            }
            return 1;
        case LAYOUT_WM_SIZE:
            if (relayout_controls(layout, ops)) {
                ops.repaint();
            }
            return 0;
        case LAYOUT_WM_SIZING:
            if (layout.captured && lparam != 0) {
                keep_minimum_size(layout, wparam, *reinterpret_cast<LayoutRect*>(lparam));
            }
            return 1;
        default:
            return 0;
    }
}
