#include "schedule/worker.h"

#include <algorithm>
#include <cstring>

WorkerState start_worker_state(uint32_t target_second) {
    return WorkerState{target_second, target_second + LAUNCH_WINDOW_SECONDS, true};
}

namespace {

// A mask cut short counts as not enabled rather than being read past; the weekday is known to be
// 0..6.
bool day_enabled(const char* day_mask, uint32_t day_index) {
    return day_mask != nullptr && memchr(day_mask, '\0', day_index) == nullptr && day_mask[day_index] == '1';
}

}  // namespace

bool decide_launch(WorkerState& state, const char* day_mask, const ClockReading& clock) {
    uint32_t now = clock.hour * 3600u + clock.minute * 60u + clock.second;
    uint32_t day_index = clock.day_of_week;
    // A window that began before midnight still owns the first seconds of the new day.
    if (state.end >= now + SECONDS_PER_DAY) {
        now += SECONDS_PER_DAY;
        day_index = day_index == 0 ? 6 : day_index - 1;
    }
    if (now < state.target || now > state.end) {
        state.armed = true;
        return false;
    }
    const bool known_day = clock.day_of_week <= 6;
    if (state.armed && known_day && day_enabled(day_mask, day_index)) {
        // Cleared before the launch: a launch that fails is not retried in this window.
        state.armed = false;
        return true;
    }
    return false;
}

uint32_t poll_sleep_ms(const ClockReading& clock) {
    const uint32_t to_boundary = POLL_INTERVAL_MS - clock.millisecond % POLL_INTERVAL_MS;
    // Just after a boundary the margin would push the sleep past one interval: a full one serves.
    return std::min(to_boundary + POLL_MARGIN_MS, POLL_INTERVAL_MS);
}

uint32_t run_worker(ScheduleRequest& request, WorkerPlatform& platform) {
    char command_line[COMMAND_LINE_SIZE];
    char day_mask[DAY_MASK_SIZE];
    memcpy(command_line, request.command_line, sizeof command_line);
    command_line[COMMAND_LINE_SIZE - 1] = '\0';
    memcpy(day_mask, request.day_mask, sizeof day_mask);
    day_mask[DAY_MASK_SIZE - 1] = '\0';
    WorkerState state = start_worker_state(request.target_second);

    if (!request.stop.load()) {
        for (;;) {
            ClockReading clock = platform.read_clock();
            if (decide_launch(state, day_mask, clock)) {
                platform.launch(command_line, clock);
            }
            platform.sleep_ms(poll_sleep_ms(clock));
            if (request.stop.load()) {
                break;
            }
        }
    }
    platform.notify_done();
    return 0;
}
