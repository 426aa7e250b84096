#include "ui/history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string command;
    std::string time;
    std::string mask;
};

std::unique_ptr<History> fresh_history() {
    std::unique_ptr<History> history(new History);
    memset(history->buffer, 0, sizeof history->buffer);
    reset_history_slots(*history);
    return history;
}

// Raw multi-string bytes of the given entries, ended by one more zero byte.
std::string encode(const std::vector<Entry>& entries) {
    std::string bytes;
    for (const Entry& entry : entries) {
        bytes += entry.command + '\0' + entry.time + '\0' + entry.mask + '\0';
    }
    return bytes + '\0';
}

void store(History& history, const std::string& bytes) {
    ASSERT_LE(bytes.size(), sizeof history.buffer);
    memset(history.buffer, 0, sizeof history.buffer);
    memcpy(history.buffer, bytes.data(), bytes.size());
}

// Reads the buffer back the way a split does, checking that it is well formed within its size.
std::vector<Entry> stored_entries(const History& history) {
    std::vector<Entry> entries;
    size_t at = 0;
    do {
        Entry entry;
        std::string* texts[] = {&entry.command, &entry.time, &entry.mask};
        for (std::string* text : texts) {
            const void* zero = memchr(history.buffer + at, '\0', sizeof history.buffer - at);
            EXPECT_NE(zero, nullptr) << "text not terminated within the buffer";
            if (zero == nullptr) {
                return entries;
            }
            size_t end = static_cast<size_t>(static_cast<const char*>(zero) - history.buffer);
            text->assign(history.buffer + at, end - at);
            at = end + 1;
        }
        entries.push_back(entry);
        EXPECT_LT(at, sizeof history.buffer) << "no closing zero byte";
    } while (at < sizeof history.buffer && history.buffer[at] != '\0');
    return entries;
}

std::vector<std::string> listed_commands(const History& history) {
    std::vector<std::string> commands;
    for (int position = 0;; position++) {
        int slot = slot_for_list_position(history, position);
        if (slot < 0) {
            return commands;
        }
        commands.push_back(slot_command_line(history.slots[slot]));
    }
}

std::vector<Entry> numbered(const char* stem, int count) {
    std::vector<Entry> entries;
    for (int i = 0; i < count; i++) {
        entries.push_back({stem + std::to_string(i), "10:00:00", "0111110"});
    }
    return entries;
}

}  // namespace

TEST(History, SingleEntryBufferBytes) {
    auto history = fresh_history();
    ASSERT_TRUE(add_history_entry(*history, "a", "01:02:03", "1000001"));
    const char expected[] =
        "a\0"
        "01:02:03\0"
        "1000001\0";  // the literal's own zero closes the list
    EXPECT_EQ(memcmp(history->buffer, expected, sizeof expected), 0);
    for (size_t i = sizeof expected; i < sizeof history->buffer; i++) {
        ASSERT_EQ(history->buffer[i], '\0') << i;
    }
    EXPECT_STREQ(slot_command_line(history->slots[0]), "a");
    EXPECT_STREQ(slot_time_text(history->slots[0]), "01:02:03");
    EXPECT_STREQ(slot_day_mask(history->slots[0]), "1000001");
    EXPECT_EQ(history->slots[1].bytes[0], '\0');
}

TEST(History, RepeatedCommandMovesToFrontWithItsNewTimeAndDays) {
    auto history = fresh_history();
    add_history_entry(*history, "notepad.exe", "10:00:00", "0100000");
    add_history_entry(*history, "calc.exe", "11:00:00", "0100000");
    add_history_entry(*history, "notepad.exe", "12:00:00", "0000010");
    EXPECT_EQ(listed_commands(*history), (std::vector<std::string>{"notepad.exe", "calc.exe"}));
    EXPECT_STREQ(slot_time_text(history->slots[0]), "12:00:00");
    EXPECT_STREQ(slot_day_mask(history->slots[0]), "0000010");
    EXPECT_EQ(stored_entries(*history).size(), 2u);

    // Letter case makes a different command.
    add_history_entry(*history, "Notepad.exe", "13:00:00", "1111111");
    EXPECT_EQ(listed_commands(*history), (std::vector<std::string>{"Notepad.exe", "notepad.exe", "calc.exe"}));
}

TEST(History, EmptyCommandLineIsNotAdded) {
    auto history = fresh_history();
    add_history_entry(*history, "a", "01:02:03", "1000001");
    std::string before(history->buffer, sizeof history->buffer);
    EXPECT_FALSE(add_history_entry(*history, "", "01:02:03", "1000001"));
    EXPECT_FALSE(add_history_entry(*history, nullptr, "01:02:03", "1000001"));
    EXPECT_EQ(std::string(history->buffer, sizeof history->buffer), before);
    EXPECT_EQ(listed_commands(*history), std::vector<std::string>{"a"});
}

TEST(History, TenStoredPlusNewKeepsElevenInTheBufferAndTenInSlots) {
    auto history = fresh_history();
    store(*history, encode(numbered("cmd", 10)));
    ASSERT_TRUE(add_history_entry(*history, "new", "09:00:00", "1000000"));
    std::vector<std::string> listed = listed_commands(*history);
    ASSERT_EQ(listed.size(), 10u);
    EXPECT_EQ(listed.front(), "new");
    EXPECT_EQ(listed.back(), "cmd8");
    std::vector<Entry> stored = stored_entries(*history);
    ASSERT_EQ(stored.size(), 11u);
    EXPECT_EQ(stored.back().command, "cmd9");

    // The eleventh never reached a slot, so the next add drops it.
    add_history_entry(*history, "newer", "09:00:00", "1000000");
    stored = stored_entries(*history);
    ASSERT_EQ(stored.size(), 11u);
    EXPECT_EQ(stored.back().command, "cmd8");
}

