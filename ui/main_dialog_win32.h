// The main dialog "DLG_KELVAST" and everything it works on.
#ifndef KELVAST_MAIN_DIALOG_WIN32_H
#define KELVAST_MAIN_DIALOG_WIN32_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "config/options.h"
#include "schedule/run_record.h"
#include "schedule/scheduler_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout_win32.h"
#include "ui/main_settings.h"

constexpr size_t DIALOG_TEXT_SIZE = 256;
// Posted once the dialog is on screen: a dialog minimised any earlier is shown normally again by
// the modal loop when its queue first runs empty (Wine does this unconditionally).
constexpr UINT MSG_MINIMISE_AFTER_SHOW = WM_APP + 1;
// A worker's RunOutcome, posted (take_outcome).
constexpr UINT MSG_RUN_OUTCOME = WM_APP + 2;

// One run of the dialog: start-up fills in what the command line gave and the store to use and
// hands it over through DialogBoxParamA's parameter; the dialog keeps it in DWLP_USER. Nothing
// else holds any of it.
struct MainDialogContext {
    HINSTANCE instance = nullptr;  // resources (strings, icons, the information dialog)
    char option_error_text[OPTION_ERROR_SIZE] = "";
    bool auto_start = false;               // -as
    uint32_t catch_up_seconds = 0;         // -cu
    const OptionEntry* options = nullptr;  // the switches the information dialog lists
    uint32_t option_count = 0;
    MainSettings settings;  // values, history and the store start-up chose

    DialogLayout layout;
    Scheduler scheduler;
    RunRecord run{};                           // the schedule's run record, also kept when no store is written
    DialogDpi dpi;                             // the dialog's DPI and the fonts made for it
    char program_text[DIALOG_TEXT_SIZE] = "";  // last text of IDC_PROGRAM; also the file chooser's buffer
    char scratch_text[DIALOG_TEXT_SIZE] = "";
    bool minimise_when_shown = false;
    // Set once the settings are written; the end of a session saves without ending the dialog, and
    // an Exit after it must not write a second, possibly different, set of values.
    bool settings_saved = false;
};

// lParam of WM_INITDIALOG is the MainDialogContext, which must outlive the dialog.
INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

#endif
