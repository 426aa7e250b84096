#include "ui/info_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(InfoText, ListingOfEveryKind) {
    const OptionEntry table[] = {
        {"first", OPT_POSITIONAL, nullptr, 0, 0, "one"},  {"x", OPT_FLAG, nullptr, 0, 0, "flag"},
        {"n", OPT_NUMBER, nullptr, 0, 0, "num"},          {"s", OPT_STRING, nullptr, 0, 0, "str"},
        {"second", OPT_POSITIONAL, nullptr, 0, 0, "two"}, {"odd", 7, nullptr, 0, 0, "strange"},
        {nullptr, OPT_FLAG, nullptr, 0, 0, nullptr},
    };
    char header[INFO_TEXT_SIZE], text[INFO_LISTING_SIZE];
    EXPECT_TRUE(format_info_header("T", "D", "H", header, sizeof header));
    EXPECT_EQ(std::string(header).find("T\r\r\n"), 0u);
    EXPECT_NE(std::string(header).find(" D, H\r\r\n"), std::string::npos);
    const std::string listing = header + std::string(INFO_DESCRIPTION_LINE) + INFO_OPTIONS_LINE +
                                "pos1: one\r\r\n-x: flag\r\r\n-n=n: num\r\r\n-s=\"string\": str\r\r\npos2: two\r\r\n"
                                ": strange\r\r\n-: \r\r\n";
    for (int run = 0; run < 2; ++run) {  // the numbering restarts with every listing
        EXPECT_TRUE(build_info_text(table, 7, "T", "D", "H", text, sizeof text));
        EXPECT_EQ(text, listing);
    }
    // Cut anywhere, the listing still ends inside its buffer and says so.
    for (size_t size : {size_t{1}, listing.size() / 2, listing.size()}) {
        memset(text, 'Z', sizeof text);
        EXPECT_FALSE(build_info_text(table, 7, "T", "D", "H", text, size));
        EXPECT_EQ(text, listing.substr(0, size - 1));
    }
    memset(text, 'Z', sizeof text);
    EXPECT_FALSE(build_info_text(table, 7, "T", "D", "H", text, 0));
    EXPECT_EQ(text[0], 'Z');
    EXPECT_TRUE(format_info_caption("T", header, 26));
    EXPECT_STREQ(header, "T - Program Information");
}

TEST(InfoText, LongLinesAreCutAndKeepTheirLineBreak) {
    const std::string long_text(300, 'd');
    const OptionEntry rows[] = {{"p", OPT_POSITIONAL, nullptr, 0, 0, long_text.c_str()},
                                {"x", OPT_FLAG, nullptr, 0, 0, ""}};
    char line[INFO_LISTING_SIZE];
    memset(line, 'Z', sizeof line);
    EXPECT_FALSE(format_option_line(rows[0], nullptr, line, INFO_TEXT_SIZE));
    EXPECT_EQ(std::string(line), "pos1: " + std::string(INFO_TEXT_SIZE - 10, 'd') + "\r\r\n");
    EXPECT_EQ(line[INFO_TEXT_SIZE], 'Z');
    memset(line, 'Z', sizeof line);
    EXPECT_TRUE(format_option_line(rows[1], nullptr, line, 12));  // a line that fits is left alone
    EXPECT_EQ(std::string(line, 13), std::string("-x: \r\r\n\0ZZZ\0Z", 13));
    EXPECT_FALSE(format_option_line(rows[0], nullptr, line, 4));
    EXPECT_STREQ(line, "\r\r\n");
    EXPECT_FALSE(format_info_header(long_text.c_str(), "d", "t", line, INFO_TEXT_SIZE));
    EXPECT_EQ(strlen(line), INFO_TEXT_SIZE - 1);
    EXPECT_FALSE(build_info_text(rows, 2, "T", "d", "t", line, sizeof line));
    EXPECT_FALSE(build_info_text(rows, 1, long_text.c_str(), "d", "t", line, sizeof line));
}
