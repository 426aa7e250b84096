// The worker thread on Windows: GetLocalTime, Sleep, CreateProcessA and the WORKER_DONE send.
#ifndef KELVAST_WORKER_WIN32_H
#define KELVAST_WORKER_WIN32_H

#include <windows.h>

// Low word of wParam of the WM_USER message the worker sends when it ends.
constexpr WPARAM WORKER_DONE = 401;

// Stack reserved for the worker thread: its polls and CreateProcessA need a few KB. The default
// of the exe (2 MB) is what the main thread gets; Wine commits a thread's whole reservation.
constexpr SIZE_T WORKER_STACK_RESERVE = 256 * 1024;

// Thread entry: works on the program-wide schedule_request and notifies main_dialog_window.
DWORD WINAPI SchedulerWorker(LPVOID unused);

// Starts the expanded command line minimised, without waiting; failures are silent.
void launch_command(char* expanded_command_line);

#endif
