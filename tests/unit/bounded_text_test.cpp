#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace std::string_literals;

// The two fit flags and both whole buffers: a write past the given size shows as a changed 'x'.
TEST(BoundedText, CopyFormatAndAppendCutAndTerminate) {
    const std::pair<const char*, size_t> rows[] = {{"abc", 4}, {"abcd", 4}, {"", 1}, {nullptr, 4}, {"ab", 0}};
    std::string seen;
    for (const auto& [src, size] : rows) {
        char out[16];
        memset(out, 'x', sizeof out);
        const bool copied = copy_text(out, size, src);
        const bool formatted = format_text(out + 8, size, "%s", src ? src : "");
        seen += std::to_string(copied) + std::to_string(formatted) + std::string(out, sizeof out) + "|";
    }
    EXPECT_EQ(seen,
              "11abc\0xxxxabc\0xxxx|00abc\0xxxxabc\0xxxx|11\0xxxxxxx\0xxxxxxx|"
              "11\0xxxxxxx\0xx\0xxxx|00xxxxxxxxxxxxxxxx|"s);
    EXPECT_FALSE(copy_text(nullptr, 4, "a") || format_text(nullptr, 4, "a") || append_format(nullptr, 4, "a"));
    char text[8] = "ab";
    EXPECT_TRUE(append_format(text, sizeof text, "%c%d", '-', 1));
    EXPECT_FALSE(append_format(text, sizeof text, "%s", "12345"));
    EXPECT_STREQ(text, "ab-1123");
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(append_format(unterminated, sizeof unterminated, "%s", "") || append_format(text, 0, "%s", ""));
    EXPECT_EQ(std::string(unterminated, 4), "abc\0"s);
    EXPECT_EQ(std::to_string(has_text("a")) + std::to_string(has_text("")) + std::to_string(has_text(nullptr)), "100");
}
