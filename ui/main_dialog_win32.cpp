#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "ui/main_dialog_win32.h"

#include "base/bounded_text.h"
#include "base/messages_win32.h"
#include "config/settings_win32.h"
#include "res/resource.h"
#include "schedule/program_path.h"
#include "schedule/schedule_entry.h"
#include "schedule/worker_win32.h"
#include "ui/dpi_win32.h"
#include "ui/file_chooser_win32.h"
#include "ui/history_win32.h"
#include "ui/info_dialog_win32.h"
#include "ui/status_line_win32.h"

// The build system gives the commit's time, so that rebuilds of one commit are identical.
#ifndef KELVAST_BUILD_DATE
#define KELVAST_BUILD_DATE __DATE__
#define KELVAST_BUILD_TIME __TIME__
#endif

namespace {

const int INPUT_IDS[] = {IDC_BROWSE, IDC_START,  IDC_TIME_HELP, IDC_PROGRAM, IDC_TIME,   IDC_DAY_SU,
                         IDC_DAY_MO, IDC_DAY_TU, IDC_DAY_WE,    IDC_DAY_TH,  IDC_DAY_FR, IDC_DAY_SA};

void show_status_string(MainDialogContext& context, HWND dialog, UINT id) {
    load_string(context.instance, id, context.scratch_text, sizeof context.scratch_text);
    show_status(dialog, context.scratch_text);
}

void enable_inputs(HWND dialog, BOOL enable) {
    for (int id : INPUT_IDS) {
        EnableWindow(GetDlgItem(dialog, id), enable);
    }
}

// Written on its own, through to the disk, whenever it changed: a process that goes away now leaves it
// as it is. Settings stay a matter of the dialog's thread.
void write_run_record(MainDialogContext& context) {
    MainSettings& settings = context.settings;
    if (update_run_text(context.run, settings.run_text, sizeof settings.run_text)) {
        save_setting(settings.store, win32_settings_backend(), RUN_ROW);
    }
}

void on_run_outcome(MainDialogContext& context, HWND dialog, const RunOutcome& outcome) {
    char text[RUN_OUTCOME_TEXT_SIZE];
    format_outcome(context.instance, outcome, text, sizeof text);
    show_run_status(dialog, text);
    note_run_outcome(context.run, outcome, text);
    write_run_record(context);
}

void on_outcome_message(MainDialogContext& context, HWND dialog, LPARAM lparam) {
    RunOutcome outcome{};
    if (take_outcome(lparam, outcome)) {
        on_run_outcome(context, dialog, outcome);
    }
}

void set_dialog_icons(HINSTANCE instance, HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(instance, "MyWinIcon")));
    // LoadIcon gives only the large size; the caption wants the 16-pixel image, not a scaled one.
    HANDLE small = LoadImageA(instance, "MyWinIcon", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                              GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void on_init_dialog(MainDialogContext& context, HWND dialog) {
    context.scheduler.notify({dialog, WM_USER, MSG_RUN_OUTCOME});
    set_dialog_icons(context.instance, dialog);
    capture_layout(context.layout, dialog, window_dpi(dialog));

    init_dialog_dpi(dialog, context.dpi);
    fit_status_parts(context.instance, dialog, context.dpi.dpi);
    // Start reads no more than this; anything typed beyond it would be cut off unseen.
    SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_LIMITTEXT, sizeof context.program_text - 1, NO_LPARAM);

    // A value that is missing or damaged keeps the template's; the others are still used, or the
    // next Exit would write the template's rectangle over a valid stored one.
    MainSettings& settings = context.settings;
    WindowValues& window = settings.window;
    remember_window_rect(window, dialog_rect_to_keep(context.layout.ops));
    load_settings(settings.store, win32_settings_backend());
    if (section_loaded(settings.store, WINDOW_SECTION)) {
        restore_dialog(context.layout.layout, context.layout.ops, static_cast<int32_t>(window.pos_x),
                       static_cast<int32_t>(window.pos_y), window.width, window.height);
    }
    if (section_loaded(settings.store, HISTORY_SECTION)) {
        refill_history_list(dialog, settings.history);
    }
    // The last run as it read before the process went away.
    if (settings.rows[RUN_ROW].loaded && parse_run_record(settings.run_text, context.run)) {
        show_run_status(dialog, context.run.last_text);
    }

    if (has_text(context.option_error_text)) {
        char format[DIALOG_TEXT_SIZE];
        load_string(context.instance, IDS_BAD_PARAMS, format, sizeof format);
        format_text(context.scratch_text, sizeof context.scratch_text, format, context.option_error_text);
        show_status(dialog, context.scratch_text);
    }

    format_title_line(context.scratch_text, sizeof context.scratch_text);
    SetWindowTextA(dialog, context.scratch_text);

    context.minimise_when_shown = false;
    context.settings_saved = false;
    if (context.auto_start) {
        SendMessageA(dialog, WM_COMMAND, IDC_START, NO_LPARAM);
        context.minimise_when_shown = true;
    }
}

