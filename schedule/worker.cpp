#include "schedule/worker.h"

#include <cstring>

#include "schedule/command.h"
#include "schedule/program_path.h"

bool Shares::release() {
    return count.fetch_sub(1) == 1;
}

namespace {

// The launch of one poll; its outcome is reported and kept for the program's end.
void launch(const char* command_line,
            const ClockReading& clock,
            const PollDecision& decision,
            uint32_t target,
            WorkerPlatform& platform,
            RunOutcome& outcome) {
    char expanded[COMMAND_LINE_SIZE];
    expand_command(command_line, clock, expanded);
    char line[START_LINE_SIZE];
    command_to_start(expanded, platform, line);
    const LaunchResult result = platform.start_process(line);
    outcome = RunOutcome{result.started ? OutcomeKind::STARTED : OutcomeKind::FAILED,
                         clock,
                         result.started ? 0 : result.error,
                         decision.launch_day,
                         decision.caught_up,
                         target,
                         ""};
    started_program(line, outcome.program, sizeof outcome.program);
    platform.report(outcome);
}

}  // namespace

uint32_t run_worker(ScheduleRequest& request, const WorkerStart& start, WorkerPlatform& platform) {
    char command_line[COMMAND_LINE_SIZE];
    char day_mask[DAY_MASK_SIZE];
    memcpy(command_line, request.command_line, sizeof command_line);
    command_line[COMMAND_LINE_SIZE - 1] = '\0';
    memcpy(day_mask, request.day_mask, sizeof day_mask);
    day_mask[DAY_MASK_SIZE - 1] = '\0';
    const uint32_t target = request.target_second;
    WorkerState state = start_worker_state(target, start);
    RunOutcome started{};
    bool watching = false;  // a started process whose end is still to be reported

    if (!request.stop.load()) {
        for (;;) {
            const ClockReading clock = platform.read_clock();
            if (watching) {
                const WatchedProcess process = platform.watched_process();
                if (process.ended) {
                    platform.release_process();
                    watching = false;
                    started.kind = OutcomeKind::EXITED;
                    started.code = process.exit_code;
                    platform.report(started);
                }
            }
            const PollDecision decision = decide_poll(state, day_mask, clock);
            // Named by its window, reported before a launch of this poll.
            if (decision.missed) {
                RunOutcome missed{decision.missed_absent ? OutcomeKind::MISSED_ABSENT : OutcomeKind::MISSED,
                                  local_reading(window_start(target, decision.missed_day), clock.utc_offset_minutes),
                                  0,
                                  decision.missed_day,
                                  false,
                                  target,
                                  ""};
                platform.report(missed);
            }
            if (decision.launch) {
                if (watching) {
                    platform.release_process();  // one process watched at a time: the newest
                }
                launch(command_line, clock, decision, target, platform, started);
                watching = started.kind == OutcomeKind::STARTED;
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
