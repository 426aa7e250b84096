#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string given(const ProgramOptions& options) {
    std::string present;
    for (const OptionEntry& row : options.rows) {
        present += row.present ? '1' : '0';
    }
    return present + " " + std::to_string(options.rows[OPTION_PP].value) + " " +
           std::to_string(options.rows[OPTION_PT].value) + " " + options.ini_path;
}

}  // namespace

// The program's own switches, parsed as at start-up, and the storage mode they give; every parse
// starts from the program's table again.
TEST(Startup, SwitchesGiveTheStorageMode) {
    const std::pair<const char*, uint32_t> rows[] = {
        {"-rc -rr -rw -if=k.ini -ir -iw -as -pp=3 -pt=6", 0xF},
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
    };
    ProgramOptions options;
    for (const auto& [line, mode] : rows) {
        parse_program_options(line, options);
        EXPECT_STREQ(options.error_text, "") << line;
        EXPECT_EQ(compute_storage_mode(options.rows), mode) << line;
        if (line == rows[0].first) {
            EXPECT_EQ(given(options), "10111011111 3 6 k.ini");
        }
    }
    parse_program_options(nullptr, options);
    EXPECT_EQ(given(options), "00000000000 0 0 ");
}

TEST(Startup, PriorityIndexIsClampedAsSigned) {
    const std::pair<int32_t, uint32_t> rows[] = {{INT32_MIN, 0}, {-1, 0}, {0, 0},        {2, 2},
                                                 {3, 3},         {4, 3},  {INT32_MAX, 3}};
    for (const auto& [value, index] : rows) {
        EXPECT_EQ(clamp_priority_index(value), index) << value;
    }
}
