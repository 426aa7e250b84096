// The status line's right part: what the worker's latest launch decision came to, and where the two
// parts of the line meet.
#ifndef KELVAST_RUN_STATUS_H
#define KELVAST_RUN_STATUS_H

#include <cstddef>
#include <cstdint>

#include "schedule/schedule_entry.h"
#include "schedule/worker.h"

constexpr size_t STATUS_TEXT_SIZE = 256;

// The string-table text of an outcome: its format, with the moment it names (date, time and, for a
// run made up late, when it was due), then the exit code (%lu) or the reason of a failure (%s).
uint32_t outcome_text_id(OutcomeKind kind);
// `date_text` is the moment's date as the user writes it; `reason` that of a failure. True when the
// whole text fitted `size`.
bool format_outcome_text(const char* format,
                         const RunOutcome& outcome,
                         const char* date_text,
                         const char* reason,
                         char* out,
                         size_t size);
// The system's message for an error as the line shows it: on one line (line breaks inside become a
// blank, those at the end go) and with its insert "%1" filled with `program`; cut to fit `size`.
void format_reason(const char* message, const char* program, char* out, size_t size);

// The longest text the left part shows as a rule, which it is sized to hold: a waiting time of
// 23:59:59.
constexpr TimeParse WIDEST_WAITING_TIME{23, 59, 59, 3, 86399, true};
// Where the left part ends when its widest text is `left_text` pixels wide, at `dpi`: it keeps the
// room that text needs, and the right part, which tells why a run failed, takes all the rest.
int32_t status_left_part_edge(int32_t left_text, uint32_t dpi);

#endif
