// The program-wide state: one plainly named instance of each table and buffer, defined in
// program_state.cpp. Functions take these by reference so tests can pass their own.
#ifndef KELVAST_PROGRAM_STATE_H
#define KELVAST_PROGRAM_STATE_H

#include <cstdint>

#include "config/options.h"
#include "config/settings_store.h"
#include "schedule/schedule_entry.h"
#include "ui/history.h"
#include "ui/layout.h"

constexpr uint32_t VERSION_MAJOR = 0;
constexpr uint32_t VERSION_MINOR = 30;
extern const char* const PROGRAM_NAME;       // "Kelvast"
extern const char* const REGISTRY_KEY_PATH;  // below HKEY_CURRENT_USER
extern const char* const DEFAULT_INI_NAME;   // "Kelvast.ini"
extern const char* const WINDOW_SECTION;     // the rectangle's rows
extern const char* const HISTORY_SECTION;    // the History row

struct WindowValues {
    uint32_t pos_x;
    uint32_t pos_y;
    uint32_t width;
    uint32_t height;
};

constexpr uint32_t SETTINGS_ROW_COUNT = 6;
constexpr uint32_t MAIN_LAYOUT_ROW_COUNT = 8;

extern ScheduleRequest schedule_request;
extern char expanded_command_line[COMMAND_LINE_SIZE];

extern OptionEntry option_table[OPTION_COUNT];
extern const uint32_t option_count;
extern char option_error_text[OPTION_ERROR_SIZE];
extern char ini_path_buffer[INI_PATH_SIZE];

extern WindowValues window_values;
extern uint32_t version_value;
extern History history;
extern SettingEntry settings_table[SETTINGS_ROW_COUNT];
extern SettingsStore settings_store;

extern LayoutEntry main_layout_table[MAIN_LAYOUT_ROW_COUNT];
extern Layout main_layout;

#endif
