// What the user entered (time text, day boxes) turned into the schedule.
#include "schedule/schedule_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Up to three fields of at most 15 characters from the first 255, split at ":.,;" or a line break, then
// white space and one character; the hour must be a number and every field in range.
TEST(ParseTimeText, SplitConvertAndAccept) {
    auto parsed = [](const std::string& input) {
        const TimeParse time = parse_time_text(input.c_str());
        char text[TIME_TEXT_SIZE];
        format_normalised_time(time, text, sizeof text);
        return text + (" " + std::to_string(time.converted)) + (time.accepted ? "" : " no");
    };
    const char* const rows[][2] = {
        {"7.5,3", "07:05:03 3"},       {"12\n30;15", "12:00:15 3"}, {"12:30:45:10", "12:30:45 3"},
        {"ab:30", "00:30:00 1"},       {"abc", "00:00:00 0 no"},    {":30", "00:00:00 0 no"},
        {"24:00:00", "24:00:00 3 no"}, {"12:60", "12:60:00 2 no"},  {"1:2:60", "01:02:60 3 no"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parsed(row[0]), row[1]) << row[0];
    }
    EXPECT_EQ(parsed("12:30" + std::string(248, '\n') + ";45"), "12:30:04 3");
    EXPECT_EQ(parsed("000000000000012:0000000000000030"), "12:00:00 1");
    EXPECT_EQ(parsed("2147483648:-2147483649"), "2147483647:-2147483648:00 2 no");
    EXPECT_EQ(parse_time_text("14:53:27").target_second, 53607u);
    EXPECT_FALSE(parse_time_text(nullptr).accepted);
}

// Only the ticked state (1) counts, not the indeterminate one (2).
TEST(BuildDayMask, SundayFirstAndOnlyTheTickedStateCounts) {
    const int states[7] = {1, 0, 2, 0, 0, 0, 1};
    char mask[DAY_MASK_SIZE];
    build_day_mask(states, mask);
    EXPECT_STREQ(mask, "1000001");
    build_day_mask(nullptr, mask);
    EXPECT_STREQ(mask, "0000000");
}

// Only integer conversions, three at most, take the values; anything else gets a text with the time.
TEST(FormatWaitingText, LoadedFormatOrTheDefault) {
    const TimeParse time = parse_time_text("7.5,3");
    char text[64];
    format_waiting_text("%-+4.02i|% #i|%010d%%", time, text, sizeof text);
    EXPECT_STREQ(text, "+07 | 5|0000000003%");
    for (const char* format : {static_cast<const char*>(nullptr), "%s", "%i%i%i%i", "%", "%5ai", "%.5ai"}) {
        format_waiting_text(format, time, text, sizeof text);
        EXPECT_STREQ(strstr(text, "07:05:03"), "07:05:03") << (format ? format : "null");
    }
}
