// Date and time placeholders of the command line.
#include "schedule/command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const ClockReading CLOCK = {2026, 12, 6, 5, 7, 4, 9};  // Saturday 2026-12-05 07:04:09

// Guard bytes after the output catch any write past it.
std::string expand(const char* input, const ClockReading& clock = CLOCK) {
    struct {
        char out[COMMAND_LINE_SIZE];
        char guard[8];
    } buffer;
    memset(&buffer, 'G', sizeof buffer);
    expand_command(input, clock, buffer.out);
    EXPECT_EQ(std::string(buffer.guard, 8), "GGGGGGGG");
    return std::string(buffer.out, strnlen(buffer.out, COMMAND_LINE_SIZE));
}

}  // namespace

TEST(ExpandCommand, Placeholders) {
    const char* const rows[][2] = {
        {"backup.cmd &&yyyy&&mo&&dd_&&hh&&mi&&ss.log", "backup.cmd 20261205_070409.log"},
        {"&&yyyymoddhhmiss", "20261205070409"},
        {"&&ddmo &&mohh", "05mo 1207"},
        {"a&&b a&&", "ab a"},
        {"&&& &&&&yyyy", "& 2026"},
        {"a & b &&YYYY &&mm &&yyy run &&m &&mos", "a & b YYYY mm yyy run m 12s"},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(expand(row[0]), row[1]) << row[0];
    }
    EXPECT_EQ(expand(nullptr), "");
    EXPECT_EQ(expand("&&yyyy&&ss", {999, 1, 0, 2, 3, 4, 10}), "099910");
}

// Values wider than their keywords would outgrow the input, and an input may fill its buffer
// without a zero byte: both are cut at the output's end, never read or written past.
TEST(ExpandCommand, NeverLongerThanTheOutput) {
    std::string months, twelves, wide;
    for (int i = 0; i < 63; i++) {
        months += "&&mo";
        twelves += "12";
        wide += i < 50 ? "65535" : "";
    }
    EXPECT_EQ(expand((months + "&&&").c_str()), twelves + "&");
    EXPECT_EQ(expand(("a" + months).c_str(), {65535, 65535, 6, 65535, 65535, 65535, 65535}), "a" + wide + "6553");
    EXPECT_EQ(expand(std::string(300, 'a').c_str()), std::string(255, 'a'));
    char unterminated[COMMAND_LINE_SIZE];
    memset(unterminated, 'a', sizeof unterminated);
    memcpy(unterminated + 251, "&&yyy", 5);
    EXPECT_EQ(expand(unterminated), std::string(251, 'a') + "yyy");
    memcpy(unterminated, "&&", 2);
    unterminated[255] = '&';
    EXPECT_EQ(expand(unterminated), std::string(249, 'a') + "yy&");
    memcpy(unterminated + 251, "aaa&&", 5);
    EXPECT_EQ(expand(unterminated), std::string(252, 'a'));
}
