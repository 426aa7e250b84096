#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>

// The program's own switches, parsed as at start-up: the rejected ones, the storage mode, the two
// numbers and the ini path; every parse starts from the program's table again.
TEST(Startup, SwitchesGiveTheStorageModeAndNumbers) {
    const std::pair<const char*, const char*> rows[] = {
        {"-rc -rr -rw -if=k.ini -ir -iw -as -pp=0X0A -pt=010", "15 10 8 k.ini"},
        {nullptr, "3 0 0 "},
        {"-rd -pp=0x1 -pt=08", "12 1 0 "},
        {"-id -pp=0x -pt=-0x10", "3 0 -16 "},
        {"-rd -id -pp=\" \t\r+3abc\" -pt=2147483647", "0 3 2147483647 "},
        {"-rr -iw -pp=-2147483648 -pt=ON", "9 -2147483648 1 "},
        {"-ir -rw -pp=oFf -pt=2147483648", "-pt=2147483648 (invalid value)6 0 0 "},
        {"-rw -rd -pp=-21474836480 -pt=o", "-pp=-21474836480 (invalid value)-pt=o (invalid value)0 0 0 "},
        {"-iw -id -pp=onx", "-pp=onx (invalid value)0 0 0 "},
        {"-rd -ir -pt=x", "-pt=x (invalid value)4 0 0 "},
        {"-id -rr", "1 0 0 "},
    };
    ProgramOptions options;
    for (const auto& [line, expect] : rows) {
        parse_program_options(line, options);
        EXPECT_EQ(options.error_text + std::to_string(compute_storage_mode(options.rows)) + " " +
                      std::to_string(options.rows[OPTION_PP].value) + " " +
                      std::to_string(options.rows[OPTION_PT].value) + " " + options.ini_path,
                  expect)
            << (line != nullptr ? line : "null");
    }
    std::string indexes = std::to_string(compute_storage_mode(nullptr)) + " ";
    for (int32_t value : {INT32_MIN, -1, 0, 2, 3, 4, INT32_MAX}) {
        indexes += std::to_string(clamp_priority_index(value));
    }
    EXPECT_EQ(indexes, "3 0002333") << "without a table both registry modes; -pp clamped as a signed number";
}
