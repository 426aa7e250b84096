// When a schedule launches: the rules of the clock, kept apart from threads and clocks so that a fake
// clock can drive them.
#ifndef KELVAST_CLOCK_RULES_H
#define KELVAST_CLOCK_RULES_H

#include <cstdint>

#include "schedule/schedule_entry.h"

constexpr uint32_t LAUNCH_WINDOW_SECONDS = 60;  // the window is T .. T + 60, both included
constexpr uint32_t POLL_INTERVAL_MS = 200;
// How far past a 200 ms boundary of the clock a poll aims: a wake-up a hair early would
// otherwise read the old second and need an extra short poll.
constexpr uint32_t POLL_MARGIN_MS = 1;
// The platform's clock counts 100 ns ticks from a UTC midnight (1601-01-01).
constexpr int64_t TICKS_PER_SECOND = 10000000;
// Between two polls local time passed a whole window while UTC advanced no more than this: the clock
// was changed under the worker (daylight saving began, the time zone changed). Anything longer is a
// sleep or a clock set forward. Counted in whole seconds, so a poll's own step is one of them.
constexpr int64_t CLOCK_CHANGE_MAX_UTC_STEP = 5;

// One reading of the clock: the local calendar fields (the milliseconds only place the next poll)
// and the instant they belong to, as UTC and the local offset read together.
struct ClockReading {
    uint16_t year;
    uint16_t month;
    uint16_t day_of_week;  // 0 = Sunday
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t millisecond = 0;
    int64_t utc_seconds = 0;         // from a UTC midnight
    int32_t utc_offset_minutes = 0;  // local time less UTC
};

// The instant of a reading from the platform's UTC ticks and the same ticks turned local.
void set_clock_instant(ClockReading& clock, uint64_t utc_ticks, uint64_t local_ticks);

struct WorkerState {
    uint32_t target;  // T
    // The run's previous valid reading: a jump of the clock is seen against it.
    bool has_previous = false;
    int64_t previous_local = 0;
    int64_t previous_utc = 0;
    // The local day (seconds / 86400) on which the window last launched or tried began.
    bool has_launched = false;
    int64_t launched_day = 0;
};

WorkerState start_worker_state(uint32_t target_second);

enum class PollDecision { NOTHING, LAUNCH, MISSED };

// One poll: whether this reading launches, or finds an enabled window passed over without a poll.
// At most one launch per local day a window begins on, whatever the clock does.
PollDecision decide_poll(WorkerState& state, const char* day_mask, const ClockReading& clock);

// The sleep after a poll with this reading: up to just past the clock's next 200 ms boundary, so
// one poll falls right after every whole second. Never more than 200 ms, never 0.
uint32_t poll_sleep_ms(const ClockReading& clock);

#endif