void on_start(MainDialogContext& context, HWND dialog) {
    Scheduler& scheduler = context.scheduler;
    char* program_text = context.program_text;
    char* scratch_text = context.scratch_text;
    scheduler.clear_stop();
    show_status_string(context, dialog, IDS_BLANK);

    GetDlgItemTextA(dialog, IDC_PROGRAM, program_text, DIALOG_TEXT_SIZE);

    GetDlgItemTextA(dialog, IDC_TIME, scratch_text, DIALOG_TEXT_SIZE);
    TimeParse time = parse_time_text(scratch_text);
    if (!time.accepted) {
        show_status_string(context, dialog, IDS_INVALID_TIME);
        return;
    }
    format_normalised_time(time, scratch_text, DIALOG_TEXT_SIZE);
    SetDlgItemTextA(dialog, IDC_TIME, scratch_text);

    int states[std::size(DAY_BOXES)];
    for (const DayBox& box : DAY_BOXES) {
        states[box.day] = static_cast<int>(IsDlgButtonChecked(dialog, box.id));
    }
    char day_mask[DAY_MASK_SIZE];
    build_day_mask(states, day_mask);

    // An empty command line is not kept: it could not be listed, and refilling would put another
    // entry into the inputs than the one now scheduled.
    if (has_text(program_text)) {
        History& history = context.settings.history;
        add_history_entry(history, program_text, scratch_text, day_mask);
        refill_history_list(dialog, history);
    }

    enable_inputs(dialog, FALSE);

    const RunStart run = start_run(context.run, program_text, time.target_second, day_mask,
                                   local_seconds(read_system_clock()), context.catch_up_seconds);
    // The last run stays in view while the schedule carries on after a restart.
    if (!run.continues) {
        show_run_status(dialog, "");
    }
    write_run_record(context);
    if (scheduler.start(program_text, time.target_second, day_mask, run.worker) == Scheduler::WORKER_FAILED) {
        show_status_string(context, dialog, IDS_THREAD_FAILED);
        return;
    }

    char format[DIALOG_TEXT_SIZE];
    load_string(context.instance, IDS_WAITING, format, sizeof format);
    format_waiting_text(format, time, scratch_text, DIALOG_TEXT_SIZE);
    show_status(dialog, scratch_text);
}

void on_worker_done(MainDialogContext& context, HWND dialog) {
    // Sent, so it may come before outcomes the worker posted earlier: the record takes those first.
    MSG posted{};
    while (PeekMessageA(&posted, dialog, MSG_RUN_OUTCOME, MSG_RUN_OUTCOME, PM_REMOVE)) {
        on_outcome_message(context, dialog, posted.lParam);
    }
    show_status_string(context, dialog, IDS_THREAD_ENDED);
    context.scheduler.worker_done();
    enable_inputs(dialog, TRUE);
}

// Exit stops the schedule; the end of the session leaves it armed, as a crash would, for the start
// after the next log-on to carry on.
void save_on_leaving(MainDialogContext& context, bool stop) {
    if (context.settings_saved) {
        return;
    }
    if (stop) {
        stop_run(context.run);
    }
    MainSettings& settings = context.settings;
    update_run_text(context.run, settings.run_text, sizeof settings.run_text);
    remember_window_rect(settings.window, dialog_rect_to_keep(context.layout.ops));
    settings.version = VERSION_MINOR;
    save_settings(settings.store, win32_settings_backend());
    context.settings_saved = true;
}

void on_exit(MainDialogContext& context, HWND dialog) {
    save_on_leaving(context, true);
    EndDialog(dialog, DIALOG_ENDED);
}

void on_program_notification(MainDialogContext& context, HWND dialog) {
    GetDlgItemTextA(dialog, IDC_PROGRAM, context.program_text, sizeof context.program_text);
    const HistorySlot* slot = select_history_item(
        context.settings.history, SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_GETCURSEL, NO_WPARAM, NO_LPARAM));
    if (slot != nullptr) {
        show_history_slot(dialog, *slot);
    }
}

