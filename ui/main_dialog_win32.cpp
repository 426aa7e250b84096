#include <windows.h>

#include <algorithm>
#include <climits>

#include "ui/main_dialog_win32.h"

#include "base/bounded_text.h"
#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "config/settings_win32.h"
#include "res/resource.h"
#include "schedule/schedule_entry.h"
#include "schedule/worker_win32.h"
#include "ui/dpi_win32.h"
#include "ui/file_chooser_win32.h"
#include "ui/history_win32.h"
#include "ui/info_dialog_win32.h"
#include "ui/layout_win32.h"

// The build system gives the commit's time, so that rebuilds of one commit are identical.
#ifndef KELVAST_BUILD_DATE
#define KELVAST_BUILD_DATE __DATE__
#define KELVAST_BUILD_TIME __TIME__
#endif

namespace {

// Posted once the dialog is on screen: a dialog minimised any earlier is shown normally again by
// the modal loop when its queue first runs empty (Wine does this unconditionally).
constexpr UINT MSG_MINIMISE_AFTER_SHOW = WM_APP + 1;

constexpr size_t TEXT_SIZE = 256;
const int INPUT_IDS[] = {IDC_BROWSE, IDC_START,  IDC_TIME_HELP, IDC_PROGRAM, IDC_TIME,   IDC_DAY_SU,
                         IDC_DAY_MO, IDC_DAY_TU, IDC_DAY_WE,    IDC_DAY_TH,  IDC_DAY_FR, IDC_DAY_SA};

char program_text[TEXT_SIZE];  // last text of IDC_PROGRAM; also the file chooser's buffer
char scratch_text[TEXT_SIZE];
DialogDpi dialog_dpi;
bool minimise_when_shown = false;
// Set once the settings are written; the end of a session saves without ending the dialog, and an
// Exit after it must not write a second, possibly different, set of values.
bool settings_saved = false;

void format_title_line(char* out, size_t size) {
    format_text(out, size, "%s - Version %u.%2.2u", PROGRAM_NAME, static_cast<unsigned>(VERSION_MAJOR),
                static_cast<unsigned>(VERSION_MINOR));
}

void load_string(UINT id, char* out, int size) {
    if (LoadStringA(app_instance, id, out, size) <= 0) {
        out[0] = '\0';
    }
}

void show_status(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, IDC_STATUS, text);
}

void show_status_string(HWND dialog, UINT id) {
    load_string(id, scratch_text, sizeof scratch_text);
    show_status(dialog, scratch_text);
}

void enable_inputs(HWND dialog, BOOL enable) {
    for (int id : INPUT_IDS) {
        EnableWindow(GetDlgItem(dialog, id), enable);
    }
}

