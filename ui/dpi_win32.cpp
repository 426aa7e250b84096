#include "ui/dpi_win32.h"

#include "base/bounded_text.h"
#include "base/messages_win32.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/layout_win32.h"

namespace {

// Windows 10 1607 and later; Wine 8 has it too. Looked up so the program still starts on older
// systems.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
// Windows 10 1703 and later: without it, a per-monitor dialog would also be scaled by the system.
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
constexpr int DDC_DISABLE_ALL_FLAGS = 0x0001 | 0x0002 | 0x0004;  // resize, relayout, font update

template <typename Fn>
Fn user32_function(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

HFONT make_program_font(uint32_t dpi) {
    LOGFONTA font{};
    font.lfHeight = scale_for_dpi(PROGRAM_FONT_HEIGHT, dpi);
    font.lfWeight = FW_NORMAL;
    copy_text(font.lfFaceName, sizeof font.lfFaceName, "Courier New");
    return CreateFontIndirectA(&font);
}

void set_font(HWND window, HFONT font) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HFONT window_font(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, NO_WPARAM, NO_LPARAM));
}

LayoutRect client_rect(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), sizeof r / sizeof(POINT));
    return layout_rect(r);
}

void place_scaled(HWND control, const LayoutRect& rect, uint32_t from, uint32_t to) {
    const LayoutRect r = rescale_rect(rect, from, to);
    MoveWindow(control, r.left, r.top, rect_width(r), rect_height(r), FALSE);
}

}  // namespace

uint32_t window_dpi(HWND window) {
    static const auto get_dpi_for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    HDC screen = GetDC(nullptr);
    const int screen_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return choose_dpi(get_dpi_for_window != nullptr ? get_dpi_for_window(window) : UNKNOWN_DPI, screen_dpi);
}

void init_dialog_dpi(HWND dialog, DialogDpi& state) {
    state.dpi = window_dpi(dialog);
    state.template_dpi = state.dpi;
    HWND child = GetWindow(dialog, GW_CHILD);
    for (ScaledControl& control : state.controls) {
        control = ScaledControl{child, client_rect(dialog, child)};
        child = GetWindow(child, GW_HWNDNEXT);
    }
    // Left all zero (height 0) when the dialog has no font of its own.
    state.template_font = LOGFONTA{};
    GetObjectA(window_font(dialog), sizeof state.template_font, &state.template_font);
    static const auto set_behavior = user32_function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    if (set_behavior != nullptr) {
        set_behavior(dialog, DDC_DISABLE_ALL_FLAGS, DDC_DISABLE_ALL_FLAGS);
    }
    state.program_font = make_program_font(state.dpi);
    SendDlgItemMessageA(dialog, IDC_PROGRAM, WM_SETFONT, reinterpret_cast<WPARAM>(state.program_font), FALSE);
}

void follow_dpi_change(HWND dialog, DialogDpi& state, DialogLayout& layout, uint32_t dpi, const RECT* suggested) {
    if (!dpi_changes(state.dpi, dpi)) {
        return;
    }
    const uint32_t from = state.dpi;
    state.dpi = dpi;

    // Fonts from their figures at a known DPI, so that changes back and forth never drift. Without a
    // font (the system's) the controls look as they did.
    const DialogFont choice = dialog_font_at(dpi, state.template_dpi, state.template_font.lfHeight);
    HFONT dialog_font = nullptr;
    HFONT made = nullptr;  // the one of ours among them
    switch (choice) {
        case DialogFont::TEMPLATE:
            dialog_font = window_font(dialog);
            break;
        case DialogFont::SCALED: {
            LOGFONTA scaled = state.template_font;
            scaled.lfHeight = rescale_for_dpi(scaled.lfHeight, state.template_dpi, dpi);
            dialog_font = made = CreateFontIndirectA(&scaled);
            break;
        }
        case DialogFont::SYSTEM:
            break;
    }
    HFONT program_font = make_program_font(dpi);

    // The controls outside the layout's table keep their place in the template, scaled; the
    // table's are placed again by the layout below.
    for (const ScaledControl& control : state.controls) {
        place_scaled(control.window, control.rect, state.template_dpi, dpi);
        set_font(control.window, dialog_font);
    }
    set_font(GetDlgItem(dialog, IDC_PROGRAM), program_font);
    // Only now that no control uses them: the template's own font is not ours to delete.
    DeleteObject(state.program_font);
    DeleteObject(state.dialog_font);
    state.program_font = program_font;
    state.dialog_font = made;

    RECT now{};
    GetWindowRect(dialog, &now);
    LayoutRect given{};
    follow_layout_dpi(layout, dpi, dpi_change_target(layout_rect(suggested, given), layout_rect(now), from, dpi));
}

void release_dialog_dpi(HWND dialog, DialogDpi& state) {
    // The dialog's own font (from the template) outlives its controls; they get it back.
    HFONT template_font = window_font(dialog);
    for (const ScaledControl& control : state.controls) {
        set_font(control.window, template_font);
    }
    DeleteObject(state.program_font);
    DeleteObject(state.dialog_font);
    state.program_font = nullptr;
    state.dialog_font = nullptr;
}
