// The persisted history and its ten slots: newest first, every entry kept or dropped whole.
#include "ui/history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

using namespace std::string_literals;

namespace {

std::string entry(const std::string& command, const char* time = "10:00:00", const char* mask = "0111110") {
    return command + '\0' + time + '\0' + mask + '\0';
}

// A history whose buffer holds `bytes` (cut or padded with zero bytes), split over slots of junk.
History history_of(std::string bytes) {
    History history{};
    bytes.resize(HISTORY_BUFFER_SIZE);
    memcpy(history.buffer, bytes.data(), HISTORY_BUFFER_SIZE);
    memset(history.slots, 'x', sizeof history.slots);
    split_history(history);
    return history;
}

std::string listed(const History& history) {
    std::string commands;
    for (int slot, position = 0; (slot = slot_for_list_position(history, position)) >= 0; position++) {
        commands += (position ? " " : "") + std::string(slot_command_line(history.slots[slot]));
    }
    return commands;
}

}  // namespace

TEST(History, NewestFirstAndACommandLineOnlyOnce) {
    History history = history_of("");
    add_history_entry(history, "notepad.exe", "10:00:00", "0100000");
    add_history_entry(history, "x", nullptr, nullptr);
    add_history_entry(history, "notepad.exe", "12:00:00", "0000010");
    add_history_entry(history, "Notepad.exe", "13:00:00", "1111111");
    EXPECT_FALSE(add_history_entry(history, "", "01:02:03", "1000001"));
    const std::string bytes =
        entry("Notepad.exe", "13:00:00", "1111111") + entry("notepad.exe", "12:00:00", "0000010") + entry("x", "", "");
    EXPECT_EQ(std::string(history.buffer, bytes.size() + 1), bytes + '\0');
    EXPECT_EQ(listed(history), "Notepad.exe notepad.exe x");
    EXPECT_EQ(std::string(history.slots[2].bytes, 5), "x\0\0\0\0"s);
    EXPECT_EQ(slot_time_text(history.slots[1]) + " "s + slot_day_mask(history.slots[1]), "12:00:00 0000010");
    history.last_shown_index = 3;
    reset_history_slots(history);
    EXPECT_EQ(history.last_shown_index, -1);
    EXPECT_EQ(std::string(history.slots[0].bytes, HISTORY_SLOT_SIZE), std::string(HISTORY_SLOT_SIZE, '\0'));
}

// Nine entries of 273 bytes and one of 113 fill the buffer and all ten slots; one byte more and the
// oldest goes whole. A command line Start cannot read whole, or an entry too big for a slot, is not added.
TEST(History, SizesDropTheOldestWhole) {
    History history = history_of("");
    for (size_t length : {95, 96}) {
        history = history_of("");
        for (char c = 'a'; c < 'k'; c++) {
            add_history_entry(history, std::string(255, c).c_str(), "10:00:00", "0111110");
        }
        add_history_entry(history, std::string(length, 'n').c_str(), "10:00:00", "0111110");
        EXPECT_EQ(listed(history).size(), length + 256 * (length == 95 ? 9 : 8));
    }
    EXPECT_FALSE(add_history_entry(history, std::string(256, 'y').c_str(), "", ""));
    EXPECT_FALSE(add_history_entry(history, std::string(255, 'y').c_str(), "10:00:00", "0111110123"));
    EXPECT_TRUE(add_history_entry(history, std::string(255, 'y').c_str(), "10:00:00", "011111012"));
}

// An entry a slot or the buffer's end cuts off, or whose command line would run cut short, goes whole;
// an empty entry ends the list except at the start; slots without a command line are not listed.
TEST(History, MalformedBuffersYieldWholeEntries) {
    const std::string good = entry("ok"), w(255, 'w');
    const std::pair<std::string, std::string> rows[] = {
        {std::string(HISTORY_BUFFER_SIZE, 'a'), ""},
        {good + "cmd" + std::string(HISTORY_BUFFER_SIZE, 'x'), "ok"},
        {"a\0"s, "a"},
        {"\0\0\0"s + good + entry("b"), "ok b"},
        {good + '\0' + entry("b"), "ok"},
        {"c\0"s + std::string(271, 't') + "\0m\0"s + good, "ok"},
        {good + entry(w + 'w') + entry(w), "ok " + w},
        {good + entry(std::string(2500, 'z')) + std::string(HISTORY_BUFFER_SIZE, 'c'), "ok"}};
    for (const auto& row : rows) {
        EXPECT_EQ(listed(history_of(row.first)), row.second);
    }
    const History one = history_of(good);
    EXPECT_EQ(slot_for_list_position(one, -1) + slot_for_list_position(one, 1), -2);
    HistorySlot slot;
    memset(slot.bytes, 'x', sizeof slot.bytes);
    slot.bytes[3] = slot.bytes[HISTORY_SLOT_SIZE - 1] = '\0';  // two texts, the third never ends
    EXPECT_EQ(slot_time_text(slot) + "|"s + slot_day_mask(slot), std::string(271, 'x') + "|");
}

// The list holds the slots with a command line; the inputs show the first, which counts as shown.
TEST(History, ListsTheEntriesWithACommandLine) {
    std::string shown;
    for (const std::string& bytes : {std::string(), entry("", "01:00:00") + entry("b", "02:00:00") + entry("c")}) {
        History history = history_of(bytes);
        history.last_shown_index = 5;
        const HistoryListing listing = list_history(history);
        shown += std::to_string(listing.count) + (listing.count ? listing.items[0] + " "s + listing.items[1] : "") +
                 " " + slot_time_text(history.slots[listing.shown_slot]) + " " +
                 std::to_string(history.last_shown_index) + ";";
    }
    EXPECT_EQ(shown, "0  -1;2b c 02:00:00 0;");
    // Picking an item shows its entry, unless it is the one shown already; nothing picked shows nothing.
    History history = history_of(entry("a", "01:00:00") + entry("b", "02:00:00"));
    list_history(history);
    std::string picked;
    for (const int64_t selection : {0LL, 1LL, 1LL, 0LL, -1LL, 0LL, 2147483647LL, 0LL, 5LL, 9223372036854775807LL}) {
        const HistorySlot* slot = select_history_item(history, selection);
        picked += (slot != nullptr ? slot_time_text(*slot) : std::string("-")) + " ";
    }
    for (const char* mask : {"1010101", "001", "", static_cast<const char*>(nullptr)}) {
        for (const DayBox& box : DAY_BOXES) {
            picked += day_ticked(mask, box.day) ? "1" : "0";
        }
    }
    EXPECT_EQ(picked, "- 02:00:00 - 01:00:00 - - - 01:00:00 - - 1010101001000000000000000000");
}
