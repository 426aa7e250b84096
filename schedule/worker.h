// The worker's decision, kept apart from threads and clocks so it can be driven by a fake clock.
#ifndef KELVAST_WORKER_H
#define KELVAST_WORKER_H

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "schedule/schedule_entry.h"

constexpr uint32_t LAUNCH_WINDOW_SECONDS = 60;  // the window is T .. T + 60, both included
constexpr uint32_t POLL_INTERVAL_MS = 200;
// How far past a 200 ms boundary of the clock a poll aims: a wake-up a hair early would
// otherwise read the old second and need an extra short poll.
constexpr uint32_t POLL_MARGIN_MS = 1;
// How long the end of the program waits for a worker to finish what it is doing.
constexpr uint32_t WORKER_EXIT_WAIT_MS = 1000;
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

// The shares in something two threads use, the last of which frees it.
struct Shares {
    std::atomic<int> count{2};
    // True for the share let go last.
    bool release();
};

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

enum class OutcomeKind : uint8_t { STARTED, EXITED, FAILED, MISSED };

// What the worker's latest launch decision came to, for the dialog to show.
struct RunOutcome {
    OutcomeKind kind;
    ClockReading clock;  // of the deciding poll; for EXITED, that of the start
    uint32_t code;       // EXITED: the exit code; FAILED: the system's error code
};

struct WatchedProcess {
    bool ended;
    uint32_t exit_code;  // once ended
};

struct LaunchResult {
    bool started;
    uint32_t error;  // when not started
};

// What the loop needs from the platform; tests give a fake.
class WorkerPlatform {
  public:
    virtual ~WorkerPlatform() = default;
    virtual ClockReading read_clock() = 0;
    virtual void sleep_ms(uint32_t milliseconds) = 0;
    // A file (not a folder) of that name exists.
    virtual bool is_file(const char* path) = 0;
    // Starts the command line without waiting and keeps the process to watch.
    virtual LaunchResult start_process(char* command_line) = 0;
    // Whether the process kept by the last start has ended, without waiting.
    virtual WatchedProcess watched_process() = 0;
    // Lets go of the process kept by the last start.
    virtual void release_process() = 0;
    // Hands an outcome to the dialog without waiting for it.
    virtual void report(const RunOutcome& outcome) = 0;
    // Returns only when the dialog has handled the notification.
    virtual void notify_done() = 0;
};

// The worker's whole life: polls until the stop flag is seen, then notifies. Returns 0.
// Copies the command line, target and day mask when it starts, so a Start that stores them
// again during the run never races with the worker's reads. Holds one started process at most.
uint32_t run_worker(ScheduleRequest& request, WorkerPlatform& platform);

#endif
