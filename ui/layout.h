// Table-driven placement of the main dialog's controls, minimum size and edge snapping.
#ifndef KELVAST_LAYOUT_H
#define KELVAST_LAYOUT_H

#include <cstdint>

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

constexpr int32_t SNAP_DISTANCE = 20;
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
    // Window rectangle of a control in the dialog's client coordinates; false when it is missing.
    virtual bool control_client_rect(int32_t control_id, LayoutRect& rect) = 0;
    virtual void move_control(int32_t control_id, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void move_dialog(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual int32_t full_screen_width() = 0;
    virtual int32_t full_screen_height() = 0;
};

struct Layout {
    LayoutEntry* table;
    uint32_t count;
    int32_t min_width;
    int32_t min_height;
    int32_t laid_out_width;
    int32_t laid_out_height;
    bool captured;
};

void capture_layout(Layout& layout, WindowOps& ops);
void capture_control_rects(LayoutEntry* table, uint32_t count, WindowOps& ops);
void relayout_controls(Layout& layout, WindowOps& ops);
// lparam of LAYOUT_WM_SIZING points to a LayoutRect-compatible rectangle (the platform's RECT).
int handle_layout_message(Layout& layout, WindowOps& ops, uint32_t message, uintptr_t wparam, intptr_t lparam);

#endif
