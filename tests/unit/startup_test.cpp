#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>

// The program's own switches, parsed as at start-up, and the storage mode they give; every parse
// starts from the program's table again.
TEST(Startup, SwitchesGiveTheStorageMode) {
    const struct {
        const char* line;
        uint32_t mode;
    } rows[] = {{"-rc -rr -rw -if=k.ini -ir -iw -as -pp=3 -pt=6", 0xF},
                {"", 0x3},
                {"-rd", 0xC},
                {"-id", 0x3},
                {"-rd -id", 0x0},
                {"-rr -iw", 0x9},
                {"-ir -rw", 0x6},
                {"-rw -rd", 0x0},
                {"-iw -id", 0x0},
                {"-rd -ir", 0x4},
                {"-id -rr", 0x1}};
    ProgramOptions options;
    for (const auto& row : rows) {
        parse_program_options(row.line, options);
        EXPECT_STREQ(options.error_text, "") << row.line;
        EXPECT_EQ(compute_storage_mode(options.rows), row.mode) << row.line;
    }
    parse_program_options(rows[0].line, options);
    parse_program_options(nullptr, options);
    std::string given;
    for (const OptionEntry& row : options.rows) {
        given += std::to_string(row.present) + (row.kind == OPT_NUMBER ? std::to_string(row.value) : "");
    }
    EXPECT_EQ(given + options.ini_path, "0000000000000");
    EXPECT_EQ(compute_storage_mode(nullptr), 0x3u);
}

TEST(Startup, PriorityIndexIsClampedAsSigned) {
    const int32_t values[] = {INT32_MIN, -1, 0, 2, 3, 4, INT32_MAX};
    const uint32_t indexes[] = {0, 0, 0, 2, 3, 3, 3};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(clamp_priority_index(values[i]), indexes[i]) << values[i];
    }
}
