#include "ui/info_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace std::string_literals;

// Every kind of row with numbered positionals. A listing cut anywhere stays inside its buffer and
// fails, as does one with a line cut; a cut line keeps its line break.
TEST(InfoText, ListingOfEveryKindAndCuts) {
    const std::string long_text(300, 'd');
    const OptionEntry table[] = {
        {"first", OPT_POSITIONAL, nullptr, 0, 0, "one"},  {"x", OPT_FLAG, nullptr, 0, 0, "flag"},
        {"n", OPT_NUMBER, nullptr, 0, 0, "num"},          {"s", OPT_STRING, nullptr, 0, 0, "str"},
        {"second", OPT_POSITIONAL, nullptr, 0, 0, "two"}, {"odd", 7, nullptr, 0, 0, "strange"},
        {nullptr, OPT_FLAG, nullptr, 0, 0, nullptr},      {"p", OPT_POSITIONAL, nullptr, 0, 0, long_text.c_str()}};
    char header[INFO_TEXT_SIZE], text[INFO_LISTING_SIZE];
    format_info_header("T", "D", "H", header, sizeof header);
    const std::string listing = header + std::string(INFO_DESCRIPTION_LINE) + INFO_OPTIONS_LINE +
                                "pos1: one\r\r\n-x: flag\r\r\n-n=n: num\r\r\n-s=\"string\": str\r\r\npos2: two\r\r\n"
                                ": strange\r\r\n-: \r\r\n";
    for (size_t size : {size_t{0}, size_t{1}, listing.size(), sizeof text}) {
        memset(text, 'Z', sizeof text);
        EXPECT_EQ(build_info_text(table, 7, "T", "D", "H", text, size), size > listing.size());
        EXPECT_EQ(std::string(text, size ? strlen(text) : 1), size ? listing.substr(0, size - 1) : "Z");
    }
    EXPECT_FALSE(build_info_text(table, 8, "T", "D", "H", text, sizeof text));

    EXPECT_FALSE(format_option_line(table[0], nullptr, text, 12));
    EXPECT_STREQ(text, "pos1: on\r\r\n");
    EXPECT_FALSE(format_option_line(table[0], nullptr, text, 4));
    EXPECT_STREQ(text, "\r\r\n");
    memset(text, 'Z', sizeof text);
    EXPECT_TRUE(format_option_line(table[6], nullptr, text, 12));
    EXPECT_EQ(std::string(text, 11), "-: \r\r\n\0ZZZZ"s);
}
