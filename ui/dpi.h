// Pixel sizes at any display scale: every pixel figure of the dialog is given for 96 DPI (100 %)
// and scaled to the dialog's DPI where it is used. Stored values stay plain pixels.
#ifndef KELVAST_DPI_H
#define KELVAST_DPI_H

#include <cstdint>

constexpr uint32_t BASE_DPI = 96;
// What the platform answers when it cannot tell a window's DPI.
constexpr uint32_t UNKNOWN_DPI = 0;
// The command line's font height in pixels at 96 DPI.
constexpr int32_t PROGRAM_FONT_HEIGHT = 15;

// value * to / from, rounded half away from zero as the platform's MulDiv rounds, clamped to the
// 32-bit range; a DPI of 0 (unknown) counts as BASE_DPI.
int32_t rescale_for_dpi(int32_t value, uint32_t from_dpi, uint32_t to_dpi);

// A figure at 96 DPI for a window at `dpi`.
inline int32_t scale_for_dpi(int32_t value, uint32_t dpi) {
    return rescale_for_dpi(value, BASE_DPI, dpi);
}

// Whether a change to `to` asks for anything: a known DPI other than the current one.
bool dpi_changes(uint32_t current, uint32_t to);
// The dialog's DPI: the window's own where the system tells it (not 0), else the screen's, else 96.
uint32_t choose_dpi(uint32_t window_dpi, int32_t screen_dpi);

// The font the controls take at a DPI: the template's own back at its DPI, else a copy of it scaled
// to the DPI, or the system's where the template named none (height 0).
enum class DialogFont { TEMPLATE, SCALED, SYSTEM };
DialogFont dialog_font_at(uint32_t dpi, uint32_t template_dpi, int32_t template_height);

#endif
