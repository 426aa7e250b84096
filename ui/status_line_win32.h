// The dialog's status line: the left part's texts and the right part's report of the last run.
#ifndef KELVAST_STATUS_LINE_WIN32_H
#define KELVAST_STATUS_LINE_WIN32_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "schedule/worker.h"
#include "ui/run_status.h"

// A text of the string table, or an empty one where there is none.
void load_string(HINSTANCE instance, UINT id, char* out, int size);
// The left part of the status line.
void show_status(HWND dialog, const char* text);
// The right part of the status line.
void show_run_status(HWND dialog, const char* text);
void format_outcome(HINSTANCE instance, const RunOutcome& outcome, char* out, size_t size);
// Both parts hold their widest usual text in the status line's font at the dialog's DPI.
void fit_status_parts(HINSTANCE instance, HWND dialog, uint32_t dpi);

#endif
