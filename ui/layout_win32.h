// The layout's window operations on the real dialog.
#ifndef KELVAST_LAYOUT_WIN32_H
#define KELVAST_LAYOUT_WIN32_H

#include <windows.h>

#include <cstdint>

#include "ui/layout.h"
#include "ui/main_layout.h"

class DialogWindowOps final : public WindowOps {
  public:
    HWND dialog = nullptr;

    bool dialog_rect(LayoutRect& rect) override;
    bool dialog_minimized_or_maximized() override;
    bool control_client_rect(int32_t control_id, LayoutRect& rect) override;
    void move_control(int32_t control_id, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void move_dialog(int32_t x, int32_t y, int32_t width, int32_t height) override;
    int32_t full_screen_width() override;
    int32_t full_screen_height() override;
    void repaint() override;
    LayoutRect desktop_rect() override;
    bool on_a_monitor(const LayoutRect& rect) override;
    LayoutRect nearest_work_area(const LayoutRect& rect) override;
    bool dialog_minimized() override;
    LayoutRect normal_dialog_rect() override;
};

// The main dialog's layout: its own copy of the table, the layout over it and the operations on
// the dialog window. The layout points at the rows, so it is never copied.
struct DialogLayout {
    LayoutEntry rows[MAIN_LAYOUT_ROW_COUNT];
    Layout layout;
    DialogWindowOps ops;

    DialogLayout();
    DialogLayout(const DialogLayout&) = delete;
    DialogLayout& operator=(const DialogLayout&) = delete;
};

// Captures the layout of `dialog` at its DPI (call once in WM_INITDIALOG).
void capture_layout(DialogLayout& layout, HWND dialog, uint32_t dpi);
// After a change of the dialog's DPI: the layout follows it and the dialog moves to `target`.
void follow_layout_dpi(DialogLayout& layout, uint32_t dpi, const LayoutRect& target);
// The platform's rectangles as the layout's and back.
inline LayoutRect layout_rect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
inline RECT platform_rect(const LayoutRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
// A rectangle the platform may leave out, as the layout's in `copy`.
inline const LayoutRect* layout_rect(const RECT* rect, LayoutRect& copy) {
    copy = rect != nullptr ? layout_rect(*rect) : LayoutRect{};
    return rect != nullptr ? &copy : nullptr;
}
// For the main dialog procedure: every message it does not handle itself comes here.
int handle_layout_message(DialogLayout& layout, UINT message, WPARAM wparam, LPARAM lparam);

#endif
