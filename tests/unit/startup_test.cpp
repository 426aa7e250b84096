#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/program_state.h"

namespace {

std::string given_switches() {
    std::string present;
    for (const OptionEntry& row : option_table) {
        present += row.present ? '1' : '0';
    }
    return present;
}

}  // namespace

// The program's own switches, parsed as at start-up, and the storage mode they give.
TEST(Startup, SwitchesGiveTheStorageMode) {
    EXPECT_EQ(given_switches(), "00000000000") << "nothing is given before the parse";
    const std::pair<const char*, uint32_t> rows[] = {
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
    for (const auto& [line, mode] : rows) {
        for (OptionEntry& entry : option_table) {
            entry.present = false;
        }
        char error[OPTION_ERROR_SIZE];
        parse_command_line(option_table, option_count, line, error);
        EXPECT_STREQ(error, "") << line;
        EXPECT_EQ(compute_storage_mode(option_table), mode) << line;
    }
    EXPECT_EQ(given_switches(), "10111011111");
    EXPECT_EQ(option_table[OPTION_PP].value + option_table[OPTION_PT].value * 10, 63);
    EXPECT_STREQ(ini_path_buffer, "k.ini");
}

TEST(Startup, PriorityIndexIsClampedAsSigned) {
    const std::pair<int32_t, uint32_t> rows[] = {{INT32_MIN, 0}, {-1, 0}, {0, 0},        {2, 2},
                                                 {3, 3},         {4, 3},  {INT32_MAX, 3}};
    for (const auto& [value, index] : rows) {
        EXPECT_EQ(clamp_priority_index(value), index) << value;
    }
}
