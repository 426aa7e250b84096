// The right part of the status line: the outcome's text and the share of the line each part gets.
#include "ui/run_status.h"

#include <gtest/gtest.h>

#include <string>

// Date, time, then exit code or system message (on one line); cut at the buffer's end.
TEST(RunStatus, OutcomeTexts) {
    const struct {
        OutcomeKind kind;
        uint32_t code;
        const char* format;
    } rows[] = {{OutcomeKind::STARTED, 0, "S %s %s|"},
                {OutcomeKind::EXITED, 4294967295u, "%s %s, exit %lu|"},
                {OutcomeKind::FAILED, 2, "at %s %s: %s|"},
                {OutcomeKind::MISSED, 0, "Missed %s %s|"}};
    std::string seen;
    for (const auto& row : rows) {
        char out[64];
        seen += std::to_string(format_outcome_text(row.format, {row.kind, {2026, 12, 1, 7, 2, 3, 4}, row.code},
                                                   "7.12.2026", "File not found.", out, sizeof out)) +
                out;
    }
    char cut[12];
    seen += std::to_string(
                format_outcome_text("Missed %s %s", {OutcomeKind::MISSED, {}, 0}, "7.12.2026", "", cut, sizeof cut)) +
            cut + "|";
    for (const char* message : {"File not found.\r\n", "One.\r\nTwo. \r\nThree\n", "a\nb", "\r\n"}) {
        std::string text = message;
        join_lines(&text[0]);
        seen += text.c_str() + std::string("|");
    }
    EXPECT_EQ(seen,
              "1S 7.12.2026 02:03:04|17.12.2026 02:03:04, exit 4294967295|1at 7.12.2026 02:03:04: File not found.|"
              "1Missed 7.12.2026 02:03:04|0Missed 7.12|File not found.|One. Two. Three|a b||");
}

// Each part gets room for its widest text, the rest shared in proportion; when short, the left wins.
TEST(RunStatus, PartsShareTheLine) {
    const int32_t rows[][5] = {
        // width, left text, right text, DPI, left part's edge
        {500, 200, 200, 96, 250}, {300, 200, 200, 96, 212}, {600, 88, 288, 96, 150}, {600, 88, 288, 144, 154},
        {0, -5, 200, 96, 12},     {-10, 200, -5, 96, 212},  {424, 200, -5, 96, 401},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(status_left_part_edge(r[0], r[1], r[2], static_cast<uint32_t>(r[3])), r[4]) << r[0] << " " << r[1];
    }
}
