// The information dialog "DLG_HELP".
#ifndef KELVAST_INFO_DIALOG_WIN32_H
#define KELVAST_INFO_DIALOG_WIN32_H

#include <windows.h>

#include <cstdint>

#include "config/options.h"

// What the dialog lists: the title line, the build, and the switches by name and description.
struct InfoDialogContent {
    int text_field_id;
    const char* title;
    const char* build_date;
    const char* build_time;
    const OptionEntry* options;
    uint32_t option_count;
};

// Runs the dialog modally, owned by `owner`, and returns when it is closed.
void show_info_dialog(HINSTANCE instance, HWND owner, const InfoDialogContent& content);

#endif
