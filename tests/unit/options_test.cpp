#include "config/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/program_state.h"

namespace {

// The program's rows on private buffers, so parsing never touches program-wide state.
struct TableCopy {
    char ini[INI_PATH_SIZE];
    OptionEntry rows[OPTION_COUNT];
    TableCopy() {
        memset(ini, 0, sizeof ini);
        memcpy(rows, option_table, sizeof rows);
        for (OptionEntry& row : rows) {
            row.present = 0;
            if (row.kind == OPT_NUMBER) {
                row.value = 0;
            }
        }
        rows[OPTION_IF].dest = ini;
    }
    std::string present() const {
        std::string flags;
        for (const OptionEntry& row : rows) {
            flags += row.present ? '1' : '0';
        }
        return flags;
    }
};

struct Parsed {
    TableCopy table;
    char error[OPTION_ERROR_SIZE + 16];
    explicit Parsed(const char* line) {
        memset(error, 'Z', sizeof error);
        parse_command_line(table.rows, OPTION_COUNT, line, error);
    }
    bool guard_intact() const {
        for (size_t i = OPTION_ERROR_SIZE; i < sizeof error; i++) {
            if (error[i] != 'Z') {
                return false;
            }
        }
        return true;
    }
};

}  // namespace

TEST(NextToken, BlanksAndQuotesDelimitTokens) {
    struct Row {
        const char* text;
        size_t size;
        const char* token;
        size_t consumed;
        bool cut;
    };
    const Row rows[] = {
        {"", 16, "", 0, false},
        {"abc def", 16, "abc", 4, false},
        {"\"a b\"c", 16, "a b", 5, false},
        {"a\"b c\"d", 16, "ab c", 6, false},
        {"\"unclosed x", 16, "unclosed x", 11, false},
        {"a\tb c", 16, "a\tb", 4, false},
        {"\"\" x", 16, "", 2, false},
        {"abc", 4, "abc", 3, false},
        {"abcdef g", 4, "abc", 7, true},
    };
    for (const Row& row : rows) {
        char token[20];
        memset(token, 'Z', sizeof token);
        bool cut = !row.cut;
        EXPECT_EQ(next_token(row.text, token, row.size, &cut), row.consumed) << row.text;
        EXPECT_STREQ(token, row.token) << row.text;
        EXPECT_EQ(cut, row.cut) << row.text;
        EXPECT_EQ(token[row.size], 'Z') << row.text;
    }
}

