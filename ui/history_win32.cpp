#include <windows.h>

#include "ui/history_win32.h"

#include "res/resource.h"

void refill_history_list(HWND dialog, History& history) {
    split_history(history);
    HWND combo = GetDlgItem(dialog, IDC_PROGRAM);
    // The delete answers with the items left, or CB_ERR once the list is empty.
    while (SendMessageA(combo, CB_DELETESTRING, 0, 0) > 0) {
    }
    for (size_t i = 0; i < HISTORY_SLOT_COUNT; ++i) {
        const char* command_line = slot_command_line(history.slots[i]);
        if (command_line[0] != '\0') {
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(command_line));
        }
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    // A stored entry with an empty command line is not listed: show the one the first item names.
    int first = slot_for_list_position(history, 0);
    show_history_slot(dialog, history.slots[first >= 0 ? first : 0]);
    // The inputs now hold the first item's entry; a later notification for that same item (focus,
    // a key in the edit field) must not load it again over what the user has typed since.
    history.last_shown_index = first >= 0 ? 0 : -1;
}

void show_history_slot(HWND dialog, const HistorySlot& slot) {
    SetDlgItemTextA(dialog, IDC_TIME, slot_time_text(slot));
    const char* mask = slot_day_mask(slot);
    bool ended = false;
    for (int i = 0; i < 7; ++i) {
        // Past the end of a short mask every day counts as unticked.
        ended = ended || mask[i] == '\0';
        CheckDlgButton(dialog, IDC_DAY_SU + i, !ended && mask[i] == '1' ? BST_CHECKED : BST_UNCHECKED);
    }
}