TEST(History, SplitTakesOnlyTheFirstTenEntries) {
    auto history = fresh_history();
    store(*history, encode(numbered("e", 11)));
    split_history(*history);
    EXPECT_STREQ(slot_command_line(history->slots[0]), "e0");
    EXPECT_STREQ(slot_command_line(history->slots[9]), "e9");
    EXPECT_STREQ(slot_time_text(history->slots[9]), "10:00:00");
    EXPECT_STREQ(slot_day_mask(history->slots[9]), "0111110");
}

TEST(History, LongCommandLinesDropTheOldestWholeEntries) {
    auto history = fresh_history();
    std::vector<std::string> commands;
    for (int i = 0; i < 12; i++) {
        std::string command(255, static_cast<char>('a' + i));
        commands.push_back(command);
        ASSERT_TRUE(add_history_entry(*history, command.c_str(), "23:59:59", "1111111"));
        std::vector<Entry> stored = stored_entries(*history);
        ASSERT_FALSE(stored.empty());
        EXPECT_EQ(stored.front().command, command);
        for (size_t k = 0; k < stored.size(); k++) {
            EXPECT_EQ(stored[k].command, commands[commands.size() - 1 - k]) << "entry cut or out of order";
            EXPECT_EQ(stored[k].mask, "1111111");
        }
    }
    // 273 bytes each: nine entries and the closing zero fit 2571 bytes, ten would not.
    EXPECT_EQ(stored_entries(*history).size(), 9u);
    EXPECT_EQ(listed_commands(*history).size(), 9u);
    EXPECT_EQ(strlen(slot_command_line(history->slots[8])), 255u);
}

TEST(History, EntryTooLargeForASlotIsRefused) {
    auto history = fresh_history();
    std::string command(270, 'x');
    EXPECT_FALSE(add_history_entry(*history, command.c_str(), "01:02:03", "1000001"));
    EXPECT_TRUE(listed_commands(*history).empty());
    // Three empty-text zero bytes and the slot's extra one leave room for HISTORY_SLOT_SIZE - 4.
    std::string fits(HISTORY_SLOT_SIZE - 3, 'y');
    EXPECT_FALSE(add_history_entry(*history, fits.c_str(), "", ""));
    fits.pop_back();
    EXPECT_TRUE(add_history_entry(*history, fits.c_str(), "", ""));
    EXPECT_EQ(listed_commands(*history), std::vector<std::string>{fits});
}

TEST(History, MalformedBuffersStayInBoundsAndYieldWholeEntries) {
    const std::string good = std::string(
        "ok\0"
        "01:00:00\0"
        "1111111\0",
        20);
    struct Row {
        const char* what;
        std::string bytes;  // filled up to the whole buffer with `fill`
        char fill;
        std::vector<std::string> listed;
    };
    const Row rows[] = {
        {"no terminators", "", 'a', {}},
        {"entry cut by the buffer end", good + "cmd", 'x', {"ok"}},
        {"missing texts", std::string("a\0", 2), '\0', {"a"}},
        {"entry longer than a slot", std::string(300, 'L') + std::string("\0t\0m\0", 5) + good + '\0', '\0', {"ok"}},
        {"empty first entry", std::string(3, '\0') + good + '\0', '\0', {"ok"}},
    };
    for (const Row& row : rows) {
        auto history = fresh_history();
        std::string bytes = row.bytes;
        bytes.resize(sizeof history->buffer, row.fill);
        memcpy(history->buffer, bytes.data(), bytes.size());
        split_history(*history);
        EXPECT_EQ(listed_commands(*history), row.listed) << row.what;
        for (const HistorySlot& slot : history->slots) {
            EXPECT_EQ(slot.bytes[HISTORY_SLOT_SIZE - 1], '\0') << row.what;
        }
        // Adding rebuilds a well-formed buffer from what survived.
        ASSERT_TRUE(add_history_entry(*history, "new", "02:00:00", "0000001")) << row.what;
        std::vector<std::string> expected{"new"};
        expected.insert(expected.end(), row.listed.begin(), row.listed.end());
        EXPECT_EQ(listed_commands(*history), expected) << row.what;
        EXPECT_EQ(stored_entries(*history).size(), expected.size()) << row.what;
    }
}

TEST(History, ListPositionsSkipSlotsWithoutACommandLine) {
    auto history = fresh_history();
    store(*history, encode({{"", "", ""}, {"a", "01:00:00", "1000000"}, {"b", "02:00:00", "0100000"}}));
    split_history(*history);
    EXPECT_EQ(slot_for_list_position(*history, -1), -1);
    EXPECT_EQ(slot_for_list_position(*history, 0), 1);
    EXPECT_EQ(slot_for_list_position(*history, 1), 2);
    EXPECT_EQ(slot_for_list_position(*history, 2), -1);
    EXPECT_STREQ(slot_time_text(history->slots[slot_for_list_position(*history, 1)]), "02:00:00");

    // The entry without a command line is dropped by the next add, keeping the older ones.
    add_history_entry(*history, "c", "03:00:00", "0010000");
    EXPECT_EQ(listed_commands(*history), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(slot_for_list_position(*history, 2), 2);
}

TEST(History, SlotTextsOfAnUnterminatedSlotAreEmpty) {
    HistorySlot slot;
    memset(slot.bytes, 'x', sizeof slot.bytes);
    EXPECT_STREQ(slot_command_line(slot), "");
    EXPECT_STREQ(slot_time_text(slot), "");
    slot.bytes[3] = '\0';  // command line ends, the rest never does
    EXPECT_STREQ(slot_command_line(slot), "xxx");
    EXPECT_STREQ(slot_time_text(slot), "");
    EXPECT_STREQ(slot_day_mask(slot), "");
}
