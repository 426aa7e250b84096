// Date and time placeholders of the command line.
#include "schedule/command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const ClockReading CLOCK = {2026, 12, 6, 5, 7, 4, 9};  // Saturday 2026-12-05 07:04:09

// The input sits in a buffer of the command line's size, with no zero byte when it fills it.
std::string expand(const std::string& input, const ClockReading& clock = CLOCK) {
    char in[COMMAND_LINE_SIZE], out[COMMAND_LINE_SIZE];
    memcpy(in, input.c_str(), std::min(input.size() + 1, sizeof in));
    expand_command(in, clock, out);
    return out;
}

}  // namespace

// Whatever the input, the output is cut at its buffer's end and never read or written past.
TEST(ExpandCommand, PlaceholdersWithinTheBuffers) {
    const std::string a(249, 'a');
    const std::string rows[][2] = {
        {"run &&yyyymodd_&&hhmiss.log", "run 20261205_070409.log"},
        {"&&ddmo &&mohh a&&b &&& &&&&yyyy a&&", "05mo 1207 ab & 2026 a"},
        {"a & b &&Yyyy &&mm &&yyy &&m", "a & b Yyyy mm yyy m"},
        {a + "aa&&yyy", a + "aayyy"},
        {"&&" + a + "&&yy&", a + "yy&"},
        {"&&" + a + "aaa&&", a + "aaa"},
        {a + a, a + "aaaaaa"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(expand(row[0]), row[1]) << row[0];
    }
    EXPECT_EQ(expand(a + "aa&&mo", {0, 65535, 0, 0, 0, 0, 0}), a + "aa6553");
    char out[COMMAND_LINE_SIZE] = "x";
    expand_command(nullptr, CLOCK, out);
    EXPECT_STREQ(out, "") << "no command line expands to none";
}