void set_dialog_icons(HWND dialog) {
    HICON big = LoadIconA(app_instance, "MyWinIcon");
    if (big != nullptr) {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    // LoadIcon gives only the large size; the caption wants the 16-pixel image, not a scaled one.
    HANDLE small = LoadImageA(app_instance, "MyWinIcon", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                              GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (small != nullptr) {
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

int clamp_int(long long value, long long low, long long high) {
    return static_cast<int>(value < low ? low : (value > high ? high : value));
}

void remember_window_rect(const RECT& rect) {
    window_values.pos_x = rect.left < 0 ? 0 : static_cast<uint32_t>(rect.left);
    window_values.pos_y = rect.top < 0 ? 0 : static_cast<uint32_t>(rect.top);
    window_values.width = static_cast<uint32_t>(rect.right - rect.left);
    window_values.height = static_cast<uint32_t>(rect.bottom - rect.top);
}

void restore_window_rect(HWND dialog) {
    // A size beyond the desktop hides the buttons anchored to the right and bottom edges.
    const int desktop_x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int desktop_y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int desktop_width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int desktop_height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    int width = clamp_int(window_values.width, 0, desktop_width > 0 ? desktop_width : INT_MAX);
    int height = clamp_int(window_values.height, 0, desktop_height > 0 ? desktop_height : INT_MAX);
    // A stored size below the dialog's minimum can only come from a damaged store; it would leave
    // no usable window.
    if (main_layout.captured) {
        width = width < main_layout.min_width ? main_layout.min_width : width;
        height = height < main_layout.min_height ? main_layout.min_height : height;
    }
    // The stored numbers are the signed screen coordinates; one just beyond the desktop keeps the
    // rectangle valid for the monitor test below.
    RECT rect;
    rect.left = clamp_int(static_cast<int32_t>(window_values.pos_x), desktop_x - width - 1,
                          static_cast<long long>(desktop_x) + desktop_width + 1);
    rect.top = clamp_int(static_cast<int32_t>(window_values.pos_y), desktop_y - height - 1,
                         static_cast<long long>(desktop_y) + desktop_height + 1);
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    // A window on no monitor (a damaged store, or a screen since removed) could never be reached:
    // bring it into the nearest monitor's work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) == nullptr &&
        GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        rect.left = clamp_int(rect.left, work.left, std::max(work.left, work.right - width));
        rect.top = clamp_int(rect.top, work.top, std::max(work.top, work.bottom - height));
    }
    MoveWindow(dialog, rect.left, rect.top, width, height, TRUE);
}

void on_init_dialog(HWND dialog) {
    main_dialog_window = dialog;
    set_dialog_icons(dialog);
    capture_layout(dialog);

    init_dialog_dpi(dialog, dialog_dpi);
    // Start reads no more than this; anything typed beyond it would be cut off unseen.
    SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_LIMITTEXT, sizeof program_text - 1, 0);

    // A value that is missing or damaged keeps the template's; the others are still used, or the
    // next Exit would write the template's rectangle over a valid stored one.
    RECT initial;
    if (GetWindowRect(dialog, &initial)) {
        remember_window_rect(initial);
    }
    load_settings(settings_store, win32_settings_backend());
    if (section_loaded(settings_store, WINDOW_SECTION)) {
        restore_window_rect(dialog);
    }
    if (section_loaded(settings_store, HISTORY_SECTION)) {
        refill_history_list(dialog, history);
    }

    if (option_error_text[0] != '\0') {
        char format[TEXT_SIZE];
        load_string(IDS_BAD_PARAMS, format, sizeof format);
        format_text(scratch_text, sizeof scratch_text, format, option_error_text);
        show_status(dialog, scratch_text);
    }

    format_title_line(scratch_text, sizeof scratch_text);
    SetWindowTextA(dialog, scratch_text);

    minimise_when_shown = false;
    settings_saved = false;
    if (option_table[OPTION_AS].present) {
        SendMessageA(dialog, WM_COMMAND, IDC_START, 0);
        minimise_when_shown = true;
    }
}

void on_start(HWND dialog) {
    schedule_request.stop = false;
    show_status_string(dialog, IDS_BLANK);

    GetDlgItemTextA(dialog, IDC_PROGRAM, program_text, sizeof program_text);
    copy_text(schedule_request.command_line, sizeof schedule_request.command_line, program_text);

    GetDlgItemTextA(dialog, IDC_TIME, scratch_text, sizeof scratch_text);
    TimeParse time = parse_time_text(scratch_text);
    schedule_request.target_second = time.target_second;
    if (!time.accepted) {
        show_status_string(dialog, IDS_INVALID_TIME);
        return;
    }
    format_normalised_time(time, scratch_text, sizeof scratch_text);
    SetDlgItemTextA(dialog, IDC_TIME, scratch_text);

    int states[7];
    for (int i = 0; i < 7; ++i) {
        states[i] = IsDlgButtonChecked(dialog, IDC_DAY_SU + i) == BST_CHECKED ? 1 : 0;
    }
    build_day_mask(states, schedule_request.day_mask);

    // An empty command line is not kept: it could not be listed, and refilling would put another
    // entry into the inputs than the one now scheduled.
    if (program_text[0] != '\0') {
        add_history_entry(history, program_text, scratch_text, schedule_request.day_mask);
        refill_history_list(dialog, history);
    }

    enable_inputs(dialog, FALSE);

    if (worker_thread == nullptr) {
        worker_thread = CreateThread(nullptr, WORKER_STACK_RESERVE, SchedulerWorker, nullptr,
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (worker_thread == nullptr) {
            show_status_string(dialog, IDS_THREAD_FAILED);
            return;
        }
    }

    char format[TEXT_SIZE];
    load_string(IDS_WAITING, format, sizeof format);
    format_waiting_text(format, time, scratch_text, sizeof scratch_text);
    show_status(dialog, scratch_text);
}

void on_worker_done(HWND dialog) {
    show_status_string(dialog, IDS_THREAD_ENDED);
    if (worker_thread != nullptr) {
        CloseHandle(worker_thread);
        worker_thread = nullptr;
    }
    enable_inputs(dialog, TRUE);
}

// The rectangle to store: a minimised window's own rectangle is its icon, so the size the user
// gave it comes from the normal placement (kept in work-area coordinates, hence the shift).
RECT rect_to_store(HWND dialog) {
    RECT rect{};
    GetWindowRect(dialog, &rect);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(dialog) && GetWindowPlacement(dialog, &placement)) {
        rect = placement.rcNormalPosition;
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
        }
    }
    return rect;
}

void save_on_leaving(HWND dialog) {
    if (settings_saved) {
        return;
    }
    remember_window_rect(rect_to_store(dialog));
    version_value = VERSION_MINOR;
    save_settings(settings_store, win32_settings_backend());
    settings_saved = true;
}

void on_exit(HWND dialog) {
    save_on_leaving(dialog);
    EndDialog(dialog, 1);
}

void on_program_notification(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_PROGRAM, program_text, sizeof program_text);
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) {
        return;
    }
    int position = static_cast<int>(selection);
    if (history.last_shown_index == -1 || position != history.last_shown_index) {
        int slot = slot_for_list_position(history, position);
        if (slot >= 0) {
            show_history_slot(dialog, history.slots[slot]);
        }
    }
    history.last_shown_index = position;
}

