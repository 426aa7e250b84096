#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>

// The program's own switches, parsed as at start-up, and the storage mode they give; every parse
// starts from the program's table again.
TEST(Startup, SwitchesGiveTheStorageMode) {
    const char* const lines[] = {"-rc -rr -rw -if=k.ini -ir -iw -as -pp=3 -pt=6",
                                 "",
                                 "-rd",
                                 "-id",
                                 "-rd -id",
                                 "-rr -iw",
                                 "-ir -rw",
                                 "-rw -rd",
                                 "-iw -id",
                                 "-rd -ir",
                                 "-id -rr"};
    ProgramOptions options;
    std::string modes;
    for (const char* line : lines) {
        parse_program_options(line, options);
        modes += options.error_text + std::to_string(compute_storage_mode(options.rows)) + " ";
    }
    EXPECT_EQ(modes, "15 3 12 3 0 9 6 0 0 4 1 ");
    parse_program_options(lines[0], options);
    parse_program_options(nullptr, options);
    std::string given;
    for (const OptionEntry& row : options.rows) {
        given += std::to_string(row.present) + (row.kind == OPT_NUMBER ? std::to_string(row.value) : "");
    }
    EXPECT_EQ(given + options.ini_path + std::to_string(compute_storage_mode(nullptr)), "00000000000003");
    const int32_t values[] = {INT32_MIN, -1, 0, 2, 3, 4, INT32_MAX};
    std::string indexes;
    for (int32_t value : values) {
        indexes += std::to_string(clamp_priority_index(value));
    }
    EXPECT_EQ(indexes, "0002333") << "the -pp value clamped as a signed number";
}
