#include "schedule/command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Saturday 2026-12-05 07:04:09
const ClockReading CLOCK = {2026, 12, 6, 5, 7, 4, 9};

// Bytes after the output catch any write past it.
struct GuardedOutput {
    char out[COMMAND_LINE_SIZE];
    char guard[32];
};

std::string expand(const char* input, const ClockReading& clock = CLOCK) {
    GuardedOutput buffer;
    memset(&buffer, 'G', sizeof buffer);
    expand_command(input, clock, buffer.out);
    EXPECT_EQ(std::string(buffer.guard, sizeof buffer.guard), std::string(sizeof buffer.guard, 'G'));
    const void* end = memchr(buffer.out, '\0', sizeof buffer.out);
    EXPECT_NE(end, nullptr) << "not terminated";
    return end != nullptr ? std::string(buffer.out) : std::string();
}

}  // namespace

TEST(ExpandCommand, Placeholders) {
    struct Row {
        const char* input;
        const char* expect;
    };
    const Row rows[] = {
        {"&&yyyymodd", "20261205"},
        {"&&hhmiss", "070409"},
        {"backup.cmd &&yyyy&&mo&&dd_&&hh&&mi&&ss.log", "backup.cmd 20261205_070409.log"},
        {"x&&yyyy-&&mo-&&dd", "x2026-12-05"},
        {"&&yyyymoddhhmiss", "20261205070409"},
        {"&&ddmo", "05mo"},
        {"&&mohh", "1207"},
        {"&&ssyyyy", "09yyyy"},
        {"a&&b", "ab"},
        {"a&&", "a"},
        {"&&&", "&"},
        {"&&&&", ""},
        {"&&&&yyyy", "2026"},
        {"a & b", "a & b"},
        {"&", "&"},
        {"&&YYYY", "YYYY"},
        {"&&mm", "mm"},
        {"&&yyy", "yyy"},
        {"run &&yy", "run yy"},
        {"run &&m", "run m"},
        {"run &&mos", "run 12s"},
        {"", ""},
        {"plain.exe /a /b", "plain.exe /a /b"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(expand(row.input), row.expect) << row.input;
    }
    EXPECT_EQ(expand(nullptr), "");
}

TEST(ExpandCommand, UsesTheReadingItIsGiven) {
    const ClockReading five_digit_year = {10000, 1, 0, 2, 0, 0, 0};
    EXPECT_EQ(expand("&&yyyy&&mo&&dd&&hh&&mi&&ss", five_digit_year), "100000102000000");
    const ClockReading early_year = {999, 1, 0, 2, 3, 4, 5};
    EXPECT_EQ(expand("&&yyyy", early_year), "0999");
}

TEST(ExpandCommand, NeverLongerThanTheOutput) {
    // 255 characters packed with placeholders, and with the widest values a clock can give.
    std::string input;
    while (input.size() + 6 <= 255) {
        input += "&&yyyy";
    }
    input.append(255 - input.size(), 'z');
    ASSERT_EQ(input.size(), 255u);
    const ClockReading widest = {65535, 65535, 6, 65535, 65535, 65535, 65535};
    std::string wide_year = expand(input.c_str(), widest);
    EXPECT_LE(wide_year.size(), 255u);
    EXPECT_EQ(wide_year.substr(0, 10), "6553565535");

    std::string dense;
    while (dense.size() + 4 <= 255) {
        dense += "&&mo";
    }
    dense.append(255 - dense.size(), '&');
    EXPECT_EQ(expand(dense.c_str()).size(), 63u * 2 + 1);
    // Month, day and so on wider than their keywords would outgrow the input: cut, not overrun.
    EXPECT_EQ(expand(dense.c_str(), widest).size(), 255u);

    // An input that fills its buffer without a zero byte is cut, not read past.
    char unterminated[COMMAND_LINE_SIZE];
    memset(unterminated, 'a', sizeof unterminated);
    EXPECT_EQ(expand(unterminated).size(), 255u);
    memcpy(unterminated + 251, "&&yyy", 5);
    EXPECT_EQ(expand(unterminated), std::string(251, 'a') + "yyy");
}
