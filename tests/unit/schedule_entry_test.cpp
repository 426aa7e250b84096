#include "schedule/schedule_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct TimeRow {
    std::string text;
    int32_t h, m, s;
    int converted;
    const char* normalised;  // null: rejected
};

void expect_row(const TimeRow& row) {
    SCOPED_TRACE("time text \"" + row.text + "\"");
    TimeParse time = parse_time_text(row.text.c_str());
    EXPECT_EQ(time.hours, row.h);
    EXPECT_EQ(time.minutes, row.m);
    EXPECT_EQ(time.seconds, row.s);
    EXPECT_EQ(time.converted, row.converted);
    EXPECT_EQ(time.target_second, static_cast<uint32_t>(row.s) + 60u * (row.m + 60u * row.h));
    EXPECT_EQ(time.accepted, row.normalised != nullptr);
    if (row.normalised != nullptr) {
        char text[TIME_TEXT_SIZE];
        format_normalised_time(time, text, sizeof text);
        EXPECT_STREQ(text, row.normalised);
    }
}

}  // namespace

TEST(ParseTimeText, WorkedExamples) {
    const TimeRow rows[] = {
        {"14:53:27", 14, 53, 27, 3, "14:53:27"},
        {"7.5,3", 7, 5, 3, 3, "07:05:03"},
        {"9", 9, 0, 0, 1, "09:00:00"},
        {"9 30", 9, 0, 0, 1, "09:00:00"},
        {"12: 30", 12, 30, 0, 2, "12:30:00"},
        {"12::30", 12, 0, 0, 1, "12:00:00"},
        {"12:30:45:10", 12, 30, 45, 3, "12:30:45"},
        {"ab:30", 0, 30, 0, 1, "00:30:00"},
        {"+5;7", 5, 7, 0, 2, "05:07:00"},
        {"14h30", 14, 0, 0, 1, "14:00:00"},
        {"abc", 0, 0, 0, 0, nullptr},
        {"", 0, 0, 0, 0, nullptr},
        {":30", 0, 0, 0, 0, nullptr},
        {"24:00:00", 24, 0, 0, 3, nullptr},
        {"12:60", 12, 60, 0, 2, nullptr},
        {"-1:00:00", -1, 0, 0, 3, nullptr},
        {"1234567890123456:00", 0, 0, 0, 0, nullptr},
    };
    for (const TimeRow& row : rows) {
        expect_row(row);
    }
}

TEST(ParseTimeText, ScannerSeparatorsAndFieldLimits) {
    const TimeRow rows[] = {
        {"  9", 9, 0, 0, 1, "09:00:00"},
        {"12 : 30", 12, 30, 0, 2, "12:30:00"},
        // Between fields white space is skipped and then any one character is consumed.
        {"12\n30:15", 12, 0, 15, 3, "12:00:15"},
        {"12:\t:30", 12, 0, 30, 2, "12:00:30"},
        {"12:\n:30", 12, 0, 0, 1, "12:00:00"},
        {"12:x45", 12, 0, 0, 1, "12:00:00"},
        {"12:", 12, 0, 0, 1, "12:00:00"},
        {"-0:+0:-0", 0, 0, 0, 3, "00:00:00"},
        {"+:30", 0, 30, 0, 1, "00:30:00"},
        {"23:59:59", 23, 59, 59, 3, "23:59:59"},
        // 15 characters fit a field; 16 empty it and end the split.
        {"000000000000012:30", 12, 30, 0, 2, "12:30:00"},
        {"12:0000000000000030", 12, 0, 0, 1, "12:00:00"},
        {"-2147483648", INT32_MIN, 0, 0, 1, nullptr},
        {"2147483647", INT32_MAX, 0, 0, 1, nullptr},
    };
    for (const TimeRow& row : rows) {
        expect_row(row);
    }
}

TEST(ParseTimeText, DigitsBeyondThirtyTwoBitsReject) {
    // 4294967308 wraps to 12 in a runtime that truncates; the time must not become 12:00:00.
    const char* texts[] = {"4294967308:00:00", "2147483648", "12:4294967296", "0:0:-2147483649", "999999999999999"};
    for (const char* text : texts) {
        TimeParse time = parse_time_text(text);
        EXPECT_FALSE(time.accepted) << text;
        EXPECT_GE(time.converted, 1) << text;
    }
}

TEST(ParseTimeText, LooksAtNoMoreThan255Characters) {
    // Newlines end field 2 and are skipped before the separator, so field 3 can sit at the limit.
    struct Row {
        size_t newlines;
        int32_t seconds;
    };
    const Row rows[] = {{247, 45}, {248, 4}, {249, 0}};
    for (const Row& row : rows) {
        std::string text = "12:30" + std::string(row.newlines, '\n') + ";45";
        TimeParse time = parse_time_text(text.c_str());
        EXPECT_EQ(time.seconds, row.seconds) << row.newlines;
        EXPECT_TRUE(time.accepted);
    }
    EXPECT_FALSE(parse_time_text(nullptr).accepted);
}

TEST(BuildDayMask, TickedStateOnlyCounts) {
    struct Row {
        int states[7];
        const char* mask;
    };
    const Row rows[] = {
        {{0, 0, 0, 0, 0, 0, 0}, "0000000"},
        {{1, 1, 1, 1, 1, 1, 1}, "1111111"},
        {{1, 0, 0, 0, 0, 0, 1}, "1000001"},
        {{0, 1, 2, 0, 0, 0, 0}, "0100000"},  // indeterminate is not ticked
    };
    for (const Row& row : rows) {
        char mask[DAY_MASK_SIZE];
        memset(mask, 'x', sizeof mask);
        build_day_mask(row.states, mask);
        EXPECT_STREQ(mask, row.mask);
    }
}

TEST(FormatWaitingText, UsesTheLoadedFormatBounded) {
    const char* loaded = "Waiting to start program at %2.2i:%2.2i:%2.2i";
    TimeParse time = parse_time_text("7.5,3");
    char text[256];
    format_waiting_text(loaded, time, text, sizeof text);
    EXPECT_STREQ(text, "Waiting to start program at 07:05:03");
    format_waiting_text("Um %i.%i Uhr %d%%", time, text, sizeof text);
    EXPECT_STREQ(text, "Um 7.5 Uhr 3%");

    char small[12];
    memset(small, 'x', sizeof small);
    format_waiting_text(loaded, time, small, 8);
    EXPECT_STREQ(small, "Waiting");
    EXPECT_EQ(small[8], 'x');

    char normalised[6];
    format_normalised_time(time, normalised, sizeof normalised);
    EXPECT_STREQ(normalised, "07:05");
}

TEST(FormatWaitingText, ABrokenFormatFallsBackInsteadOfReadingMissingArguments) {
    TimeParse time = parse_time_text("7.5,3");
    const char* broken[] = {nullptr, "%s", "at %i:%i:%i:%i", "%*i", "%li", "%n", "%"};
    for (const char* format : broken) {
        char text[256];
        format_waiting_text(format, time, text, sizeof text);
        EXPECT_STREQ(text, "Waiting to start program at 07:05:03") << (format ? format : "null");
    }
}
