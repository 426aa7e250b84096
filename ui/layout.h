// Table-driven placement of the main dialog's controls, minimum size and edge snapping.
#ifndef KELVAST_LAYOUT_H
#define KELVAST_LAYOUT_H

#include <cstdint>

#include "ui/dpi.h"

enum LayoutFlags : uint32_t {
    LF_STRETCH_X = 0x1,
    LF_STRETCH_Y = 0x2,
    LF_SHIFT_X = 0x4,
    LF_SHIFT_Y = 0x8,
};

struct LayoutEntry {
    int32_t control_id;
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    uint32_t flags;
};

constexpr int32_t SNAP_DISTANCE = 20;  // pixels at 96 DPI
constexpr uint32_t LAYOUT_MAX_ROWS = 16;

// The platform's message and edge numbers the handler dispatches on.
enum LayoutMessage : uint32_t {
    LAYOUT_WM_MOVE = 0x0003,
    LAYOUT_WM_SIZE = 0x0005,
    LAYOUT_WM_SIZING = 0x0214,
};
enum SizingEdge : uint32_t {
    EDGE_LEFT = 1,
    EDGE_RIGHT = 2,
    EDGE_TOP = 3,
    EDGE_TOPLEFT = 4,
    EDGE_TOPRIGHT = 5,
    EDGE_BOTTOM = 6,
    EDGE_BOTTOMLEFT = 7,
    EDGE_BOTTOMRIGHT = 8,
};

struct LayoutRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The window operations the layout needs; the Win32 one wraps the dialog, tests record calls.
class WindowOps {
  public:
    virtual ~WindowOps() = default;
    virtual bool dialog_rect(LayoutRect& rect) = 0;  // window rectangle, screen coordinates
    // A maximised or minimised dialog is placed by the system and is not snapped.
    virtual bool dialog_minimized_or_maximized() = 0;
    // Window rectangle of a control in the dialog's client coordinates; false when it is missing.
    virtual bool control_client_rect(int32_t control_id, LayoutRect& rect) = 0;
    virtual void move_control(int32_t control_id, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void move_dialog(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual int32_t full_screen_width() = 0;
    virtual int32_t full_screen_height() = 0;
    // Everything drawn again: the dialog does not clip its children, so erasing its newly exposed
    // area can wipe controls that already painted there.
    virtual void repaint() = 0;
    // The rectangle around every monitor; whether a rectangle touches one; the work area of the
    // monitor nearest to it.
    virtual LayoutRect desktop_rect() = 0;
    virtual bool on_a_monitor(const LayoutRect& rect) = 0;
    virtual LayoutRect nearest_work_area(const LayoutRect& rect) = 0;
    // A minimised dialog's rectangle as it will be shown again, in screen coordinates.
    virtual bool dialog_minimized() = 0;
    virtual LayoutRect normal_dialog_rect() = 0;
};

struct Layout {
    LayoutEntry* table;
    uint32_t count;  // rows beyond LAYOUT_MAX_ROWS take no part
    int32_t min_width = 0;
    int32_t min_height = 0;
    int32_t laid_out_width = 0;
    int32_t laid_out_height = 0;
    bool captured = false;
    // A laid-out size of 0 is a real size for a collapsed window, so "not placed yet" is kept apart.
    bool placed = false;
    uint32_t present_rows = 0;  // bit per row whose control existed at capture; others never move
    uint32_t snap_depth = 0;    // snapping moves in progress, bounds the re-entrance
    // The dialog's DPI now, for which the minimum size and the snapping distance (pixels) hold, and
    // the one at which the table's rectangles were captured.
    uint32_t dpi = BASE_DPI;
    uint32_t capture_dpi = BASE_DPI;
    int32_t snap_distance = SNAP_DISTANCE;
};

// Snapping settles in two moves; a deeper one means the platform does not honour the position.
constexpr uint32_t SNAP_MAX_DEPTH = 2;

// Everything is ignored until this ran once for the dialog.
void capture_layout(Layout& layout, WindowOps& ops);
// Fills rows 1..count-1 from the controls; returns a bit per row whose control was found.
uint32_t capture_control_rects(LayoutEntry* table, uint32_t count, WindowOps& ops);
// True when it moved any control.
bool relayout_controls(Layout& layout, WindowOps& ops);
// The dialog's DPI, given before the capture and whenever it changes: the captured geometry is used
// scaled from the capture's DPI to this one, and the minimum size and the snapping distance follow.
void set_layout_dpi(Layout& layout, uint32_t dpi);
// Places every control for the dialog's current size, whatever was laid out before.
void place_all_controls(Layout& layout, WindowOps& ops);
// After a change of the dialog's DPI: the layout follows it, the dialog takes `target`, and every
// control is placed and drawn again.
void follow_dpi(Layout& layout, WindowOps& ops, uint32_t dpi, const LayoutRect& target);
// Moves the dialog to a stored rectangle: its size within the desktop and not below the minimum, its
// position at most a pixel beyond the desktop, and onto the nearest monitor's work area when it
// then lies on none (a damaged store, or a screen since removed).
void restore_dialog(Layout& layout, WindowOps& ops, int32_t x, int32_t y, uint32_t width, uint32_t height);
// The dialog's rectangle as it is to be kept: a minimised one's as it will be shown again.
LayoutRect dialog_rect_to_keep(WindowOps& ops);
// A rectangle of the platform's window placement, kept in work-area coordinates, on the screen.
LayoutRect placement_on_screen(const LayoutRect& placement, const LayoutRect& work, const LayoutRect& monitor);
// A rectangle from its corner and size, within the 32-bit range.
LayoutRect rect_from_size(int32_t x, int32_t y, int64_t width, int64_t height);
inline int32_t rect_width(const LayoutRect& r) {
    return r.right - r.left;
}
inline int32_t rect_height(const LayoutRect& r) {
    return r.bottom - r.top;
}
// Each edge of a rectangle scaled from one DPI to another, so that touching controls keep touching.
LayoutRect rescale_rect(const LayoutRect& rect, uint32_t from_dpi, uint32_t to_dpi);
// Where the dialog goes when its DPI changes: the system's suggestion, or without one its rectangle
// `now` with the size scaled.
LayoutRect dpi_change_target(const LayoutRect* suggested, const LayoutRect& now, uint32_t from_dpi, uint32_t to_dpi);

// lparam of LAYOUT_WM_SIZING points to a LayoutRect-compatible rectangle (the platform's RECT).
// Results: 1 for WM_MOVE and WM_SIZING, 0 for WM_SIZE and anything else.
int handle_layout_message(Layout& layout, WindowOps& ops, uint32_t message, uintptr_t wparam, intptr_t lparam);

#endif
