// The history list in the program combo box and the inputs it fills.
#ifndef KELVAST_HISTORY_WIN32_H
#define KELVAST_HISTORY_WIN32_H

#include <windows.h>

#include "ui/history.h"

// Splits, rebuilds the drop-down list of IDC_PROGRAM, selects the first item and shows slot 0.
void refill_history_list(HWND dialog, History& history);
// Slot time into IDC_TIME and day mask into the seven day boxes.
void show_history_slot(HWND dialog, const HistorySlot& slot);

#endif
