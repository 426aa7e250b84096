#include "ui/run_status.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "base/bounded_text.h"
#include "res/resource.h"
#include "ui/dpi.h"

namespace {

// Room around a part's text at 96 DPI: the part's borders and the margin its text keeps.
constexpr int32_t STATUS_TEXT_PADDING = 12;

const uint32_t OUTCOME_TEXT_IDS[] = {IDS_RUN_STARTED, IDS_RUN_EXITED, IDS_RUN_FAILED, IDS_RUN_MISSED};

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
                         const char* error_text,
                         char* out,
                         size_t size) {
    const ClockReading& clock = outcome.clock;
    char time_text[sizeof "65535:65535:65535"];
    format_text(time_text, sizeof time_text, "%2.2i:%2.2i:%2.2i", clock.hour, clock.minute, clock.second);
    const char* date = date_text != nullptr ? date_text : "";
    if (outcome.kind == OutcomeKind::EXITED) {
        return format_text(out, size, format, date, time_text, static_cast<unsigned long>(outcome.code));
    }
    return format_text(out, size, format, date, time_text, error_text != nullptr ? error_text : "");
}

void join_lines(char* text) {
    if (text == nullptr) {
        return;
    }
    char* to = text;
    for (const char* from = text; *from != '\0'; ++from) {
        if (!is_line_end(*from)) {
            *to++ = *from;
        } else if (to != text && !is_line_end(from[1]) && from[1] != '\0' && to[-1] != ' ') {
            *to++ = ' ';
        }
    }
    *to = '\0';
}

int32_t status_left_part_edge(int32_t width, int32_t left_text, int32_t right_text, uint32_t dpi) {
    const int64_t padding = scale_for_dpi(STATUS_TEXT_PADDING, dpi);
    const int64_t left = std::max<int64_t>(left_text, 0) + padding;
    const int64_t right = std::max<int64_t>(right_text, 0) + padding;
    const int64_t shared = static_cast<int64_t>(width) * left / (left + right);
    return static_cast<int32_t>(std::min<int64_t>(std::max(shared, left), INT32_MAX));
}
