// What the main dialog keeps between runs (window rectangle, version, history) and the settings
// table and store over it, with the names under which it is kept.
#ifndef KELVAST_MAIN_SETTINGS_H
#define KELVAST_MAIN_SETTINGS_H

#include <cstddef>
#include <cstdint>

#include "config/options.h"
#include "config/settings_store.h"
#include "schedule/run_record.h"
#include "ui/history.h"
#include "ui/layout.h"

constexpr uint32_t VERSION_MAJOR = 0;
constexpr uint32_t VERSION_MINOR = 30;
extern const char* const PROGRAM_NAME;       // "Kelvast"
extern const char* const REGISTRY_KEY_PATH;  // below HKEY_CURRENT_USER
extern const char* const DEFAULT_INI_NAME;   // "Kelvast.ini"
extern const char* const WINDOW_SECTION;     // the rectangle's rows
extern const char* const HISTORY_SECTION;    // the History and Run rows

struct WindowValues {
    uint32_t pos_x;
    uint32_t pos_y;
    uint32_t width;
    uint32_t height;
};

// The values kept for a window's rectangle: an edge beyond the screen's left or top as 0.
void remember_window_rect(WindowValues& values, const LayoutRect& rect);
// The dialog's caption, "Kelvast - Version 0.30"; false when cut to fit `size`.
bool format_title_line(char* out, size_t size);

constexpr uint32_t SETTINGS_ROW_COUNT = 7;
// The run record's row, which is also written on its own whenever the record changes.
constexpr uint32_t RUN_ROW = 6;

// One run's values with the rows that point at them; the store reads nothing until its mode is
// set. The rows point into the object, so it is never copied.
struct MainSettings {
    WindowValues window{};
    uint32_t version = VERSION_MINOR;
    History history{};
    char run_text[RUN_RECORD_TEXT_SIZE] = "";
    char ini_path[INI_PATH_SIZE] = "";  // the store's ini path once start-up has chosen it
    SettingEntry rows[SETTINGS_ROW_COUNT];
    SettingsStore store;

    MainSettings();
    MainSettings(const MainSettings&) = delete;
    MainSettings& operator=(const MainSettings&) = delete;
};

#endif
