// Date and time placeholders of the command line (&&yyyy, &&mo, &&dd, &&hh, &&mi, &&ss).
#ifndef KELVAST_COMMAND_H
#define KELVAST_COMMAND_H

#include "schedule/schedule_entry.h"
#include "schedule/clock_rules.h"

// Expands `command_line` with the values of `clock` into `out`, always terminated.
void expand_command(const char* command_line, const ClockReading& clock, char (&out)[COMMAND_LINE_SIZE]);

#endif
