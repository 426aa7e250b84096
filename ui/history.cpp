#include "ui/history.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "res/resource.h"
#include "schedule/schedule_entry.h"

namespace {

constexpr size_t ENTRY_TEXTS = 3;

// Length of the first `count` texts at `text` with their zero bytes, looking at no more than
// `limit` bytes; 0 when the last of those zero bytes is not within them.
size_t texts_length(const char* text, size_t limit, size_t count) {
    size_t at = 0;
    for (size_t i = 0; i < count; i++) {
        const void* zero = memchr(text + at, '\0', limit - at);  // at the very end: no bytes, no zero
        if (zero == nullptr) {
            return 0;
        }
        at = static_cast<size_t>(static_cast<const char*>(zero) - text) + 1;
    }
    return at;
}

// An entry is its three texts: command line, time and day mask.
size_t entry_length(const char* text, size_t limit) {
    return texts_length(text, limit, ENTRY_TEXTS);
}

// Start reads no more of a command line than this; a longer one would run cut short. Looks at no
// more than `limit` bytes.
bool runs_whole(const char* command_line, size_t limit) {
    return strnlen(command_line, limit) < COMMAND_LINE_SIZE;
}

void empty_slot(HistorySlot& slot) {
    memset(slot.bytes, 0, sizeof slot.bytes);
}

// The n-th text of a slot, or "" when the slot is not terminated where it should be.
const char* slot_text(const HistorySlot& slot, size_t n) {
    if (texts_length(slot.bytes, sizeof slot.bytes, n + 1) == 0) {
        return "";
    }
    return slot.bytes + texts_length(slot.bytes, sizeof slot.bytes, n);
}

}  // namespace

void reset_history_slots(History& history) {
    for (HistorySlot& slot : history.slots) {
        empty_slot(slot);
    }
    history.last_shown_index = -1;
}

// An entry that does not fit a slot (with its extra zero byte), whose command line Start could not
// run whole, or that the end of the buffer cuts off, is dropped whole: a shortened command line
// would run something the user never entered.
void split_history(History& history) {
    const char* buffer = history.buffer;
    size_t at = 0;
    size_t slot = 0;
    bool first = true;
    while (slot < HISTORY_SLOT_COUNT && at < HISTORY_BUFFER_SIZE) {
        // A zero byte where an entry would begin ends the list, except at the very start.
        if (!first && buffer[at] == '\0') {
            break;
        }
        first = false;
        // An entry the buffer's end cuts off has length 0: it fills the remaining slots with nothing.
        size_t length = entry_length(buffer + at, HISTORY_BUFFER_SIZE - at);
        if (length < HISTORY_SLOT_SIZE && runs_whole(buffer + at, length)) {
            HistorySlot& target = history.slots[slot++];
            memcpy(target.bytes, buffer + at, length);
            memset(target.bytes + length, 0, sizeof target.bytes - length);
        }
        at += length;
    }
    for (; slot < HISTORY_SLOT_COUNT; slot++) {
        empty_slot(history.slots[slot]);
    }
}

bool add_history_entry(History& history, const char* command_line, const char* time_text, const char* day_mask) {
    split_history(history);
    if (command_line == nullptr || command_line[0] == '\0' || !runs_whole(command_line, COMMAND_LINE_SIZE)) {
        return false;
    }
    const char* texts[ENTRY_TEXTS] = {command_line, time_text ? time_text : "", day_mask ? day_mask : ""};
    HistorySlot work;
    size_t length = 0;
    for (const char* text : texts) {
        size_t n = strnlen(text, sizeof work.bytes);
        if (length + n + 1 >= sizeof work.bytes) {
            return false;  // no room for the slot's closing zero byte
        }
        memcpy(work.bytes + length, text, n + 1);
        length += n + 1;
    }

    char* buffer = history.buffer;
    memcpy(buffer, work.bytes, length);
    size_t used = length;
    for (const HistorySlot& slot : history.slots) {
        const char* slot_command = slot_text(slot, 0);
        // Entries without a command line are never listed, and one in the middle would end the list.
        if (slot_command[0] == '\0' || strcmp(slot_command, command_line) == 0) {
            continue;
        }
        size_t slot_length = entry_length(slot.bytes, sizeof slot.bytes);
        if (used + slot_length + 1 > HISTORY_BUFFER_SIZE) {
            break;  // this and every older entry are dropped whole
        }
        memcpy(buffer + used, slot.bytes, slot_length);
        used += slot_length;
    }
    memset(buffer + used, 0, HISTORY_BUFFER_SIZE - used);
    split_history(history);
    return true;
}

const char* slot_command_line(const HistorySlot& slot) {
    return slot_text(slot, 0);
}

const char* slot_time_text(const HistorySlot& slot) {
    return slot_text(slot, 1);
}

const char* slot_day_mask(const HistorySlot& slot) {
    return slot_text(slot, 2);
}

int slot_for_list_position(const History& history, int position) {
    if (position < 0) {
        return -1;
    }
    int listed = 0;
    const HistorySlot* end = std::end(history.slots);
    const HistorySlot* found = std::find_if(std::begin(history.slots), end, [&](const HistorySlot& slot) {
        return slot_command_line(slot)[0] != '\0' && listed++ == position;
    });
    return found == end ? -1 : static_cast<int>(found - history.slots);
}

HistoryListing list_history(History& history) {
    split_history(history);
    HistoryListing listing{};
    for (const HistorySlot& slot : history.slots) {
        const char* command_line = slot_command_line(slot);
        if (command_line[0] != '\0') {
            listing.items[listing.count++] = command_line;
        }
    }
    // A stored entry with an empty command line is not listed: show the one the first item names.
    const int first = slot_for_list_position(history, 0);
    listing.shown_slot = first < 0 ? 0 : static_cast<size_t>(first);
    // The inputs now hold the first item's entry; a later notification for that same item (focus,
    // a key in the edit field) must not load it again over what the user has typed since.
    history.last_shown_index = first < 0 ? -1 : 0;
    return listing;
}

const HistorySlot* select_history_item(History& history, int64_t selection) {
    if (selection < 0 || selection > INT32_MAX) {
        return nullptr;
    }
    const int position = static_cast<int>(selection);
    const bool changed = position != history.last_shown_index;
    history.last_shown_index = position;
    const int slot = slot_for_list_position(history, position);
    return changed && slot >= 0 ? &history.slots[slot] : nullptr;
}

const DayBox DAY_BOXES[7] = {{IDC_DAY_SU, 0}, {IDC_DAY_MO, 1}, {IDC_DAY_TU, 2}, {IDC_DAY_WE, 3},
                             {IDC_DAY_TH, 4}, {IDC_DAY_FR, 5}, {IDC_DAY_SA, 6}};

bool day_ticked(const char* day_mask, size_t day) {
    return day_mask != nullptr && memchr(day_mask, '\0', day) == nullptr && day_mask[day] == '1';
}
