#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(format_text(buf, row.size, "%s", row.src ? row.src : ""), row.fits);
        std::string expected = (row.expect + std::string(1, '\0')).append(7 - strlen(row.expect), 'x');
        expected[row.size - 1] = '\0';  // a formatted text also sets the buffer's last byte
        EXPECT_EQ(std::string(buf, sizeof buf), expected);
    }
    EXPECT_FALSE(copy_text(nullptr, 4, "a") || format_text(nullptr, 4, "a") || append_format(nullptr, 4, "a"));
    char text[8] = "ab";
    EXPECT_TRUE(append_format(text, sizeof text, "%c%d", '-', 1));
    EXPECT_FALSE(append_format(text, sizeof text, "%s", "12345"));
    EXPECT_STREQ(text, "ab-1123");
    char one[1] = "";
    EXPECT_TRUE(append_format(one, sizeof one, "%s", ""));
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(append_format(unterminated, sizeof unterminated, "%s", ""));
    EXPECT_EQ(unterminated[3], '\0');
}
