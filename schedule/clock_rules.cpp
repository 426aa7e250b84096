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

}  // namespace

void set_clock_instant(ClockReading& clock, uint64_t utc_ticks, uint64_t local_ticks) {
    clock.utc_seconds = static_cast<int64_t>(utc_ticks / TICKS_PER_SECOND);
    const int64_t offset_ticks = static_cast<int64_t>(local_ticks - utc_ticks);
    clock.utc_offset_minutes = static_cast<int32_t>(offset_ticks / (TICKS_PER_SECOND * SECONDS_PER_MINUTE));
}

WorkerState start_worker_state(uint32_t target_second) {
    WorkerState state{};
    state.target = target_second;
    return state;
}

PollDecision decide_poll(WorkerState& state, const char* day_mask, const ClockReading& clock) {
    if (clock.day_of_week > 6) {
        return PollDecision::NOTHING;  // no weekday to decide by; the reading is not kept either
    }
    const int64_t local = clock.utc_seconds + clock.utc_offset_minutes * SECONDS_PER_MINUTE;
    const int64_t today = floor_div(local, SECONDS_PER_DAY);
    // The newest window begun by now, on the day it began: a window from before midnight keeps it.
    const int64_t newest = floor_div(local - state.target, SECONDS_PER_DAY);
    auto window_start = [&](int64_t day) { return day * SECONDS_PER_DAY + state.target; };
    auto due = [&](int64_t day) {
        const int64_t back = clock.day_of_week - (today - day);
        const auto weekday = static_cast<uint32_t>(back - floor_div(back, DAYS_PER_WEEK) * DAYS_PER_WEEK);
        return !(state.has_launched && state.launched_day == day) && day_enabled(day_mask, weekday);
    };

    PollDecision decision = PollDecision::NOTHING;
    int64_t day = newest;
    if (local - window_start(newest) <= LAUNCH_WINDOW_SECONDS) {
        decision = due(newest) ? PollDecision::LAUNCH : PollDecision::NOTHING;
    } else if (state.has_previous) {
        // Windows that began after the previous poll and ended before this one. Local time ran on by
        // more than a window, so when UTC barely moved, the clock was changed under the worker (an
        // hour skipped in spring): launch now. Otherwise the machine slept, or its clock was set on.
        const bool changed = clock.utc_seconds - state.previous_utc <= CLOCK_CHANGE_MAX_UTC_STEP;
        // A week back meets every weekday once.
        for (; day > newest - DAYS_PER_WEEK && window_start(day) > state.previous_local; --day) {
            if (due(day)) {
                decision = changed ? PollDecision::LAUNCH : PollDecision::MISSED;
                break;
            }
        }
    }
    if (decision == PollDecision::LAUNCH) {
        // Kept before the launch: one that fails is not tried again for that day.
        state.has_launched = true;
        state.launched_day = day;
    }
    state.has_previous = true;
    state.previous_local = local;
    state.previous_utc = clock.utc_seconds;
    return decision;
}

uint32_t poll_sleep_ms(const ClockReading& clock) {
    const uint32_t to_boundary = POLL_INTERVAL_MS - clock.millisecond % POLL_INTERVAL_MS;
    // Just after a boundary the margin would push the sleep past one interval: a full one serves.
    return std::min(to_boundary + POLL_MARGIN_MS, POLL_INTERVAL_MS);
}
