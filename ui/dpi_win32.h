// The main dialog at the display's scale: its DPI, the command line's font for it, and what follows
// when the DPI changes while the dialog runs (moved to a monitor with another scale).
#ifndef KELVAST_DPI_WIN32_H
#define KELVAST_DPI_WIN32_H

#include <windows.h>

#include <cstdint>

#include "ui/layout_win32.h"

constexpr uint32_t DIALOG_DPI_MAX_CONTROLS = 32;

// A control of the dialog and where it stood in the template (client coordinates). Slots beyond the
// dialog's controls hold no window, and the calls on them do nothing.
struct ScaledControl {
    HWND window;
    LayoutRect rect;
};

// What the dialog holds for its current DPI. The fonts are its own; release_dialog_dpi frees them.
struct DialogDpi {
    uint32_t dpi = 96;
    HFONT program_font = nullptr;  // the command line's
    HFONT dialog_font = nullptr;   // the template's font, made again after a DPI change
    // As created from the template, at its DPI: every change scales from these, so changes back
    // and forth never drift.
    uint32_t template_dpi = 96;
    LOGFONTA template_font{};  // lfHeight 0: the dialog had no font of its own
    ScaledControl controls[DIALOG_DPI_MAX_CONTROLS]{};
};

// GetDpiForWindow where the system has it, else the screen's logical DPI.
uint32_t window_dpi(HWND window);
// In WM_INITDIALOG: takes the dialog's DPI, keeps the system from scaling the dialog on its own
// (everything here follows a change) and gives the command line its font.
void init_dialog_dpi(HWND dialog, DialogDpi& state);
// WM_DPICHANGED: every control and font follows the new DPI and the dialog moves to the rectangle
// the system suggests; without one it keeps its place and scales its size.
void follow_dpi_change(HWND dialog, DialogDpi& state, DialogLayout& layout, uint32_t dpi, const RECT* suggested);
// WM_DESTROY: the controls give the fonts back before they are freed.
void release_dialog_dpi(HWND dialog, DialogDpi& state);

#endif
