// The status line's right part: what the worker's latest launch decision came to.
#ifndef KELVAST_RUN_STATUS_H
#define KELVAST_RUN_STATUS_H

#include <cstddef>
#include <cstdint>

#include "schedule/worker.h"

// The string-table text of an outcome: its format, with the date and the time of the outcome's
// reading, then the exit code (%lu) or the system's message for the error (%s) where it has one.
uint32_t outcome_text_id(OutcomeKind kind);
// `date_text` is the reading's date as the user writes it; `error_text` the system's message for a
// failure's code. True when the whole text fitted `size`.
bool format_outcome_text(const char* format,
                         const RunOutcome& outcome,
                         const char* date_text,
                         const char* error_text,
                         char* out,
                         size_t size);
// A system message on one line: line breaks inside become a blank, those at the end go.
void join_lines(char* text);

// The longest texts each part shows as a rule, which they are sized to hold: a waiting time of
// 23:59:59, and a start with a three-digit exit code on a date of two-digit day and month.
constexpr TimeParse WIDEST_WAITING_TIME{23, 59, 59, 3, 86399, true};
constexpr RunOutcome WIDEST_OUTCOME{OutcomeKind::EXITED, ClockReading{2026, 12, 1, 28, 23, 59, 59}, 999};
// Where the left part ends in a status line `width` pixels wide, at `dpi`, when its widest text is
// `left_text` pixels and the right part's `right_text`: both get room for theirs, and what is over
// is shared in their proportion; when there is too little, the left part, the waiting text, wins.
int32_t status_left_part_edge(int32_t width, int32_t left_text, int32_t right_text, uint32_t dpi);

#endif
