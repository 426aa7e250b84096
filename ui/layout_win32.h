// The layout's window operations on the real dialog.
#ifndef KELVAST_LAYOUT_WIN32_H
#define KELVAST_LAYOUT_WIN32_H

#include <windows.h>

#include <cstdint>

#include "ui/layout.h"

// Captures the main layout of `dialog` (call once in WM_INITDIALOG).
void capture_layout(HWND dialog);
// After a change of the dialog's DPI: the layout follows it and the dialog moves to `target`.
void follow_layout_dpi(uint32_t dpi, const RECT& target);
// For the main dialog procedure: every message it does not handle itself comes here.
int handle_layout_message(UINT message, WPARAM wparam, LPARAM lparam);

#endif
