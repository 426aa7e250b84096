#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace std::string_literals;

// Each result is the whole buffer, so a write past the given size shows as a changed 'x'.
TEST(BoundedText, CopyFormatAndAppendCutAndTerminate) {
    const struct {
        const char* src;
        size_t size;
        bool fits;
        std::string copied, formatted;
    } rows[] = {{"abc", 4, true, "abc\0xxxx"s, "abc\0xxxx"s},
                {"abcd", 4, false, "abc\0xxxx"s, "abc\0xxxx"s},
                {"", 1, true, "\0xxxxxxx"s, "\0xxxxxxx"s},
                {nullptr, 4, true, "\0xxxxxxx"s, "\0xx\0xxxx"s},
                {"ab", 0, false, "xxxxxxxx"s, "xxxxxxxx"s}};
    for (const auto& row : rows) {
        char copied[8], formatted[8];
        memset(copied, 'x', 8);
        memset(formatted, 'x', 8);
        EXPECT_EQ(copy_text(copied, row.size, row.src), row.fits) << row.size;
        EXPECT_EQ(format_text(formatted, row.size, "%s", row.src ? row.src : ""), row.fits) << row.size;
        EXPECT_EQ(std::string(copied, 8) + "|" + std::string(formatted, 8), row.copied + "|" + row.formatted);
    }
    EXPECT_FALSE(copy_text(nullptr, 4, "a") || format_text(nullptr, 4, "a") || append_format(nullptr, 4, "a"));
    char text[8] = "ab";
    EXPECT_TRUE(append_format(text, sizeof text, "%c%d", '-', 1));
    EXPECT_FALSE(append_format(text, sizeof text, "%s", "12345"));
    EXPECT_STREQ(text, "ab-1123");
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(append_format(unterminated, sizeof unterminated, "%s", "") || append_format(text, 0, "%s", ""));
    EXPECT_EQ(std::string(unterminated, 4), "abc\0"s);
}
