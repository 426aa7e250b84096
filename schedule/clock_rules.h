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
// A reading's local time as seconds from the clock's start (local midnight of 1601-01-01).
int64_t local_seconds(const ClockReading& clock);
// The calendar fields of a local time; `offset_minutes` (local less UTC) gives its UTC instant. Years
// from 1601 to 9999; a time beyond them gives the nearest end.
ClockReading local_reading(int64_t local, int32_t offset_minutes);
// Days from the clock's start to a date; false for a date that does not exist or lies outside those years.
bool days_from_date(int32_t year, int32_t month, int32_t day, int64_t& days);

// The local days (local seconds / 86400) whose window launched or was tried, most recent first: a
// clock set back by a week, daily runs, never makes a day that ran look unrun.
constexpr uint32_t LAUNCHED_DAYS_KEPT = 8;
struct LaunchedDays {
    int64_t days[LAUNCHED_DAYS_KEPT];
    uint32_t count;
};
bool day_launched(const LaunchedDays& launched, int64_t day);
// Puts the day first, dropping the least recent one beyond the count kept.
void note_launched_day(LaunchedDays& launched, int64_t day);

// What a worker starts from: the days its schedule already launched on and, when the schedule stayed
// armed while no worker watched it (Kelvast was not running), since when to look for a window missed.
struct WorkerStart {
    LaunchedDays launched;
    bool absent;
    int64_t absent_since;       // local seconds
    uint32_t catch_up_seconds;  // a window missed at most this long ago launches late; 0: never
};

struct WorkerState {
    uint32_t target;  // T
    LaunchedDays launched;
    // The previous valid reading: a window that began after it and closed before this poll was passed
    // over, and a jump of the clock is seen against it. It stands for an absence at the first poll.
    bool has_previous;
    bool previous_absent;
    int64_t previous_local;
    int64_t previous_utc;
    uint32_t catch_up_seconds;
};

WorkerState start_worker_state(uint32_t target_second, const WorkerStart& start);

// What one poll decided: at most one launch, and at most one window reported missed (the newest).
struct PollDecision {
    bool launch;
    int64_t launch_day;  // the local day whose window launches
    bool caught_up;      // that window was missed and launches late
    bool missed;
    int64_t missed_day;
    bool missed_absent;  // Kelvast was not running, rather than asleep or its clock changed
};

// One poll: whether this reading launches, and which enabled window passed over without a poll it
// finds. At most one launch per local day a window begins on, whatever the clock does.
PollDecision decide_poll(WorkerState& state, const char* day_mask, const ClockReading& clock);
// The local time at which the window of `day` begins.
int64_t window_start(uint32_t target_second, int64_t day);

// The sleep after a poll with this reading: up to just past the clock's next 200 ms boundary, so
// one poll falls right after every whole second. Never more than 200 ms, never 0.
uint32_t poll_sleep_ms(const ClockReading& clock);

#endif
