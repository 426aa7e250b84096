#include "ui/history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::string>;

// A history whose buffer holds `bytes`, the rest zero, split into its slots.
std::unique_ptr<History> history_of(const std::string& bytes = std::string(2, '\0')) {
    std::unique_ptr<History> history(new History);
    memset(history->buffer, 0, sizeof history->buffer);
    memcpy(history->buffer, bytes.data(), std::min(bytes.size(), sizeof history->buffer));
    reset_history_slots(*history);
    split_history(*history);
    return history;
}

// Buffer bytes of one entry with its three terminators.
std::string entry(const std::string& command, const char* time = "10:00:00", const char* mask = "0111110") {
    return command + '\0' + time + '\0' + mask + '\0';
}

// Entries "<stem>0".."<stem>n-1" and the closing zero byte.
std::string numbered(const char* stem, int count) {
    std::string bytes;
    for (int i = 0; i < count; i++) {
        bytes += entry(stem + std::to_string(i));
    }
    return bytes + '\0';
}

// The command lines in the buffer, read as a split reads them; a text running off the end fails.
Commands stored(const History& history) {
    Commands commands;
    size_t at = 0;
    do {
        for (int text = 0; text < 3; text++) {
            const char* zero = static_cast<const char*>(memchr(history.buffer + at, 0, sizeof history.buffer - at));
            if (zero == nullptr) {
                ADD_FAILURE() << "text runs off the buffer";
                return commands;
            }
            if (text == 0) {
                commands.emplace_back(history.buffer + at);
            }
            at = static_cast<size_t>(zero - history.buffer) + 1;
        }
    } while (at < sizeof history.buffer && history.buffer[at] != '\0');
    EXPECT_LT(at, sizeof history.buffer) << "no closing zero byte";
    return commands;
}

Commands listed(const History& history) {
    Commands commands;
    for (int slot, position = 0; (slot = slot_for_list_position(history, position)) >= 0; position++) {
        commands.push_back(slot_command_line(history.slots[slot]));
    }
    return commands;
}

}  // namespace

TEST(History, SingleEntryBufferBytes) {
    auto history = history_of();
    ASSERT_TRUE(add_history_entry(*history, "a", "01:02:03", "1000001"));
    const char expected[] =
        "a\0"
        "01:02:03\0"
        "1000001\0";  // the literal's zero closes the list
    EXPECT_EQ(std::string(history->buffer, sizeof history->buffer),
              std::string(expected, sizeof expected) + std::string(sizeof history->buffer - sizeof expected, '\0'));
    EXPECT_STREQ(slot_time_text(history->slots[0]), "01:02:03");
    EXPECT_STREQ(slot_day_mask(history->slots[0]), "1000001");
}

TEST(History, RepeatedCommandMovesToFrontAndCaseMatters) {
    auto history = history_of();
    add_history_entry(*history, "notepad.exe", "10:00:00", "0100000");
    add_history_entry(*history, "calc.exe", "11:00:00", "0100000");
    add_history_entry(*history, "notepad.exe", "12:00:00", "0000010");
    EXPECT_EQ(stored(*history), (Commands{"notepad.exe", "calc.exe"}));
    EXPECT_STREQ(slot_time_text(history->slots[0]), "12:00:00");
    EXPECT_STREQ(slot_day_mask(history->slots[0]), "0000010");

    add_history_entry(*history, "Notepad.exe", "13:00:00", "1111111");
    EXPECT_EQ(listed(*history), (Commands{"Notepad.exe", "notepad.exe", "calc.exe"}));

    // An empty command line is refused and changes nothing.
    std::string before(history->buffer, sizeof history->buffer);
    EXPECT_FALSE(add_history_entry(*history, "", "01:02:03", "1000001"));
    EXPECT_FALSE(add_history_entry(*history, nullptr, "01:02:03", "1000001"));
    EXPECT_EQ(std::string(history->buffer, sizeof history->buffer), before);
}

TEST(History, TenStoredPlusNewKeepsElevenInTheBufferAndTenInSlots) {
    auto history = history_of(numbered("cmd", 10));
    ASSERT_TRUE(add_history_entry(*history, "new", "09:00:00", "1000000"));
    Commands expected{"new"};
    for (int i = 0; i < 10; i++) {
        expected.push_back("cmd" + std::to_string(i));
    }
    EXPECT_EQ(stored(*history), expected);
    expected.pop_back();
    EXPECT_EQ(listed(*history), expected);
    EXPECT_STREQ(slot_day_mask(history->slots[9]), "0111110");

    // The eleventh never reached a slot, so the next add drops it.
    add_history_entry(*history, "newer", "09:00:00", "1000000");
    expected.insert(expected.begin(), "newer");
    EXPECT_EQ(stored(*history), expected);
}

