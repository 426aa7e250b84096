#include <windows.h>

#include <cstddef>

#include "ui/layout_win32.h"

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
    const bool read = GetWindowRect(dialog, &r) != FALSE;
    rect = layout_rect(r);
    return read;
}

bool DialogWindowOps::dialog_minimized_or_maximized() {
    return IsZoomed(dialog) || IsIconic(dialog);
}

bool DialogWindowOps::control_client_rect(int32_t control_id, LayoutRect& rect) {
    RECT r;
    const bool read = GetWindowRect(GetDlgItem(dialog, control_id), &r) != FALSE;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), sizeof r / sizeof(POINT));
    rect = layout_rect(r);
    return read;
}

void DialogWindowOps::move_control(int32_t control_id, int32_t x, int32_t y, int32_t width, int32_t height) {
    MoveWindow(GetDlgItem(dialog, control_id), x, y, width, height, TRUE);
}

void DialogWindowOps::move_dialog(int32_t x, int32_t y, int32_t width, int32_t height) {
    MoveWindow(dialog, x, y, width, height, TRUE);
}

int32_t DialogWindowOps::full_screen_width() {
    return GetSystemMetrics(SM_CXFULLSCREEN);
}

int32_t DialogWindowOps::full_screen_height() {
    return GetSystemMetrics(SM_CYFULLSCREEN);
}

void DialogWindowOps::repaint() {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LayoutRect DialogWindowOps::desktop_rect() {
    return rect_from_size(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

bool DialogWindowOps::on_a_monitor(const LayoutRect& rect) {
    const RECT r = platform_rect(rect);
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

LayoutRect DialogWindowOps::nearest_work_area(const LayoutRect& rect) {
    const RECT r = platform_rect(rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor);
    return layout_rect(monitor.rcWork);
}

bool DialogWindowOps::dialog_minimized() {
    return IsIconic(dialog) != FALSE;
}

LayoutRect DialogWindowOps::normal_dialog_rect() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(dialog, &placement);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return placement_on_screen(layout_rect(placement.rcNormalPosition), layout_rect(monitor.rcWork),
                               layout_rect(monitor.rcMonitor));
}

DialogLayout::DialogLayout() : layout{rows, MAIN_LAYOUT_ROW_COUNT} {
    load_main_layout(rows);
}

void capture_layout(DialogLayout& layout, HWND dialog, uint32_t dpi) {
    layout.ops.dialog = dialog;
    set_layout_dpi(layout.layout, dpi);
    capture_layout(layout.layout, layout.ops);
}

void follow_layout_dpi(DialogLayout& layout, uint32_t dpi, const LayoutRect& target) {
    follow_dpi(layout.layout, layout.ops, dpi, target);
}

int handle_layout_message(DialogLayout& layout, UINT message, WPARAM wparam, LPARAM lparam) {
    return handle_layout_message(layout.layout, layout.ops, message, wparam, lparam);
}
