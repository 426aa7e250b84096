// The history over any stored buffer, and entries added to it: they come back from the slots.
#include "tests/fuzz/fuzz_support.h"
#include "ui/history.h"

static std::vector<std::string> listed(const History& history) {
    std::vector<std::string> entries;
    for (const HistorySlot& slot : history.slots) {
        const char* at = slot.bytes;
        for (const char* text : {slot_command_line(slot), slot_time_text(slot), slot_day_mask(slot)}) {
            FUZZ_CHECK(text == at && memchr(at, '\0', std::end(slot.bytes) - at));
            at += strlen(at) + 1;
        }
        FUZZ_CHECK(at < std::end(slot.bytes));
        if (slot.bytes[0] != '\0') {
            FUZZ_CHECK(slot_for_list_position(history, entries.size()) == &slot - history.slots);
            entries.emplace_back(slot.bytes, at);
        }
    }
    FUZZ_CHECK(slot_for_list_position(history, entries.size()) < 0);
    return entries;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::unique_ptr<History> history(new History);
    memset(history->buffer, input.ConsumeIntegral<char>(), sizeof history->buffer);
    const int adds = input.ConsumeIntegralInRange<int>(0, 4);
    const std::string stored = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, HISTORY_BUFFER_SIZE));
    memcpy(history->buffer, stored.data(), stored.size());
    split_history(*history);
    std::vector<std::string> before = listed(*history);
    for (int i = 0; i < adds; ++i) {
        ExactBuffer c = exact_text(input.ConsumeRandomLengthString(300)),
                    t = exact_text(input.ConsumeRandomLengthString(24)),
                    m = exact_text(input.ConsumeRandomLengthString(12));
        const bool added = add_history_entry(*history, c.data(), t.data(), m.data());
        const std::vector<std::string> after = listed(*history);
        // An empty command line is refused, a short entry taken and the buffer left closed.
        FUZZ_CHECK(added ? c.size > 1 && !after.empty() && !memcmp(std::end(history->buffer) - 2, "\0", 2)
                         : c.size == 1 || c.size + t.size + m.size > 200);
        if (added) {
            const auto same = [&](const std::string& e) { return strcmp(e.c_str(), c.data()) == 0; };
            before.erase(std::remove_if(before.begin(), before.end(), same), before.end());
            before.insert(before.begin(), std::string(c.data()) + '\0' + t.data() + '\0' + m.data() + '\0');
        }
        // The older entries follow in their order, the oldest dropped for room; a refusal changes nothing.
        FUZZ_CHECK((added ? after.size() <= before.size() : after.size() == before.size()) &&
                   std::equal(after.begin(), after.end(), before.begin()));
        before = after;
    }
    return 0;
}
