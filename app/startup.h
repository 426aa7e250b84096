// The start-up decisions that depend only on the switches, and the program's switch table.
#ifndef KELVAST_STARTUP_H
#define KELVAST_STARTUP_H

#include <cstdint>

#include "config/ini_path.h"
#include "config/options.h"
#include "ui/main_settings.h"

// The program's switches as the parser and the information dialog read them: names, kinds and
// descriptions only. A run parses into a copy of its own (ProgramOptions).
extern const OptionEntry option_table[OPTION_COUNT];
extern const uint32_t option_count;

// What one run's command line gave: the rows with their present flags and values, the rejected
// parameters, and the buffer the -if row writes into.
struct ProgramOptions {
    OptionEntry rows[OPTION_COUNT];
    char error_text[OPTION_ERROR_SIZE];
    char ini_path[INI_PATH_SIZE];
};

// Fills `options` from the command-line tail (`command_line` may be null).
void parse_program_options(const char* command_line, ProgramOptions& options);

// StorageMode bits from -rr -rw -ir -iw -rd -id.
uint32_t compute_storage_mode(const OptionEntry* table);
// The store's mode from the switches and its ini file from -if (else Kelvast.ini), resolved. An ini
// path that cannot be resolved leaves the ini file unused this run rather than another file written.
void choose_stores(const ProgramOptions& options, PathQueries& paths, MainSettings& settings);
// How long ago a missed run may have been due for -cu to make it up.
constexpr int32_t MAX_CATCH_UP_HOURS = 24;
uint32_t catch_up_seconds(const ProgramOptions& options);
// Index 0..3 into the priority class table from the -pp value.
uint32_t clamp_priority_index(int32_t value);

#endif
