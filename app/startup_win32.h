// The program's start: switches, stores, priority, then the modal main dialog.
#ifndef KELVAST_STARTUP_WIN32_H
#define KELVAST_STARTUP_WIN32_H

#include <windows.h>

// Returns 0 in every case.
int run_kelvast(HINSTANCE instance, const char* command_line);

#endif