TEST(ParseCommandLine, ProgramTableCases) {
    struct Row {
        const char* line;
        const char* error;
        const char* present;  // one flag per row: rc rd rr rw if id ir iw as pp pt
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
        {"-as -as", "", "00000000100", 0, ""},
        {"-\"as\"", "", "00000000100", 0, ""},
        {"-AS", "-AS", "00000000000", 0, ""},
        {"-rcx -r", "-rcx -r", "00000000000", 0, ""},
        {"/xyz=5", "/xyz=5", "00000000000", 0, ""},
        {"-as\t-rc", "-as\t-rc", "00000000000", 0, ""},
        {"-rc -rd -rr -rw -if=k.ini -id -ir -iw -as -pp=3 -pt=6", "", "11111111111", 3, "k.ini"},
        // Number reading.
        {"-pp=2", "", "00000000010", 2, ""},
        {"-pp=0x3", "", "00000000010", 3, ""},
        {"-pp=0X1f", "", "00000000010", 31, ""},
        {"-pp=010", "", "00000000010", 8, ""},
        {"-pp=09", "", "00000000010", 0, ""},
        {"-pp=0x", "", "00000000010", 0, ""},
        {"-pp=3abc", "", "00000000010", 3, ""},
        {"-pp=-1", "", "00000000010", -1, ""},
        {"-pp=+7", "", "00000000010", 7, ""},
        {"-pp=-0x10", "", "00000000010", -16, ""},
        {"-pp=\" \t5\"", "", "00000000010", 5, ""},
        {"-pp=ON", "", "00000000010", 1, ""},
        {"-pp=Off", "", "00000000010", 0, ""},
        {"-pp=2147483647", "", "00000000010", 2147483647, ""},
        {"-pp=-2147483648", "", "00000000010", INT32_MIN, ""},
        // Invalid values.
        {"-pp=x", "-pp=x (invalid value)", "00000000000", 0, ""},
        {"-pp", "-pp (invalid value)", "00000000000", 0, ""},
        {"-pp=", "-pp= (invalid value)", "00000000000", 0, ""},
        {"-pp=\"\"", "-pp= (invalid value)", "00000000000", 0, ""},
        {"-pp=-", "-pp=- (invalid value)", "00000000000", 0, ""},
        {"-pp=onx", "-pp=onx (invalid value)", "00000000000", 0, ""},
        {"-pp=2147483648", "-pp=2147483648 (invalid value)", "00000000000", 0, ""},
        {"-pp=-2147483649", "-pp=-2147483649 (invalid value)", "00000000000", 0, ""},
        {"-pp=0x80000000", "-pp=0x80000000 (invalid value)", "00000000000", 0, ""},
        {"-pp=99999999999999999999999", "-pp=99999999999999999999999 (invalid value)", "00000000000", 0, ""},
        // Repetitions and joined messages.
        {"-pp=1 -pp=2", "-pp=2 (duplicate parameter)", "00000000010", 2, ""},
        {"-pp=1 -pp=2 -pp=3", "-pp=2 (duplicate parameter) -pp=3 (duplicate parameter)", "00000000010", 3, ""},
        {"-pp=1 -pp=x", "-pp=x (duplicate parameter) -pp=x (invalid value)", "00000000000", 1, ""},
        {"-pp=x -zz", "-pp=x (invalid value)-zz", "00000000000", 0, ""},
        {"-pp=x -pp=2", "-pp=x (invalid value)", "00000000010", 2, ""},
        {"-zz -yy", "-zz -yy", "00000000000", 0, ""},
        // Strings, quotes and positional parameters.
        {"-if=\"C:\\My Files\\k 1.ini\"", "", "00001000000", 0, "C:\\My Files\\k 1.ini"},
        {"-if=a=b", "", "00001000000", 0, "a=b"},
        {"-if=a -if=b", "", "00001000000", 0, "b"},
        {"-if=", "", "00001000000", 0, ""},
        {"-if", "-if (invalid value)", "00000000000", 0, ""},
        {"-if=\"a b\"x", "", "00001000000", 0, "a b"},
        {"\"-as\"", "", "00000000000", 0, ""},
        {"word -as", "", "00000000100", 0, ""},
        {"- as", "-", "00000000000", 0, ""},
        {"- -as", "-", "00000000100", 0, ""},
        {"-as -", "-", "00000000100", 0, ""},
        {"/ -zz", "/ -zz", "00000000000", 0, ""},
    };
    for (const Row& row : rows) {
        Parsed parsed(row.line);
        const char* line = row.line ? row.line : "(null)";
        EXPECT_STREQ(parsed.error, row.error) << line;
        EXPECT_EQ(parsed.table.present(), row.present) << line;
        EXPECT_EQ(parsed.table.rows[OPTION_PP].value, row.pp) << line;
        EXPECT_STREQ(parsed.table.ini, row.ini) << line;
    }
}

TEST(ParseCommandLine, LongIniPathsAndTokens) {
    // A full-length path with blanks, quoted, fits whole.
    std::string path(259, 'p');
    path[3] = ' ';
    Parsed whole(("-if=\"" + path + "\" -as").c_str());
    EXPECT_STREQ(whole.error, "");
    EXPECT_EQ(std::string(whole.table.ini), path);
    EXPECT_EQ(whole.table.present(), "00001000100");

    // One character more still fits the token and is cut to the buffer.
    Parsed longer(("-if=\"" + path + "q\"").c_str());
    EXPECT_EQ(std::string(longer.table.ini), path);

    // A token beyond the token buffer is reported (cut) and not used; parsing goes on after it.
    std::string huge(400, 'h');
    Parsed too_long(("-if=" + huge + " -as -zz").c_str());
    EXPECT_EQ(too_long.table.present(), "00000000100");
    EXPECT_STREQ(too_long.table.ini, "");
    EXPECT_EQ(std::string(too_long.error), ("-if=" + huge).substr(0, OPTION_ERROR_SIZE - 1));
    EXPECT_TRUE(too_long.guard_intact());
}

