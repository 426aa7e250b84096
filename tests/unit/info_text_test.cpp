#include "ui/info_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/startup.h"

namespace {

const char* const TITLE = "Kelvast - Version 0.30";

std::string listing(const OptionEntry* table, uint32_t count) {
    char text[INFO_LISTING_SIZE];
    EXPECT_TRUE(build_info_text(table, count, TITLE, "Mar  5 2012", "13:36:44", text, sizeof text));
    return text;
}

}  // namespace

TEST(InfoText, ProgramListingAndCaption) {
    EXPECT_EQ(listing(option_table, option_count),
              "Kelvast - Version 0.30\r\r\n"
              "Written by: Tansky, compiled on Mar  5 2012, 13:36:44\r\r\n"
              "for updates check: https://kelvast.example.org/download\r\r\n"
              "or email to: kelvast@example.org\r\r\n"
              "\r\r\n"
              "This program executes another program at a specified time and day.\r\r\n\r\r\n"
              "The following command line parameters are supported:\r\r\n"
              "-rc: clear registry entries for this program\r\r\n"
              "-rd: disable use of the registry for this program\r\r\n"
              "     (will use .ini file instead unless -id specified\r\r\n"
              "-rr: read initialization values from registry\r\r\n"
              "-rw: write initialization values back to registry\r\r\n"
              "-if=\"string\": specify ini filename\r\r\n"
              "-id: disable use of ini file for this program\r\r\n"
              "-ir: read initialization values from ini file\r\r\n"
              "-iw: write initialization values back to ini file\r\r\n"
              "     NOTE: avoid using registry and ini-file at the same time\r\r\n"
              "     Exception: -rr -iw to export registry to ini-file and\r\r\n"
              "                -ir -rw to export ini-file to registry\r\r\n"
              "-as: start automatically, i.e. no need to klick start button\r\r\n"
              "-pp=n: set process priority for dialog\r\r\n"
              "       (0:idle, 1:normal, 2:high, 3:realtime)\r\r\n"
              "-pt=n: set priority for processing thread\r\r\n"
              "       (0:idle, 1:lowest, 2:below normal, 3:normal,\r\r\n"
              "        4:above normal, 5:highest, 6:time critical)\r\r\n");
    char caption[INFO_TEXT_SIZE];
    EXPECT_TRUE(format_info_caption(TITLE, caption, sizeof caption));
    EXPECT_STREQ(caption, "Kelvast - Version 0.30 - Program Information");
}

TEST(InfoText, PositionalRowsAreNumberedAndUnknownKindsShowOnlyTheDescription) {
    char buffer[4];
    const OptionEntry table[] = {
        {"first", OPT_POSITIONAL, buffer, sizeof buffer, 0, "one"},
        {"x", OPT_FLAG, nullptr, 0, 0, "flag"},
        {"second", OPT_POSITIONAL, nullptr, 0, 0, "two"},
        {"odd", 7, nullptr, 0, 0, "strange"},
        {nullptr, OPT_FLAG, nullptr, 0, 0, nullptr},
    };
    const std::string rows = "pos1: one\r\r\n-x: flag\r\r\npos2: two\r\r\n: strange\r\r\n-: \r\r\n";
    std::string first = listing(table, 5);
    ASSERT_GE(first.size(), rows.size());
    EXPECT_EQ(first.substr(first.size() - rows.size()), rows);
    EXPECT_EQ(listing(table, 5), first) << "numbering restarts with every listing";
}

TEST(InfoText, OverlongTextsAreCutWithinTheirBuffers) {
    std::string long_text(300, 'd');
    const OptionEntry row = {"long", OPT_FLAG, nullptr, 0, 0, long_text.c_str()};
    char line[INFO_TEXT_SIZE + 8];
    memset(line, 'Z', sizeof line);
    uint32_t counter = 1;
    EXPECT_FALSE(format_option_line(row, &counter, line, INFO_TEXT_SIZE));
    EXPECT_EQ(std::string(line).substr(INFO_TEXT_SIZE - 4), "\r\r\n");
    EXPECT_EQ(line[INFO_TEXT_SIZE], 'Z');

    EXPECT_FALSE(format_info_header(long_text.c_str(), "d", "t", line, INFO_TEXT_SIZE));
    EXPECT_EQ(strlen(line), INFO_TEXT_SIZE - 1);

    memset(line, 'Z', sizeof line);
    EXPECT_FALSE(build_info_text(option_table, option_count, TITLE, "d", "t", line, 64));
    EXPECT_EQ(strlen(line), 63u);
    EXPECT_EQ(line[64], 'Z');
}
