#include "config/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Every kind of row: a flag, a number, strings with and without room, positionals with and
// without a buffer. The error text comes first so a read past it stays inside the object.
struct Parsed {
    char error[OPTION_ERROR_SIZE + 4];
    char path[8] = "", room[4] = "old", first[6] = "", second[4] = "", one[2] = "z";
    OptionEntry rows[8] = {
        {"p", OPT_POSITIONAL, first, 6, false, ""},  {"as", OPT_FLAG, nullptr, 0, false, ""},
        {"pp", OPT_NUMBER, nullptr, 0, false, ""},   {"if", OPT_STRING, path, 8, false, ""},
        {"s", OPT_STRING, room, 0, false, ""},       {"p", OPT_POSITIONAL, nullptr, 6, false, ""},
        {"q", OPT_POSITIONAL, second, 4, false, ""}, {"e", OPT_STRING, one, 1, false, ""},
    };
    explicit Parsed(const char* line) {
        memset(error, 'Z', sizeof error);
        parse_command_line(rows, 8, line, error);
    }
    // The present flags in row order, the number, then the buffers of "if", "p" and "q".
    std::string state() const {
        std::string flags;
        for (const OptionEntry& row : rows) {
            flags += row.present ? '1' : '0';
        }
        return flags + " " + std::to_string(rows[2].value) + " " + path + "|" + first + "|" + second;
    }
};

}  // namespace

TEST(ParseCommandLine, Cases) {
    const struct {
        const char *line, *error, *state;
    } rows[] = {
        {nullptr, "", "00000000 0 ||"},
        {"  -as /as=1 -p", "-p", "01000000 0 ||"},
        {"-AS /xyz=5 -as\t-pp=1", "-AS /xyz=5 -as\t-pp=1", "00000000 0 ||"},
        {"-pp=0x1F", "", "00100000 31 ||"},
        {"-pp=0X0A", "", "00100000 10 ||"},
        {"-pp=0x1", "", "00100000 1 ||"},
        {"-pp=010", "", "00100000 8 ||"},
        {"-pp=08", "", "00100000 0 ||"},
        {"-pp=0x", "", "00100000 0 ||"},
        {"-pp=\" \t\r+3abc\"", "", "00100000 3 ||"},
        {"-pp=-0x10", "", "00100000 -16 ||"},
        {"-pp=ON", "", "00100000 1 ||"},
        {"-pp=oFf", "", "00100000 0 ||"},
        {"-pp=2147483647", "", "00100000 2147483647 ||"},
        {"-pp=-2147483648", "", "00100000 -2147483648 ||"},
        {"-pp=2147483648 -pp=-21474836480", "-pp=2147483648 (invalid value)-pp=-21474836480 (invalid value)",
         "00000000 0 ||"},
        {"-pp=o -pp=onx -pp", "-pp=o (invalid value)-pp=onx (invalid value)-pp (invalid value)", "00000000 0 ||"},
        {"-pp=1 -pp=2", "-pp=2 (duplicate parameter)", "00100000 2 ||"},
        {"-pp=1 -pp=x", "-pp=x (duplicate parameter) -pp=x (invalid value)", "00000000 1 ||"},
        {"-pp=x -pp=2 -zz", "-pp=x (invalid value)-zz", "00100000 2 ||"},
        {"-if=\"a b\"x -s=new", "", "10010000 0 a b|x|"},
        {"-if=1234567 -if -e=", "-if (invalid value)", "00010001 0 1234567||"},
        {"-if=12345678 -s", "-if=12345678 (invalid value)-s (invalid value)", "00000000 0 ||"},
        {"one two three", "", "10000010 0 |one|two"},
        {"\"-as x\" abcdef", "", "10000010 0 |-as x|abc"},
        {"- as -as -", "- -", "11000000 0 |as|"},
        {"/ -zz", "/ -zz", "00000000 0 ||"},
    };
    for (const auto& row : rows) {
        const Parsed parsed(row.line);
        SCOPED_TRACE(row.line ? row.line : "(null)");
        EXPECT_STREQ(parsed.error, row.error);
        EXPECT_EQ(parsed.state(), row.state);
        EXPECT_STREQ(parsed.room, "old");
    }
}

// A token beyond the token buffer is reported cut and not used; messages are cut at the end of
// the error text.
TEST(ParseCommandLine, LongInputsStayWithinTheirBuffers) {
    const std::string huge(TOKEN_SIZE, 'h');
    for (const char* lead : {"-if=", ""}) {
        const Parsed parsed((lead + huge + " -as").c_str());
        EXPECT_EQ(parsed.state(), "01000000 0 ||");
        EXPECT_EQ(parsed.error, (lead + huge).substr(0, OPTION_ERROR_SIZE - 1));
        EXPECT_EQ(parsed.error[OPTION_ERROR_SIZE], 'Z');
    }
    char error[OPTION_ERROR_SIZE];
    parse_command_line(nullptr, 3, "-as x", error);
    EXPECT_STREQ(error, "-as");
    const Parsed fits((std::string(TOKEN_SIZE - 1, 'h') + " x").c_str());
    EXPECT_EQ(fits.state(), "10000010 0 |hhhhh|x");
}