TEST(ParseCommandLine, ErrorTextIsCutAtItsEnd) {
    std::string line;
    std::string expected;
    for (int i = 0; i < 40; i++) {
        std::string token = "-zz" + std::to_string(i);
        line += token + " ";
        expected += token + " ";
    }
    Parsed many(line.c_str());
    EXPECT_EQ(std::string(many.error), expected.substr(0, OPTION_ERROR_SIZE - 1));
    EXPECT_TRUE(many.guard_intact());

    // An invalid repetition is no duplicate, so every switch adds one joined message.
    std::string numbers;
    std::string joined;
    for (int i = 0; i < 20; i++) {
        numbers += "-pp=bad ";
        joined += "-pp=bad (invalid value)";
    }
    Parsed invalid(numbers.c_str());
    EXPECT_EQ(std::string(invalid.error), joined.substr(0, OPTION_ERROR_SIZE - 1));
    EXPECT_TRUE(invalid.guard_intact());
}

TEST(ParseCommandLine, PositionalRowsTakeTokensInTableOrder) {
    struct Row {
        const char* line;
        const char* first;
        const char* second;
        const char* present;  // a, pos (size 8), b, pos (size 4), nodest
        const char* error;
    };
    const Row rows[] = {
        {"one two three", "one", "two", "01010", ""},
        {"\"x y\" -a", "x y", "", "11000", ""},
        {"-b=1 abcdefghij xyzw", "abcdefg", "xyz", "01110", ""},
        {"\"\" two", "", "two", "01010", ""},
        {"-pos", "", "", "00000", "-pos"},
    };
    for (const Row& row : rows) {
        char first[8] = "";
        char second[4] = "";
        OptionEntry table[] = {
            {"a", OPT_FLAG, nullptr, 0, 0, "flag"},
            {"pos", OPT_POSITIONAL, first, sizeof first, 0, "first"},
            {"b", OPT_NUMBER, nullptr, 0, 0, "number"},
            {"pos", OPT_POSITIONAL, second, sizeof second, 0, "second"},
            {"c", OPT_POSITIONAL, nullptr, 0, 0, "no buffer"},
        };
        char error[OPTION_ERROR_SIZE];
        parse_command_line(table, 5, row.line, error);
        std::string present;
        for (const OptionEntry& entry : table) {
            present += entry.present ? '1' : '0';
        }
        EXPECT_STREQ(first, row.first) << row.line;
        EXPECT_STREQ(second, row.second) << row.line;
        EXPECT_EQ(present, row.present) << row.line;
        EXPECT_STREQ(error, row.error) << row.line;
    }
}

TEST(ParseCommandLine, OverlongPositionalTokenIsReportedNotStored) {
    char first[8] = "";
    OptionEntry table[] = {{"p", OPT_POSITIONAL, first, sizeof first, 0, "first"}};
    std::string line = std::string(300, 'q') + " ok";
    char error[OPTION_ERROR_SIZE];
    parse_command_line(table, 1, line.c_str(), error);
    EXPECT_STREQ(first, "ok");
    EXPECT_EQ(std::string(error), std::string(OPTION_ERROR_SIZE - 1, 'q'));
}

TEST(ParseCommandLine, StringRowWithoutRoomStoresNothing) {
    char dest[4] = "old";
    OptionEntry table[] = {{"s", OPT_STRING, dest, 0, 0, "no room"}};
    char error[OPTION_ERROR_SIZE];
    parse_command_line(table, 1, "-s=new", error);
    EXPECT_STREQ(dest, "old");
    EXPECT_EQ(table[0].present, 0);
    EXPECT_STREQ(error, "");
}
