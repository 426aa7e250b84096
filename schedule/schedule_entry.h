// Turning what the user entered (time text, day boxes) into the schedule the worker reads.
#ifndef KELVAST_SCHEDULE_ENTRY_H
#define KELVAST_SCHEDULE_ENTRY_H

#include <atomic>
#include <cstddef>
#include <cstdint>

constexpr size_t COMMAND_LINE_SIZE = 256;  // 255 characters and the zero byte
constexpr size_t DAY_MASK_SIZE = 8;        // seven '0'/'1', Sunday first, and the zero byte
constexpr size_t TIME_TEXT_SIZE = 256;
constexpr uint32_t SECONDS_PER_DAY = 86400;

// Written by the dialog thread before the worker starts; during a run only `stop` changes.
struct ScheduleRequest {
    char command_line[COMMAND_LINE_SIZE];
    uint32_t target_second;
    char day_mask[DAY_MASK_SIZE];
    std::atomic<bool> stop;
};

struct TimeParse {
    int32_t hours;
    int32_t minutes;
    int32_t seconds;
    int converted;           // fields that yielded a number, 0..3
    uint32_t target_second;  // computed even when the time is rejected
    bool accepted;
};

// `text` may be null; at most its first 255 characters are looked at.
TimeParse parse_time_text(const char* text);

// states[i] is the check state of the box for weekday i (1 = ticked).
void build_day_mask(const int states[7], char (&mask)[DAY_MASK_SIZE]);

// "HH:MM:SS" of an accepted time, bounded by `size`.
void format_normalised_time(const TimeParse& time, char* out, size_t size);
// "HH:MM:SS" of a second of the day; a count past a day wraps.
constexpr size_t TIME_OF_DAY_SIZE = sizeof "HH:MM:SS";
void format_time_of_day(uint32_t second, char (&out)[TIME_OF_DAY_SIZE]);

// The waiting text: `format` is the loaded IDS_WAITING string with three %i-style conversions.
void format_waiting_text(const char* format, const TimeParse& time, char* out, size_t size);

#endif
