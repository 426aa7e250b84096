#include "config/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/startup.h"

namespace {

// Parses into a copy of the program's rows with a private ini buffer; the error text has a guard
// tail that must survive.
struct Parsed {
    char ini[INI_PATH_SIZE] = "";
    OptionEntry rows[OPTION_COUNT];
    char error[OPTION_ERROR_SIZE + 16];
    explicit Parsed(const char* line) {
        memcpy(rows, option_table, sizeof rows);
        for (OptionEntry& row : rows) {
            row.present = 0;
            row.value = row.kind == OPT_NUMBER ? 0 : row.value;
        }
        rows[OPTION_IF].dest = ini;
        memset(error, 'Z', sizeof error);
        parse_command_line(rows, OPTION_COUNT, line, error);
    }
    std::string present() const {
        std::string flags;
        for (const OptionEntry& row : rows) {
            flags += row.present ? '1' : '0';
        }
        return flags;
    }
    bool guard_intact() const { return std::string(error + OPTION_ERROR_SIZE, 16) == std::string(16, 'Z'); }
};

}  // namespace

TEST(ParseCommandLine, ProgramTableCases) {
    struct Row {
        const char* line;
        const char* error;
        const char* present;  // rc rd rr rw if id ir iw as pp pt
        int32_t pp;
        const char* ini;
    };
    const Row rows[] = {
        {nullptr, "", "00000000000", 0, ""},
        {"", "", "00000000000", 0, ""},
        {"    ", "", "00000000000", 0, ""},
        {"-as", "", "00000000100", 0, ""},
        {"/as", "", "00000000100", 0, ""},
        {"-as=1", "", "00000000100", 0, ""},
        {"-AS", "-AS", "00000000000", 0, ""},
        {"-rcx -r", "-rcx -r", "00000000000", 0, ""},
        {"/xyz=5", "/xyz=5", "00000000000", 0, ""},
        {"-as\t-rc", "-as\t-rc", "00000000000", 0, ""},
        {"-rc -rd -rr -rw -if=k.ini -id -ir -iw -as -pp=3 -pt=6", "", "11111111111", 3, "k.ini"},
        {"-pp=2", "", "00000000010", 2, ""},
        {"-pp=0x3", "", "00000000010", 3, ""},
        {"-pp=010", "", "00000000010", 8, ""},
        {"-pp=3abc", "", "00000000010", 3, ""},
        {"-pp=-1", "", "00000000010", -1, ""},
        {"-pp=\" \t-0x10\"", "", "00000000010", -16, ""},
        {"-pp=ON", "", "00000000010", 1, ""},
        {"-pp=Off", "", "00000000010", 0, ""},
        {"-pp=2147483647", "", "00000000010", INT32_MAX, ""},
        {"-pp=x", "-pp=x (invalid value)", "00000000000", 0, ""},
        {"-pp", "-pp (invalid value)", "00000000000", 0, ""},
        {"-pp=", "-pp= (invalid value)", "00000000000", 0, ""},
        {"-pp=onx", "-pp=onx (invalid value)", "00000000000", 0, ""},
        {"-pp=2147483648", "-pp=2147483648 (invalid value)", "00000000000", 0, ""},
        {"-pp=-2147483649", "-pp=-2147483649 (invalid value)", "00000000000", 0, ""},
        {"-pp=0x80000000", "-pp=0x80000000 (invalid value)", "00000000000", 0, ""},
        {"-pp=1 -pp=2", "-pp=2 (duplicate parameter)", "00000000010", 2, ""},
        {"-pp=1 -pp=x", "-pp=x (duplicate parameter) -pp=x (invalid value)", "00000000000", 1, ""},
        {"-pp=x -zz", "-pp=x (invalid value)-zz", "00000000000", 0, ""},
        {"-pp=x -pp=2", "-pp=x (invalid value)", "00000000010", 2, ""},
        {"-if=\"C:\\My Files\\k 1.ini\"", "", "00001000000", 0, "C:\\My Files\\k 1.ini"},
        {"-if=a=b -if=\"unclosed c", "", "00001000000", 0, "unclosed c"},
        {"-if", "-if (invalid value)", "00000000000", 0, ""},
        {"-if=\"a b\"x", "", "00001000000", 0, "a b"},
        {"\"-as\" word", "", "00000000000", 0, ""},
        {"- as", "-", "00000000000", 0, ""},
        {"-as -", "-", "00000000100", 0, ""},
        {"/ -zz", "/ -zz", "00000000000", 0, ""},
    };
    for (const Row& row : rows) {
        Parsed parsed(row.line);
        const char* line = row.line ? row.line : "(null)";
        EXPECT_STREQ(parsed.error, row.error) << line;
        EXPECT_EQ(parsed.present(), row.present) << line;
        EXPECT_EQ(parsed.rows[OPTION_PP].value, row.pp) << line;
        EXPECT_STREQ(parsed.ini, row.ini) << line;
    }
}