void on_browse(MainDialogContext& context, HWND dialog) {
    char initial[COMMAND_LINE_SIZE];
    chooser_start_name(context.program_text, initial, sizeof initial);
    char chosen[COMMAND_LINE_SIZE];
    if (!choose_program_file(dialog, initial, chosen)) {
        return;
    }
    // Unquoted, the platform would try every blank-ended piece of the path as a program first.
    if (quote_program_path(chosen, context.program_text, sizeof context.program_text) == QuotedPath::TOO_LONG) {
        GetDlgItemTextA(dialog, IDC_PROGRAM, context.program_text, sizeof context.program_text);
        show_status_string(context, dialog, IDS_PATH_TOO_LONG);
        return;
    }
    SetDlgItemTextA(dialog, IDC_PROGRAM, context.program_text);
}

void on_info(MainDialogContext& context, HWND dialog) {
    char title[DIALOG_TEXT_SIZE];
    format_title_line(title, sizeof title);
    const InfoDialogContent content{IDC_INFO_TEXT,      title,           KELVAST_BUILD_DATE,
                                    KELVAST_BUILD_TIME, context.options, context.option_count};
    show_info_dialog(context.instance, dialog, content);
}

void on_time_help(MainDialogContext&, HWND dialog) {
    MessageBoxA(dialog, "Enter time as HH:MM:SS\r   Example 14:53:27\r", "Help", MB_OK);
}

void on_cancel(MainDialogContext& context, HWND) {
    context.scheduler.cancel();
    stop_run(context.run);
    write_run_record(context);
}

struct Command {
    int id;
    void (*run)(MainDialogContext& context, HWND dialog);
};

// Enter is Start; Escape, the close box and 3 are Exit.
const Command COMMANDS[] = {{IDOK, on_start},        {IDC_START, on_start},
                            {IDCANCEL, on_exit},     {IDABORT, on_exit},
                            {IDC_EXIT, on_exit},     {IDC_PROGRAM, on_program_notification},
                            {IDC_BROWSE, on_browse}, {IDC_TIME_HELP, on_time_help},
                            {IDC_INFO, on_info},     {IDC_CANCEL, on_cancel}};

// False for an identifier that is none of the dialog's commands.
bool on_command(MainDialogContext& context, HWND dialog, int id) {
    const Command* end = std::end(COMMANDS);
    const Command* command = std::find_if(std::begin(COMMANDS), end, [id](const Command& c) { return c.id == id; });
    if (command != end) {
        command->run(context, dialog);
    }
    return command != end;
}

}  // namespace

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    }
    auto* context = reinterpret_cast<MainDialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (context == nullptr) {
        // What arrives before WM_INITDIALOG: nothing has been captured to lay out yet.
        return FALSE;
    }
    switch (message) {
        case WM_INITDIALOG:
            on_init_dialog(*context, dialog);
            return TRUE;
        case WM_COMMAND:
            return on_command(*context, dialog, LOWORD(wparam)) ? TRUE : FALSE;
        case WM_USER:
            if (LOWORD(wparam) == WORKER_DONE) {
                on_worker_done(*context, dialog);
            }
            return TRUE;
        case MSG_RUN_OUTCOME:
            on_outcome_message(*context, dialog, lparam);
            return TRUE;
        case WM_QUERYENDSESSION:
            // Never hold up a log-off: everything is saved when the session really ends.
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_ENDSESSION:
            // The system may end the process as soon as this returns, so save before returning.
            // FALSE means another program cancelled the log-off: the schedule simply goes on.
            if (wparam) {
                save_on_leaving(*context, false);
            }
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case MSG_MINIMISE_AFTER_SHOW:
            ShowWindow(dialog, SW_MINIMIZE);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wparam && context->minimise_when_shown) {
                context->minimise_when_shown = false;
                PostMessageA(dialog, MSG_MINIMISE_AFTER_SHOW, NO_WPARAM, NO_LPARAM);
            }
            break;
        case WM_DPICHANGED:
            follow_dpi_change(dialog, context->dpi, context->layout, LOWORD(wparam),
                              reinterpret_cast<const RECT*>(lparam));
            fit_status_parts(context->instance, dialog, context->dpi.dpi);
            return TRUE;
        case WM_DESTROY:
            release_dialog_dpi(dialog, context->dpi);
            break;
        default:
            break;
    }
    return handle_layout_message(context->layout, message, wparam, lparam);
}
