// The history of recent schedules over any stored buffer: the split fills each slot with one whole
// entry of the buffer (in order, dropping those a slot cannot hold or whose command line is longer
// than Start reads) and nothing else; an add puts the new entry first, keeps the older ones in
// order without its command line, and leaves a closed multi-string of at most 2571 bytes with at
// most ten listed entries.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "schedule/schedule_entry.h"
#include "tests/fuzz/fuzz_support.h"
#include "ui/history.h"

namespace {

// The entries of a buffer as a split reads them: the first always, each up to its third zero
// byte, until a zero byte stands where the next would begin.
std::vector<std::string> buffer_entries(const char* buffer, size_t size, bool* closed) {
    std::vector<std::string> entries;
    size_t at = 0;
    *closed = false;
    while (at < size) {
        if (!entries.empty() && buffer[at] == '\0') {
            *closed = true;
            break;
        }
        size_t end = at;
        int zeros = 0;
        while (end < size && zeros < 3) {
            zeros += buffer[end++] == '\0' ? 1 : 0;
        }
        if (zeros < 3) {
            break;
        }
        entries.emplace_back(buffer + at, end - at);
        at = end;
    }
    return entries;
}

std::string command_of(const std::string& entry) {
    return entry.c_str();
}

std::vector<std::string> slot_entries(const History& history) {
    std::vector<std::string> entries;
    for (const HistorySlot& slot : history.slots) {
        const std::string bytes(slot.bytes, sizeof slot.bytes);
        if (bytes == std::string(sizeof slot.bytes, '\0')) {
            entries.emplace_back();
            continue;
        }
        // One whole entry, then nothing but zero bytes: the slot's extra one at least.
        size_t end = 0;
        for (int zeros = 0; zeros < 3; ++end) {
            FUZZ_CHECK(end < sizeof slot.bytes);
            zeros += slot.bytes[end] == '\0' ? 1 : 0;
        }
        FUZZ_CHECK(end < sizeof slot.bytes && bytes.find_first_not_of('\0', end) == std::string::npos);
        entries.push_back(bytes.substr(0, end));
    }
    return entries;
}

void check_slots(const History& history) {
    bool closed = false;
    std::vector<std::string> fitting;
    for (const std::string& entry : buffer_entries(history.buffer, sizeof history.buffer, &closed)) {
        if (entry.size() < HISTORY_SLOT_SIZE && command_of(entry).size() < COMMAND_LINE_SIZE &&
            fitting.size() < HISTORY_SLOT_COUNT) {
            fitting.push_back(entry);
        }
    }
    const std::vector<std::string> slots = slot_entries(history);
    for (size_t i = 0; i < HISTORY_SLOT_COUNT; ++i) {
        // An entry of three empty texts reads like an empty slot.
        const std::string expected = i < fitting.size() && fitting[i] != std::string(3, '\0') ? fitting[i] : "";
        FUZZ_CHECK(slots[i] == expected);
        const HistorySlot& slot = history.slots[i];
        for (const char* text : {slot_command_line(slot), slot_time_text(slot), slot_day_mask(slot)}) {
            const bool inside = text >= slot.bytes && text < slot.bytes + sizeof slot.bytes;
            FUZZ_CHECK((inside && terminated_within(text, slot.bytes + sizeof slot.bytes - text)) || text[0] == '\0');
        }
    }
    // List positions name the slots with a command line, in order.
    size_t listed = 0;
    int previous = -1;
    for (int position = 0; position <= static_cast<int>(HISTORY_SLOT_COUNT); ++position) {
        const int slot = slot_for_list_position(history, position);
        if (slot < 0) {
            break;
        }
        FUZZ_CHECK(slot > previous && slot_command_line(history.slots[slot])[0] != '\0');
        previous = slot;
        ++listed;
    }
    size_t with_command = 0;
    for (const std::string& entry : slots) {
        with_command += !entry.empty() && entry[0] != '\0' ? 1 : 0;
    }
    FUZZ_CHECK(listed == with_command && listed <= HISTORY_SLOT_COUNT);
}

void check_add(History& history, const std::string& command, const std::string& time, const std::string& mask) {
    const std::vector<std::string> old_slots = slot_entries(history);
    const std::string old_buffer(history.buffer, sizeof history.buffer);
    ExactBuffer c = exact_text(command), t = exact_text(time), m = exact_text(mask);
    const size_t length = strlen(c.data()) + strlen(t.data()) + strlen(m.data()) + 3;
    const bool added = add_history_entry(history, c.data(), t.data(), m.data());
    check_slots(history);
    FUZZ_CHECK(added == (c.data()[0] != '\0' && strlen(c.data()) < COMMAND_LINE_SIZE && length < HISTORY_SLOT_SIZE));
    if (!added) {
        FUZZ_CHECK(std::string(history.buffer, sizeof history.buffer) == old_buffer);
        return;
    }
    bool closed = false;
    const std::vector<std::string> entries = buffer_entries(history.buffer, sizeof history.buffer, &closed);
    FUZZ_CHECK(closed && entries.size() <= HISTORY_SLOT_COUNT + 1);
    FUZZ_CHECK(entries[0] == std::string(c.data()) + '\0' + t.data() + '\0' + m.data() + '\0');
    // The older entries: the earlier slots with another command line, oldest dropped first.
    std::vector<std::string> kept;
    for (const std::string& entry : old_slots) {
        if (!entry.empty() && entry[0] != '\0' && command_of(entry) != c.data()) {
            kept.push_back(entry);
        }
    }
    FUZZ_CHECK(entries.size() - 1 <= kept.size());
    for (size_t i = 1; i < entries.size(); ++i) {
        FUZZ_CHECK(entries[i] == kept[i - 1]);
    }
    // Only lack of room drops an older entry.
    size_t used = 1;
    for (const std::string& entry : entries) {
        used += entry.size();
    }
    FUZZ_CHECK(entries.size() - 1 == kept.size() || used + kept[entries.size() - 1].size() > HISTORY_BUFFER_SIZE);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const char fill = input.ConsumeIntegral<char>();
    const int adds = input.ConsumeIntegralInRange<int>(0, 4);
    std::unique_ptr<History> history(new History);
    memset(history.get(), 'S', sizeof *history);
    const std::string stored = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, HISTORY_BUFFER_SIZE));
    memset(history->buffer, fill, sizeof history->buffer);
    memcpy(history->buffer, stored.data(), stored.size());

    reset_history_slots(*history);
    FUZZ_CHECK(history->last_shown_index == -1);
    split_history(*history);
    check_slots(*history);

    for (int i = 0; i < adds; ++i) {
        const uint8_t source = input.ConsumeIntegral<uint8_t>();
        std::string command = input.ConsumeRandomLengthString(300);
        // Often a command line already listed, so that it moves to the front.
        if (source < HISTORY_SLOT_COUNT * 16) {
            command = slot_command_line(history->slots[source / 16]);
        }
        const std::string time = input.ConsumeRandomLengthString(24);
        const std::string mask = input.ConsumeRandomLengthString(12);
        check_add(*history, command, time, mask);
    }
    return 0;
}
