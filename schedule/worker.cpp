#include "schedule/worker.h"

#include <cstring>

#include "schedule/command.h"
#include "schedule/program_path.h"

bool Shares::release() {
    return count.fetch_sub(1) == 1;
}

namespace {

// The launch of one poll; returns whether a process is now kept to watch.
bool launch(const char* command_line, const ClockReading& clock, WorkerPlatform& platform) {
    char expanded[COMMAND_LINE_SIZE];
    expand_command(command_line, clock, expanded);
    char line[START_LINE_SIZE];
    command_to_start(expanded, platform, line);
    const LaunchResult result = platform.start_process(line);
    platform.report(
        {result.started ? OutcomeKind::STARTED : OutcomeKind::FAILED, clock, result.started ? 0 : result.error});
    return result.started;
}

}  // namespace

uint32_t run_worker(ScheduleRequest& request, WorkerPlatform& platform) {
    char command_line[COMMAND_LINE_SIZE];
    char day_mask[DAY_MASK_SIZE];
    memcpy(command_line, request.command_line, sizeof command_line);
    command_line[COMMAND_LINE_SIZE - 1] = '\0';
    memcpy(day_mask, request.day_mask, sizeof day_mask);
    day_mask[DAY_MASK_SIZE - 1] = '\0';
    WorkerState state = start_worker_state(request.target_second);
    bool watching = false;  // a started process whose end is still to be reported
    ClockReading started_at{};

    if (!request.stop.load()) {
        for (;;) {
            const ClockReading clock = platform.read_clock();
            if (watching) {
                const WatchedProcess process = platform.watched_process();
                if (process.ended) {
                    platform.release_process();
                    watching = false;
                    platform.report({OutcomeKind::EXITED, started_at, process.exit_code});
                }
            }
            const PollDecision decision = decide_poll(state, day_mask, clock);
            if (decision == PollDecision::MISSED) {
                platform.report({OutcomeKind::MISSED, clock, 0});
            } else if (decision == PollDecision::LAUNCH) {
                if (watching) {
                    platform.release_process();  // one process watched at a time: the newest
                }
                watching = launch(command_line, clock, platform);
                started_at = clock;
            }
            platform.sleep_ms(poll_sleep_ms(clock));
            if (request.stop.load()) {
                break;
            }
        }
    }
    if (watching) {
        platform.release_process();
    }
    platform.notify_done();
    return 0;
}
