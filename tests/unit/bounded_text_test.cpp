#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace std::string_literals;

// Each result is the fit flag and the whole buffer, so a write past the given size shows as a
// changed 'x'.
TEST(BoundedText, CopyFormatAndAppendCutAndTerminate) {
    const std::pair<const char*, size_t> rows[] = {{"abc", 4}, {"abcd", 4}, {"", 1}, {nullptr, 4}, {"ab", 0}};
    std::string seen;
    for (const auto& [src, size] : rows) {
        char copied[8], formatted[8];
        memset(copied, 'x', 8);
        memset(formatted, 'x', 8);
        const bool copy_fits = copy_text(copied, size, src);
        const bool format_fits = format_text(formatted, size, "%s", src ? src : "");
        seen += std::to_string(copy_fits) + std::string(copied, 8) + " " + std::to_string(format_fits) +
                std::string(formatted, 8) + "|";
    }
    EXPECT_EQ(seen,
              "1abc\0xxxx 1abc\0xxxx|0abc\0xxxx 0abc\0xxxx|1\0xxxxxxx 1\0xxxxxxx|"
              "1\0xxxxxxx 1\0xx\0xxxx|0xxxxxxxx 0xxxxxxxx|"s);
    EXPECT_FALSE(copy_text(nullptr, 4, "a") || format_text(nullptr, 4, "a") || append_format(nullptr, 4, "a"));
    char text[8] = "ab";
    EXPECT_TRUE(append_format(text, sizeof text, "%c%d", '-', 1));
    EXPECT_FALSE(append_format(text, sizeof text, "%s", "12345"));
    EXPECT_STREQ(text, "ab-1123");
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(append_format(unterminated, sizeof unterminated, "%s", "") || append_format(text, 0, "%s", ""));
    EXPECT_EQ(std::string(unterminated, 4), "abc\0"s);
}
