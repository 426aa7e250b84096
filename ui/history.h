// The history of recent schedules: the persisted multi-string and its ten in-memory slots.
#ifndef KELVAST_HISTORY_H
#define KELVAST_HISTORY_H

#include <cstddef>
#include <cstdint>

constexpr size_t HISTORY_BUFFER_SIZE = 2571;  // the stored value's limit
constexpr size_t HISTORY_SLOT_COUNT = 10;
// A whole entry: 255-character command line, time, day mask, their zero bytes and one more.
constexpr size_t HISTORY_SLOT_SIZE = 276;

struct HistorySlot {
    char bytes[HISTORY_SLOT_SIZE];
};

struct History {
    char buffer[HISTORY_BUFFER_SIZE];  // the settings store reads and writes this directly
    HistorySlot slots[HISTORY_SLOT_COUNT];
    int last_shown_index;  // -1 when no entry has been shown yet
};

// Empties every slot and forgets the last shown entry; the buffer is left as it is.
void reset_history_slots(History& history);

// Buffer -> slots. Never reads past the buffer: an entry that would not fit a slot, whose command
// line is longer than Start reads (255 characters), or that the buffer's end cuts off, is dropped
// whole; the entries after it are kept.
void split_history(History& history);

// Puts (command line, time, day mask) first, drops older entries with the same command line (and
// those without a command line), keeps the buffer within its size by dropping the oldest whole
// entries, then splits. An empty or overlong command line, or an entry that would not fit a slot,
// is not added (returns false; the history is left as it was, split again).
bool add_history_entry(History& history, const char* command_line, const char* time_text, const char* day_mask);

// The texts of a slot; an empty slot gives three empty texts.
const char* slot_command_line(const HistorySlot& slot);
const char* slot_time_text(const HistorySlot& slot);
const char* slot_day_mask(const HistorySlot& slot);

// What the drop-down list shows: the command lines of the slots that have one, in slot order, and
// the slot whose time and days the inputs show beside its first item.
struct HistoryListing {
    const char* items[HISTORY_SLOT_COUNT];
    size_t count;
    size_t shown_slot;
};
// Splits and lists; the first item counts as shown (last_shown_index) when there is one.
HistoryListing list_history(History& history);

// The slot a selection of the list (-1: none) shows in the inputs: none when nothing is selected or
// the entry is the one shown already. The selection counts as shown from then on.
const HistorySlot* select_history_item(History& history, int64_t selection);

// The seven day check boxes, Sunday first, and the days of a mask: past the end of a short mask no
// day is ticked.
struct DayBox {
    int32_t id;
    size_t day;
};
extern const DayBox DAY_BOXES[7];
bool day_ticked(const char* day_mask, size_t day);

// The slot shown at list position `position` (slots with an empty command line are not listed),
// or -1 when there is none.
int slot_for_list_position(const History& history, int position);

#endif
