#include <windows.h>
#include <commctrl.h>

#include "app/startup_win32.h"

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "app/startup.h"
#include "config/settings_win32.h"
#include "ui/main_dialog_win32.h"

namespace {

// Indexed by clamp_priority_index, which answers 0..3.
const DWORD PRIORITY_CLASSES[4] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                   REALTIME_PRIORITY_CLASS};

// The ini path as the profile functions get it; lives as long as the store points at it.
char resolved_ini_path[INI_PATH_SIZE];

void choose_ini_path() {
    const char* name = option_table[OPTION_IF].present ? ini_path_buffer : DEFAULT_INI_NAME;
    if (resolve_ini_path(name, resolved_ini_path, sizeof resolved_ini_path)) {
        settings_store.ini_path = resolved_ini_path;
    } else {
        // Too long to resolve: hand the name over unchanged and let the platform place it.
        settings_store.ini_path = name;
    }
}

}  // namespace

int run_kelvast(HINSTANCE instance, const char* command_line) {
    option_error_text[0] = '\0';
    parse_command_line(option_table, option_count, command_line, option_error_text);

    if (option_table[OPTION_RC].present) {
        clear_registry(settings_store, win32_settings_backend());
    }
    settings_store.mode = compute_storage_mode(option_table);
    choose_ini_path();

    reset_history_slots(history);

    if (option_table[OPTION_PP].present) {
        SetPriorityClass(GetCurrentProcess(), PRIORITY_CLASSES[clamp_priority_index(option_table[OPTION_PP].value)]);
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    app_instance = instance;
    DialogBoxParamA(instance, "DLG_KELVAST", nullptr, main_dialog_proc, 0);
    return 0;
}
