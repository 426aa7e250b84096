#include "ui/dpi_win32.h"

#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/layout_win32.h"

namespace {

// The command line's font height in pixels at 96 DPI.
constexpr int32_t PROGRAM_FONT_HEIGHT = 15;

// Windows 10 1607 and later; Wine 8 has it too. Looked up so the program still starts on older
// systems.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
// Windows 10 1703 and later: without it, a per-monitor dialog would also be scaled by the system.
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
constexpr int DDC_DISABLE_ALL_FLAGS = 0x0001 | 0x0002 | 0x0004;  // resize, relayout, font update

template <typename Fn>
Fn user32_function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC found = user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

HFONT make_program_font(uint32_t dpi) {
    return CreateFontA(scale_for_dpi(PROGRAM_FONT_HEIGHT, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0,
                       "Courier New");
}

void set_font(HWND window, HFONT font) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

RECT client_rect(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void place_scaled(HWND control, const RECT& r, uint32_t from, uint32_t to) {
    const int32_t left = rescale_for_dpi(r.left, from, to);
    const int32_t top = rescale_for_dpi(r.top, from, to);
    MoveWindow(control, left, top, rescale_for_dpi(r.right, from, to) - left, rescale_for_dpi(r.bottom, from, to) - top,
               FALSE);
}

}  // namespace

uint32_t window_dpi(HWND window) {
    static const auto get_dpi_for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    UINT dpi = get_dpi_for_window != nullptr ? get_dpi_for_window(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        const int logical = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen != nullptr) {
            ReleaseDC(nullptr, screen);
        }
        dpi = logical > 0 ? static_cast<UINT>(logical) : BASE_DPI;
    }
    return dpi;
}

void init_dialog_dpi(HWND dialog, DialogDpi& state) {
    state.dpi = window_dpi(dialog);
    state.template_dpi = state.dpi;
    state.control_count = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr && state.control_count < DIALOG_DPI_MAX_CONTROLS;
         child = GetWindow(child, GW_HWNDNEXT)) {
        state.controls[state.control_count] = child;
        state.control_rects[state.control_count] = client_rect(dialog, child);
        ++state.control_count;
    }
    HFONT template_font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (template_font == nullptr || GetObjectA(template_font, sizeof state.template_font, &state.template_font) == 0) {
        state.template_font = LOGFONTA{};
    }
    static const auto set_behavior = user32_function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    if (set_behavior != nullptr) {
        set_behavior(dialog, DDC_DISABLE_ALL_FLAGS, DDC_DISABLE_ALL_FLAGS);
    }
    state.program_font = make_program_font(state.dpi);
    SendDlgItemMessageA(dialog, IDC_PROGRAM, WM_SETFONT, reinterpret_cast<WPARAM>(state.program_font), FALSE);
}

void follow_dpi_change(HWND dialog, DialogDpi& state, DialogLayout& layout, uint32_t dpi, const RECT* suggested) {
    if (dpi == 0 || dpi == state.dpi) {
        return;
    }
    const uint32_t from = state.dpi;
    state.dpi = dpi;

    // Fonts from their figures at a known DPI, so that changes back and forth never drift; back at
    // the template's DPI the controls get the template's own font again.
    HFONT dialog_font = nullptr;
    if (dpi == state.template_dpi) {
        dialog_font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    } else if (state.template_font.lfHeight != 0) {
        LOGFONTA scaled = state.template_font;
        scaled.lfHeight = rescale_for_dpi(scaled.lfHeight, state.template_dpi, dpi);
        dialog_font = CreateFontIndirectA(&scaled);
    }
    HFONT program_font = make_program_font(dpi);

    // The controls outside the layout's table keep their place in the template, scaled; the
    // table's are placed again by the layout below.
    for (uint32_t i = 0; i < state.control_count; ++i) {
        HWND control = state.controls[i];
        place_scaled(control, state.control_rects[i], state.template_dpi, dpi);
        if (GetDlgCtrlID(control) == IDC_PROGRAM) {
            set_font(control, program_font != nullptr ? program_font : state.program_font);
        } else if (dialog_font != nullptr) {
            set_font(control, dialog_font);
        }
    }
    if (program_font != nullptr) {
        DeleteObject(state.program_font);
        state.program_font = program_font;
    }
    if (dialog_font != nullptr) {
        if (state.dialog_font != nullptr) {
            DeleteObject(state.dialog_font);
        }
        state.dialog_font = dpi == state.template_dpi ? nullptr : dialog_font;
    }

    RECT target{};
    if (suggested != nullptr) {
        target = *suggested;
    } else {
        GetWindowRect(dialog, &target);
        target.right = target.left + rescale_for_dpi(target.right - target.left, from, dpi);
        target.bottom = target.top + rescale_for_dpi(target.bottom - target.top, from, dpi);
    }
    follow_layout_dpi(layout, dpi, target);
}

void release_dialog_dpi(HWND dialog, DialogDpi& state) {
    if (state.program_font != nullptr) {
        SendDlgItemMessageA(dialog, IDC_PROGRAM, WM_SETFONT, 0, FALSE);
        DeleteObject(state.program_font);
        state.program_font = nullptr;
    }
    if (state.dialog_font != nullptr) {
        // The dialog's own font (from the template) outlives its controls; give it back to them.
        HFONT template_font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        for (uint32_t i = 0; i < state.control_count; ++i) {
            if (GetDlgCtrlID(state.controls[i]) != IDC_PROGRAM) {
                SendMessageA(state.controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(template_font), FALSE);
            }
        }
        DeleteObject(state.dialog_font);
        state.dialog_font = nullptr;
    }
}
