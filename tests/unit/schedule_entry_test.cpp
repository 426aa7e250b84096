#include "schedule/schedule_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(ParseTimeText, SplitConvertAndAccept) {
    const std::string long_text = "12:30" + std::string(248, '\n') + ";45";  // only "4" is within 255
    struct Row {
        const char* text;
        int32_t h, m, s;
        int converted;
        uint32_t target;
        const char* normalised;  // null: rejected
    };
    const Row rows[] = {
        {"14:53:27", 14, 53, 27, 3, 53607, "14:53:27"},
        {"7.5,3", 7, 5, 3, 3, 25503, "07:05:03"},
        {"9 30", 9, 0, 0, 1, 32400, "09:00:00"},
        {"12::30", 12, 0, 0, 1, 43200, "12:00:00"},
        {"12:30:45:10", 12, 30, 45, 3, 45045, "12:30:45"},
        {"ab:30", 0, 30, 0, 1, 1800, "00:30:00"},
        {"+5;7", 5, 7, 0, 2, 18420, "05:07:00"},
        {"23:59:59", 23, 59, 59, 3, 86399, "23:59:59"},
        {"12\n30:15", 12, 0, 15, 3, 43215, "12:00:15"},
        {"12:\t:\v\r30", 12, 0, 30, 2, 43230, "12:00:30"},
        {"000000000000012:000000000000002", 12, 2, 0, 2, 43320, "12:02:00"},
        {"12:0000000000000030", 12, 0, 0, 1, 43200, "12:00:00"},
        {long_text.c_str(), 12, 30, 4, 3, 45004, "12:30:04"},
        {"abc", 0, 0, 0, 0, 0, nullptr},
        {"", 0, 0, 0, 0, 0, nullptr},
        {nullptr, 0, 0, 0, 0, 0, nullptr},
        {":30", 0, 0, 0, 0, 0, nullptr},
        {"24:00:00", 24, 0, 0, 3, 86400, nullptr},
        {"12:60", 12, 60, 0, 2, 46800, nullptr},
        {"1:2:60", 1, 2, 60, 3, 3780, nullptr},
        {"-1:00:00", -1, 0, 0, 3, 4294963696u, nullptr},
        {"2147483648:-2147483649", INT32_MAX, INT32_MIN, 0, 2, 4294963696u, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text ? row.text : "(null)");
        TimeParse time = parse_time_text(row.text);
        EXPECT_EQ(time.hours, row.h);
        EXPECT_EQ(time.minutes, row.m);
        EXPECT_EQ(time.seconds, row.s);
        EXPECT_EQ(time.converted, row.converted);
        EXPECT_EQ(time.target_second, row.target);
        EXPECT_EQ(time.accepted, row.normalised != nullptr);
        char text[TIME_TEXT_SIZE] = "";
        format_normalised_time(time, text, sizeof text);
        EXPECT_STREQ(time.accepted ? text : nullptr, row.normalised);
    }
}

TEST(BuildDayMask, SundayFirstAndOnlyTheTickedStateCounts) {
    const int states[7] = {1, 0, 2, 0, 0, 0, 1};  // 2 is the indeterminate state, not ticked
    char mask[DAY_MASK_SIZE];
    memset(mask, 'x', sizeof mask);
    build_day_mask(states, mask);
    EXPECT_STREQ(mask, "1000001");
}

// Only integer conversions, three at most, may take the values; anything else falls back.
TEST(FormatWaitingText, LoadedFormatOrTheDefault) {
    const TimeParse time = parse_time_text("7.5,3");
    char text[32];
    format_waiting_text("%-+4.02i|% #i|%010d%%", time, text, sizeof text);
    EXPECT_STREQ(text, "+07 | 5|0000000003%");
    for (const char* format : {static_cast<const char*>(nullptr), "%s", "%i%i%i%i", "%li", "%", "%5ai", "%.5ai"}) {
        format_waiting_text(format, time, text, 20);
        EXPECT_STREQ(text, "Waiting to start pr") << (format ? format : "null");
    }
}
