// Program-wide platform handles, defined in program_state_win32.cpp.
#ifndef KELVAST_PROGRAM_STATE_WIN32_H
#define KELVAST_PROGRAM_STATE_WIN32_H

#include <windows.h>

extern HINSTANCE app_instance;   // resources (dialogs, strings, icons) come from here
extern HWND main_dialog_window;  // set at WM_INITDIALOG; the worker notifies it
extern HANDLE worker_thread;     // null when no worker exists

#endif
