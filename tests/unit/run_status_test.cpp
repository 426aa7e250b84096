// The status line's right part: the outcome's text, the failure's reason, and where the part begins.
#include "ui/run_status.h"

#include <gtest/gtest.h>

#include <string>

// The moment, then exit code or reason; a run made up late tells when it was due; cut at the end. The
// part begins where the left part's widest text ends.
TEST(RunStatus, OutcomeTexts) {
    const struct {
        OutcomeKind kind;
        uint32_t code;
        bool caught_up;
        const char* format;
    } rows[] = {{OutcomeKind::STARTED, 0, false, "S %s|"},
                {OutcomeKind::EXITED, 4294967295u, true, "%s, exit %lu|"},
                {OutcomeKind::FAILED, 2, false, "at %s: %s|"},
                {OutcomeKind::MISSED, 0, false, "M %s|"},
                {OutcomeKind::MISSED_ABSENT, 0, true, "A %s|"}};
    std::string seen;
    for (const auto& row : rows) {
        char out[64];
        const RunOutcome outcome{row.kind, {2026, 12, 1, 7, 2, 3, 4}, row.code, 0, row.caught_up, 86399, "p"};
        seen +=
            std::to_string(format_outcome_text(row.format, outcome, "7.12.2026", "Not found.", out, sizeof out)) + out;
    }
    char cut[12];
    const RunOutcome missed{OutcomeKind::MISSED, {}, 0, 0, false, 0, ""};
    seen += std::to_string(format_outcome_text("Missed %s", missed, "7.12.2026", "", cut, sizeof cut)) + cut;
    // The left part keeps the room its widest text needs at the dialog's scale.
    seen += " " + std::to_string(status_left_part_edge(200, 96) + status_left_part_edge(88, 144) * 1000) + " " +
            std::to_string(status_left_part_edge(-5, 96));
    EXPECT_EQ(seen,
              "1S 7.12.2026 02:03:04|17.12.2026 02:03:04 (due 23:59:59), exit 4294967295|1at 7.12.2026 02:03:04: "
              "Not found.|1M 7.12.2026 02:03:04|1A 7.12.2026 02:03:04 (due 23:59:59)|0Missed 7.12 106212 12");
}

// On one line, the program in place of "%1" (and of its format), cut to the buffer rather than lost.
TEST(RunStatus, ReasonFromTheSystemsMessage) {
    const std::pair<const char*, const char*> rows[] = {
        {"File not found.\r\n", "File not found."},
        {"%1 is not a valid Win32 application.\r\n", "C:\\a b\\p.exe is not a valid Win32 application."},
        {"Bad EXE format for %1!s!.", "Bad EXE format for C:\\a b\\p.exe."},
        {"%10 %2 %%1 %1", "%10 %2 %C:\\a b\\p.exe C:\\a b\\p.exe"},
        {"One.\r\nTwo. \r\nThree\n", "One. Two. Three"},
        {"a\nb", "a b"},
        {"\r\n", ""},
        {nullptr, ""},
    };
    for (const auto& [message, expect] : rows) {
        char out[64];
        format_reason(message, "C:\\a b\\p.exe", out, sizeof out);
        EXPECT_STREQ(out, expect) << (message != nullptr ? message : "null");
    }
    char small[10] = "xxxxxxxxx";
    format_reason("%1 is not a valid Win32 application.", "C:\\p.exe", small, sizeof small);
    format_reason("x", "p", small + 9, 0);
    EXPECT_STREQ(small, "C:\\p.exe ");
}
