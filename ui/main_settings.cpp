#include "ui/main_settings.h"

#include <cstddef>

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
    uint32_t size;
};

const SettingRow SETTING_ROWS[SETTINGS_ROW_COUNT] = {
    {WINDOW_SECTION, "PosX", offsetof(MainSettings, window.pos_x), REG_DWORD, 1},
    {WINDOW_SECTION, "PosY", offsetof(MainSettings, window.pos_y), REG_DWORD, 1},
    {WINDOW_SECTION, "Width", offsetof(MainSettings, window.width), REG_DWORD, 1},
    {WINDOW_SECTION, "Height", offsetof(MainSettings, window.height), REG_DWORD, 1},
    {"Program", "Version", offsetof(MainSettings, version), REG_DWORD, 1},
    {HISTORY_SECTION, "History", offsetof(MainSettings, history.buffer), REG_MULTI_SZ,
     static_cast<uint32_t>(HISTORY_BUFFER_SIZE)},
};

}  // namespace

MainSettings::MainSettings()
    : store{ROOT_CURRENT_USER, REGISTRY_KEY_PATH, DEFAULT_INI_NAME, rows, 0, SETTINGS_ROW_COUNT} {
    char* base = reinterpret_cast<char*>(this);
    for (uint32_t i = 0; i < SETTINGS_ROW_COUNT; ++i) {
        const SettingRow& row = SETTING_ROWS[i];
        rows[i] = SettingEntry{row.section, row.name, row.type, SF_OVERWRITE, base + row.offset, row.size};
    }
}
