// The time text of the main dialog: an accepted time's "HH:MM:SS", which Start writes back, reads the same.
#include "schedule/schedule_entry.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExactBuffer text = exact_text(std::string(reinterpret_cast<const char*>(data), size)), normalised(9);
    const TimeParse time = parse_time_text(text.data());
    FUZZ_CHECK(time.converted >= 0 && time.converted <= 3 && (!time.accepted || time.target_second < SECONDS_PER_DAY));
    // The dialog hands over at most 255 characters, not always terminated: the rest is never read.
    ExactBuffer window(std::min(text.size, TIME_TEXT_SIZE) - 1);
    memcpy(window.data(), text.data(), window.size);
    const TimeParse seen = text.size < TIME_TEXT_SIZE ? time : parse_time_text(window.data());
    FUZZ_CHECK(seen.accepted == time.accepted && seen.target_second == time.target_second);
    if (!time.accepted) {
        return 0;
    }
    char* n = normalised.data();
    format_normalised_time(time, n, normalised.size);
    for (size_t i = 0; i < normalised.size; ++i) {
        FUZZ_CHECK(i == 8 ? n[i] == '\0' : i % 3 == 2 ? n[i] == ':' : n[i] >= '0' && n[i] <= '9');
    }
    const TimeParse again = parse_time_text(n);
    FUZZ_CHECK(again.accepted && again.converted == 3 && again.target_second == time.target_second);
    return 0;
}
