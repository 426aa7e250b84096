// The worker's life: its polls, launches and reports, over a platform that tests can fake.
#ifndef KELVAST_WORKER_H
#define KELVAST_WORKER_H

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "schedule/clock_rules.h"
#include "schedule/schedule_entry.h"

// How long the end of the program waits for a worker to finish what it is doing.
constexpr uint32_t WORKER_EXIT_WAIT_MS = 1000;

// The shares in something two threads use, the last of which frees it.
struct Shares {
    std::atomic<int> count{2};
    // True for the share let go last.
    bool release();
};

// MISSED: passed over while the computer slept or its clock changed; MISSED_ABSENT: while Kelvast was
// not running.
enum class OutcomeKind : uint8_t { STARTED, EXITED, FAILED, MISSED, MISSED_ABSENT };

constexpr size_t PROGRAM_PATH_SIZE = COMMAND_LINE_SIZE;

// What the worker's latest launch decision came to, for the dialog to show and the run record to keep.
struct RunOutcome {
    OutcomeKind kind;
    ClockReading clock;               // of the deciding poll (for EXITED, that of the start); a miss's: its window's
    uint32_t code;                    // EXITED: the exit code; FAILED: the system's error code
    int64_t day;                      // STARTED, EXITED, FAILED: the local day whose window launched
    bool caught_up;                   // that window was missed and launched late
    uint32_t due;                     // the window's second of the day
    char program[PROGRAM_PATH_SIZE];  // as started, for a failure's reason
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
uint32_t run_worker(ScheduleRequest& request, const WorkerStart& start, WorkerPlatform& platform);

#endif
