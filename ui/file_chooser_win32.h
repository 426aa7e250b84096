// The File button's chooser. comdlg32, and the shell libraries it brings with it, are loaded when it
// is used instead of at start-up, from the system folder only.
#ifndef KELVAST_FILE_CHOOSER_WIN32_H
#define KELVAST_FILE_CHOOSER_WIN32_H

#include <windows.h>

#include <cstddef>

#include "schedule/schedule_entry.h"

// Lets the user pick a program, starting from `initial`, which must be a file name (see
// chooser_start_name). True when one was chosen: its full path is
// then in `path`. False when cancelled, or when comdlg32 cannot be loaded (nothing is shown). The
// process's current directory is the same afterwards, wherever the user went in the chooser.
bool choose_program_file(HWND owner, const char* initial, char (&path)[COMMAND_LINE_SIZE]);

#endif
