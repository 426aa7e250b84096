// The program's path on a command line: the quoting that keeps a path with blanks from starting some
// other program, and the name the file chooser starts from.
#ifndef KELVAST_PROGRAM_PATH_H
#define KELVAST_PROGRAM_PATH_H

#include <cstddef>
#include <cstdint>

#include "base/path_attributes.h"
#include "schedule/schedule_entry.h"
#include "schedule/worker.h"

enum class QuotedPath { AS_IS, QUOTED, TOO_LONG };

// A chosen program's path for the command line: in double quotes when it holds a blank, as it is
// otherwise. TOO_LONG, with `out` empty, when that does not fit `size`.
QuotedPath quote_program_path(const char* path, char* out, size_t size);

// The file name the chooser starts from for a command line: a path in double quotes without them, a
// text that can be no file name (quotes, wildcards, redirections) none at all, any other as it is.
void chooser_start_name(const char* text, char* out, size_t size);

// Whether attributes of a path name a file that can be started, not a folder or nothing.
bool is_plain_file(uint32_t attributes);

// The line to start: an expanded line that is not quoted, holds a blank and as a whole names an
// existing file (`platform.is_file`) is that file, quoted; any other line is passed as it is.
constexpr size_t START_LINE_SIZE = COMMAND_LINE_SIZE + 2;
void command_to_start(const char* expanded, WorkerPlatform& platform, char (&out)[START_LINE_SIZE]);
// The program a line starts, as the platform reads it: inside the leading quotes, else up to the
// first blank or tab.
void started_program(const char* line, char* out, size_t size);

#endif
