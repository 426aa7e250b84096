// The main dialog "DLG_KELVAST".
#ifndef KELVAST_MAIN_DIALOG_WIN32_H
#define KELVAST_MAIN_DIALOG_WIN32_H

#include <windows.h>

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

#endif
