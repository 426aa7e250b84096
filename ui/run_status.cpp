#include "ui/run_status.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "base/bounded_text.h"
#include "base/text_reader.h"
#include "res/resource.h"
#include "ui/dpi.h"

namespace {

// Room around a part's text at 96 DPI: the part's borders and the margin its text keeps.
constexpr int32_t STATUS_TEXT_PADDING = 12;

const uint32_t OUTCOME_TEXT_IDS[] = {IDS_RUN_STARTED, IDS_RUN_EXITED, IDS_RUN_FAILED, IDS_RUN_MISSED,
                                     IDS_RUN_MISSED_ABSENT};

bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

uint32_t outcome_text_id(OutcomeKind kind) {
    return OUTCOME_TEXT_IDS[static_cast<size_t>(kind) % std::size(OUTCOME_TEXT_IDS)];
}

bool format_outcome_text(const char* format,
                         const RunOutcome& outcome,
                         const char* date_text,
                         const char* reason,
                         char* out,
                         size_t size) {
    const ClockReading& clock = outcome.clock;
    char moment[STATUS_TEXT_SIZE];
    format_text(moment, sizeof moment, "%s %02u:%02u:%02u", date_text != nullptr ? date_text : "", clock.hour,
                clock.minute, clock.second);
    if (outcome.caught_up) {
        char due[TIME_OF_DAY_SIZE];
        format_time_of_day(outcome.due, due);
        append_format(moment, sizeof moment, " (due %s)", due);
    }
    if (outcome.kind == OutcomeKind::EXITED) {
        return format_text(out, size, format, moment, static_cast<unsigned long>(outcome.code));
    }
    return format_text(out, size, format, moment, reason != nullptr ? reason : "");
}

void format_reason(const char* message, const char* program, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    out[0] = '\0';
    const char* insert = program != nullptr ? program : "";
    bool fits = true;
    for (const char* from = message != nullptr ? message : ""; *from != '\0' && fits; ++from) {
        const size_t used = strlen(out);
        if (from[0] == '%' && from[1] == '1' && digit_value(from[2], 10) < 0) {
            fits = append_format(out, size, "%s", insert);
            ++from;
            // "%1!s!": the insert's format goes with it.
            const char* format_end = from[1] == '!' ? strchr(from + 2, '!') : nullptr;
            from = format_end != nullptr ? format_end : from;
        } else if (!is_line_end(*from)) {
            fits = append_format(out, size, "%c", *from);
        } else if (used != 0 && !is_line_end(from[1]) && from[1] != '\0' && out[used - 1] != ' ') {
            fits = append_format(out, size, " ");
        }
    }
}

int32_t status_left_part_edge(int32_t left_text, uint32_t dpi) {
    return static_cast<int32_t>(
        std::min<int64_t>(std::max<int64_t>(left_text, 0) + scale_for_dpi(STATUS_TEXT_PADDING, dpi), INT32_MAX));
}
