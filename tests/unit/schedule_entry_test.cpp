#include "schedule/schedule_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(ParseTimeText, SplitConvertAndAccept) {
    struct Row {
        const char* text;
        int32_t h, m, s;
        int converted;
        const char* normalised;  // null: rejected
    };
    const Row rows[] = {
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
        {"23:59:59", 23, 59, 59, 3, "23:59:59"},
        // Between fields white space is skipped, then any one character is consumed.
        {"12\n30:15", 12, 0, 15, 3, "12:00:15"},
        {"12:\t:30", 12, 0, 30, 2, "12:00:30"},
        // 15 characters fit a field; 16 empty it and end the split.
        {"000000000000012:30", 12, 30, 0, 2, "12:30:00"},
        {"12:0000000000000030", 12, 0, 0, 1, "12:00:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("time text \"") + row.text + "\"");
        TimeParse time = parse_time_text(row.text);
        EXPECT_EQ(time.hours, row.h);
        EXPECT_EQ(time.minutes, row.m);
        EXPECT_EQ(time.seconds, row.s);
        EXPECT_EQ(time.converted, row.converted);
        EXPECT_EQ(time.target_second, static_cast<uint32_t>(row.s) + 60u * (row.m + 60u * row.h));
        EXPECT_EQ(time.accepted, row.normalised != nullptr);
        char text[TIME_TEXT_SIZE] = "";
        format_normalised_time(time, text, sizeof text);
        if (row.normalised != nullptr) {
            EXPECT_STREQ(text, row.normalised);
        }
    }
}

TEST(ParseTimeText, OverflowingFieldAndMissingTextReject) {
    // 4294967308 wraps to 12 in a runtime that truncates; the time must not become 12:00:00.
    for (const char* text : {"4294967308:00:00", "2147483648", "12:4294967296", "0:0:-2147483649"}) {
        EXPECT_FALSE(parse_time_text(text).accepted) << text;
    }
    EXPECT_FALSE(parse_time_text(nullptr).accepted);
}

TEST(ParseTimeText, LooksAtNoMoreThan255Characters) {
    // Newlines end field 2 and are skipped before the separator, so field 3 can sit at the limit.
    const struct {
        size_t newlines;
        int32_t seconds;
    } rows[] = {{247, 45}, {248, 4}, {249, 0}};
    for (const auto& row : rows) {
        std::string text = "12:30" + std::string(row.newlines, '\n') + ";45";
        EXPECT_EQ(parse_time_text(text.c_str()).seconds, row.seconds) << row.newlines;
    }
}

TEST(BuildDayMask, SundayFirstAndOnlyTheTickedStateCounts) {
    const int states[7] = {1, 0, 2, 0, 0, 0, 1};  // 2 is the indeterminate state, not ticked
    char mask[DAY_MASK_SIZE];
    memset(mask, 'x', sizeof mask);
    build_day_mask(states, mask);
    EXPECT_STREQ(mask, "1000001");
}

TEST(FormatWaitingText, LoadedFormatBoundedAndBrokenFormatsFallBack) {
    const TimeParse time = parse_time_text("7.5,3");
    const char* loaded = "Waiting to start program at %2.2i:%2.2i:%2.2i";
    char text[256];
    format_waiting_text("Um %i.%i Uhr %d%%", time, text, sizeof text);
    EXPECT_STREQ(text, "Um 7.5 Uhr 3%");
    // Anything but integer conversions would read arguments that are not there.
    const char* formats[] = {loaded, nullptr, "%s", "at %i:%i:%i:%i", "%*i", "%li", "%n", "%"};
    for (const char* format : formats) {
        format_waiting_text(format, time, text, sizeof text);
        EXPECT_STREQ(text, "Waiting to start program at 07:05:03") << (format ? format : "null");
    }

    char small[12];
    memset(small, 'x', sizeof small);
    format_waiting_text(loaded, time, small, 8);
    EXPECT_STREQ(small, "Waiting");
    EXPECT_EQ(small[8], 'x');
    format_normalised_time(time, small, 6);
    EXPECT_STREQ(small, "07:05");
}
