#include "app/startup.h"

#include <cstring>

#include "config/settings_store.h"

const OptionEntry option_table[OPTION_COUNT] = {
    {"rc", OPT_FLAG, nullptr, 0, 0, "clear registry entries for this program"},
    {"rd", OPT_FLAG, nullptr, 0, 0,
     "disable use of the registry for this program\r\r\n     (will use .ini file instead unless -id specified"},
    {"rr", OPT_FLAG, nullptr, 0, 0, "read initialization values from registry"},
    {"rw", OPT_FLAG, nullptr, 0, 0, "write initialization values back to registry"},
    {"if", OPT_STRING, nullptr, static_cast<int32_t>(INI_PATH_SIZE), 0, "specify ini filename"},
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

void parse_program_options(const char* command_line, ProgramOptions& options) {
    memcpy(options.rows, option_table, sizeof options.rows);
    options.ini_path[0] = '\0';
    options.rows[OPTION_IF].dest = options.ini_path;
    options.rows[OPTION_IF].value = static_cast<int32_t>(sizeof options.ini_path);
    options.error_text[0] = '\0';
    parse_command_line(options.rows, OPTION_COUNT, command_line, options.error_text);
}

uint32_t compute_storage_mode(const OptionEntry* table) {
    if (table == nullptr) {
        return MODE_READ_REGISTRY | MODE_WRITE_REGISTRY;
    }
    auto given = [table](OptionRow row) { return table[row].present != 0; };
    uint32_t mode = 0;
    if (given(OPTION_RR)) {
        mode |= MODE_READ_REGISTRY;
    }
    if (given(OPTION_RW)) {
        mode |= MODE_WRITE_REGISTRY;
    }
    if (given(OPTION_IR)) {
        mode |= MODE_READ_INI;
    }
    if (given(OPTION_IW)) {
        mode |= MODE_WRITE_INI;
    }
    if (mode == 0) {
        mode = given(OPTION_RD) ? (MODE_READ_INI | MODE_WRITE_INI) : (MODE_READ_REGISTRY | MODE_WRITE_REGISTRY);
    }
    // A disable wins over an explicit request.
    if (given(OPTION_RD)) {
        mode &= ~static_cast<uint32_t>(MODE_READ_REGISTRY | MODE_WRITE_REGISTRY);
    }
    if (given(OPTION_ID)) {
        mode &= ~static_cast<uint32_t>(MODE_READ_INI | MODE_WRITE_INI);
    }
    return mode;
}

uint32_t clamp_priority_index(int32_t value) {
    if (value < 0) {
        return 0;
    }
    if (value > 3) {
        return 3;
    }
    return static_cast<uint32_t>(value);
}
