#include <windows.h>

#include <cstddef>

#include "ui/layout_win32.h"

#include "ui/dpi_win32.h"

// The sizing rectangle is read through LayoutRect, so the two must have the same layout.
static_assert(sizeof(RECT) == sizeof(LayoutRect), "RECT layout");
static_assert(offsetof(RECT, left) == offsetof(LayoutRect, left), "RECT layout");
static_assert(offsetof(RECT, top) == offsetof(LayoutRect, top), "RECT layout");
static_assert(offsetof(RECT, right) == offsetof(LayoutRect, right), "RECT layout");
static_assert(offsetof(RECT, bottom) == offsetof(LayoutRect, bottom), "RECT layout");
static_assert(sizeof(LONG) == sizeof(int32_t), "RECT layout");
static_assert(WM_MOVE == LAYOUT_WM_MOVE && WM_SIZE == LAYOUT_WM_SIZE && WM_SIZING == LAYOUT_WM_SIZING, "messages");
static_assert(WMSZ_LEFT == EDGE_LEFT && WMSZ_RIGHT == EDGE_RIGHT && WMSZ_TOP == EDGE_TOP &&
                  WMSZ_TOPLEFT == EDGE_TOPLEFT && WMSZ_TOPRIGHT == EDGE_TOPRIGHT && WMSZ_BOTTOM == EDGE_BOTTOM &&
                  WMSZ_BOTTOMLEFT == EDGE_BOTTOMLEFT && WMSZ_BOTTOMRIGHT == EDGE_BOTTOMRIGHT,
              "edge codes");

bool DialogWindowOps::dialog_rect(LayoutRect& rect) {
    RECT r;
    if (dialog == nullptr || !GetWindowRect(dialog, &r)) {
        return false;
    }
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

bool DialogWindowOps::dialog_minimized_or_maximized() {
    return dialog != nullptr && (IsZoomed(dialog) || IsIconic(dialog));
}

bool DialogWindowOps::control_client_rect(int32_t control_id, LayoutRect& rect) {
    HWND control = dialog != nullptr ? GetDlgItem(dialog, control_id) : nullptr;
    RECT r;
    if (control == nullptr || !GetWindowRect(control, &r)) {
        return false;
    }
    POINT top_left{r.left, r.top};
    POINT bottom_right{r.right, r.bottom};
    ScreenToClient(dialog, &top_left);
    ScreenToClient(dialog, &bottom_right);
    rect = {top_left.x, top_left.y, bottom_right.x, bottom_right.y};
    return true;
}

void DialogWindowOps::move_control(int32_t control_id, int32_t x, int32_t y, int32_t width, int32_t height) {
    HWND control = dialog != nullptr ? GetDlgItem(dialog, control_id) : nullptr;
    if (control != nullptr) {
        MoveWindow(control, x, y, width, height, TRUE);
        controls_moved = true;
    }
}

void DialogWindowOps::move_dialog(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (dialog != nullptr) {
        MoveWindow(dialog, x, y, width, height, TRUE);
    }
}

int32_t DialogWindowOps::full_screen_width() {
    return GetSystemMetrics(SM_CXFULLSCREEN);
}

int32_t DialogWindowOps::full_screen_height() {
    return GetSystemMetrics(SM_CYFULLSCREEN);
}

DialogLayout::DialogLayout() : layout{rows, MAIN_LAYOUT_ROW_COUNT, 0, 0, 0, 0, false} {
    load_main_layout(rows);
}

void capture_layout(DialogLayout& layout, HWND dialog) {
    layout.ops.dialog = dialog;
    set_layout_dpi(layout.layout, window_dpi(dialog));
    capture_layout(layout.layout, layout.ops);
}

void follow_layout_dpi(DialogLayout& layout, uint32_t dpi, const RECT& target) {
    set_layout_dpi(layout.layout, dpi);
    HWND dialog = layout.ops.dialog;
    if (dialog == nullptr) {
        return;
    }
    MoveWindow(dialog, target.left, target.top, target.right - target.left, target.bottom - target.top, TRUE);
    place_all_controls(layout.layout, layout.ops);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int handle_layout_message(DialogLayout& layout, UINT message, WPARAM wparam, LPARAM lparam) {
    DialogWindowOps& ops = layout.ops;
    ops.controls_moved = false;
    const int result = handle_layout_message(layout.layout, ops, message, wparam, lparam);
    // The dialog does not clip its children, so erasing its newly exposed area can wipe controls
    // that already painted there; repainting them all after a relayout leaves no holes.
    if (message == WM_SIZE && ops.controls_moved) {
        RedrawWindow(ops.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return result;
}
