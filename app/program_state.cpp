#include "app/program_state.h"

#include "res/resource.h"

const char* const PROGRAM_NAME = "Kelvast";
const char* const REGISTRY_KEY_PATH = "Software\\Tansky Freeware\\Kelvast";
const char* const DEFAULT_INI_NAME = "Kelvast.ini";
const char* const WINDOW_SECTION = "Window";
const char* const HISTORY_SECTION = "Settings";

ScheduleRequest schedule_request{};
char expanded_command_line[COMMAND_LINE_SIZE];

char option_error_text[OPTION_ERROR_SIZE];
char ini_path_buffer[INI_PATH_SIZE];

OptionEntry option_table[OPTION_COUNT] = {
    {"rc", OPT_FLAG, nullptr, 0, 0, "clear registry entries for this program"},
    {"rd", OPT_FLAG, nullptr, 0, 0,
     "disable use of the registry for this program\r\r\n     (will use .ini file instead unless -id specified"},
    {"rr", OPT_FLAG, nullptr, 0, 0, "read initialization values from registry"},
    {"rw", OPT_FLAG, nullptr, 0, 0, "write initialization values back to registry"},
    {"if", OPT_STRING, ini_path_buffer, static_cast<int32_t>(INI_PATH_SIZE), 0, "specify ini filename"},
    {"id", OPT_FLAG, nullptr, 0, 0, "disable use of ini file for this program"},
    {"ir", OPT_FLAG, nullptr, 0, 0, "read initialization values from ini file"},
    {"iw", OPT_FLAG, nullptr, 0, 0,
     "write initialization values back to ini file\r\r\n"
     "     NOTE: avoid using registry and ini-file at the same time\r\r\n"
     "     Exception: -rr -iw to export registry to ini-file and\r\r\n"
     "                -ir -rw to export ini-file to registry"},
    {"as", OPT_FLAG, nullptr, 0, 0, "start automatically, i.e. no need to klick start button"},
    {"pp", OPT_NUMBER, nullptr, 0, 0,
     "set process priority for dialog\r\r\n       (0:idle, 1:normal, 2:high, 3:realtime)"},
    {"pt", OPT_NUMBER, nullptr, 0, 0,
     "set priority for processing thread\r\r\n"
     "       (0:idle, 1:lowest, 2:below normal, 3:normal,\r\r\n"
     "        4:above normal, 5:highest, 6:time critical)"},
};
const uint32_t option_count = OPTION_COUNT;

WindowValues window_values{};
uint32_t version_value = VERSION_MINOR;
History history{};

SettingEntry settings_table[SETTINGS_ROW_COUNT] = {
    {WINDOW_SECTION, "PosX", REG_DWORD, SF_OVERWRITE, &window_values.pos_x, 1},
    {WINDOW_SECTION, "PosY", REG_DWORD, SF_OVERWRITE, &window_values.pos_y, 1},
    {WINDOW_SECTION, "Width", REG_DWORD, SF_OVERWRITE, &window_values.width, 1},
    {WINDOW_SECTION, "Height", REG_DWORD, SF_OVERWRITE, &window_values.height, 1},
    {"Program", "Version", REG_DWORD, SF_OVERWRITE, &version_value, 1},
    {HISTORY_SECTION, "History", REG_MULTI_SZ, SF_OVERWRITE, history.buffer,
     static_cast<uint32_t>(HISTORY_BUFFER_SIZE)},
};

SettingsStore settings_store = {
    ROOT_CURRENT_USER, REGISTRY_KEY_PATH, DEFAULT_INI_NAME, settings_table, 0, SETTINGS_ROW_COUNT,
};

LayoutEntry main_layout_table[MAIN_LAYOUT_ROW_COUNT] = {
    {0, 0, 0, 0, 0, 0},
    {IDC_STATUS, 0, 0, 0, 0, LF_STRETCH_X | LF_STRETCH_Y | LF_SHIFT_Y},
    {IDC_PROGRAM, 0, 0, 0, 0, LF_STRETCH_X},
    {IDC_TIME, 0, 0, 0, 0, LF_STRETCH_X},
    {IDC_INFO, 0, 0, 0, 0, 0},
    {IDC_START, 0, 0, 0, 0, LF_SHIFT_X},
    {IDC_CANCEL, 0, 0, 0, 0, LF_SHIFT_X},
    {IDC_EXIT, 0, 0, 0, 0, LF_SHIFT_X},
};

Layout main_layout = {main_layout_table, MAIN_LAYOUT_ROW_COUNT, 0, 0, 0, 0, false};
