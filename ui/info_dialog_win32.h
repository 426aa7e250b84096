// The information dialog "DLG_HELP".
#ifndef KELVAST_INFO_DIALOG_WIN32_H
#define KELVAST_INFO_DIALOG_WIN32_H

#include <windows.h>

// Runs the dialog modally, owned by the main dialog, and returns when it is closed.
void show_info_dialog(int text_field_id, const char* title, const char* build_date, const char* build_time);

#endif
