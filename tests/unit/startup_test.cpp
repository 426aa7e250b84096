#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Startup, StorageModeFromSwitches) {
    struct Row {
        const char* line;
        uint32_t mode;
    };
    const Row rows[] = {
        {"", 0x3},        {"-rd", 0xC},     {"-id", 0x3},     {"-rd -id", 0x0},
        {"-rr -iw", 0x9}, {"-ir -rw", 0x6}, {"-ir", 0x4},     {"-rw -rd", 0x0},
        {"-rr -rd", 0x0}, {"-iw -id", 0x0}, {"-rd -ir", 0x4}, {"-rr -rw -ir -iw", 0xF},
        {"-rc -as", 0x3}, {"-rd -iw", 0x8}, {"-id -rr", 0x1},
    };
    for (const Row& row : rows) {
        // The parser fills a copy of the program's table, as the start-up does with the real one.
        OptionEntry table[OPTION_COUNT];
        memcpy(table, option_table, sizeof table);
        char ini[INI_PATH_SIZE] = "";
        table[OPTION_IF].dest = ini;
        for (OptionEntry& entry : table) {
            entry.present = 0;
        }
        char error[OPTION_ERROR_SIZE];
        parse_command_line(table, OPTION_COUNT, row.line, error);
        ASSERT_STREQ(error, "") << row.line;
        EXPECT_EQ(compute_storage_mode(table), row.mode) << row.line;
    }
}

TEST(Startup, PriorityIndexIsClampedAsSigned) {
    const int32_t values[] = {INT32_MIN, -1, 0, 1, 2, 3, 4, 7, INT32_MAX};
    const uint32_t expected[] = {0, 0, 0, 1, 2, 3, 3, 3, 3};
    for (size_t i = 0; i < sizeof values / sizeof values[0]; i++) {
        EXPECT_EQ(clamp_priority_index(values[i]), expected[i]) << values[i];
    }
}