TEST(ParseCommandLine, LongInputsStayWithinTheirBuffers) {
    std::string path(259, 'p');
    path[3] = ' ';
    std::string line = "-if=\"" + path + "\" -as";
    Parsed whole(line.c_str());
    EXPECT_STREQ(whole.error, "");
    EXPECT_EQ(whole.ini, path);
    EXPECT_EQ(whole.present(), "00001000100");
    // One more would be cut to another file's name: refused and reported instead.
    line = "-if=\"" + path + "q\" -as";
    Parsed over(line.c_str());
    EXPECT_STREQ(over.ini, "");
    EXPECT_EQ(over.present(), "00000000100");
    EXPECT_EQ(over.error, ("-if=" + path + "q (invalid value)").substr(0, OPTION_ERROR_SIZE - 1));

    // Beyond the token buffer: reported (cut to the error text) and not used; parsing goes on.
    std::string huge = "-if=" + std::string(400, 'h');
    line = huge + " -as -zz";
    Parsed too_long(line.c_str());
    EXPECT_EQ(too_long.present(), "00000000100");
    EXPECT_STREQ(too_long.ini, "");
    EXPECT_EQ(too_long.error, huge.substr(0, OPTION_ERROR_SIZE - 1));
    EXPECT_TRUE(too_long.guard_intact());

    // Many joined messages are cut at the end of the error text.
    std::string expected;
    for (int i = 0; i < 20; i++) {
        expected += "-pp=bad (invalid value)";
    }
    line.clear();
    for (int i = 0; i < 20; i++) {
        line += "-pp=bad ";
    }
    Parsed many(line.c_str());
    EXPECT_EQ(many.error, expected.substr(0, OPTION_ERROR_SIZE - 1));
    EXPECT_TRUE(many.guard_intact());
}

TEST(ParseCommandLine, CustomRowsTakePositionalsInOrderAndRespectSizes) {
    struct Row {
        const char* line;
        const char* first;
        const char* second;
        const char* present;  // a, pos (size 8), b, pos (size 4), pos without buffer, string without room
        const char* error;
    };
    const Row rows[] = {
        {"one two three", "one", "two", "010100", ""},
        {"\"x y\" -a -s=new", "x y", "", "110000", ""},
        {"-b=1 abcdefghij xyzw", "abcdefg", "xyz", "011100", ""},
        {"-pos", "", "", "000000", "-pos"},
    };
    for (const Row& row : rows) {
        char first[8] = "", second[4] = "", room[4] = "old";
        OptionEntry table[] = {
            {"a", OPT_FLAG, nullptr, 0, 0, ""},       {"pos", OPT_POSITIONAL, first, sizeof first, 0, ""},
            {"b", OPT_NUMBER, nullptr, 0, 0, ""},     {"pos", OPT_POSITIONAL, second, sizeof second, 0, ""},
            {"c", OPT_POSITIONAL, nullptr, 0, 0, ""}, {"s", OPT_STRING, room, 0, 0, ""},
        };
        char error[OPTION_ERROR_SIZE];
        parse_command_line(table, 6, row.line, error);
        std::string present;
        for (const OptionEntry& entry : table) {
            present += entry.present ? '1' : '0';
        }
        EXPECT_STREQ(first, row.first) << row.line;
        EXPECT_STREQ(second, row.second) << row.line;
        EXPECT_STREQ(room, "old") << row.line;
        EXPECT_EQ(present, row.present) << row.line;
        EXPECT_STREQ(error, row.error) << row.line;
    }
}