void on_browse(HWND dialog) {
    if (choose_program_file(dialog, program_text, sizeof program_text)) {
        SetDlgItemTextA(dialog, IDC_PROGRAM, program_text);
    }
}

void on_info() {
    char title[TEXT_SIZE];
    format_title_line(title, sizeof title);
    show_info_dialog(IDC_INFO_TEXT, title, KELVAST_BUILD_DATE, KELVAST_BUILD_TIME);
}

bool on_command(HWND dialog, int id) {
    switch (id) {
        case IDOK:
        case IDC_START:
            on_start(dialog);
            return true;
        case IDCANCEL:
        case IDABORT:
        case IDC_EXIT:
            on_exit(dialog);
            return true;
        case IDC_PROGRAM:
            on_program_notification(dialog);
            return true;
        case IDC_BROWSE:
            on_browse(dialog);
            return true;
        case IDC_TIME_HELP:
            MessageBoxA(dialog, "Enter time as HH:MM:SS\r   Example 14:53:27\r", "Help", MB_OK);
            return true;
        case IDC_INFO:
            on_info();
            return true;
        case IDC_CANCEL:
            schedule_request.stop = true;
            return true;
        default:
            return false;
    }
}

}  // namespace

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init_dialog(dialog);
            return TRUE;
        case WM_COMMAND:
            return on_command(dialog, LOWORD(wparam)) ? TRUE : FALSE;
        case WM_USER:
            if (LOWORD(wparam) == WORKER_DONE) {
                on_worker_done(dialog);
            }
            return TRUE;
        case WM_QUERYENDSESSION:
            // Never hold up a log-off: everything is saved when the session really ends.
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_ENDSESSION:
            // The system may end the process as soon as this returns, so save before returning.
            // FALSE means another program cancelled the log-off: the schedule simply goes on.
            if (wparam) {
                save_on_leaving(dialog);
            }
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
            return TRUE;
        case MSG_MINIMISE_AFTER_SHOW:
            ShowWindow(dialog, SW_MINIMIZE);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wparam && minimise_when_shown) {
                minimise_when_shown = false;
                PostMessageA(dialog, MSG_MINIMISE_AFTER_SHOW, 0, 0);
            }
            break;
        case WM_DPICHANGED:
            follow_dpi_change(dialog, dialog_dpi, LOWORD(wparam), reinterpret_cast<const RECT*>(lparam));
            return TRUE;
        case WM_DESTROY:
            release_dialog_dpi(dialog, dialog_dpi);
            break;
        default:
            break;
    }
    return handle_layout_message(message, wparam, lparam);
}
