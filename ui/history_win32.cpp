#include <windows.h>

#include "ui/history_win32.h"

#include "base/messages_win32.h"
#include "res/resource.h"

namespace {

constexpr WPARAM FIRST_ITEM = 0;

}  // namespace

void refill_history_list(HWND dialog, History& history) {
    const HistoryListing listing = list_history(history);
    HWND combo = GetDlgItem(dialog, IDC_PROGRAM);
    SendMessageA(combo, CB_RESETCONTENT, NO_WPARAM, NO_LPARAM);
    for (size_t i = 0; i < listing.count; ++i) {
        SendMessageA(combo, CB_ADDSTRING, NO_WPARAM, reinterpret_cast<LPARAM>(listing.items[i]));
    }
    SendMessageA(combo, CB_SETCURSEL, FIRST_ITEM, NO_LPARAM);
    show_history_slot(dialog, history.slots[listing.shown_slot]);
}

void show_history_slot(HWND dialog, const HistorySlot& slot) {
    SetDlgItemTextA(dialog, IDC_TIME, slot_time_text(slot));
    for (const DayBox& box : DAY_BOXES) {
        CheckDlgButton(dialog, box.id, day_ticked(slot_day_mask(slot), box.day) ? BST_CHECKED : BST_UNCHECKED);
    }
}