TEST(History, LongEntriesDropTheOldestWholeToStayInTheBuffer) {
    auto history = history_of();
    Commands expected;
    for (int i = 0; i < 12; i++) {
        expected.insert(expected.begin(), std::string(255, static_cast<char>('a' + i)));
        ASSERT_TRUE(add_history_entry(*history, expected.front().c_str(), "23:59:59", "1111111"));
        expected.resize(std::min<size_t>(expected.size(), 9));  // 273 bytes each: nine fit, ten would not
        EXPECT_EQ(stored(*history), expected) << i;
    }
    EXPECT_EQ(listed(*history), expected);

    // Nine of them and a new entry of 113 bytes fill the buffer to its last byte, the closing
    // zero included; one byte more and the oldest goes.
    const struct {
        size_t command_length;
        size_t old_kept;
    } limits[] = {{95, 9}, {96, 8}};
    for (const auto& limit : limits) {
        history = history_of();
        Commands old;
        for (int i = 0; i < 9; i++) {
            old.insert(old.begin(), std::string(255, static_cast<char>('a' + i)));
            add_history_entry(*history, old.front().c_str(), "23:59:59", "1111111");
        }
        const std::string command(limit.command_length, 'n');
        ASSERT_TRUE(add_history_entry(*history, command.c_str(), "23:59:59", "1111111"));
        old.resize(limit.old_kept);
        old.insert(old.begin(), command);
        EXPECT_EQ(stored(*history), old) << limit.command_length;
    }

    // An entry larger than a slot is refused, one that just fits is taken.
    history = history_of();
    std::string command(HISTORY_SLOT_SIZE - 3, 'y');
    EXPECT_FALSE(add_history_entry(*history, command.c_str(), "", ""));
    command.pop_back();
    EXPECT_TRUE(add_history_entry(*history, command.c_str(), "", ""));
    EXPECT_EQ(listed(*history), Commands{command});
}

TEST(History, MalformedBuffersStayInBoundsAndYieldWholeEntries) {
    const std::string good = entry("ok", "01:00:00", "1111111");
    struct Row {
        const char* what;
        std::string bytes;  // filled up to the whole buffer with `fill`
        char fill;
        Commands listed;
    };
    const Row rows[] = {
        {"no terminators", "", 'a', {}},
        {"entry cut by the buffer end", good + "cmd", 'x', {"ok"}},
        {"missing texts", std::string("a\0", 2), '\0', {"a"}},
        {"entry longer than a slot", std::string(300, 'L') + std::string("\0t\0m\0", 5) + good, '\0', {"ok"}},
        {"empty first entry", std::string(3, '\0') + good, '\0', {"ok"}},
    };
    for (const Row& row : rows) {
        std::string bytes = row.bytes;
        bytes.resize(HISTORY_BUFFER_SIZE, row.fill);
        auto history = history_of(bytes);
        EXPECT_EQ(listed(*history), row.listed) << row.what;
        ASSERT_TRUE(add_history_entry(*history, "new", "02:00:00", "0000001")) << row.what;
        Commands expected{"new"};
        expected.insert(expected.end(), row.listed.begin(), row.listed.end());
        EXPECT_EQ(stored(*history), expected) << row.what;
    }
    HistorySlot slot;
    memset(slot.bytes, 'x', sizeof slot.bytes);
    slot.bytes[3] = '\0';  // the command line ends, the rest never does
    EXPECT_STREQ(slot_command_line(slot), "xxx");
    EXPECT_STREQ(slot_time_text(slot), "");
    EXPECT_STREQ(slot_day_mask(slot), "");
}

TEST(History, ListPositionsSkipSlotsWithoutACommandLine) {
    auto history = history_of(std::string(3, '\0') + entry("a") + entry("b", "02:00:00") + '\0');
    const int slots[] = {-1, 1, 2, -1};  // for positions -1, 0, 1, 2
    for (int position = -1; position <= 2; position++) {
        EXPECT_EQ(slot_for_list_position(*history, position), slots[position + 1]) << position;
    }
    // The entry without a command line is dropped by the next add, keeping the older ones.
    add_history_entry(*history, "c", "03:00:00", "0010000");
    EXPECT_EQ(listed(*history), (Commands{"c", "a", "b"}));
    EXPECT_EQ(slot_for_list_position(*history, 2), 2);
}
