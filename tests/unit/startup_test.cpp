#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// The program's switches as parsed at start-up, each time from its table: rejected ones, storage
// mode, the two numbers, the time a missed run may be made up in and the ini path.
TEST(Startup, SwitchesGiveTheStorageModeAndNumbers) {
    const std::pair<const char*, const char*> rows[] = {
        {"-rc -rr -rw -if=k.ini -ir -iw -as -pp=0X0A -pt=010 -cu=24", "15 10 8 86400 k.ini"},
        {nullptr, "3 0 0 0 "},
        {"-rd -pp=0x1 -pt=08 -cu=0x1", "12 1 0 3600 "},
        {"-id -pp=0x -pt=-0x10 -cu=25", "-cu=25 (invalid value)3 0 -16 0 "},
        {"-rd -id -pp=\" \t\r+3abc\" -pt=2147483647 -cu=-1", "-cu=-1 (invalid value)0 3 2147483647 0 "},
        {"-rr -iw -pp=-2147483648 -pt=ON -cu=on", "9 -2147483648 1 3600 "},
        {"-ir -rw -pp=oFf -pt=2147483648 -cu", "-pt=2147483648 (invalid value)-cu (invalid value)6 0 0 0 "},
        {"-rw -rd -pp=-21474836480 -pt=o", "-pp=-21474836480 (invalid value)-pt=o (invalid value)0 0 0 0 "},
        {"-iw -id -pp=onx", "-pp=onx (invalid value)0 0 0 0 "},
        {"-rd -ir -pt=x", "-pt=x (invalid value)4 0 0 0 "},
        {"-id -rr -cu=0", "1 0 0 0 "},
    };
    ProgramOptions options;
    for (const auto& [line, expect] : rows) {
        parse_program_options(line, options);
        EXPECT_EQ(options.error_text + std::to_string(compute_storage_mode(options.rows)) + " " +
                      std::to_string(options.rows[OPTION_PP].value) + " " +
                      std::to_string(options.rows[OPTION_PT].value) + " " + std::to_string(catch_up_seconds(options)) +
                      " " + options.ini_path,
                  expect)
            << (line != nullptr ? line : "null");
    }
    std::string indexes = std::to_string(compute_storage_mode(nullptr)) + " ";
    for (int32_t value : {INT32_MIN, -1, 0, 2, 3, 4, INT32_MAX}) {
        indexes += std::to_string(clamp_priority_index(value));
    }
    EXPECT_EQ(indexes, "3 0002333") << "without a table both registry modes; -pp clamped as a signed number";
}

namespace {

// The program's path and the current directory as the platform answers for them; "" fails.
struct FakePaths : PathQueries {
    FakePaths(std::string program_path, std::string current_path) : program(program_path), current(current_path) {}
    std::string program, current;
    uint32_t program_path(char* out, uint32_t size) override {
        out[program.copy(out, size - 1)] = '\0';
        return static_cast<uint32_t>(std::min<size_t>(program.size(), size));
    }
    uint32_t full_path(const char* path, char* out, uint32_t size) override {
        const std::string full = current.empty() ? "" : current + "\\" + path;
        out[full.copy(out, size - 1)] = '\0';
        return static_cast<uint32_t>(full.size() < size ? full.size() : full.size() + 1);
    }
};

}  // namespace

// The ini file beside the program, as given, or from the current directory; unresolved, none is used.
TEST(Startup, IniPathRules) {
    const std::string tools = "C:\\Tools\\kelvast.exe", cwd = "C:\\cwd", deep = "C:\\" + std::string(250, 'd');
    const struct {
        const char* switches;
        std::string program, current, expect;
    } rows[] = {
        {"-rd", tools, cwd, "C:\\Tools\\Kelvast.ini 12"},
        {"-rd", deep + "\\kelvast.exe", cwd, " 0"},
        {"-rd", "C:\\" + std::string(300, 'x'), cwd, " 0"},
        {"-rr -iw", "kelvast.exe", cwd, " 1"},
        {"-rr -iw -if=a:\\k.ini", "", "", "a:\\k.ini 9"},
        {"-if=Z:/k.ini", "", "", "Z:/k.ini 3"},
        {"-ir -if=\\\\srv\\s\\k.ini", "", "", "\\\\srv\\s\\k.ini 4"},
        {"-ir -if=\\k.ini", tools, cwd, "C:\\cwd\\\\k.ini 4"},
        {"-ir -if=C:k.ini", tools, cwd, "C:\\cwd\\C:k.ini 4"},
        {"-ir -if=1:\\k.ini", tools, cwd, "C:\\cwd\\1:\\k.ini 4"},
        {"-rd -if=ab\\k.ini", tools, "", " 0"},
        {"-rd -if=a\\k.ini", tools, deep, " 0"},
    };
    for (const auto& row : rows) {
        ProgramOptions options;
        parse_program_options(row.switches, options);
        FakePaths paths(row.program, row.current);
        MainSettings settings;
        choose_stores(options, paths, settings);
        EXPECT_EQ(settings.store.ini_path + (" " + std::to_string(settings.store.mode)), row.expect) << row.switches;
    }
    FakePaths none("", "");
    char out[2] = "x";
    EXPECT_FALSE(resolve_ini_path("C:\\k", none, out, 0) || resolve_ini_path("C:\\k", none, nullptr, 2));
    EXPECT_EQ(out[0], 'x') << "nothing written without room";
    EXPECT_FALSE(resolve_ini_path(nullptr, none, out, 2) || out[0] != '\0' || resolve_ini_path("", none, out, 2));
}
