// The worker's decision, kept apart from threads and clocks so it can be driven by a fake clock.
#ifndef KELVAST_WORKER_H
#define KELVAST_WORKER_H

#include <cstdint>

#include "schedule/schedule_entry.h"

constexpr uint32_t LAUNCH_WINDOW_SECONDS = 60;  // the window is T .. T + 60, both included
constexpr uint32_t POLL_INTERVAL_MS = 200;
// How far past a 200 ms boundary of the clock a poll aims: a wake-up a hair early would
// otherwise read the old second and need an extra short poll.
constexpr uint32_t POLL_MARGIN_MS = 1;

// The fields of the platform's local time record that the worker and the expansion use; the
// milliseconds only place the next poll.
struct ClockReading {
    uint16_t year;
    uint16_t month;
    uint16_t day_of_week;  // 0 = Sunday
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t millisecond = 0;
};

struct WorkerState {
    uint32_t target;  // T
    uint32_t end;     // E = T + 60
    bool armed;
};

WorkerState start_worker_state(uint32_t target_second);

// One poll: true when this reading must launch. Updates the armed flag.
bool decide_launch(WorkerState& state, const char* day_mask, const ClockReading& clock);

// The sleep after a poll with this reading: up to just past the clock's next 200 ms boundary, so
// one poll falls right after every whole second. Never more than 200 ms, never 0.
uint32_t poll_sleep_ms(const ClockReading& clock);

// What the loop needs from the platform; tests give a fake.
class WorkerPlatform {
  public:
    virtual ~WorkerPlatform() = default;
    virtual ClockReading read_clock() = 0;
    virtual void sleep_ms(uint32_t milliseconds) = 0;
    // Called with the worker's copy of the command line and the reading of the deciding poll.
    virtual void launch(const char* command_line, const ClockReading& clock) = 0;
    // Returns only when the dialog has handled the notification.
    virtual void notify_done() = 0;
};

// The worker's whole life: polls until the stop flag is seen, then notifies. Returns 0.
// Copies the command line, target and day mask when it starts, so a Start that stores them
// again during the run never races with the worker's reads.
uint32_t run_worker(ScheduleRequest& request, WorkerPlatform& platform);

#endif
