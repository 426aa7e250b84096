#include "schedule/command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const ClockReading CLOCK = {2026, 12, 6, 5, 7, 4, 9};  // Saturday 2026-12-05 07:04:09
const ClockReading WIDEST = {65535, 65535, 6, 65535, 65535, 65535, 65535};

// Guard bytes after the output catch any write past it.
std::string expand(const char* input, const ClockReading& clock = CLOCK) {
    struct {
        char out[COMMAND_LINE_SIZE];
        char guard[32];
    } buffer;
    memset(&buffer, 'G', sizeof buffer);
    expand_command(input, clock, buffer.out);
    EXPECT_EQ(std::string(buffer.guard, sizeof buffer.guard), std::string(sizeof buffer.guard, 'G'));
    const bool terminated = memchr(buffer.out, '\0', sizeof buffer.out) != nullptr;
    EXPECT_TRUE(terminated);
    return terminated ? std::string(buffer.out) : std::string();
}

std::string repeat_to_255(const std::string& unit, char fill) {
    std::string text;
    while (text.size() + unit.size() <= 255) {
        text += unit;
    }
    return text.append(255 - text.size(), fill);
}

}  // namespace

TEST(ExpandCommand, Placeholders) {
    const struct {
        const char* input;
        const char* expect;
    } rows[] = {
        {"&&yyyymodd", "20261205"},
        {"&&hhmiss", "070409"},
        {"backup.cmd &&yyyy&&mo&&dd_&&hh&&mi&&ss.log", "backup.cmd 20261205_070409.log"},
        {"x&&yyyy-&&mo-&&dd", "x2026-12-05"},
        {"&&ddmo", "05mo"},
        {"&&mohh", "1207"},
        {"a&&b", "ab"},
        {"a&&", "a"},
        {"&&&", "&"},
        {"&&&&", ""},
        {"&&&&yyyy", "2026"},
        {"a & b", "a & b"},
        {"&&YYYY", "YYYY"},
        {"&&mm", "mm"},
        {"&&yyy", "yyy"},
        {"run &&m", "run m"},
        {"run &&mos", "run 12s"},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(expand(row.input), row.expect) << row.input;
    }
    EXPECT_EQ(expand(nullptr), "");
    EXPECT_EQ(expand("&&yyyy&&mo&&dd&&hh&&mi&&ss", {10000, 1, 0, 2, 0, 0, 0}), "100000102000000");
    EXPECT_EQ(expand("&&yyyy", {999, 1, 0, 2, 3, 4, 5}), "0999");
}

TEST(ExpandCommand, NeverLongerThanTheOutput) {
    const std::string years = repeat_to_255("&&yyyy", 'z');
    const std::string wide = expand(years.c_str(), WIDEST);
    EXPECT_LE(wide.size(), 255u);
    EXPECT_EQ(wide.substr(0, 10), "6553565535");

    const std::string months = repeat_to_255("&&mo", '&');
    EXPECT_EQ(expand(months.c_str()).size(), 63u * 2 + 1);
    // Values wider than their keywords would outgrow the input: cut, not overrun.
    EXPECT_EQ(expand(months.c_str(), WIDEST).size(), 255u);

    // An input that fills its buffer without a zero byte is cut, not read past.
    char unterminated[COMMAND_LINE_SIZE];
    memset(unterminated, 'a', sizeof unterminated);
    EXPECT_EQ(expand(unterminated).size(), 255u);
    memcpy(unterminated + 251, "&&yyy", 5);
    EXPECT_EQ(expand(unterminated), std::string(251, 'a') + "yyy");
}
