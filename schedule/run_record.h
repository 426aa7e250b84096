// The run record: what a schedule keeps on disk so that Kelvast, started again after its process went
// away (a restart, a log-off, a crash), never runs a day twice, shows the last run again and can tell
// which run fell while it was gone.
//
// Its text, one line a person can read:
//   Kelvast run 1; time=03:00:00; days=1111111; armed=2026-12-07 22:15:03;
//   ran=2026-12-08 2026-12-07; last=2026-12-08 03:00:00 Started 12/8/2026 03:00:00, exit code 0;
//   command=backup.cmd &&yyyymodd; state=armed
// (on one line). Dates and times are local. In `last` and `command`, '%', ';' and control characters
// are written as '%' and two hex digits.
#ifndef KELVAST_RUN_RECORD_H
#define KELVAST_RUN_RECORD_H

#include <cstddef>
#include <cstdint>

#include "schedule/clock_rules.h"
#include "schedule/schedule_entry.h"
#include "schedule/worker.h"

constexpr size_t RUN_RECORD_TEXT_SIZE = 2048;  // the longest record, every character escaped, fits
constexpr size_t RUN_OUTCOME_TEXT_SIZE = 256;

struct RunRecord {
    bool valid;  // holds a schedule; a missing, damaged or foreign text gives none
    char command_line[COMMAND_LINE_SIZE];
    uint32_t target_second;
    char day_mask[DAY_MASK_SIZE];
    int64_t armed_since;  // local seconds
    bool stopped;         // by the user: nothing is owed
    LaunchedDays launched;
    bool has_last;
    int64_t last_moment;                    // local seconds of the moment the last outcome names
    char last_text[RUN_OUTCOME_TEXT_SIZE];  // as the status line showed it
};

// False, with `record` holding none, for a text that is not a whole record of this form.
bool parse_run_record(const char* text, RunRecord& record);
// False, with `out` empty, for no record or a text that does not fit.
bool format_run_record(const RunRecord& record, char* out, size_t size);
// Puts the record's text in `text` when it differs from what `text` holds, and then answers true: the
// record is to be written. A text that is no record of this program's (a newer one's, say) is only
// replaced by a record.
bool update_run_text(const RunRecord& record, char* text, size_t size);

// A Start of a schedule at local time `now`. The same schedule takes over the days it ran; while its
// record is still armed (Kelvast ended without a Cancel or Exit), the Start continues it: since when it
// is armed stays, and the worker looks for a window missed since then. Any other Start arms it anew.
struct RunStart {
    bool continues;
    WorkerStart worker;
};
RunStart start_run(RunRecord& record,
                   const char* command_line,
                   uint32_t target_second,
                   const char* day_mask,
                   int64_t now,
                   uint32_t catch_up_seconds);
// Cancel and Exit.
void stop_run(RunRecord& record);
// An outcome the worker reported, with the text the status line shows for it.
void note_run_outcome(RunRecord& record, const RunOutcome& outcome, const char* text);

#endif
