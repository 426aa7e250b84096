#include <windows.h>
#include <commctrl.h>

#include "app/startup_win32.h"

#include "base/bounded_text.h"
#include "app/startup.h"
#include "config/ini_path_win32.h"
#include "config/settings_win32.h"
#include "ui/main_dialog_win32.h"

namespace {

// Indexed by clamp_priority_index, which answers 0..3.
const DWORD PRIORITY_CLASSES[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                  REALTIME_PRIORITY_CLASS};

}  // namespace

int run_kelvast(HINSTANCE instance, const char* command_line) {
    ProgramOptions options;
    parse_program_options(command_line, options);

    // Lives until the dialog has ended: on the main thread's stack, which the exe sizes at 2 MB.
    MainDialogContext context;
    MainSettings& settings = context.settings;
    if (options.rows[OPTION_RC].present) {
        clear_registry(settings.store, win32_settings_backend());
    }
    choose_stores(options, win32_path_queries(), settings);

    reset_history_slots(settings.history);

    if (options.rows[OPTION_PP].present) {
        SetPriorityClass(GetCurrentProcess(), PRIORITY_CLASSES[clamp_priority_index(options.rows[OPTION_PP].value)]);
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    context.instance = instance;
    copy_text(context.option_error_text, sizeof context.option_error_text, options.error_text);
    context.auto_start = options.rows[OPTION_AS].present != 0;
    context.catch_up_seconds = catch_up_seconds(options);
    context.options = option_table;
    context.option_count = option_count;
    DialogBoxParamA(instance, "DLG_KELVAST", nullptr, main_dialog_proc, reinterpret_cast<LPARAM>(&context));
    return 0;
}
