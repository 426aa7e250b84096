// Date and time placeholders of the command line, and the program's path on it.
#include "schedule/command.h"
#include "schedule/program_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const ClockReading CLOCK = {2026, 12, 6, 5, 7, 4, 9};  // Saturday 2026-12-05 07:04:09

// The input sits in a buffer of the command line's size, with no zero byte when it fills it.
std::string expand(const std::string& input, const ClockReading& clock = CLOCK) {
    char in[COMMAND_LINE_SIZE], out[COMMAND_LINE_SIZE];
    memcpy(in, input.c_str(), std::min(input.size() + 1, sizeof in));
    expand_command(in, clock, out);
    return out;
}

}  // namespace

// Whatever the input, the output is cut at its buffer's end and never read or written past.
TEST(ExpandCommand, PlaceholdersWithinTheBuffers) {
    const std::string a(249, 'a');
    const std::string rows[][2] = {
        {"run &&yyyymodd_&&hhmiss.log", "run 20261205_070409.log"},
        {"&&ddmo &&mohh a&&b &&& &&&&yyyy a&&", "05mo 1207 ab & 2026 a"},
        {"a & b &&Yyyy &&mm &&yyy &&m", "a & b Yyyy mm yyy m"},
        {a + "aa&&yyy", a + "aayyy"},
        {"&&" + a + "&&yy&", a + "yy&"},
        {"&&" + a + "aaa&&", a + "aaa"},
        {a + a, a + "aaaaaa"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(expand(row[0]), row[1]) << row[0];
    }
    EXPECT_EQ(expand(a + "aa&&mo", {0, 65535, 0, 0, 0, 0, 0}), a + "aa6553");
    char out[COMMAND_LINE_SIZE] = "x";
    expand_command(nullptr, CLOCK, out);
    EXPECT_STREQ(out, "") << "no command line expands to none";
}

// A chosen path with a blank goes in quotes where they fit; the chooser starts from it unquoted.
TEST(ProgramPath, QuotedForTheFieldAndBareForTheChooser) {
    const std::string blank = "C:\\New folder\\" + std::string(236, 'p') + ".exe";  // 254 characters
    const std::pair<std::string, size_t> paths[] = {
        {"C:\\a b.exe", 256},   {"C:\\ab.exe", 256}, {"\"C:\\a b.exe\"", 256},
        {blank.substr(1), 256}, {blank, 256},        {"C:\\ab.exe", 5}};
    std::string seen;
    for (const auto& [path, size] : paths) {
        char out[256] = "x";
        const int kind = static_cast<int>(quote_program_path(path.c_str(), out, size));
        seen += std::to_string(kind) + (std::string(out) == "\"" + path + "\"" ? "\"" : out == path ? "=" : out) + " ";
    }
    EXPECT_EQ(seen, "1\" 0= 0= 1\" 2 2 ") << "quoted, as it is, or too long and then empty";
    std::string names;
    for (const char* text : {"\"C:\\a b.exe\"", "\"a b\" c", "C:\\x.exe arg", "\"", "a|b", "a\tb", "*.exe"}) {
        char out[16] = "x";
        chooser_start_name(text, out, sizeof out);
        names += std::string(out) + ";";
    }
    char tight[9];
    chooser_start_name("\"C:\\a b.exe\"", tight, sizeof tight);
    EXPECT_EQ(names + tight, "C:\\a b.exe;;C:\\x.exe arg;;;;;") << "a quoted path too long for the name is none";
    for (const uint32_t attributes : {0x20u, 0x80u, 0x10u, 0x11u, 0xFFFFFFFFu}) {
        names += std::to_string(is_plain_file(attributes));
    }
    EXPECT_EQ(names.substr(names.size() - 5), "11000") << "only a file starts";
    char quoted[8], tabbed[3];
    started_program("\"C:\\a b\" c", quoted, sizeof quoted);
    started_program("C:\\p\ta b", tabbed, sizeof tabbed);
    EXPECT_EQ(std::string(quoted) + "|" + tabbed, "C:\\a b|C:") << "as the platform reads it, cut to fit";
}
