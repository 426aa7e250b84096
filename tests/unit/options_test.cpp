#include "config/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text_reader.h"

// Every kind of row: a flag, a number, strings and positionals with and without room or a buffer. Then: the present
// flags, the number, and the buffers of "if", "p" and "q".
TEST(ParseCommandLine, Cases) {
    const std::string huge(TOKEN_SIZE, 'h');
    const struct {
        std::string line, error;
        const char* state;
    } rows[] = {
        {"-pp=1 -pp=2", "-pp=2 (duplicate parameter)", "001000000 2 ||"},
        {"-pp=1 -pp=x", "-pp=x (duplicate parameter) -pp=x (invalid value)", "000000000 1 ||"},
        {"-if=\"a b\"x -s=new", "", "100100000 0 a b|x|"},
        {"-if=1234567 -if -e=", "-if (invalid value)", "000100010 0 1234567||"},
        {"-if=12345678 -s", "-if=12345678 (invalid value)-s (invalid value)", "000000000 0 ||"},
        {"one two three", "", "100000101 0 |one|two"},
        // A token beyond the token buffer is reported cut and not used; messages are cut at the end.
        {huge + " -as", huge.substr(0, OPTION_ERROR_SIZE - 1), "010000000 0 ||"},
        {huge.substr(1) + " x", "", "100000100 0 |hhhhh|x"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        // The error text comes first so a read past it stays inside the object.
        struct {
            char error[OPTION_ERROR_SIZE + 1];
            char path[8] = "", room[4] = "old", first[6] = "", second[4] = "", one[2] = "z";
        } b;
        OptionEntry table[9] = {
            {"p", OPT_POSITIONAL, b.first, 6, false, ""},  {"as", OPT_FLAG, nullptr, 0, false, ""},
            {"pp", OPT_NUMBER, nullptr, 0, false, ""},     {"if", OPT_STRING, b.path, 8, false, ""},
            {"s", OPT_STRING, b.room, 0, false, ""},       {"p", OPT_POSITIONAL, nullptr, 6, false, ""},
            {"q", OPT_POSITIONAL, b.second, 4, false, ""}, {"e", OPT_STRING, b.one, 1, false, ""},
            {"r", OPT_POSITIONAL, b.room, 0, false, ""},
        };
        memset(b.error, 'Z', sizeof b.error);
        parse_command_line(table, 9, row.line.c_str(), b.error);
        std::string state;
        for (const OptionEntry& entry : table) {
            state += entry.present ? '1' : '0';
        }
        EXPECT_EQ(b.error + std::string(1, b.error[OPTION_ERROR_SIZE]), row.error + "Z");
        EXPECT_EQ(state + " " + std::to_string(table[2].value) + " " + b.path + "|" + b.first + "|" + b.second,
                  row.state);
        EXPECT_STREQ(b.room, "old");
    }
    char error[OPTION_ERROR_SIZE];
    parse_command_line(nullptr, 3, "-as x", error);
    EXPECT_STREQ(error, "-as");
}

TEST(TextReader, NoDigitIsMinusOneAndZFolds) {
    EXPECT_EQ(std::to_string(digit_value(':', 16)) + fold_case('Z'), "-1z");
}
