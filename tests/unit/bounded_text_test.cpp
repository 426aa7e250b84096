#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BoundedText, CopyFormatAndAppendCutAndTerminate) {
    const struct {
        const char* src;
        size_t size;
        const char* expect;
        bool fits;
    } rows[] = {{"abc", 4, "abc", true}, {"abcd", 4, "abc", false}, {"", 1, "", true}, {nullptr, 4, "", true}};
    for (const auto& row : rows) {
        char buf[8];
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(copy_text(buf, row.size, row.src), row.fits) << row.size;
        EXPECT_STREQ(buf, row.expect);
        EXPECT_EQ(buf[row.size], 'x') << "wrote past the given size";
        EXPECT_EQ(format_text(buf, row.size, "%s", row.src ? row.src : ""), row.fits);
        EXPECT_STREQ(buf, row.expect);
        EXPECT_EQ(buf[row.size], 'x');
    }
    EXPECT_FALSE(copy_text(nullptr, 4, "a") || format_text(nullptr, 4, "a") || append_format(nullptr, 4, "a"));
    char text[8] = "ab";
    EXPECT_TRUE(append_format(text, sizeof text, "%c%d", '-', 1));
    EXPECT_FALSE(append_format(text, sizeof text, "%s", "12345"));
    EXPECT_STREQ(text, "ab-1123");
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(append_format(unterminated, sizeof unterminated, "%s", ""));
    EXPECT_EQ(unterminated[3], '\0');
}
