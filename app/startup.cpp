#include "app/startup.h"

#include <algorithm>
#include <cstring>

#include "config/ini_path.h"
#include "config/settings_store.h"

namespace {

// Nothing given yet; each run's copy gets the -if row's buffer.
constexpr OptionEntry row(const char* name, OptionKind kind, const char* description, size_t size = 0) noexcept {
    return {name, kind, nullptr, static_cast<int32_t>(size), false, description};
}

constexpr OptionEntry number_row(const char* name, const char* description, int32_t lowest, int32_t highest) noexcept {
    return {name, OPT_NUMBER, nullptr, 0, false, description, lowest, highest};
}

}  // namespace

const OptionEntry option_table[OPTION_COUNT] = {
    row("rc", OPT_FLAG, "clear registry entries for this program"),
    row("rd",
        OPT_FLAG,
        "disable use of the registry for this program\r\r\n     (will use .ini file instead unless -id specified"),
    row("rr", OPT_FLAG, "read initialization values from registry"),
    row("rw", OPT_FLAG, "write initialization values back to registry"),
    row("if", OPT_STRING, "specify ini filename", INI_PATH_SIZE),
    row("id", OPT_FLAG, "disable use of ini file for this program"),
    row("ir", OPT_FLAG, "read initialization values from ini file"),
    row("iw",
        OPT_FLAG,
        "write initialization values back to ini file\r\r\n"
        "     NOTE: avoid using registry and ini-file at the same time\r\r\n"
        "     Exception: -rr -iw to export registry to ini-file and\r\r\n"
        "                -ir -rw to export ini-file to registry"),
    row("as", OPT_FLAG, "start automatically, i.e. no need to klick start button"),
    row("pp", OPT_NUMBER, "set process priority for dialog\r\r\n       (0:idle, 1:normal, 2:high, 3:realtime)"),
    row("pt",
        OPT_NUMBER,
        "set priority for processing thread\r\r\n"
        "       (0:idle, 1:lowest, 2:below normal, 3:normal,\r\r\n"
        "        4:above normal, 5:highest, 6:time critical)"),
    number_row("cu",
               "catch up a run missed at most n hours ago\r\r\n"
               "       (1 to 24; 0: never, as without -cu)",
               0,
               MAX_CATCH_UP_HOURS),
};
const uint32_t option_count = OPTION_COUNT;

void parse_program_options(const char* command_line, ProgramOptions& options) {
    memcpy(options.rows, option_table, sizeof options.rows);
    options.ini_path[0] = '\0';
    options.rows[OPTION_IF].dest = options.ini_path;
    options.rows[OPTION_IF].value = static_cast<int32_t>(sizeof options.ini_path);
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

void choose_stores(const ProgramOptions& options, PathQueries& paths, MainSettings& settings) {
    settings.store.mode = compute_storage_mode(options.rows);
    const char* name = options.rows[OPTION_IF].present ? options.ini_path : DEFAULT_INI_NAME;
    if (!resolve_ini_path(name, paths, settings.ini_path, sizeof settings.ini_path)) {
        settings.store.mode &= ~static_cast<uint32_t>(MODE_READ_INI | MODE_WRITE_INI);
    }
    settings.store.ini_path = settings.ini_path;
}

uint32_t clamp_priority_index(int32_t value) {
    return static_cast<uint32_t>(std::clamp(value, 0, 3));
}

uint32_t catch_up_seconds(const ProgramOptions& options) {
    const OptionEntry& row = options.rows[OPTION_CU];
    return row.present ? static_cast<uint32_t>(row.value) * 3600u : 0u;
}
