// The right part of the status line: the outcome's text and the share of the line each part gets.
#include "ui/run_status.h"

#include <gtest/gtest.h>

#include <string>

// Date and time of the deciding reading, then the exit code (all 32 bits) or the system's message;
// cut at the buffer's end. A system message keeps one line.
TEST(RunStatus, OutcomeTexts) {
    const ClockReading clock{2026, 12, 1, 7, 2, 3, 4};
    const struct {
        OutcomeKind kind;
        uint32_t code;
        const char* format;
        size_t size;
        const char* text;
    } rows[] = {
        {OutcomeKind::STARTED, 0, "Started %s %s", 64, "Started 7.12.2026 02:03:04"},
        {OutcomeKind::EXITED, 4294967295u, "%s %s, exit code %lu", 64, "7.12.2026 02:03:04, exit code 4294967295"},
        {OutcomeKind::FAILED, 2, "at %s %s: %s", 64, "at 7.12.2026 02:03:04: File not found."},
        {OutcomeKind::MISSED, 0, "Missed %s %s", 12, "Missed 7.12"},
    };
    for (const auto& row : rows) {
        char out[64];
        const bool whole =
            format_outcome_text(row.format, {row.kind, clock, row.code}, "7.12.2026", "File not found.", out, row.size);
        EXPECT_EQ(out + std::string(whole ? "" : " (cut)"), row.text + std::string(row.size < 64 ? " (cut)" : ""));
    }
    std::string lines;
    for (const char* message : {"File not found.\r\n", "One.\r\nTwo. \r\nThree\n", "a\nb", "\r\n", ""}) {
        std::string text = message;
        join_lines(&text[0]);
        lines += text.c_str() + std::string("|");
    }
    EXPECT_EQ(lines, "File not found.|One. Two. Three|a b|||");
}

// Each part has room for its widest text and a margin; what is over is shared in proportion, and when
// the line is too narrow the left part keeps its room.
TEST(RunStatus, PartsShareTheLine) {
    const int32_t rows[][5] = {
        // width, left text, right text, DPI, left part's edge
        {500, 200, 200, 96, 250}, {300, 200, 200, 96, 212}, {600, 88, 288, 96, 150}, {600, 88, 288, 144, 154},
        {0, -5, 200, 96, 12},     {-10, 200, -5, 96, 212},  {424, 200, -5, 96, 401},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(status_left_part_edge(r[0], r[1], r[2], static_cast<uint32_t>(r[3])), r[4])
            << r[0] << " " << r[1] << " " << r[2] << " " << r[3];
    }
}
