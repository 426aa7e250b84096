#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BoundedText, CopyCutsAndTerminates) {
    struct Row {
        const char* src;
        size_t size;
        const char* expect;
        bool fits;
    };
    const Row rows[] = {
        {"abc", 4, "abc", true},
        {"abcd", 4, "abc", false},
        {"", 1, "", true},
        {nullptr, 4, "", true},
    };
    for (const Row& row : rows) {
        char buf[8];
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(copy_text(buf, row.size, row.src), row.fits) << row.size;
        EXPECT_STREQ(buf, row.expect);
        EXPECT_EQ(buf[row.size], 'x') << "wrote past the given size";
    }
}

TEST(BoundedText, FormatAndAppendStayInsideTheBuffer) {
    char buf[10];
    memset(buf, 'x', sizeof buf);
    EXPECT_FALSE(format_text(buf, 6, "%s-%d", "abc", 42));
    EXPECT_STREQ(buf, "abc-4");
    EXPECT_EQ(buf[6], 'x');

    char text[8] = "ab";
    EXPECT_TRUE(append_format(text, sizeof text, "%c%d", '-', 1));
    EXPECT_STREQ(text, "ab-1");
    EXPECT_FALSE(append_format(text, sizeof text, "%s", "12345"));
    EXPECT_STREQ(text, "ab-1123");

    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(append_format(unterminated, sizeof unterminated, "%s", "e"));
    EXPECT_EQ(unterminated[3], '\0');
}
