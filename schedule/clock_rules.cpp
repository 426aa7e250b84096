#include "schedule/clock_rules.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int64_t SECONDS_PER_MINUTE = 60;
constexpr int64_t DAYS_PER_WEEK = 7;

// A mask cut short counts as not enabled rather than being read past; the weekday is known to be
// 0..6.
bool day_enabled(const char* day_mask, uint32_t day_index) {
    return day_mask != nullptr && memchr(day_mask, '\0', day_index) == nullptr && day_mask[day_index] == '1';
}

// Division rounding down, so that seconds before the count's start still fall on their own day.
int64_t floor_div(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

// The calendar in 400-year cycles from 1 March, so that a leap day ends its year (after H. Hinnant's
// civil-date algorithms), counted from the clock's start.
constexpr int32_t FIRST_YEAR = 1601;
constexpr int32_t LAST_YEAR = 9999;
constexpr int64_t DAYS_PER_CYCLE = 146097;
constexpr int64_t DAYS_FROM_MARCH_0000 = 584694;  // 0000-03-01 to 1601-01-01
constexpr int64_t DAYS_TO_YEAR_10000 = 3067671;   // 1601-01-01 to 10000-01-01
constexpr int64_t MONDAY = 1;                     // 1601-01-01, as a day of the week

struct Date {
    int64_t year;
    int64_t month;
    int64_t day;
};

int64_t days_of_date(int64_t year, int64_t month, int64_t day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t cycle = y / 400;
    const int64_t year_of_cycle = y - cycle * 400;
    const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t day_of_cycle = year_of_cycle * 365 + year_of_cycle / 4 - year_of_cycle / 100 + day_of_year;
    return cycle * DAYS_PER_CYCLE + day_of_cycle - DAYS_FROM_MARCH_0000;
}

// `days` is not negative.
Date date_of_days(int64_t days) {
    const int64_t from_march = days + DAYS_FROM_MARCH_0000;
    const int64_t cycle = from_march / DAYS_PER_CYCLE;
    const int64_t day_of_cycle = from_march - cycle * DAYS_PER_CYCLE;
    const int64_t year_of_cycle =
        (day_of_cycle - day_of_cycle / 1460 + day_of_cycle / 36524 - day_of_cycle / 146096) / 365;
    const int64_t day_of_year = day_of_cycle - (365 * year_of_cycle + year_of_cycle / 4 - year_of_cycle / 100);
    const int64_t month_from_march = (5 * day_of_year + 2) / 153;
    const int64_t month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
    return {year_of_cycle + cycle * 400 + (month <= 2 ? 1 : 0), month,
            day_of_year - (153 * month_from_march + 2) / 5 + 1};
}

}  // namespace

void set_clock_instant(ClockReading& clock, uint64_t utc_ticks, uint64_t local_ticks) {
    clock.utc_seconds = static_cast<int64_t>(utc_ticks / TICKS_PER_SECOND);
    const int64_t offset_ticks = static_cast<int64_t>(local_ticks - utc_ticks);
    clock.utc_offset_minutes = static_cast<int32_t>(offset_ticks / (TICKS_PER_SECOND * SECONDS_PER_MINUTE));
}

int64_t local_seconds(const ClockReading& clock) {
    return clock.utc_seconds + clock.utc_offset_minutes * SECONDS_PER_MINUTE;
}

ClockReading local_reading(int64_t local, int32_t offset_minutes) {
    const int64_t clamped = std::clamp<int64_t>(local, 0, DAYS_TO_YEAR_10000 * SECONDS_PER_DAY - 1);
    const int64_t days = clamped / SECONDS_PER_DAY;
    const int64_t second = clamped % SECONDS_PER_DAY;
    const Date date = date_of_days(days);
    auto field = [](int64_t value) { return static_cast<uint16_t>(value); };
    ClockReading clock{field(date.year),  field(date.month),    field((days + MONDAY) % DAYS_PER_WEEK),
                       field(date.day),   field(second / 3600), field(second / SECONDS_PER_MINUTE % 60),
                       field(second % 60)};
    clock.utc_offset_minutes = offset_minutes;
    clock.utc_seconds = clamped - offset_minutes * SECONDS_PER_MINUTE;
    return clock;
}

