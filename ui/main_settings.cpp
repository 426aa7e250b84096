#include "ui/main_settings.h"

#include <cstddef>

#include "base/bounded_text.h"

const char* const PROGRAM_NAME = "Kelvast";
const char* const REGISTRY_KEY_PATH = "Software\\Tansky Freeware\\Kelvast";
const char* const DEFAULT_INI_NAME = "Kelvast.ini";
const char* const WINDOW_SECTION = "Window";
const char* const HISTORY_SECTION = "Settings";

namespace {

struct SettingRow {
    const char* section;
    const char* name;
    size_t offset;  // of the value in MainSettings
    uint32_t type;
    size_t bytes;  // of the value
};

const SettingRow SETTING_ROWS[SETTINGS_ROW_COUNT] = {
    {WINDOW_SECTION, "PosX", offsetof(MainSettings, window.pos_x), REG_DWORD, sizeof(WindowValues::pos_x)},
    {WINDOW_SECTION, "PosY", offsetof(MainSettings, window.pos_y), REG_DWORD, sizeof(WindowValues::pos_y)},
    {WINDOW_SECTION, "Width", offsetof(MainSettings, window.width), REG_DWORD, sizeof(WindowValues::width)},
    {WINDOW_SECTION, "Height", offsetof(MainSettings, window.height), REG_DWORD, sizeof(WindowValues::height)},
    {"Program", "Version", offsetof(MainSettings, version), REG_DWORD, sizeof(MainSettings::version)},
    {HISTORY_SECTION, "History", offsetof(MainSettings, history.buffer), REG_MULTI_SZ, sizeof(History::buffer)},
    {HISTORY_SECTION, "Run", offsetof(MainSettings, run_text), REG_SZ, sizeof(MainSettings::run_text)},
};

}  // namespace

MainSettings::MainSettings()
    : store{ROOT_CURRENT_USER, REGISTRY_KEY_PATH, DEFAULT_INI_NAME, rows, 0, SETTINGS_ROW_COUNT} {
    char* base = reinterpret_cast<char*>(this);
    for (uint32_t i = 0; i < SETTINGS_ROW_COUNT; ++i) {
        const SettingRow& row = SETTING_ROWS[i];
        // A number's size counts elements, a text's bytes.
        size_t size = row.type == REG_DWORD ? row.bytes / sizeof(uint32_t) : row.bytes;
        rows[i] =
            SettingEntry{row.section, row.name, row.type, SF_OVERWRITE, base + row.offset, static_cast<uint32_t>(size)};
    }
}

void remember_window_rect(WindowValues& values, const LayoutRect& rect) {
    values.pos_x = rect.left < 0 ? 0 : static_cast<uint32_t>(rect.left);
    values.pos_y = rect.top < 0 ? 0 : static_cast<uint32_t>(rect.top);
    values.width = static_cast<uint32_t>(static_cast<int64_t>(rect.right) - rect.left);
    values.height = static_cast<uint32_t>(static_cast<int64_t>(rect.bottom) - rect.top);
}

bool format_title_line(char* out, size_t size) {
    return format_text(out, size, "%s - Version %u.%2.2u", PROGRAM_NAME, static_cast<unsigned>(VERSION_MAJOR),
                       static_cast<unsigned>(VERSION_MINOR));
}
