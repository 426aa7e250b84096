#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>

#include "app/program_state.h"

// The program's own switches, parsed as at start-up, and the storage mode they give.
TEST(Startup, SwitchesGiveTheStorageMode) {
    std::string present;
    for (const OptionEntry& row : option_table) {
        present += row.present ? '1' : '0';
    }
    EXPECT_EQ(present, "00000000000") << "nothing is given before the parse";
    const struct {
        const char* line;
        uint32_t mode;
    } rows[] = {
        {"", 0x3},
        {"-rd", 0xC},
        {"-id", 0x3},
        {"-rd -id", 0x0},
        {"-rr -iw", 0x9},
        {"-ir -rw", 0x6},
        {"-rw -rd", 0x0},
        {"-iw -id", 0x0},
        {"-rd -ir", 0x4},
        {"-id -rr", 0x1},
        {"-rc -rr -rw -if=k.ini -ir -iw -as -pp=3 -pt=6", 0xF},
    };
    for (const auto& row : rows) {
        for (OptionEntry& entry : option_table) {
            entry.present = 0;
        }
        char error[OPTION_ERROR_SIZE];
        parse_command_line(option_table, option_count, row.line, error);
        EXPECT_STREQ(error, "") << row.line;
        EXPECT_EQ(compute_storage_mode(option_table), row.mode) << row.line;
    }
    present.clear();
    for (const OptionEntry& row : option_table) {
        present += row.present ? '1' : '0';
    }
    EXPECT_EQ(present, "10111011111");
    EXPECT_EQ(option_table[OPTION_PP].value, 3);
    EXPECT_EQ(option_table[OPTION_PT].value, 6);
    EXPECT_STREQ(ini_path_buffer, "k.ini");
}

TEST(Startup, PriorityIndexIsClampedAsSigned) {
    const int32_t values[] = {INT32_MIN, -1, 0, 2, 3, 4, INT32_MAX};
    const uint32_t expected[] = {0, 0, 0, 2, 3, 3, 3};
    for (size_t i = 0; i < 7; i++) {
        EXPECT_EQ(clamp_priority_index(values[i]), expected[i]) << values[i];
    }
}
