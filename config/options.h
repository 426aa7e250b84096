// The command-line option table and its parser.
#ifndef KELVAST_OPTIONS_H
#define KELVAST_OPTIONS_H

#include <cstddef>
#include <cstdint>

enum OptionKind : int32_t {
    OPT_FLAG = 1000,
    OPT_NUMBER = 1001,
    OPT_STRING = 1002,
    OPT_POSITIONAL = 1003,
};

struct OptionEntry {
    const char* name;
    int32_t kind;
    char* dest;     // OPT_STRING / OPT_POSITIONAL value buffer, may be null
    int32_t value;  // OPT_NUMBER: the number; otherwise the size of dest
    bool present;   // given with an acceptable value
    const char* description;
    // OPT_NUMBER: the values accepted; any other is an invalid value.
    int32_t lowest = INT32_MIN;
    int32_t highest = INT32_MAX;
};

constexpr size_t OPTION_ERROR_SIZE = 128;
constexpr size_t INI_PATH_SIZE = 260;  // 259 characters and the zero byte
// Room for "if=" and a 259-character path; the quotes are removed.
constexpr size_t TOKEN_SIZE = 272;

// Rows of the program's option table, in table order.
enum OptionRow : uint32_t {
    OPTION_RC,
    OPTION_RD,
    OPTION_RR,
    OPTION_RW,
    OPTION_IF,
    OPTION_ID,
    OPTION_IR,
    OPTION_IW,
    OPTION_AS,
    OPTION_PP,
    OPTION_PT,
    OPTION_CU,
    OPTION_COUNT
};

// Copies one token starting at `text` into `token` (double quotes removed) and returns the number
// of characters consumed. A token longer than size - 1 (size at least 1) is cut, still consumed
// whole, and *cut is set.
size_t next_token(const char* text, char* token, size_t size, bool* cut);

// Parses the command-line tail into `table`; rejected parameters go into `error_text`
// (OPTION_ERROR_SIZE bytes), cut at its end when they no longer fit. `text` may be null.
// Beyond the usual messages: a token that does not fit TOKEN_SIZE is reported with its cut text
// and not used; an OPT_NUMBER value outside int32_t and an OPT_STRING switch without '=' are
// reported as invalid values and store nothing; a positional token longer than its row's
// buffer is cut to fit.
void parse_command_line(OptionEntry* table, uint32_t count, const char* text, char* error_text);

#endif