bool days_from_date(int32_t year, int32_t month, int32_t day, int64_t& days) {
    if (year < FIRST_YEAR || year > LAST_YEAR || month < 1 || day < 1) {
        return false;
    }
    // A day past its month's end, or a month past the year's, lands later: no such date.
    days = days_of_date(year, month, day);
    const Date back = date_of_days(days);
    return back.month == month && back.day == day;
}

bool day_launched(const LaunchedDays& launched, int64_t day) {
    const uint32_t count = std::min(launched.count, LAUNCHED_DAYS_KEPT);
    return std::find(launched.days, launched.days + count, day) != launched.days + count;
}

void note_launched_day(LaunchedDays& launched, int64_t day) {
    uint32_t count = std::min(launched.count, LAUNCHED_DAYS_KEPT);
    int64_t* end = std::remove(launched.days, launched.days + count, day);
    count = std::min(static_cast<uint32_t>(end - launched.days), LAUNCHED_DAYS_KEPT - 1);
    std::copy_backward(launched.days, launched.days + count, launched.days + count + 1);
    launched.days[0] = day;
    launched.count = count + 1;
}

WorkerState start_worker_state(uint32_t target_second, const WorkerStart& start) {
    WorkerState state{};
    state.target = target_second;
    state.launched = start.launched;
    state.has_previous = start.absent;
    state.previous_absent = start.absent;
    state.previous_local = start.absent_since;
    state.catch_up_seconds = start.catch_up_seconds;
    return state;
}

int64_t window_start(uint32_t target_second, int64_t day) {
    return day * SECONDS_PER_DAY + target_second;
}

PollDecision decide_poll(WorkerState& state, const char* day_mask, const ClockReading& clock) {
    PollDecision decision{};
    if (clock.day_of_week > 6) {
        return decision;  // no weekday to decide by; the reading is not kept either
    }
    const int64_t local = local_seconds(clock);
    const int64_t today = floor_div(local, SECONDS_PER_DAY);
    // The newest window begun by now, on the day it began: a window from before midnight keeps it.
    const int64_t newest = floor_div(local - state.target, SECONDS_PER_DAY);
    auto due = [&](int64_t day) {
        const int64_t back = clock.day_of_week - (today - day);
        const auto weekday = static_cast<uint32_t>(back - floor_div(back, DAYS_PER_WEEK) * DAYS_PER_WEEK);
        return !day_launched(state.launched, day) && day_enabled(day_mask, weekday);
    };

    const bool open = local - window_start(state.target, newest) <= LAUNCH_WINDOW_SECONDS;
    if (open && due(newest)) {
        decision.launch = true;
        decision.launch_day = newest;
    }
    // The newest due window that began after the previous poll and closed before this one; a week back
    // meets every weekday once.
    auto passed_over = [&](int64_t day) {
        return state.has_previous && day > newest - DAYS_PER_WEEK &&
               window_start(state.target, day) > state.previous_local;
    };
    int64_t day = open ? newest - 1 : newest;
    while (passed_over(day) && !due(day)) {
        --day;
    }
    if (passed_over(day)) {
        // Local time ran over a whole window while UTC barely moved: the clock was changed under the
        // worker (an hour skipped in spring), so the window launches now. Otherwise the machine slept,
        // its clock was set on, or Kelvast was not running: a miss, made up when recent enough.
        const bool changed =
            !state.previous_absent && clock.utc_seconds - state.previous_utc <= CLOCK_CHANGE_MAX_UTC_STEP;
        const bool recent = local - window_start(state.target, day) <= state.catch_up_seconds;
        if (!decision.launch && (changed || recent)) {
            decision.launch = true;
            decision.launch_day = day;
            decision.caught_up = !changed;
        } else {
            decision.missed = true;
            decision.missed_day = day;
            decision.missed_absent = state.previous_absent;
        }
    }
    if (decision.launch) {
        // Kept before the launch: one that fails is not tried again for that day.
        note_launched_day(state.launched, decision.launch_day);
    }
    state.has_previous = true;
    state.previous_absent = false;
    state.previous_local = local;
    state.previous_utc = clock.utc_seconds;
    return decision;
}

uint32_t poll_sleep_ms(const ClockReading& clock) {
    const uint32_t to_boundary = POLL_INTERVAL_MS - clock.millisecond % POLL_INTERVAL_MS;
    // Just after a boundary the margin would push the sleep past one interval: a full one serves.
    return std::min(to_boundary + POLL_MARGIN_MS, POLL_INTERVAL_MS);
}
